#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "SourceTestUtil.h"
#include "dictionary/uBinaryDictionary.h"
#include "source/uCompiledBody.h"
#include "source/uSourceCompiler.h"

namespace {
const std::u16string kHeader =
    u"<header>\r\ncaption=Test\r\ncomment=c\r\nkind=main\r\nlanguage=ancientgreek\r\n</header>\r\n";

std::u16string NoBreak(std::u16string text) {
  for (char16_t& c : text)
    if (c == u'_') c = 0x00A0;
  return text;
}

// Compiles the dictionary, reads it back and compares everything with the source.
void ExpectCompiledMatchesSource(TSourceDictionary& source, const std::string& target) {
  source.Compile(target);
  TBinaryDictionary compiled;
  compiled.LoadFromFile(target);
  EXPECT_EQ(std::u16string_view(compiled.Caption()), source.Caption());
  EXPECT_EQ(std::u16string_view(compiled.LanguageId()), source.Part(spHeader).Value(u"language"));
  EXPECT_EQ(compiled.Kind(), source.Kind());
  ASSERT_EQ(compiled.ArticleCount(), source.ArticleCount());
  for (int32_t i = 0; i < source.ArticleCount(); ++i) {
    ASSERT_EQ(std::u16string_view(compiled.GetKeyword(i)), source.Keyword(i)) << i;
    const std::u16string text(source.ArticleText(i));
    ASSERT_EQ(std::u16string_view(compiled.GetArticle(i)), CompiledBodyText(text.c_str())) << i;
  }
  const int32_t marks = source.Part(spMarks).Count(), authors = source.Part(spAuthors).Count();
  ASSERT_EQ(compiled.AbbreviationCount(), marks + authors);
  for (int32_t i = 0; i < marks + authors; ++i) {
    const TSourceRecord& record = i < marks ? source.Part(spMarks).Record(i) : source.Part(spAuthors).Record(i - marks);
    EXPECT_EQ(std::u16string_view(compiled.GetAbbreviation(i)), NoBreak(record.Name));
    EXPECT_EQ(std::u16string_view(compiled.GetExplanation(i)), NoBreak(record.Value));
  }
}

// A dictionary whose one article uses the given distinct units, each once.
std::u16string ArticleWithUnits(int count) {
  std::u16string text = u"#α\r\n";
  for (int i = 0; i < count; ++i) text += char16_t(0x4E00 + i);  // ideographs: plain units, no metacharacters
  return text + u"\r\n";
}
}  // namespace

TEST(CompiledBody, TransformsTheSourceText) {
  struct { std::u16string source, body; } cases[] = {
      {u"<h>a</h>  b\r\n", u"\x01" u"a\x02 b\x0F"},
      {u"x     y \t z", u"x y  z"},
      {u"<n>1</n> <n2>a</n> <n3>i</n>", u"\x07" u"1\x0A \x08" u"a\x0A \x09i\x0A"},
      {u"<m>m</m><a>A</a><c>c</c><e>e</e>", u"\x03m\x04\x05" u"A\x06\x0B" u"c\x0C\x0D" u"e\x0E"},
      {u"$F002 $00e9 $F000", u"\uF002 \uF000 \uF000"},
      {u"\\~ ~ \\$ \\< \\\\", u"~ ~ $ < \\"},
      {u"{ } >", u"{ } >"},
  };
  for (const auto& c : cases) EXPECT_EQ(CompiledBodyText(c.source.c_str()), c.body);
}

TEST(Compiler, RoundTripOfASmallDictionary) {
  TSourceFixture f;
  f.Load(kHeader + u"<mark>\r\nm.=masc_ulinum\r\n</mark>\r\n<author>\r\nHom.=Homerus\r\n</author>\r\n"
                   u"#λ\u1F79γος\r\n<h>λόγος</h>, ου <m>m.</m> <n>1</n> слово; <e>~ <a>Hom.</a></e>\r\n\r\n<n2>а)</n> $F012\r\n"
                   u"#ἄνθρωπος\r\nчеловек\r\n");
  ExpectCompiledMatchesSource(f.Dictionary, f.Dir.Path("small.kdb"));
  // With no name given, the compiled file is named after the source.
  f.Dictionary.Compile();
  EXPECT_TRUE(std::filesystem::exists(f.Dir.Path("test.kdb")));
}

TEST(Compiler, EmptyDictionaryAndMissingHeaderValues) {
  TSourceFixture f;
  f.Load(u"<header>\r\ncaption=only a caption\r\n</header>\r\n");
  f.Dictionary.Compile(f.Dir.Path("empty.kdb"));
  TBinaryDictionary compiled;
  compiled.LoadFromFile(f.Dir.Path("empty.kdb"));
  EXPECT_EQ(compiled.ArticleCount(), 0);
  EXPECT_EQ(compiled.CharCount(), 0);
  EXPECT_EQ(std::u16string_view(compiled.Comment()), u"");
  EXPECT_EQ(std::u16string_view(compiled.Caption()), u"only a caption");
}

