// kodra-cli and the files of authors and readers: nothing on disk is lost
// or half-written, whatever the command line, the disk or other processes do.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "CliRun.h"
#include "HostileFiles.h"
#include "SourceTestUtil.h"
#include "foundation/KezText.h"

namespace fs = std::filesystem;

namespace {
const std::u16string kHeader =
    u"<header>\r\ncaption=c\r\ncomment=c\r\nkind=main\r\nlanguage=latin\r\n</header>\r\n";

// A source of the given number of articles; the seed makes each source's bodies its own.
std::u16string Source(int articles, char16_t seed) {
  std::u16string text = kHeader;
  for (int i = 0; i < articles; ++i) {
    std::u16string keyword;
    for (int n = i; n > 0 || keyword.empty(); n /= 26) keyword += char16_t(u'a' + n % 26);
    text += u"#" + keyword + u"\r\n<h>" + keyword + u"</h> sense " + std::u16string(1, seed) + u" of " + keyword +
            u"\r\n";
  }
  return text;
}

std::vector<std::string> Temporaries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().find(".kodra-") != std::string::npos)
      names.push_back(entry.path().filename().string());
  return names;
}
}  // namespace

TEST(CliFiles, CompileNeverOverwritesItsSource) {
  SKIP_WITHOUT_CLI();
  TTempDir dir;
  const auto source = Utf16Bytes(Source(3, u'a'));
  const std::string kds = dir.Write("x.kds", source);
  const std::string named = dir.Write("y.kdb", source);  // a source with the compiled extension
  fs::create_symlink("x.kds", dir.Root() / "link.kds");
  for (const std::string& arguments :
       {kds + " -o " + kds, kds + " -o " + dir.Path("link.kds"), named, dir.Path("link.kds") + " -o " + kds}) {
    SCOPED_TRACE(arguments);
    const TRun run = RunCli("compile " + arguments);
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Output.find("would replace its own source"), std::string::npos) << run.Output;
  }
  EXPECT_EQ(ReadBytes(kds), source);
  EXPECT_EQ(ReadBytes(named), source);
  EXPECT_TRUE(Temporaries(dir.Root()).empty());
}

TEST(CliFiles, CommandLineValuesAreChecked) {
  SKIP_WITHOUT_CLI();
  TTempDir home;
  fs::create_directory(home.Root() / "latin");
  ASSERT_EQ(RunCli("compile " + home.Write("m.kds", Utf16Bytes(Source(3, u'a'))) + " -o " +
                   home.Path("latin/main.kdb")).Status, 0);
  const std::string at = " --home " + home.Root().string() + " --lang latin ";
  for (const char* value : {"abc", "-1", "1x", "99999999999"}) {
    const TRun run = RunCli("search" + at + "--from " + value + " sense");
    EXPECT_EQ(run.Status, 2) << value;
    EXPECT_NE(run.Output.find("--from"), std::string::npos) << run.Output;
  }
  EXPECT_EQ(RunCli("search" + at + "--from 1 sense").Status, 0);
  // A corrupt main dictionary is named with the reason; the configuration stays.
  home.Write("latin/dictionaries.cfg", std::string("main\r\n"));
  home.Write("latin/main.kdb", std::string(64, 'x'));
  const TRun corrupt = RunCli("lookup" + at + "a");
  EXPECT_EQ(corrupt.Status, 1);
  EXPECT_NE(corrupt.Output.find("cannot read " + home.Path("latin/main.kdb") + ": Corrupt"), std::string::npos)
      << corrupt.Output;
  EXPECT_EQ(ReadBytes(home.Path("latin/dictionaries.cfg")), std::vector<uint8_t>({'m', 'a', 'i', 'n', '\r', '\n'}));
}

// Two compiles into one target at once each write a file of their own: the
// target is always one of the two complete dictionaries.
TEST(CliFiles, ConcurrentCompilesLeaveACompleteDictionary) {
  SKIP_WITHOUT_CLI();
  TTempDir dir;
  const std::string a = dir.Write("a.kds", Utf16Bytes(Source(20000, u'a')));
  const std::string b = dir.Write("b.kds", Utf16Bytes(Source(20000, u'b')));
  ASSERT_EQ(RunCli("compile " + a + " -o " + dir.Path("a.kdb")).Status, 0);
  ASSERT_EQ(RunCli("compile " + b + " -o " + dir.Path("b.kdb")).Status, 0);
  const auto compiledA = ReadBytes(dir.Path("a.kdb")), compiledB = ReadBytes(dir.Path("b.kdb"));
  const char* cli = std::getenv("KODRA_CLI");
  const std::string target = dir.Path("t.kdb");
  for (int trial = 0; trial < 6; ++trial) {
    // Each reports success only for the complete file it wrote.
    const std::string both = std::string("sh -c '") + cli + " compile " + a + " -o " + target + " >/dev/null & " +
                             "a=$!; " + cli + " compile " + b + " -o " + target + " >/dev/null & " +
                             "b=$!; wait $a && wait $b'";
    ASSERT_EQ(std::system(both.c_str()), 0);
    const auto result = ReadBytes(target);
    EXPECT_TRUE(result == compiledA || result == compiledB) << "trial " << trial;
    EXPECT_TRUE(Temporaries(dir.Root()).empty());
  }
}

