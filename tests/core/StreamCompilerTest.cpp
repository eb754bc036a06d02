// Compiling a source article by article from the file gives the bytes that
// loading it whole, verifying and compiling give; a source it cannot take
// so is left to that path, which reports the first error as ever.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "CliRun.h"
#include "SourceTestUtil.h"
#include "source/uSourceCompiler.h"
#include "source/uSourceStreamCompiler.h"

namespace {
const std::u16string kGreek =
    u"<header>\r\ncaption=Test\r\ncomment=c\r\nkind=main\r\nlanguage=ancientgreek\r\n</header>\r\n";
const std::u16string kLatin = u"<header>\r\ncaption=Test\r\ncomment=c\r\nkind=form\r\nlanguage=latin\r\n</header>\r\n";

// The smallest sizes the compiler reads and batches in, and middling ones:
// every line, article and batch crosses a boundary somewhere.
const TSourceStreamSizes kSizes[] = {{}, {1, 1, 1}, {3, 16, 2}, {7, 200, 5}};

struct TCompiles {
  TTempDir Dir;

  std::vector<uint8_t> InMemory(const std::string& source) {
    TSourceDictionary dictionary(FindLanguage(DefaultLanguageId()));
    dictionary.LoadFromFile(source);
    dictionary.Verify();
    dictionary.Compile(Dir.Path("memory.kdb"));
    return ReadBytes(Dir.Path("memory.kdb"));
  }
  // The streamed bytes; empty when the compiler left the source alone.
  std::vector<uint8_t> Streamed(const std::string& source, const TSourceStreamSizes& sizes = {}) {
    std::filesystem::remove(Dir.Path("stream.kdb"));
    TSourceStreamCompiler compiler(FindLanguage(DefaultLanguageId()), sizes);
    if (!compiler.Compile(source, Dir.Path("stream.kdb"))) return {};
    return ReadBytes(Dir.Path("stream.kdb"));
  }
  // Streams the source in every size and expects the in-memory bytes.
  void ExpectSameBytes(const std::string& source) {
    const auto expected = InMemory(source);
    for (const TSourceStreamSizes& sizes : kSizes) {
      SCOPED_TRACE(testing::Message() << "block " << sizes.BlockUnits << ", batch " << sizes.BatchUnits);
      EXPECT_EQ(Streamed(source, sizes), expected);
    }
  }
};

bool HasTemporaries(const std::filesystem::path& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename().string().find(".kodra-") != std::string::npos) return true;
  return false;
}
}  // namespace

