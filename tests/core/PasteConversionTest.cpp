#include <gtest/gtest.h>

#include <vector>

#include "TablesFolder.h"
#include "foundation/KezText.h"
#include "language/uGreek.h"
#include "language/uImportFont.h"
#include "language/uPasteConversion.h"

namespace {

// A symbol-like font whose "ov" is omicron with oxia, as legacy Greek fonts
// put the accent after the vowel.
const char* const kSymbolTable = "#02\r\n=a symbol-like font\r\n61=03B1\r\n67=03B3\r\n6C=03BB\r\n"
                                 "6F=03BF\r\n6F,76=1F79\r\n22=03C2\r\nA1=03D2\r\n";
// "abc" and "ab" have values, "a" only leads on; "qrs" has one, "q" and "qr" lead on.
const char* const kGreedyTable = "61,62,63=0058\r\n61,62=0059\r\n71,72,73=0051\r\n";

const std::string kFonts =
    R"({\rtf1\ansi{\fonttbl{\f0 Times New Roman;}{\f1\fcharset2 Symbol;}{\f2 Greedy;}{\f3 GREEDY;}}\f0 )";

std::u16string Convert(const TKodraLanguage& language, const std::string& body, int32_t maxLength = 0) {
  TRtfTextSource source(ReadRtf(kFonts + body + "}"));
  return ConvertPastedText(language, source, maxLength, nullptr);
}

// One face for every character; counts what the conversion drops and fails
// on positions outside what is left.
class TOneFaceSource : public TFacedTextSource {
public:
  TOneFaceSource(std::u16string text, std::string face) : FText(std::move(text)), FFace(std::move(face)) {}
  int32_t Length() const override { return int32_t(FText.size() - FFront); }
  char16_t CharAt(int32_t position) const override { return FText.at(FFront + size_t(position)); }
  std::string FaceAt(int32_t position) const override {
    (void)FText.at(FFront + size_t(position));
    return FFace;
  }
  void DropFront(int32_t count) override {
    Drops.push_back(count);
    FFront += size_t(count);
  }
  std::vector<int32_t> Drops;

private:
  std::u16string FText;
  std::string FFace;
  size_t FFront = 0;
};

class PasteConversion : public ::testing::Test {
protected:
  PasteConversion() {
    FFolder.Write("symbol.fnt", kSymbolTable);
    FFolder.Write("greedy.fnt", kGreedyTable);
  }
  TTablesFolder FFolder;
  TGreek FGreek;  // made after the folder, so that it reads the tables there
};

}  // namespace

TEST_F(PasteConversion, RunsOfTableFontsAreConverted) {
  struct {
    const char* name;
    std::string body;
    std::u16string expected;
  } cases[] = {
      {"a Symbol run inside other text", R"(see {\f1 lovgo"} here)", u"see λ\u1F79γος here"},
      {"a byte escape keeps the byte", R"({\f1 \'a1})", u"\u03D2"},
      {"private-use units of a symbol font", R"({\f1 \u61548?\u61551?\u61558?})", u"λ\u1F79"},
      {"a private-use unit the table lacks stays", R"({\f1 \u61562?})", u"\uF07A"},
      {"private-use units of a font without a table stay", R"(\u61548?)", u"\uF06C"},
      {"a character the table lacks stays", R"({\f1 z})", u"z"},
      {"paragraphs", R"({\f1 a}\par{\f1 a})", u"α\nα"},
      {"the longest sequence wins", R"({\f2 abcab})", u"XY"},
      {"a shorter key where the longer one is absent", R"({\f2 abd})", u"Yd"},
      {"a head alone stands for itself", R"({\f2 a})", u"a"},
      {"no going back: a head that leads nowhere is swallowed", R"({\f2 qrtqrs})", u"qtQ"},
      {"a sequence ends where its font does", R"({\f2 a}b{\f2 c})", u"abc"},
      {"face names differing in case are one font", R"({\f2 a}{\f3 bc})", u"X"},
      {"fonts without a file are only normalised", R"(\u940?x)", u"\u1F71x"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToUtf8(Convert(FGreek, c.body)), ToUtf8(c.expected)) << c.name;
}

TEST_F(PasteConversion, MaxLengthLimitsTheCharactersRead) {
  struct {
    int32_t maxLength;
    std::u16string expected;
  } cases[] = {
      {0, u"λ\u1F79γος"}, {-1, u"λ\u1F79γος"}, {100, u"λ\u1F79γος"}, {6, u"λ\u1F79γος"},
      {3, u"λ\u1F79"},
      {2, u"λο"},  // the accent is beyond the limit
      {1, u"λ"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ToUtf8(Convert(FGreek, R"({\f1 lovgo"})", c.maxLength)), ToUtf8(c.expected)) << c.maxLength;
}

TEST_F(PasteConversion, StepsForgetTheReadCharactersAndMayCancel) {
  struct {
    const char* name;
    std::u16string text;
    int32_t stepsAllowed;  // step returns false after this many calls
    size_t resultLength;
    std::vector<int32_t> drops;
  } cases[] = {
      {"to the end", std::u16string(2500, u'a'), 10, 2500, {1000, 1000}},
      {"cancelled at the first step", std::u16string(2500, u'a'), 0, 1000, {1000}},
      {"cancelled at the second step", std::u16string(2500, u'a'), 1, 2000, {1000, 1000}},
      {"a sequence is not cut by a step", u"l" + [] {
         std::u16string pairs;
         for (int i = 0; i < 600; ++i) pairs += u"ov";
         return pairs;
       }(),
       0, 501, {1001}},
      {"short text: no step", u"lova", 0, 3, {}},
  };
  for (const auto& c : cases) {
    TOneFaceSource source(c.text, "Symbol");
    int32_t steps = 0;
    const std::u16string result =
        ConvertPastedText(FGreek, source, 0, [&steps, &c] { return steps++ < c.stepsAllowed; });
    EXPECT_EQ(result.size(), c.resultLength) << c.name;
    EXPECT_EQ(source.Drops, c.drops) << c.name;
    EXPECT_EQ(size_t(steps), c.drops.size()) << c.name;
    EXPECT_EQ(result.find_first_not_of(u"αλ\u1F79"), std::u16string::npos) << c.name;
  }
}

TEST(PasteConversionBundled, SymbolFontGivesGreekLetters) {
  TTablesFolder folder;
  folder.CopyBundled("symbol.fnt");
  TGreek greek;

  int32_t mappings = 0;
  const TFontTableSink count = [&](std::string_view codes, uint32_t value) {
    ++mappings;
    EXPECT_EQ(codes.size(), 1u);
    EXPECT_TRUE(value >= 0x0391 && value <= 0x03D6) << std::hex << value;
  };
  const uint32_t charset = LoadFontTableFile(greek.GetFontTablePath("symbol"), count);
  EXPECT_EQ(charset, 2u);
  EXPECT_EQ(mappings, 53);  // 26 small letters, 26 capitals and upsilon with hook; the comment maps nothing

  TRtfTextSource source(
      ReadRtf(R"({\rtf1\ansi{\fonttbl{\f0\fcharset2 Symbol;}}\f0 logos LOGOS jJvV\'a1 lovgo"})"));
  EXPECT_EQ(ToUtf8(ConvertPastedText(greek, source, 0, nullptr)), "λογοσ ΛΟΓΟΣ ϕϑϖςϒ λοϖγο\"");
}
