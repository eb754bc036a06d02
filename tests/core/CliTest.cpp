// The command-line tool, run as a user runs it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "CliRun.h"
#include "KdbBuilder.h"
#include "SourceTestUtil.h"
#include "TestFiles.h"
#include "foundation/KezText.h"

TEST(Cli, InfoOnMinimalAndShortFiles) {
  if (!std::getenv("KODRA_CLI")) GTEST_SKIP() << "run through ctest, which names kodra-cli";
  TTempDir dir;
  const auto minimal = TKdbBuilder::Build(TKdbContent{});
  dir.Write("minimal.kdb", minimal);
  const TRun info = RunCli("info " + dir.Path("minimal.kdb"));
  EXPECT_EQ(info.Status, 0);
  EXPECT_NE(info.Output.find("Kind:          other"), std::string::npos) << info.Output;
  EXPECT_NE(info.Output.find("Articles:      0"), std::string::npos) << info.Output;
  const TRun json = RunCli("info --json " + dir.Path("minimal.kdb"));
  EXPECT_NE(json.Output.find("\"kind\":\"other\""), std::string::npos) << json.Output;
  EXPECT_NE(json.Output.find("\"articles\":0"), std::string::npos) << json.Output;

  const TRun bad = RunCli("info " + dir.Write("short.kdb", std::vector<uint8_t>(minimal.begin(), minimal.end() - 1)));
  EXPECT_NE(bad.Status, 0);
  EXPECT_NE(bad.Output.find("Corrupt or inappropriate dictionary file"), std::string::npos) << bad.Output;
}

TEST(Cli, DumpShowsBodiesWithMarkers) {
  if (!std::getenv("KODRA_CLI")) GTEST_SKIP() << "run through ctest, which names kodra-cli";
  const std::u16string units = u"abλ \x01\x02\x07\x0A\x0F\"";
  TKdbContent content;
  content.Kind = u"main";
  content.Abbreviations = {{u"al.", u"alii"}};
  content.Articles = {{u"λ", CodeBody(u"\x01λ\x02\x0F\x07" u"a\x0A \"b\"", units)}};
  content.Chars = CharTableFor(units);
  TTempDir dir;
  const std::string path = dir.Write("d.kdb", TKdbBuilder::Build(content));
  const TRun text = RunCli("dump " + path);
  EXPECT_EQ(text.Status, 0);
  EXPECT_NE(text.Output.find("al.=alii"), std::string::npos) << text.Output;
  EXPECT_NE(text.Output.find("#λ\n<h>λ</h>\n<n>a</n> \"b\""), std::string::npos) << text.Output;
  const TRun json = RunCli("dump --json " + path);
  EXPECT_NE(json.Output.find("\"body\":\"<h>λ</h>\\n<n>a</n> \\\"b\\\"\""), std::string::npos) << json.Output;
  EXPECT_NE(json.Output.find("\"explanation\":\"alii\""), std::string::npos) << json.Output;
}

TEST(Cli, VerifyPointsAtTheFirstError) {
  if (!std::getenv("KODRA_CLI")) GTEST_SKIP() << "run through ctest, which names kodra-cli";
  TTempDir dir;
  const std::u16string header =
      u"<header>\r\ncaption=c\r\ncomment=c\r\nkind=main\r\nlanguage=ancientgreek\r\n</header>\r\n";
  const std::string good = dir.Write("good.kds", Utf16Bytes(header + u"#λ\u1F79γος\r\n<h>λόγος</h> слово\r\n"));
  const TRun ok = RunCli("verify " + good);
  EXPECT_EQ(ok.Status, 0);
  EXPECT_EQ(ok.Output, "OK: 1 articles, 0 marks, 0 authors\n");

  const std::string bad = dir.Write("bad.kds", Utf16Bytes(header + u"\r\n#λ\u1F79γος\r\n<h>λόγος слово\r\n"));
  const TRun text = RunCli("verify " + bad);
  EXPECT_EQ(text.Status, 1);
  EXPECT_NE(text.Output.find("bad.kds:9:1: Final tag is absent\n"), std::string::npos) << text.Output;
  EXPECT_EQ(text.Output.find("SAbsentFinalTag"), std::string::npos) << text.Output;
  EXPECT_NE(text.Output.find("  <h>λόγος слово\n  ^~~\n"), std::string::npos) << text.Output;
  const TRun json = RunCli("verify --json " + bad);
  EXPECT_EQ(json.Status, 1);
  EXPECT_NE(json.Output.find("\"identifier\":\"SAbsentFinalTag\""), std::string::npos) << json.Output;
  EXPECT_NE(json.Output.find("\"line\":9,\"column\":1"), std::string::npos) << json.Output;
  EXPECT_NE(json.Output.find("\"keyword\":\"λ\u1F79γος\""), std::string::npos) << json.Output;

  // An error inside a line of thousands of characters: the part around it.
  std::u16string words;
  for (int i = 0; i < 500; ++i) words += u"слово ";
  const std::string longLine =
      dir.Write("long.kds", Utf16Bytes(header + u"#λ\u1F79γος\r\n" + words + u"<h>λόγος " + words + u"\r\n"));
  const TRun cut = RunCli("verify " + longLine);
  EXPECT_EQ(cut.Status, 1);
  const size_t shown = cut.Output.find("\n  ...");
  ASSERT_NE(shown, std::string::npos) << cut.Output.substr(0, 2000);
  const std::string excerpt = cut.Output.substr(shown + 3, cut.Output.find('\n', shown + 1) - shown - 3);
  EXPECT_LT(FromUtf8(excerpt).size(), 300u);
  EXPECT_EQ(excerpt.substr(excerpt.size() - 3), "...");
  const std::string caret = cut.Output.substr(cut.Output.find('\n', shown + 1) + 1);
  EXPECT_EQ(FromUtf8(excerpt).find(u"<h>λόγος"), caret.find('^') - 2) << caret;
}

