// The editor's view of a source text: translations and mark-up picked out.
#include <gtest/gtest.h>

#include "RecordingWriter.h"
#include "source/uSourceColoring.h"

namespace {

// Records the coloured runs as {t:...} and {r:...}.
class TColorWriter : public TRecordingWriter {
public:
  void WriteTagText(std::u16string_view text) override { Log += "{t:" + ToUtf8(text) + "}"; }
  void WriteTranslationText(std::u16string_view text) override { Log += "{r:" + ToUtf8(text) + "}"; }
};

}  // namespace

TEST(SourceColoring, RunsOfTranslationsTagsAndMarkers) {
  struct {
    std::u16string text;
    const char* written;
  } cases[] = {
      {u"#λόγος", "{t:#}λόγος"},
      {u"<h>λόγος</h> слово, речь", "{t:<h>}λόγος{t:</h>} {r:слово}, {r:речь}"},
      {u"Ёлка ёж", "{r:Ёлка} {r:ёж}"},
      {u"{{amo}} { } {x}", "{t:{{}amo{t:}}} { } {x}"},
      {u"a < b > c", "a {t:< b >} c"},
      {u"a < b\r\nc > d", "a < b|c > d"},  // a tag ends on its line
      {u"x\uF000y", "x{sp:F000}y"},
      {u"a\r\n\r\nb\nc\rd", "a||b|c|d"},
      {u"", ""},
  };
  for (const auto& c : cases) {
    TColorWriter writer;
    WriteSourceText(writer, c.text, true);
    EXPECT_EQ(writer.Log, c.written) << ToUtf8(c.text);
  }
  // Without colouring the text is written as it is, line by line.
  TColorWriter plain;
  WriteSourceText(plain, u"<h>слово</h>\r\n#a", false);
  EXPECT_EQ(plain.Log, "<h>слово</h>|#a");
}

TEST(SourceColoring, RunsCoverTheTextWhole) {
  const std::u16string text = u"#amo\r\n<h>amo</h> {{любить}} <m";
  const std::vector<TSourceRun> runs = SourceColorRuns(text);
  int32_t covered = 0;
  for (const TSourceRun& run : runs) {
    EXPECT_EQ(run.Start, covered);
    EXPECT_GT(run.Length, 0);
    covered += run.Length;
  }
  EXPECT_EQ(covered, int32_t(text.size()));
  EXPECT_EQ(runs.front(), (TSourceRun{0, 1, srTag}));
  EXPECT_EQ(runs.back().Kind, srPlain);  // "<m" has no end
}