TEST(Compiler, CodeAssignmentEdges) {
  TSourceFixture f;
  // 225 distinct units (224 ideographs and the line break) all take one byte.
  f.Load(kHeader + ArticleWithUnits(224));
  {
    TSourceDictionaryCompileData data;
    data.Open(f.Dir.Path("codes.kdb"));
    f.Dictionary.Part(spArticles).CompileTo(data);
    data.BuildCodes(0, 1);
    EXPECT_EQ(data.Ranking().size(), 225u);
    for (char16_t unit : data.Ranking()) EXPECT_LT(data.CodeOf(unit), 256);
  }
  // The 226th gets 257 (256 is skipped), written as the bytes 30 and 1.
  f.Load(kHeader + ArticleWithUnits(225));
  f.Dictionary.Compile(f.Dir.Path("codes.kdb"));
  TBinaryDictionary compiled;
  compiled.LoadFromFile(f.Dir.Path("codes.kdb"));
  EXPECT_EQ(compiled.CharCount(), 258);
  const std::u16string text(f.Dictionary.ArticleText(0));
  EXPECT_EQ(std::u16string_view(compiled.GetArticle(0)), CompiledBodyText(text.c_str()));
  const auto bytes = ReadBytes(f.Dir.Path("codes.kdb"));
  const uint8_t code257[] = {30, 1};
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), std::begin(code257), std::end(code257)), bytes.end());

  // 7589 distinct units compile; 7590 do not, and the old target stays as it was.
  f.Load(kHeader + ArticleWithUnits(7588));
  EXPECT_NO_THROW(f.Dictionary.Compile(f.Dir.Path("many.kdb")));
  const auto before = ReadBytes(f.Dir.Path("many.kdb"));
  f.Load(kHeader + ArticleWithUnits(7589));
  EXPECT_EQ(HelpedErrorOf([&] { f.Dictionary.Compile(f.Dir.Path("many.kdb")); }), "STooMuchChars");
  EXPECT_EQ(ReadBytes(f.Dir.Path("many.kdb")), before);
  EXPECT_FALSE(std::filesystem::exists(f.Dir.Path("many.kdb.compiling")));
}

TEST(Compiler, SharedCodes) {
  TSourceFixture f;
  f.Load(kHeader + u"#α\r\n$0041 $F000 \\~ ~\r\n");
  TSourceDictionaryCompileData data;
  data.Open(f.Dir.Path("shared.kdb"));
  f.Dictionary.Part(spArticles).CompileTo(data);
  data.BuildCodes(0, 1);
  // F000, space, tilde, line break: hex characters and tildes share their codes.
  EXPECT_EQ(data.Ranking().size(), 4u);
  EXPECT_NE(data.CodeOf(0xF000), 0);
  EXPECT_EQ(data.CodeOf(0x0041), 0);
  // The most frequent unit comes first: the space (3), then F000 and ~ (2 each), then the line break.
  EXPECT_EQ(data.Ranking()[0], u' ');
  EXPECT_EQ(data.Ranking()[3], char16_t(15));
}

TEST(Compiler, RandomDictionariesRoundTrip) {
  std::mt19937 random(2024);
  const std::u16string letters = u"αβγδεζηθικλμνξοπρςστυφχψωἀἁὰάᾶᾳἄ";
  const std::u16string textUnits = u"абвгдежзийклмнопрстуфхцчшщъыьэюя .,;-() ~{}αβγ";
  for (int round = 0; round < 20; ++round) {
    std::u16string file = kHeader + u"<mark>\r\nm.=masc\r\nf_x.=fem_x\r\n</mark>\r\n";
    const int articles = 1 + int(random() % 60);
    for (int a = 0; a < articles; ++a) {
      file += u"#";
      for (int i = 0, n = 1 + int(random() % 8); i < n; ++i) file += letters[random() % letters.size()];
      file += u"\r\n";
      for (int line = 0, lines = 1 + int(random() % 3); line < lines; ++line) {
        if (random() % 2) file += u"<h>x</h> ";
        for (int i = 0, n = int(random() % 40); i < n; ++i) file += textUnits[random() % textUnits.size()];
        if (random() % 3 == 0) file += u" <e>$F0" + std::u16string(1, u"0123456789ABCDEF"[random() % 16]) + u"1 \\~</e>";
        file += u"\r\n";
      }
    }
    TSourceFixture f;
    f.Load(file);
    SCOPED_TRACE(round);
    ExpectCompiledMatchesSource(f.Dictionary, f.Dir.Path("random.kdb"));
  }
}

TEST(Compiler, CorporaRoundTrip) {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(KODRA_CORPORA, error))
    if (entry.path().extension() == ".kds") files.push_back(entry.path().string());
  if (files.empty()) GTEST_SKIP() << "no corpus folder at " << KODRA_CORPORA;
  TTempDir dir;
  for (const auto& file : files) {
    SCOPED_TRACE(file);
    TSourceDictionary source(FindLanguage("ancientgreek"));
    source.LoadFromFile(file);
    ExpectCompiledMatchesSource(source, dir.Path("corpus.kdb"));
  }
}