TEST(Cli, LookupAndSearchTheInstalledDictionaries) {
  if (!std::getenv("KODRA_CLI")) GTEST_SKIP() << "run through ctest, which names kodra-cli";
  TTempDir home;
  std::filesystem::create_directory(home.Root() / "ancientgreek");
  const std::string source = home.Write(
      "main.kds", Utf16Bytes(u"<header>\r\ncaption=Lex\r\ncomment=c\r\nkind=main\r\nlanguage=ancientgreek\r\n</header>\r\n"
                        u"#\u1F04νθρωπος\r\n<h>ἄνθρωπος</h> человек, ~ ἀγαθός\r\n#λ\u1F79γος\r\nслово\r\n"));
  ASSERT_EQ(RunCli("compile " + source + " -o " + home.Path("ancientgreek/main.kdb")).Status, 0);
  const std::string at = " --home " + home.Root().string() + " ";

  const TRun lookup = RunCli("lookup" + at + "ανθρωπος");
  EXPECT_EQ(lookup.Status, 0);
  EXPECT_EQ(lookup.Output, "ἄνθρωπος\n\nLex\nἄνθρωπος человек, ἄ. ἀγαθός\n");  // the keyword's letters
  // A word that is no keyword is said to be missing before the nearest keyword's article.
  const TRun missing = RunCli("lookup" + at + "λογ");
  EXPECT_EQ(missing.Status, 1);
  EXPECT_EQ(missing.Output.rfind("\"λογ\" not found; the nearest keyword: λ\u1F79γος\n\nλ\u1F79γος  (nearest keyword)\n", 0),
            0u) << missing.Output;
  const TRun json = RunCli("lookup --json" + at + "λ\u1F79γος");
  EXPECT_NE(json.Output.find("\"exact\":true"), std::string::npos) << json.Output;
  EXPECT_NE(json.Output.find("\"text\":\"Lex\\nслово\\n\""), std::string::npos) << json.Output;
  const TRun rtf = RunCli("lookup --rtf" + at + "λ\u1F79γος");
  EXPECT_EQ(rtf.Output.rfind("{\\rtf1", 0), 0u) << rtf.Output;
  // Reading commands write nothing: no settings, no configuration.
  EXPECT_FALSE(std::filesystem::exists(home.Path("ancientgreek/dictionaries.cfg")));
  EXPECT_FALSE(std::filesystem::exists(home.Path("kodra3.ini")));

  const TRun search = RunCli("search --all" + at + "ἀγαθός");
  EXPECT_EQ(search.Status, 0);
  // "--" ends the options: a pattern may then begin with "-".
  EXPECT_EQ(RunCli("search --all" + at + "-- -ἀγαθός").Output, search.Output);
  EXPECT_EQ(RunCli("search --all" + at + "-ἀγαθός").Status, 2);
  EXPECT_EQ(search.Output, "ἄνθρωπος\tчеловек, ἄ. ἀγαθός\n");
  const TRun first = RunCli("search --json" + at + "человек");
  EXPECT_NE(first.Output.find("\"position\":13,\"length\":7"), std::string::npos) << first.Output;
  EXPECT_EQ(RunCli("search" + at + "nothing").Output, "String not found\n");
}