TEST(StreamCompiler, GivesTheInMemoryBytes) {
  struct {
    const char* Name;
    std::u16string Text;
  } cases[] = {
      {"in order", kGreek + u"#α\r\nпервая\r\n#β\r\nвторая\r\n#γ\r\nтретья\r\n"},
      {"out of order", kGreek + u"#γ\r\nтретья\r\n#α\r\nпервая\r\n#δ\r\n#β\r\nвторая\r\n"},
      {"sections, repeated and among other lines",
       u"a note\r\n<unknown>\r\n" + kGreek + u"<mark>\r\nm.=masc\tulinum\r\nf.=femininum\r\n</mark>\r\nbetween\r\n"
       u"<author>\r\nHom.=Homerus\r\n</author>\r\n<mark>\r\nn.=neutrum\r\nm.=masc\tulinum\r\n</mark>\r\n\r\n"
       u"#λ\u1F79γος\r\n<h>λ\u1F79γος</h>, ου <m>m.</m> слово <a>Hom.</a>\r\n#ἄνθρωπος\r\n<m>m.</m> <m>f.</m> человек\r\n"},
      {"a tab in the header", u"<header>\r\ncaption=Te\tst\r\ncomment=c\r\nkind=main\r\nlanguage=ancientgreek\r\n"
                              u"</header>\r\n#α\r\nx\r\n"},
      {"lines, empty lines and every line break",
       kGreek + u"#β\r\n\r\n\r\nfirst\n\nsecond\rthird\n\r\r\n\n\rfourth\r\n\r\n\r\n#α\nx\r\r\ny\n\n\n"},
      {"empty articles, the last without a line break", kGreek + u"#β\r\n#α\r\n\r\n\r\n#γ"},
      {"a file ending in CR", kGreek + u"#β\r\nb\r\n#α\r\na\r"},
      {"odd characters",
       kGreek + u"#α\r\n\tx  y   z\t\t$F012 $00e9 \\~ ~ \\$ \\< \\\\ { } > \U0001D504 \uFFFD \uE000 \uFFFF"
                u"<n>1</n><n2>a</n><n3>i</n><c>c</c><e>e</e>\r\n"},
      {"a byte-order mark", u"\uFEFF" + kGreek + u"#β\r\nb\r\n#α\r\na\r\n"},
      {"Greek keywords of the same letters and long common beginnings",
       kGreek + u"#ἄνθρωπος\r\n1\r\n#ἀνδραποδιστικ\u1F7Dτατος\r\n2\r\n#Ἄνθρωπος\r\n3\r\n#ανθρωπος\r\n4\r\n"
                u"#ἀνδραποδιστικ\u1F7Dτατον\r\n5\r\n#ἀνδραποδιστικωτ\u1F71του\r\n6\r\n#ἀντιπαρεξ\u1F71γω\r\n7\r\n"
                u"#ἀντιπαρεξαγωγ\u1F75\r\n8\r\n#λ\u1F79γ_ος\r\n9\r\n#ἀνθρ\u1F7Dπων\r\n10\r\n"},
      {"Latin keywords", kLatin + u"#roma\r\nx\r\n#Roma\r\ny\r\n#Romanus\r\nz\r\n#res_publica\r\nr\r\n#a\r\n#ab\r\n"
                                  u"#abs\r\n"},
      // A and Ъ count alike in one bucket of the counts: the one met first in
      // keyword order ranks first, whichever comes first in the file.
      {"equal counts met in another order than the file's", kGreek + u"#β\r\nA\r\n#α\r\nЪ\r\n#γ\r\nB Ы\r\n"},
      {"a unit met first in an article later in the file", kGreek + u"#β\r\nA\r\n#α\r\nAЪ\r\n#γ\r\nЪ\r\n"},
      {"no articles", kGreek},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TCompiles compiles;
    compiles.ExpectSameBytes(compiles.Dir.Write("s.kds", Utf16Bytes(c.Text)));
  }
}

// Random sources in random order whose bodies draw on units that share
// buckets of the counts, so that equal counts are ranked by where the units
// are first met.
TEST(StreamCompiler, RandomSourcesGiveTheInMemoryBytes) {
  std::mt19937 random(7);
  const std::u16string letters = u"αβγδεζηθικλμνξοπρςστυφχψωἀἁὰ\u1F71ᾶᾳἄΑΒ_";
  const std::u16string_view pieces[] = {u"A", u"Ъ", u"B", u"Ы", u"\u0813", u" ",      u"  ",     u".",
                                        u"а", u"б", u"\t", u"$F012", u"\\~",   u"<h>A</h>", u"<e>Ъ</e>"};
  const char16_t* breaks[] = {u"\r\n", u"\n", u"\r", u"\n\r"};
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    std::vector<std::u16string> articles;
    for (int a = 0, n = 1 + int(random() % 80); a < n; ++a) {
      std::u16string article = u"#";
      for (int i = 0, length = 1 + int(random() % 20); i < length; ++i) article += letters[random() % letters.size()];
      if (article.back() == u'_') article.back() = u'α';  // a keyword ends with a letter
      const char16_t* lineBreak = breaks[random() % 4];
      article += lineBreak;
      for (int line = 0, lines = int(random() % 4); line < lines; ++line) {
        for (int i = 0, length = int(random() % 12); i < length; ++i) article += pieces[random() % std::size(pieces)];
        article += lineBreak;
      }
      articles.push_back(article);
    }
    std::u16string text = kGreek;
    for (const auto& article : articles) text += article;
    TCompiles compiles;
    const std::string source = compiles.Dir.Write("r.kds", Utf16Bytes(text));
    TSourceDictionary loaded(FindLanguage(DefaultLanguageId()));
    loaded.LoadFromFile(source);
    if (loaded.ArticleCount() < int32_t(articles.size())) {  // keywords that reading joins: left alone
      EXPECT_TRUE(compiles.Streamed(source).empty());
      continue;
    }
    compiles.ExpectSameBytes(source);
  }
}

