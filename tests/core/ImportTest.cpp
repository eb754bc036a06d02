// Importing DSL, XDXF and TEI dictionaries into source dictionaries.
#include <chrono>
#include <sys/stat.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "CliRun.h"
#include "SourceTestUtil.h"
#include "foundation/KezText.h"
#include "source/import/uImportDictionary.h"

namespace {
struct TImportCase {
  TImportFormat Format;
  const char* Language;
  std::string Input;
  std::u16string Expected;  // everything after the header
};

std::u16string ImportedBody(const TImportCase& c, TImportReport& report) {
  TImportOptions options;
  options.Format = c.Format;
  options.LanguageId = c.Language;
  const std::u16string source = ImportToSource(c.Input, options, report);
  const size_t end = source.find(u"</header>\r\n\r\n");
  return end == std::u16string::npos ? source : source.substr(end + 13);
}

// The source text verifies, and holds as many articles as the report says.
void ExpectVerifies(std::u16string_view source, const char* language, int32_t articles) {
  TTempDir dir;
  TSourceDictionary dictionary(FindLanguage(language));
  dictionary.LoadFromFile(dir.Write("x.kds", Utf16Bytes(source)));
  EXPECT_NO_THROW(dictionary.Verify()) << ToUtf8(source);
  EXPECT_EQ(dictionary.ArticleCount(), articles);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

const std::string kTestData = std::string(KODRA_TEST_DATA) + "/import/";
constexpr auto Dsl = TImportFormat::Dsl;
constexpr auto Xdxf = TImportFormat::Xdxf;
constexpr auto Tei = TImportFormat::Tei;
}  // namespace

TEST(Import, EachConstructBecomesItsSourceText) {
  const TImportCase cases[] = {
      // DSL: headers, several headwords, labels, senses by indent, examples, comments, escapes, sub-entries, media.
      {Dsl, "latin", "#NAME \"N\"\namo\namare\n\t[p]v.  n.[/p] [c red]любить[/c] {{note}}\n",
       u"#amo\r\n<h>amo; amare</h>\r\n<m>v.\u00A0n.</m> любить\r\n\r\n#amare\r\n<h>amare</h> <c>see</c> amo\r\n"},
      {Dsl, "latin",
       "amo\n\t[m1][b]1.[/b] [trn]a[/trn] [ex][i]~ te[/i][/ex]\n\t[m2][b]2)[/b] [com]b [p]f.[/p][/com] \\[c\\] "
       "<<amor>> [ref]x[/ref] [lang id=1]y[/lang] [u]u[/u] [b]bold[/b]\n",
       u"#amo\r\n<h>amo</h>\r\n<n>1.</n> a <e>~ te</e>\r\n<n2>2)</n> <c>b <m>f.</m></c> [c] amor x y u bold\r\n"},
      {Dsl, "latin", "amo\n\t[s]a.wav[/s]$1 a<b \\~ {x} [video]v.avi[/video] [zz]q[/zz]\n\t#x\n\t@ amans\n\tpart\n\t@\n\tend\n",
       u"#amo\r\n<h>amo</h>\r\n\\$1 a\\<b \\~ {x} q\r\n #x\r\nend\r\n\r\n#amans\r\n<h>amans</h>\r\npart\r\n"},
      // Plain sense numbers opening a line, at the line's level; "c." or a bare number are text.
      {Dsl, "latin", "via\n\t[m1]1) a[/m]\n\t[m2]\xD0\xB1) b[/m]\n\t[m1]II. c\n\tc. 50\n\t3 d\n",
       u"#via\r\n<h>via</h>\r\n<n>1)</n> a\r\n<n2>б)</n> b\r\n<n>II.</n> c\r\nc. 50\r\n3 d\r\n"},
      {Dsl, "latin", "rosa {(}x{)}\n\tr\nrosa\n\tq\nros a\n\ts\n",
       u"#rosa\r\n<h>rosa (x)</h>\r\nr\r\n\r\n<h>rosa</h>\r\nq\r\n\r\n<h>ros a</h>\r\ns\r\n"},
      // Greek keywords: composed, tonos read as oxia, breves dropped, spaces as "_".
      {Dsl, "ancientgreek", "λ\xCF\x8Cγος\n\tx\n\xCE\xB1\xCC\x81\xCE\xBD\xCE\xB7\xCF\x81 \xE1\xBE\xB0\n\ty\n",
       u"#λ\u1F79γος\r\n<h>λ\u03CCγος</h>\r\nx\r\n\r\n#\u1F71νηρ_α\r\n<h>\u03B1\u0301νηρ \u1FB0</h>\r\ny\r\n"},
      // Characters beyond the first plane and controls.
      {Dsl, "latin", "amo\n\ta\xF0\x9F\x98\x80 b\x01\n", u"#amo\r\n<h>amo</h>\r\na\uFFFD b\uFFFD\r\n"},
      // XDXF, logical: abbreviations to marks, numbered nested definitions, labels, examples, comments.
      {Xdxf, "latin",
       "<xdxf format=\"logical\"><abbreviations><abbr_def><abbr_k>Cic. Att.</abbr_k><abbr_v>Cicero</abbr_v>"
       "</abbr_def></abbreviations><ar><k>amo<opt>, amare</opt></k><k>diligo</k><def><gr>v.</gr>"
       "<def><deftext><abbr>Cic. Att.</abbr> <ex>amo te</ex> <co>c <abbr>v.</abbr></co></deftext></def>"
       "<def><def><deftext><kref>x</kref> <i>i</i> <b>b</b> <etm>e</etm></deftext></def>"
       "<def><deftext>d &lt; &#36; &#x1F600;</deftext></def></def></def></ar></xdxf>",
       u"<mark>\r\nCic._Att.=Cicero\r\n</mark>\r\n\r\n#amo\r\n<h>amo, amare; diligo</h>\r\n<m>v.</m>\r\n"
       u"<n>1.</n> <m>Cic.\u00A0Att.</m> <e>amo te</e> <c>c <m>v.</m></c>\r\n<n>2.</n>\r\n<n2>a)</n> x i <e>b</e> "
       u"<c>e</c>\r\n<n2>b)</n> d \\< \\$ \uFFFD\r\n\r\n#diligo\r\n<h>diligo</h> <c>see</c> amo, amare\r\n"},
      // XDXF, visual: its line ends and <br/> break lines.
      {Xdxf, "ancientgreek",
       "<xdxf format=\"visual\"><ar><k>λόγος</k>\n<abr>м.</abr> слово\n<ex>λ. ἔχειν</ex> <tr>lo</tr><br/>x</ar></xdxf>",
       u"#λ\u1F79γος\r\n<h>λόγος</h>\r\n<m>м.</m> слово\r\n<e>λ. ἔχειν</e> [lo]\r\nx\r\n"},
      // TEI: orth, senses at their levels, grammar, citations, quotations, etymology, homonyms, further orths.
      {Tei, "ancientgreek",
       "<TEI.2><text><entryFree key=\"λόγος1\"><orth>λόγος</orth>,<gen>ὁ</gen>,<itype>ου</itype>"
       "<sense n=\"A\" level=\"1\"><tr>word</tr>,<cit><quote>λ. ἔχειν</quote>\n <bibl><author>Pl.</author>\n"
       "<title>R.</title>\n<biblScope>1.1</biblScope>\n</bibl></cit>:<gramGrp><gram>Pass.</gram></gramGrp>,"
       "<foreign>λέγεσθαι</foreign>(<etym>λέγω</etym>)</sense><sense n=\"I\" level=\"2\">ap.<author>Hom.</author>"
       "</sense><sense n=\"1\" level=\"4\">x<pos>Adv.</pos></sense></entryFree>"
       "<entryFree key=\"λόγος2\"><orth>λόγος</orth>, <orth>λόγιον</orth>, <orth>λογ-</orth> y</entryFree></text></TEI.2>",
       u"#λ\u1F79γος\r\n<h>λόγος</h> (A), <m>ὁ</m>, <m>ου</m>\r\n<n>A.</n> word, <e>λ. ἔχειν</e> <a>Pl. R. 1.1</a>: "
       u"<m>Pass.</m>, <e>λέγεσθαι</e> (<c>λέγω</c>)\r\n<n2>I.</n> ap. <a>Hom.</a>\r\n<n3>1.</n> x <m>Adv.</m>\r\n\r\n"
       u"<h>λόγος</h> (B), <e>λόγιον</e>, <e>λογ-</e> y\r\n\r\n#λ\u1F79γιον\r\n<h>λόγιον</h> <c>see</c> λόγος\r\n"},
  };
  for (const TImportCase& c : cases) {
    TImportReport report;
    EXPECT_EQ(ToUtf8(ImportedBody(c, report)), ToUtf8(c.Expected)) << c.Input;
    TImportOptions options;
    options.Format = c.Format;
    options.LanguageId = c.Language;
    TImportReport again;
    const std::u16string source = ImportToSource(c.Input, options, again);
    ExpectVerifies(source, c.Language, again.Articles);
  }
}

TEST(Import, ReportsWhatItSkipsMergesAndCannotMap) {
  TImportOptions options;
  options.LanguageId = "latin";
  TImportReport report;
  const std::u16string source = ImportToSource(
      "#NAME \"Caption\"\namo\n\tx\n\n123\n\ty\nἄλφα\n\tz\nam o\n\tw\n\t[s]a.wav[/s] [zz]q[/zz] [zz]r[/zz]\na\xF0\x9F\x98\x80\n\tq\n",
      options, report);
  EXPECT_NE(source.find(u"caption=Caption\r\n"), std::u16string::npos);
  EXPECT_EQ(report.Entries, 5);
  EXPECT_EQ(report.Articles, 1);
  EXPECT_EQ(report.Merged, 1);  // "am o" joins "amo"
  ASSERT_EQ(report.Skipped.size(), 4u);
  EXPECT_EQ(report.Skipped[0].Line, 5);
  EXPECT_EQ(report.Skipped[0].What, "headword \"123\"");
  EXPECT_EQ(report.Skipped[1].Line, 7);
  EXPECT_EQ(report.Skipped[1].Reason, "it holds a letter that is no keyword letter of Latin (\"ἄ\")");
  EXPECT_EQ(report.Skipped[2].Line, 11);
  EXPECT_EQ(report.Skipped[2].What, "media [s] \"a.wav\"");
  EXPECT_EQ(report.Skipped[3].Line, 12);
  EXPECT_EQ(report.UnmappedTags, (std::map<std::string, int32_t>{{"[zz]", 2}}));
  EXPECT_EQ(report.Replaced, 1);
  EXPECT_EQ(report.FirstReplacedLine, 12);
  EXPECT_NE(source.find(u"<h>amo</h>\r\nx\r\n\r\n<h>am o</h>\r\nw\r\nq r\r\n"), std::u16string::npos);
}

TEST(Import, ReadsDslInUtf16WithAndWithoutByteOrderMark) {
  const std::u16string text = u"#NAME \"Д\"\r\namo\r\n\tлюбить\r\n";
  for (const bool mark : {true, false}) {
    std::string bytes = mark ? "\xFF\xFE" : "";
    for (char16_t c : text) bytes += {char(c & 0xFF), char(c >> 8)};
    TImportOptions options;
    options.LanguageId = "latin";
    TImportReport report;
    const std::u16string source = ImportToSource(bytes, options, report);
    EXPECT_NE(source.find(u"caption=Д\r\n"), std::u16string::npos) << mark;
    EXPECT_NE(source.find(u"#amo\r\n<h>amo</h>\r\nлюбить\r\n"), std::u16string::npos) << mark;
  }
}

// Every fixture through the command: it writes a dictionary that verifies and says what it skipped.
TEST(Import, CommandImportsEachFixture) {
  SKIP_WITHOUT_CLI();
  struct TFixture {
    const char* File;
    const char* Format;
    const char* Language;
    int Articles;
    std::vector<std::string> Said;
  };
  const TFixture fixtures[] = {
      {"fixture.dsl", "dsl", "latin", 6,
       {"articles written: 6", "line 10: media [s] \"amo.wav\"", "line 23: headword \"ἄλφα\"", "[foo]: 1"}},
      {"fixture-logical.xdxf", "xdxf", "latin", 4,
       {"headwords merged: 1", "line 11: mark abbreviation \"Cato,_R._R.\"", "line 20: media <rref>", "<foo>: 1",
        "characters replaced by U+FFFD (outside the Basic Multilingual Plane, controls, malformed): 2"}},
      {"fixture-visual.xdxf", "xdxf", "ancientgreek", 2, {"marks: 1", "items skipped: 0"}},
      {"fixture.tei.xml", "tei", "ancientgreek", 4, {"headwords merged: 1", "<xyz>: 1"}},
  };
  TTempDir dir;
  for (const TFixture& fixture : fixtures) {
    const std::string target = dir.Path(std::string(fixture.File) + ".kds");
    const TRun run = RunCli(std::string("import --from ") + fixture.Format + " --language " + fixture.Language +
                            " " + kTestData + fixture.File + " -o " + target);
    EXPECT_EQ(run.Status, 0) << run.Output;
    for (const std::string& said : fixture.Said) EXPECT_NE(run.Output.find(said), std::string::npos) << said << "\n" << run.Output;
    const TRun verify = RunCli("verify " + target);
    EXPECT_EQ(verify.Output.rfind("OK: " + std::to_string(fixture.Articles) + " articles", 0), 0u) << verify.Output;
  }
}

TEST(Import, CommandWritesBesideTheInputAndNeverOverIt) {
  SKIP_WITHOUT_CLI();
  TTempDir dir;
  const std::string input = dir.Write("lex.dsl", std::string("amo\n\tx\n"));
  const TRun run = RunCli("import --from dsl --language latin --kind form --caption Cap " + input);
  EXPECT_EQ(run.Status, 0) << run.Output;
  const std::u16string written = ReadUtf16(dir.Path("lex.kds"));
  EXPECT_EQ(written.rfind(u"<header>\r\ncaption=Cap\r\ncomment=Imported from lex.dsl (DSL)\r\nkind=form\r\n", 0), 0u);
  const TRun over = RunCli("import --from dsl --language latin " + input + " -o " + input);
  EXPECT_EQ(over.Status, 1);
  EXPECT_NE(over.Output.find("would replace its input"), std::string::npos) << over.Output;
  EXPECT_EQ(over.Output.find("(SImportOverInput)"), std::string::npos) << "ids are for --json";
  EXPECT_EQ(ReadText(input), "amo\n\tx\n");
  EXPECT_EQ(RunCli("import --from rtf --language latin " + input).Status, 2);
  EXPECT_EQ(RunCli("import --from dsl --language sanskrit " + input).Status, 2);
}

// The raw dictionaries of the corpora: import, verify, compile, look up.
TEST(Import, RawCorporaRoundTrip) {
  SKIP_WITHOUT_CLI();
  const std::string raw = std::string(KODRA_CORPORA) + "/raw/";
  struct TRaw {
    const char* File;
    const char* Format;
    const char* Language;
    const char* EntryTag;  // counted in the input
    const char* Word;
    std::string Shown;
  };
  const TRaw files[] = {
      {"doederlein1874.xdxf", "xdxf", "latin", "<ar>", "absum", "absum, abesse; desum, deesse; deficio, deficere"},
      {"doederlein1874.xdxf", "xdxf", "latin", "<ar>", "deleo", "deleo, delere see aboleo, abolere"},
      {"lsj-tei-part15.xml", "tei", "ancientgreek", "<entryFree ", "ξαίνω", "scratch, comb, esp. of wool"},
      {"lsj-tei-part15.xml", "tei", "ancientgreek", "<entryFree ", "ξυστος", "ξυσ-τός (A)"},
  };
  bool any = false;
  for (const TRaw& file : files) {
    const std::string input = raw + file.File;
    if (!std::filesystem::exists(input)) continue;
    any = true;
    TTempDir home;
    std::filesystem::create_directory(home.Root() / file.Language);
    const std::string source = home.Path("imported.kds");
    TImportOptions options;
    ASSERT_TRUE(ParseImportFormat(file.Format, options.Format));
    options.LanguageId = file.Language;
    TImportReport report;
    ImportDictionaryFile(input, source, options, report);  // verifies, or raises

    const std::string text = ReadText(input);
    int32_t entries = 0;
    for (size_t at = text.find(file.EntryTag); at != std::string::npos; at = text.find(file.EntryTag, at + 1)) ++entries;
    EXPECT_EQ(report.Entries, entries);
    // Every headword that became a keyword is an article or joined one.
    EXPECT_EQ(report.Articles + report.Merged, report.Headwords);
    EXPECT_GE(report.Articles, entries - int32_t(report.Skipped.size()) - report.Merged);

    ASSERT_EQ(RunCli("compile " + source + " -o " + home.Path(std::string(file.Language) + "/main.kdb")).Status, 0);
    const TRun lookup = RunCli("lookup --home " + home.Root().string() + " --lang " + file.Language + " " + file.Word);
    EXPECT_EQ(lookup.Status, 0);
    EXPECT_NE(lookup.Output.find(file.Shown), std::string::npos) << lookup.Output.substr(0, 2000);
  }
  if (!any) GTEST_SKIP() << "no raw dictionaries at " << raw;
}

// An opening without its end costs no second read of the text after it: a
// text of four times as many costs about four times as much (eight at most,
// and 10 ms more for what the smaller text gains from the caches), never
// sixteen. The least of a few runs is compared, so that a busy machine does
// not decide.
TEST(Import, OpeningsWithoutTheirEndsCostLinearTime) {
  const struct {
    const char* name;
    TImportFormat format;
    std::string (*make)(size_t n);
  } cases[] = {
      {"& in XDXF", Xdxf, [](size_t n) {
         return "<xdxf><ar><k>amo</k>" + std::string(n, '&') + "</ar></xdxf>";
       }},
      {"[ in DSL", Dsl, [](size_t n) { return "amo\n\t" + std::string(n, '[') + "\n"; }},
      {"<< in DSL", Dsl, [](size_t n) {
         std::string line;
         for (size_t i = 0; i < n; ++i) line += "<<";
         return "amo\n\t" + line + "\n";
       }},
      {"[ in a DSL headword", Dsl, [](size_t n) { return "{" + std::string(n, '[') + "}amo\n\tx\n"; }},
  };
  constexpr size_t kN = 40000;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto least = [&](size_t n) {
      const std::string input = c.make(n);
      double best = 1e9;
      for (int run = 0; run < 5; ++run) {
        TImportOptions options;
        options.Format = c.format;
        options.LanguageId = "latin";
        TImportReport report;
        const auto start = std::chrono::steady_clock::now();
        ImportToSource(input, options, report);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
      }
      return best;
    };
    const double small = least(kN), large = least(4 * kN);
    EXPECT_LT(large, 8 * small + 0.010) << small << " s at N, " << large << " s at 4N";
  }
}