// Several queries in one process: the words as given, or "-" for the lines of
// standard input; with --json one object a line, in the order asked.
TEST(Cli, LookupAndSearchAnswerEachQueryInTurn) {
  SKIP_WITHOUT_CLI();
  TTempDir home;
  std::filesystem::create_directory(home.Root() / "ancientgreek");
  const std::string source = home.Write(
      "main.kds", Utf16Bytes(u"<header>\r\ncaption=Lex\r\ncomment=c\r\nkind=main\r\nlanguage=ancientgreek\r\n</header>\r\n"
                        u"#\u1F04νθρωπος\r\n<h>ἄνθρωπος</h> человек\r\n#λ\u1F79γος\r\nслово\r\n"
                        u"#εἰ_μ\u1F75\r\nесли не\r\n"));
  ASSERT_EQ(RunCli("compile " + source + " -o " + home.Path("ancientgreek/main.kdb")).Status, 0);
  const std::string at = " --home " + home.Root().string() + " ";
  // Stdin lines end in LF or CR LF; empty lines ask nothing.
  const std::string words = home.Write("words.txt", std::string("λόγος\r\n\nανθρωπος\nεἰ μή\n"));

  struct TCase {
    const char* Name;
    std::string Arguments;
    std::vector<std::string> Keywords;  // of the JSON lines, in order
    int Status;
  };
  const TCase cases[] = {
      {"words as arguments", "lookup --json" + at + "λόγος ανθρωπος", {"λ\u1F79γος", "\u1F04νθρωπος"}, 0},
      {"a quoted argument is one query", "lookup --json" + at + "'εἰ μή' λόγος", {"εἰ_μ\u1F75", "λ\u1F79γος"}, 0},
      {"standard input", "lookup --json" + at + "- < " + words, {"λ\u1F79γος", "\u1F04νθρωπος", "εἰ_μ\u1F75"}, 0},
      {"arguments around standard input, one of them no keyword", "lookup --json" + at + "εἰ - λόγος < " + words,
       {"εἰ_μ\u1F75", "λ\u1F79γος", "\u1F04νθρωπος", "εἰ_μ\u1F75", "λ\u1F79γος"}, 1},
      {"search patterns", "search --json" + at + "человек слово nothing", {"\u1F04νθρωπος", "λ\u1F79γος", ""}, 1},
      {"search patterns from standard input", "search --json" + at + "- < " + home.Write("p.txt", std::string("если\n")),
       {"εἰ_μ\u1F75"}, 0},
  };
  for (const TCase& c : cases) {
    const TRun run = RunCli(c.Arguments);
    EXPECT_EQ(run.Status, c.Status) << c.Name << "\n" << run.Output;
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = run.Output.find('\n', start)) != std::string::npos; start = end + 1)
      lines.push_back(run.Output.substr(start, end - start));
    ASSERT_EQ(lines.size(), c.Keywords.size()) << c.Name << "\n" << run.Output;
    for (size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].front(), '{') << c.Name;
      EXPECT_EQ(lines[i].back(), '}') << c.Name;
      if (c.Keywords[i].empty())
        EXPECT_NE(lines[i].find("\"results\":[]"), std::string::npos) << c.Name << "\n" << lines[i];
      else
        EXPECT_NE(lines[i].find("\"keyword\":\"" + c.Keywords[i] + "\""), std::string::npos) << c.Name << "\n" << lines[i];
    }
  }

  // Plain answers follow one another, an empty line between them.
  const TRun plain = RunCli("lookup" + at + "λόγος ανθρωπος");
  EXPECT_EQ(plain.Status, 0);
  EXPECT_EQ(plain.Output, "λ\u1F79γος\n\nLex\nслово\n\n\u1F04νθρωπος\n\nLex\nἄνθρωπος человек\n");
  // "-" with nothing on standard input answers nothing.
  const TRun empty = RunCli("lookup" + at + "- < /dev/null");
  EXPECT_EQ(empty.Status, 0);
  EXPECT_EQ(empty.Output, "");
}

TEST(Cli, BundledDictionariesVerify) {
  if (!std::getenv("KODRA_CLI")) GTEST_SKIP() << "run through ctest, which names kodra-cli";
  int files = 0;
  for (const auto& language : std::filesystem::directory_iterator(KODRA_DATA)) {
    if (!language.is_directory()) continue;
    for (const auto& entry : std::filesystem::directory_iterator(language.path())) {
      if (entry.path().extension() != ".kds") continue;
      const TRun run = RunCli("verify " + entry.path().string());
      EXPECT_EQ(run.Status, 0) << entry.path() << "\n" << run.Output;
      EXPECT_EQ(run.Output.rfind("OK: ", 0), 0u) << run.Output;
      ++files;
    }
  }
  EXPECT_EQ(files, 5);
}

TEST(Cli, BenchPrintsItsTable) {
  if (!std::getenv("KODRA_CLI")) GTEST_SKIP() << "run through ctest, which names kodra-cli";
  const std::string home = std::filesystem::path(std::getenv("KODRA_CLI")).parent_path().string();
  const TRun bench = RunCli("bench --runs 1 --home " + home + " --lang latin");
  EXPECT_EQ(bench.Status, 0) << bench.Output;
  for (const char* row : {"load and merge", "keystroke", "render an article to RTF", "decode every body",
                          "full-text scan, no hit"})
    EXPECT_NE(bench.Output.find(row), std::string::npos) << bench.Output;
}