TEST(StreamCompiler, CorporaGiveTheInMemoryBytes) {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(KODRA_CORPORA, error))
    if (entry.path().extension() == ".kds") files.push_back(entry.path().string());
  if (files.empty()) GTEST_SKIP() << "no corpus folder at " << KODRA_CORPORA;
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    SCOPED_TRACE(file);
    TCompiles compiles;
    const auto expected = compiles.InMemory(file);
    EXPECT_EQ(compiles.Streamed(file), expected);
    EXPECT_EQ(compiles.Streamed(file, {4093, 65536, 1000}), expected);
  }
}

namespace {
// Sources that loading or verification rejects, with the error reported.
struct TFaulty {
  const char* Name;
  std::vector<uint8_t> Bytes;
  const char* Identifier;
};

std::vector<TFaulty> FaultySources() {
  const std::u16string article = u"#α\r\nx\r\n";
  std::vector<uint8_t> odd = Utf16Bytes(kGreek + article);
  odd.push_back('x');
  const std::string utf8 = "<header>\r\ncaption=Test\r\n</header>\r\n#a\r\nλ\u1F79γος\r\n";
  return {
      {"a control character", Utf16Bytes(kGreek + u"#β\r\nb\r\n#α\r\nx\x01y\r\n"), "SControlChar"},
      {"a lone surrogate", Utf16Bytes(kGreek + u"#α\r\nx\xD835\r\n"), "SLoneSurrogate"},
      {"a surrogate ending the file", Utf16Bytes(kGreek + u"#α\r\nx\xD835"), "SLoneSurrogate"},
      {"a byte-order mark inside", Utf16Bytes(kGreek + u"#α\r\n\uFEFFx\r\n"), "SByteOrderMark"},
      {"an unclosed section", Utf16Bytes(u"<header>\r\ncaption=Test\r\n#α\r\nx\r\n"), "SAbsentFinalSectionTag"},
      {"an odd length", odd, "SOddLength"},
      {"UTF-8", std::vector<uint8_t>(utf8.begin(), utf8.end()), "SWrongEncoding"},
      {"an unknown language", Utf16Bytes(u"<header>\r\ncaption=Test\r\nlanguage=klingon\r\n</header>\r\n" + article),
       "SUnknownLang"},
      {"a header value absent",
       Utf16Bytes(u"<header>\r\ncaption=Test\r\ncomment=\r\nlanguage=latin\r\n</header>\r\n" + article),
       "SAbsentAttrValue"},
      {"no header", Utf16Bytes(article), "SAbsentAttrValue"},
      {"a byte-order mark, then an article", Utf16Bytes(u"\uFEFF" + article), "SAbsentAttrValue"},
      {"a mark repeated with another value",
       Utf16Bytes(kGreek + u"<mark>\r\nm.=a\r\nm.=b\r\n</mark>\r\n" + article), "SException"},
      {"an invalid keyword", Utf16Bytes(kGreek + u"#β\r\nb\r\n#α!\r\nx\r\n"), "SInvalidKey"},
      {"an absent keyword", Utf16Bytes(kGreek + u"#\r\nx\r\n"), "SAbsentKey"},
      {"an unclosed tag in a later article", Utf16Bytes(kGreek + u"#β\r\n<h>b\r\n#α\r\nx\r\n"), "SAbsentFinalTag"},
      {"an invalid hex value", Utf16Bytes(kGreek + u"#α\r\n$12G4\r\n"), "SInvalidHex"},
      {"a keyword repeated with another text", Utf16Bytes(kGreek + u"#α\r\nx\r\n#β\r\n#α\r\ny\r\n"), "SException"},
      {"keywords that compare equal", Utf16Bytes(kGreek + u"#αβ\r\nx\r\n#α_β\r\ny\r\n"), "SException"},
  };
}
}  // namespace