// A compile killed half-way leaves the old dictionary in place; the next
// compile clears what it left behind. One that is interrupted (Ctrl+C,
// SIGTERM) removes its temporary file itself.
TEST(CliFiles, InterruptedCompileLeavesTheOldDictionary) {
  SKIP_WITHOUT_CLI();
  TTempDir dir;
  const std::string small = dir.Write("small.kds", Utf16Bytes(Source(3, u'a')));
  const std::string big = dir.Write("big.kds", Utf16Bytes(Source(100000, u'b')));
  const std::string target = dir.Path("t.kdb");
  ASSERT_EQ(RunCli("compile " + small + " -o " + target).Status, 0);
  const auto old = ReadBytes(target);
  auto hasTemporaryOf = [&](pid_t writer) {
    for (const std::string& name : Temporaries(dir.Root()))
      if (name.find(".kodra-" + std::to_string(writer) + "-") != std::string::npos) return true;
    return false;
  };
  int interrupted = 0;
  for (int signal : {SIGTERM, SIGINT, SIGKILL}) {
    SCOPED_TRACE(signal);
    const pid_t child = fork();
    if (child == 0) {
      execl(std::getenv("KODRA_CLI"), "kodra-cli", "compile", big.c_str(), "-o", target.c_str(), nullptr);
      _exit(127);
    }
    // Wait until the compile is writing, then stop it.
    for (int i = 0; i < 5000 && !hasTemporaryOf(child); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) continue;  // it finished first: nothing to show
    ++interrupted;
    EXPECT_EQ(ReadBytes(target), old);
    EXPECT_EQ(hasTemporaryOf(child), signal == SIGKILL);
  }
  EXPECT_GT(interrupted, 0);
  ASSERT_EQ(RunCli("compile " + small + " -o " + target).Status, 0);
  EXPECT_TRUE(Temporaries(dir.Root()).empty());
}

// Whatever stands in a file's place (a FIFO, a folder, a link to a device, a
// file that cannot be read), every reader answers within a second with the
// reason and the file's name, and changes no file.
TEST(CliFiles, NoFileInAFilesPlaceHangsOrChangesAnything) {
  SKIP_WITHOUT_CLI();
  namespace fs = std::filesystem;

  const struct {
    const char* file;  // what stands in the hostile file's place
    const char* command;
  } readers[] = {
      {"x.kdb", "info %"},
      {"x.kdb", "dump %"},
      {"x.kds", "verify %"},
      {"x.kds", "compile % -o @/out.kdb"},
      {"home/latin/main.kdb", "lookup --home @/home --lang latin amo"},
      {"home/latin/main.kdb", "search --home @/home --lang latin amo"},
  };
  for (const THostileFile& kind : kHostileFiles) {
    if (!HostileFileApplies(kind)) continue;
    const char* reason = kind.Unreadable ? "ermission denied" : "is not a file";
    for (const auto& reader : readers) {
      SCOPED_TRACE(std::string(kind.Kind) + ": " + reader.command);
      TTempDir dir;
      fs::create_directories(dir.Path("home/latin"));
      const std::string path = dir.Path(reader.file);
      kind.Make(path);
      std::string command = reader.command;
      for (size_t at; (at = command.find('%')) != std::string::npos;) command.replace(at, 1, path);
      for (size_t at; (at = command.find('@')) != std::string::npos;) command.replace(at, 1, dir.Root().string());
      const auto started = std::chrono::steady_clock::now();
      const TRun run = RunCli(command + " < /dev/null");
      EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << run.Output;
      EXPECT_NE(run.Output.find(reason), std::string::npos) << run.Output;
      EXPECT_NE(run.Output.find(path), std::string::npos) << run.Output;
      EXPECT_FALSE(fs::exists(dir.Path("out.kdb")));
      EXPECT_FALSE(fs::exists(dir.Path("home/latin/dictionaries.cfg")));
    }
  }
}

