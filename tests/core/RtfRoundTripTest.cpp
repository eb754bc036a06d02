// What our writers write, our reader reads back: the article writer's
// documents to the styles they were written in, and the clipboard RTF of the
// control (WriteRtf) to the very document it was made from.
#include <gtest/gtest.h>

#include <functional>
#include <string_view>

#include "MemoryRichEdit.h"
#include "RtfDescribe.h"
#include "render/uRichEditWriter.h"
#include "render/uRtfWriter.h"

namespace {

class RtfRoundTrip : public ::testing::Test {
protected:
  void SetUp() override {
    SetSystemColorHook([](int32_t index) -> uint32_t { return index == scWindowText ? 0x332211 : 0xFFFFFF; });
    options.LoadFirstRunDefaults();  // no file name: nothing is saved
  }
  void TearDown() override { SetSystemColorHook(nullptr); }

  TRtfDocument Render(const std::function<void(TRtfRichEditWriter&)>& body) {
    writer.BeginDocument();
    body(writer);
    writer.EndDocument();
    return ReadRtf(writer.Document());
  }

  TOptions options;
  TMemoryRichEdit edit;
  TRtfRichEditWriter writer{edit, nullptr, options};
};

}  // namespace

TEST_F(RtfRoundTrip, ArticleStylesOfTheFirstRun) {
  using TWriter = TRtfRichEditWriter;
  struct {
    const char* style;
    std::function<void(TWriter&)> open;
    std::string runs;
    bool nested = false;
  } cases[] = {
      {"caption", &TWriter::OpenCaption, "λόγος<Tahoma,#000080,u>"},
      {"header", &TWriter::OpenHeader, "λόγος<Tahoma,#332211,b>"},
      {"mark", &TWriter::OpenMark, "λόγος<Tahoma,#008000,i>"},
      {"author", &TWriter::OpenAuthor, "λόγος<Tahoma,fs18,#800000>"},  // 78% of 12 points
      {"comment", &TWriter::OpenComment, "λόγος<Tahoma,#332211,i>"},
      {"example", &TWriter::OpenExample, "λόγος<Tahoma,#808080>"},
      // Styles do not inherit: a header inside a mark is a header.
      {"header in mark", [](TWriter& w) { w.OpenMark(); w.OpenHeader(); }, "λόγος<Tahoma,#332211,b>", true},
  };
  for (const auto& c : cases) {
    const TRtfDocument document = Render([&](TWriter& w) {
      w.WriteText(u"a ");
      c.open(w);
      w.WriteText(u"λόγος");
      w.CloseStyle();
      if (c.nested) w.CloseStyle();
      w.WriteText(u" b");
    });
    EXPECT_EQ(document.Error, reNone) << c.style;
    EXPECT_EQ(Describe(document), "a <Tahoma,#332211>" + c.runs + " b<Tahoma,#332211>") << c.style;
  }
}

TEST_F(RtfRoundTrip, ArticleParagraphsEnumerationsAndSpecialCharacters) {
  options.ArticleFont().SetFontSize(10);
  options.SetAbbrExpansion(aeSub);
  const TRtfDocument document = Render([](TRtfRichEditWriter& w) {
    w.OpenCaption();
    w.WriteText(u"Dict");
    w.CloseStyle();
    w.EndParagraph();
    w.OpenHeader();
    w.WriteKeyword(u"λόγος");
    w.CloseStyle();
    w.WriteText(u" a_b {x}\\ ");
    for (char16_t c : std::u16string_view(u"\uF000\uF001\uF002\uF010")) w.WriteSpecialChar(c);
    w.EndParagraph();
    w.OpenEnumeration(2);
    w.WriteText(u"1.");
    w.CloseStyle();
    w.WriteChar(u'\t');
    w.OpenExample();
    w.WriteText(u"ἄνθρωπος");
    w.CloseStyle();
    w.EndParagraph();
    w.EndParagraph();
    w.WriteText(u"end");
  });
  EXPECT_EQ(document.Error, reNone);
  EXPECT_EQ(Describe(document),
            "Dict<Tahoma,fs20,#000080,u> | "
            "λ<Tahoma,fs20,#332211,b>όγος<Tahoma,fs20,#332211,b,sub>"
            " a\u00A0b {x}\\ <Tahoma,fs20,#332211>\uF000\uF001\uF002\uF010<KodraSp,fs20,#332211> | "
            "1.\t<Tahoma,fs20,#332211>ἄνθρωπος<Tahoma,fs20,#808080> | "  // enumerations are plain at first
            " | end<Tahoma,fs20,#332211>");
  // The enumeration hangs its label in front of a tab stop: 40 twips per point.
  EXPECT_EQ(DescribeLayout(document), "0/0/ | 0/0/ | -400/800/800 | 0/0/ | 0/0/");
  // The plain text the control must hold, paragraph ends as '\n'; special
  // characters are themselves, though the RTF names their font positions.
  EXPECT_EQ(document.PlainText(), u"Dict\nλόγος a\u00A0b {x}\\ \uF000\uF001\uF002\uF010\n1.\tἄνθρωπος\n\nend");
  const TRtfFacedText faced = document.FacedText();
  ASSERT_EQ(faced.FaceNames.size(), faced.Text.size());
  const size_t special = faced.Text.find(u'\uF000');
  for (size_t i = special; i < special + 4; ++i) EXPECT_EQ(faced.FaceNames[i], "KodraSp") << i;
  EXPECT_EQ(faced.FaceNames[special + 4], "");  // the paragraph end
  EXPECT_EQ(faced.FaceNames[special - 1], "Tahoma");
}