TEST(StreamCompiler, LeavesFaultySourcesAloneWritingNothing) {
  for (const TFaulty& faulty : FaultySources()) {
    SCOPED_TRACE(faulty.Name);
    TCompiles compiles;
    const std::string source = compiles.Dir.Write("f.kds", faulty.Bytes);
    EXPECT_TRUE(compiles.Streamed(source).empty());
    EXPECT_FALSE(std::filesystem::exists(compiles.Dir.Path("stream.kdb")));
    EXPECT_FALSE(HasTemporaries(compiles.Dir.Root()));
    TSourceDictionary dictionary(FindLanguage(DefaultLanguageId()));
    EXPECT_EQ(HelpedErrorOf([&] {
                dictionary.LoadFromFile(source);
                dictionary.Verify();
              }),
              faulty.Identifier);
  }
}

// What reading joins without a fault (a keyword repeated with the same text
// or none) is compiled in memory, as before.
TEST(StreamCompiler, LeavesJoinedKeywordsToTheInMemoryPath) {
  for (const std::u16string& articles : {std::u16string(u"#α\r\nx\r\n#β\r\ny\r\n#α\r\nx\r\n"),
                                         std::u16string(u"#α\r\nx\r\n#α\r\n")}) {
    TCompiles compiles;
    const std::string source = compiles.Dir.Write("j.kds", Utf16Bytes(kGreek + articles));
    EXPECT_TRUE(compiles.Streamed(source).empty());
    EXPECT_FALSE(compiles.InMemory(source).empty());
  }
}

// kodra-cli compile reports a faulty source exactly as verify does, and a
// source left to the in-memory path compiles to its bytes.
TEST(StreamCompiler, CliReportsFaultsAsVerifyDoes) {
  SKIP_WITHOUT_CLI();
  for (const TFaulty& faulty : FaultySources()) {
    SCOPED_TRACE(faulty.Name);
    TTempDir dir;
    const std::string source = dir.Write("f.kds", faulty.Bytes);
    for (const std::string json : {"", "--json "}) {
      const TRun compiled = RunCli("compile " + json + source + " -o " + dir.Path("f.kdb"));
      const TRun verified = RunCli("verify " + json + source);
      EXPECT_EQ(compiled.Status, 1);
      EXPECT_EQ(compiled.Output, verified.Output);
      // The identifier is for programs only.
      EXPECT_EQ(compiled.Output.find(faulty.Identifier) != std::string::npos, !json.empty()) << compiled.Output;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path("f.kdb")));
    EXPECT_FALSE(HasTemporaries(dir.Root()));
  }
  TCompiles compiles;
  const std::string joined = compiles.Dir.Write("j.kds", Utf16Bytes(kGreek + u"#α\r\nx\r\n#β\r\ny\r\n#α\r\nx\r\n"));
  const TRun run = RunCli("compile " + joined + " -o " + compiles.Dir.Path("cli.kdb"));
  EXPECT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find("Compiled 2 articles and 0 abbreviations"), std::string::npos) << run.Output;
  EXPECT_EQ(ReadBytes(compiles.Dir.Path("cli.kdb")), compiles.InMemory(joined));
}

// Too many distinct units fail as they fail in memory, the old target kept.
TEST(StreamCompiler, TooManyUnitsLeaveTheTarget) {
  std::u16string text = kGreek + u"#α\r\n";
  for (int i = 0; i < 7589; ++i) text += char16_t(0x4E00 + i);
  TCompiles compiles;
  const std::string source = compiles.Dir.Write("many.kds", Utf16Bytes(text + u"\r\n"));
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  const std::string target = compiles.Dir.Write("many.kdb", old);
  TSourceStreamCompiler compiler(FindLanguage(DefaultLanguageId()));
  EXPECT_EQ(HelpedErrorOf([&] { compiler.Compile(source, target); }), "STooMuchChars");
  EXPECT_EQ(ReadBytes(target), old);
  EXPECT_FALSE(HasTemporaries(compiles.Dir.Root()));
}