// Messages say what a reader can act on: what is wrong with the file, what a
// repeated keyword's mark means, which command was not understood; the
// messages' ids are left to --json.
TEST(CliFiles, MessagesSayWhatIsWrong) {
  SKIP_WITHOUT_CLI();
  TTempDir dir;
  const std::string header = "<header>\r\ncaption=C\r\ncomment=c\r\nkind=main\r\nlanguage=latin\r\n</header>\r\n";
  auto utf16 = [](const std::string& ascii) {
    std::string bytes;
    for (char c : ascii) bytes += {c, '\0'};
    return bytes;
  };
  const struct {
    const char* arguments;  // % stands for the folder
    const char* says;
  } cases[] = {
      {"verify %/empty.kds", "empty.kds is empty"},
      {"compile %/empty.kds -o %/empty.kdb", "empty.kds is empty"},
      {"verify %/odd.kds", "odd number of bytes"},
      {"compile %/twice.kds -o %/twice.kdb", "two versions, marked with {{ }}; delete one"},
      {"frobnicate x", "unknown command \"frobnicate\""},
  };
  dir.Write("empty.kds", std::string());
  dir.Write("odd.kds", utf16(header) + "x");
  dir.Write("twice.kds", utf16(header + "#amo\r\none\r\n#amo\r\ntwo\r\n"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    std::string arguments = c.arguments;
    for (size_t at; (at = arguments.find('%')) != std::string::npos;) arguments.replace(at, 1, dir.Root().string());
    const TRun run = RunCli(arguments);
    EXPECT_NE(run.Status, 0);
    EXPECT_NE(run.Output.find(c.says), std::string::npos) << run.Output;
    EXPECT_EQ(run.Output.find("(S"), std::string::npos) << run.Output;
  }
  // A name of 100 kB is told by its start and its end.
  const std::string longName = dir.Path(std::string(100000, 'n') + "-end.kdb");
  const TRun run = RunCli("info " + longName);
  EXPECT_NE(run.Status, 0);
  EXPECT_LT(run.Output.size(), 1000u) << run.Output.substr(0, 200);
  EXPECT_NE(run.Output.find("n\u2026n"), std::string::npos) << run.Output.substr(0, 300);
  EXPECT_NE(run.Output.find("-end.kdb"), std::string::npos) << run.Output.substr(0, 300);
}

// A dictionary copied over in place while `lookup -` runs is named and read
// again before the next word; the program goes on.
TEST(CliFiles, LookupReadsADictionaryCopiedOverInPlaceAgain) {
  SKIP_WITHOUT_CLI();
  TTempDir dir;
  std::filesystem::create_directories(dir.Path("home/latin"));
  dir.Write("home/latin/dictionaries.cfg", std::string("main\r\n"));
  const std::u16string header = u"<header>\r\ncaption=C\r\ncomment=c\r\nkind=main\r\nlanguage=latin\r\n</header>\r\n";
  std::u16string first = header, second = header;
  for (int i = 0; i < 3000; ++i)
    first += u"#k" + std::u16string{char16_t(u'a' + i % 26), char16_t(u'a' + i / 26 % 26), char16_t(u'a' + i / 676)} +
             u"\r\nfiller text\r\n";
  first += u"#puer\r\nthe first boy\r\n";
  second += u"#puer\r\nthe second boy\r\n";
  dir.Write("first.kds", Utf16Bytes(first));
  dir.Write("second.kds", Utf16Bytes(second));
  ASSERT_EQ(RunCli("compile " + dir.Path("first.kds") + " -o " + dir.Path("home/latin/main.kdb")).Status, 0);
  ASSERT_EQ(RunCli("compile " + dir.Path("second.kds") + " -o " + dir.Path("second.kdb")).Status, 0);
  // The copy comes after the first word has been answered.
  const std::string command = "{ echo puer; sleep 1.5; cat " + dir.Path("second.kdb") + " > " +
                              dir.Path("home/latin/main.kdb") + "; echo puer; } | " + std::getenv("KODRA_CLI") +
                              " lookup --home " + dir.Path("home") + " --lang latin - 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  char chunk[4096];
  for (size_t n; (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, n);
  const int status = pclose(pipe);
  EXPECT_TRUE(WIFEXITED(status)) << output;
  const size_t firstBoy = output.find("the first boy"), changed = output.find("changed on disk and was read again"),
               secondBoy = output.find("the second boy");
  EXPECT_NE(firstBoy, std::string::npos) << output;
  EXPECT_NE(changed, std::string::npos) << output;
  EXPECT_NE(secondBoy, std::string::npos) << output;
  EXPECT_LT(firstBoy, secondBoy) << output;
}