// A word processor's clipboard with Greek typed in a legacy 8-bit font: every
// character must come with the face it was typed in, for the font's import
// table to convert it.
TEST(RtfClipboard, LegacyFontFacePerCharacter) {
  const char* rtf =
      "{\\rtf1\\adeflang1025\\ansi\\ansicpg1251\\uc1\\adeff0\\deff0\\stshfdbch0\\deflang1049"
      "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset204\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}"
      "{\\f37\\fbidi \\fnil\\fcharset2\\fprq2 GreekClassic;}}"
      "{\\colortbl;\\red0\\green0\\blue0;\\red192\\green0\\blue0;}"
      "{\\*\\rsidtbl \\rsid1540303}{\\*\\generator Word processor 16;}{\\info{\\author x}}"
      "\\paperw11906\\paperh16838\\margl1701\\margr850 \\sectd \\ltrsect\r\n"
      "\\pard\\plain \\ltrpar\\ql \\li0\\ri0\\widctlpar\\wrapdefault\\rtlch\\fcs1 \\af0\\afs24 "
      "\\ltrch\\fcs0 \\fs24\\lang1049 {\\insrsid1540303 \\'d1\\'eb\\'ee\\'e2\\'ee }"
      "{\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\f37\\fs28\\cf2\\insrsid1540303 lo/goj}"
      "{\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\fs24\\insrsid1540303 \\u8212\\'97 \\par }"
      "{\\*\\themedata 504b0304}}";
  const TRtfDocument document = ReadRtf(rtf);
  EXPECT_EQ(document.Error, reNone);
  const TRtfFacedText faced = document.FacedText();
  EXPECT_EQ(faced.Text, u"Слово lo/goj\u2014 ");
  ASSERT_EQ(faced.FaceNames.size(), faced.Text.size());
  for (size_t i = 0; i < faced.Text.size(); ++i) {
    const bool legacy = i >= 6 && i < 12;
    EXPECT_EQ(faced.FaceNames[i], legacy ? "GreekClassic" : "Times New Roman") << i;
  }
  EXPECT_EQ(Describe(document),
            "Слово <Times New Roman>lo/goj<GreekClassic,fs28,#0000C0>\u2014 <Times New Roman>");
  // What the control copies of it reads back the same, faces and all.
  EXPECT_EQ(Describe(ReadRtf(WriteRtf(document))), Describe(document));
}

TEST(RtfDocumentWriter, ReadsBackToTheSameDocument) {
  auto run = [](std::u16string text, std::string face, int32_t halfPoints = 24, uint32_t color = clRtfAuto) {
    TRtfRun r{std::move(text), {}};
    r.Format.FaceName = std::move(face);
    r.Format.HalfPoints = halfPoints;
    r.Format.Color = color;
    return r;
  };
  TRtfRun bold = run(u"b", "Arial"), italic = run(u"i", "Arial"), sub = run(u"s", "Arial"),
          super = run(u"S", "Arial"), underline = run(u"u", "Arial");
  bold.Format.Bold = true;
  italic.Format.Italic = true;
  sub.Format.Position = vpSubscript;
  super.Format.Position = vpSuperscript;
  underline.Format.Underline = true;

  TRtfDocument document;
  document.Paragraphs.push_back({0, 0, {}, {run(u"plain 1 {\\} ", "Times New Roman"), bold, italic, sub, super,
                                             underline, run(u"x", "")}});
  // Special characters keep their face, to be drawn from it. (The face's
  // font positions, 0xC0 to 0x10BF, would read back as the characters.)
  document.Paragraphs.push_back({-400, 800, {800, 1600}, {run(u"1.\tἄνθρωπος\u000Bline", "Ἑλλάς font", 20, 0x0000C0),
                                                           run(u"\uF000\u00BF\u10C0\uFFFF\u0001", "KodraSp", 20)}});
  document.Paragraphs.push_back({});
  document.Paragraphs.push_back({0, 200, {}, {run(u" 9 ", "Arial", 24, 0x123456)}});
  document.Paragraphs.push_back({});
  const std::string rtf = WriteRtf(document);
  for (unsigned char c : rtf) EXPECT_TRUE((c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n') << int(c);
  const TRtfDocument back = ReadRtf(rtf);
  EXPECT_EQ(back.Error, reNone);
  EXPECT_EQ(Describe(back), Describe(document));
  EXPECT_EQ(DescribeLayout(back), DescribeLayout(document));
  EXPECT_EQ(back.PlainText(), document.PlainText());

  struct { std::vector<TRtfParagraph> paragraphs; } shapes[] = {
      {{}}, {{TRtfParagraph{}}}, {{TRtfParagraph{}, TRtfParagraph{}}},
      {{TRtfParagraph{0, 0, {}, {run(u"a", "")}}, TRtfParagraph{}}},
  };
  for (const auto& shape : shapes) {
    TRtfDocument small;
    small.Paragraphs = shape.paragraphs;
    EXPECT_EQ(ReadRtf(WriteRtf(small)).Paragraphs.size(), small.Paragraphs.size()) << WriteRtf(small);
  }
}