// An input that is no regular file, is too large or gives no entry is refused
// at once with its reason, and nothing is written over the target.
TEST(Import, InputThatGivesNothingIsRefusedAndWritesNothing) {
  SKIP_WITHOUT_CLI();
  namespace fs = std::filesystem;
  TTempDir dir;
  fs::create_directories(dir.Path("folder"));
  ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir.Path("zero"));
  dir.Write("empty", std::string());
  dir.Write("prose", std::string("no dictionary at all\n"));
  {
    std::ofstream(dir.Path("huge"), std::ios::binary).put('x');
    fs::resize_file(dir.Path("huge"), kMaxImportInputBytes + 1);  // sparse: costs no disk
  }
  const struct {
    const char* input;
    const char* from;
    const char* reason;
  } cases[] = {
      {"folder", "dsl", "is not a file"},
      {"fifo", "xdxf", "is not a file"},
      {"zero", "tei", "is not a file"},
      {"empty", "dsl", "No entry was found"},
      {"prose", "xdxf", "No entry was found"},
      {"huge", "dsl", "larger than the 1024 MB"},
  };
  const std::string target = dir.Write("target.kds", std::string("kept"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    const auto started = std::chrono::steady_clock::now();
    const TRun run = RunCli(std::string("import --from ") + c.from + " --language latin -o " + target + " " +
                            dir.Path(c.input));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_NE(run.Status, 0) << run.Output;
    EXPECT_NE(run.Output.find(c.reason), std::string::npos) << run.Output;
    EXPECT_EQ(ReadText(target), "kept");
  }
}
