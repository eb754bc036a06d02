#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "TestFiles.h"
#include "options/uOptions.h"
#include "options/uOptionsIni.h"

namespace {
std::string FirstRunText(const std::string& localeName) {
  return "object TOptions\r\n"
         "  LocaleName = '" + localeName + "'\r\n"
         "  DefFontName = 'Tahoma'\r\n"
         "  StatusFont.FontSize = 8\r\n"
         "  PopupHelpFont.FontSize = 8\r\n"
         "  CaptionTag.Color = clMaroon\r\n"
         "  CaptionTag.Underline = True\r\n"
         "  HeaderTag.Color = clNone\r\n"
         "  HeaderTag.Bold = True\r\n"
         "  MarkTag.Color = clGreen\r\n"
         "  MarkTag.Italic = True\r\n"
         "  AuthorTag.RelSize = 78\r\n"
         "  AuthorTag.Color = clNavy\r\n"
         "  EnumTag.Color = clNone\r\n"
         "  CommentTag.Color = clNone\r\n"
         "  CommentTag.Italic = True\r\n"
         "  ExampleTag.Color = clGray\r\n"
         "end\r\n";
}

std::string ReadText(const std::string& path) {
  const auto bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

std::string ReadError(const std::string& text) {
  TOptions o;
  try {
    ReadOptionsText(text, o);
  } catch (const EOptionsReadError& e) {
    return e.what();
  }
  return "";
}
}  // namespace

TEST(OptionsFile, FirstRunWritesExactlyTheFirstRunLines) {
  struct {
    const char* locale;
    const char* localeName;
  } cases[] = {{"ru_RU.UTF-8", "Russian"}, {"en_GB.UTF-8", "English"}, {"C", "English"}};
  for (auto c : cases) {
    TTempDir dir;
    setenv("LC_ALL", c.locale, 1);
    LoadOptions(dir.Root().string());
    EXPECT_EQ(ReadText(dir.Path("kodra3.ini")), FirstRunText(c.localeName)) << c.locale;
    EXPECT_EQ(Options().LocaleName(), c.localeName);
    EXPECT_EQ(Options().FileName(), dir.Path("kodra3.ini"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path("kodra3.ini.tmp")));

    // The second start reads the file and leaves it as it is, whatever the locale now.
    setenv("LC_ALL", "ru_RU.UTF-8", 1);
    LoadOptions(dir.Root().string());
    EXPECT_EQ(Options().LocaleName(), c.localeName);
    EXPECT_EQ(Options().AuthorTag().RelSize(), 78);
    EXPECT_EQ(ReadText(dir.Path("kodra3.ini")), FirstRunText(c.localeName));
  }
  unsetenv("LC_ALL");
}

TEST(OptionsFile, BlackTagIsNotWrittenAndReturnsAsNone) {
  TTempDir dir;
  LoadOptions(dir.Root().string());
  Options().CaptionTag().SetColor(clBlack);
  ASSERT_TRUE(Options().Save());
  EXPECT_EQ(ReadText(dir.Path("kodra3.ini")).find("CaptionTag.Color"), std::string::npos);
  LoadOptions(dir.Root().string());
  EXPECT_EQ(Options().CaptionTag().Color(), clNone);
  EXPECT_TRUE(Options().CaptionTag().DefColor());
}

TEST(OptionsFile, UnknownPropertyRecreatesTheFirstRunFile) {
  TTempDir dir;
  setenv("LC_ALL", "ru_RU.UTF-8", 1);
  dir.Write("kodra3.ini", "object TOptions\r\n  Colour = clRed\r\n  StatusDelay = 3\r\nend\r\n");
  LoadOptions(dir.Root().string());
  EXPECT_EQ(ReadText(dir.Path("kodra3.ini")), FirstRunText("Russian"));
  EXPECT_EQ(Options().StatusDelay(), 8);
  unsetenv("LC_ALL");
}

TEST(OptionsFile, MalformedTextIsAReadError) {
  const char* cases[] = {
      "",
      "object TOptions\r\n",
      "TOptions\r\nend\r\n",
      "object TOptions\r\n  Bogus = 1\r\nend\r\n",
      "object TOptions\r\n  ListFont.Bogus = 1\r\nend\r\n",
      "object TOptions\r\n  BeepOnError = 1\r\nend\r\n",
      "object TOptions\r\n  BeepOnError = Yes\r\nend\r\n",
      "object TOptions\r\n  StatusDelay = '5'\r\nend\r\n",
      "object TOptions\r\n  StatusDelay = 5x\r\nend\r\n",
      "object TOptions\r\n  StatusDelay = 99999999999\r\nend\r\n",
      "object TOptions\r\n  StatusDelay\r\nend\r\n",
      "object TOptions\r\n  HotKey = 65536\r\nend\r\n",
      "object TOptions\r\n  AbbrExpansion = 1\r\nend\r\n",
      "object TOptions\r\n  AbbrExpansion = aeHalf\r\nend\r\n",
      "object TOptions\r\n  MarkTag.Color = clPink\r\nend\r\n",
      "object TOptions\r\n  LocaleName = English\r\nend\r\n",
      "object TOptions\r\n  LocaleName = 'English\r\nend\r\n",
      "object TOptions\r\n  LocaleName = 'Eng' +\r\nend\r\n",
      "object TOptions\r\n  LocaleName = #\r\nend\r\n",
      "object TOptions\r\n  LocaleName = #55296\r\nend\r\n",
      "object TOptions\r\nend\r\nend\r\n",
  };
  for (const char* text : cases) EXPECT_NE(ReadError(text), "") << text;
  EXPECT_EQ(ReadError("object TOptions\r\n\r\n  StatusDelay = 5\r\n  Bogus = 1\r\nend\r\n"), "line 4: unknown property Bogus");

  // What came before the error stays assigned.
  TOptions o;
  EXPECT_THROW(ReadOptionsText("object TOptions\n StatusDelay = 5\n Bogus = 1\nend\n", o), EOptionsReadError);
  EXPECT_EQ(o.StatusDelay(), 5);
}

TEST(OptionsFile, ReaderAcceptsEquivalentForms) {
  TOptions o;
  ReadOptionsText("\xEF\xBB\xBFobject Options: TOptions\n"
                  "  localename = 'it''s'#1046\n"
                  "  BeepOnError = false\n"
                  "  HotKey = 24641\n"
                  "  MarkTag.Color = 255\n"
                  "  CaptionTag.Color = clRed\n"
                  "  CaptionTag.DefColor = True\n"
                  "  FullTextSearch.ShowKind = skFirst\n"
                  "  FullTextSearch.MaxSearch = 0\n"
                  "  DefFontName = \n    'Ga' +\n    'ramond'\n"
                  "end",
                  o);
  EXPECT_EQ(o.LocaleName(), "it's\xD0\x96");
  EXPECT_FALSE(o.BeepOnError());
  EXPECT_EQ(o.HotKey(), 0x6041);
  EXPECT_EQ(o.MarkTag().Color(), clRed);
  EXPECT_EQ(o.CaptionTag().Color(), clNone);
  EXPECT_EQ(o.FullTextSearch().ShowKind(), skFirst);
  EXPECT_EQ(o.FullTextSearch().MaxSearch(), 1);
  EXPECT_EQ(o.DefFontName(), "Garamond");
}

TEST(OptionsFile, ValuesRoundTrip) {
  const std::string longName = std::string(60, 'a') + "'b\tcdefgh\xD0\x96\xD0\x96";  // 71 characters
  const std::string exactName(64, 'x');
  TOptions o;
  o.SetDefFontName(longName);
  o.SetLocaleName(exactName);
  o.SetHotKey(0x6070);
  o.SetAbbrExpansion(aeSub);
  o.EditorFont().SetFontName("Courier New");
  o.EnumTag().SetColor(0x123456);
  o.ExampleTag().SetColor(clWindowText);
  o.EditorColors().SetColoring(true);
  o.FullTextSearch().SetShowKind(skFirst);
  o.FullTextSearch().SetMaxSearch(9000);
  o.SetHelpOnError(false);
  const std::string text = WriteOptionsText(o);
  for (const std::string& line : std::initializer_list<std::string>{
           "  LocaleName = '" + exactName + "'\r\n",
           "  DefFontName = \r\n    '" + std::string(60, 'a') + "'#39'b'#9'c' +\r\n    'defgh\xD0\x96\xD0\x96'\r\n",
           "  HotKey = 24688\r\n",
           "  AbbrExpansion = aeSub\r\n",
           "  EditorFont.FontName = 'Courier New'\r\n",
           "  EnumTag.Color = 1193046\r\n",
           "  ExampleTag.Color = clWindowText\r\n",
           "  EditorColors.Coloring = True\r\n",
           "  FullTextSearch.MaxSearch = 8000\r\n",
           "  FullTextSearch.ShowKind = skFirst\r\n",
           "  HelpOnError = False\r\n",
       })
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;

  TOptions back;
  ReadOptionsText(text, back);
  EXPECT_EQ(back.DefFontName(), longName);
  EXPECT_EQ(back.LocaleName(), exactName);
  EXPECT_EQ(WriteOptionsText(back), text);
}

// The program's own first-start choice (the font) is made before the first
// file is written, so that a start killed in between leaves no file that
// would keep a later start from choosing.
TEST(OptionsFile, FirstStartChoosesBeforeItSaves) {
  TTempDir dir;
  const std::string file = dir.Path("kodra3.ini");
  bool chose = false;
  LoadOptions(dir.Root().string(), [&](TOptions& options) {
    EXPECT_FALSE(std::filesystem::exists(file));
    options.SetDefFontName("Chosen Face");
    chose = true;
  });
  EXPECT_TRUE(chose);
  EXPECT_NE(ReadText(file).find("Chosen Face"), std::string::npos) << ReadText(file);
  // A later start reads the choice and chooses nothing.
  LoadOptions(dir.Root().string(), [&](TOptions&) { ADD_FAILURE() << "chose again"; });
  EXPECT_EQ(Options().DefFontName(), "Chosen Face");
}

TEST(OptionsFile, FailedSaveLeavesNoFile) {
  TTempDir dir;
  TOptions o;
  o.SetFileName(dir.Path("missing/kodra3.ini"));
  EXPECT_FALSE(o.Save());
  EXPECT_FALSE(std::filesystem::exists(dir.Path("missing")));

  // A save replaces the previous file as a whole.
  o.SetFileName(dir.Write("kodra3.ini", std::string(5000, 'z')));
  ASSERT_TRUE(o.Save());
  EXPECT_EQ(ReadText(dir.Path("kodra3.ini")), WriteOptionsText(o));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("kodra3.ini.tmp")));
}

// Settings are saved as every other file is: through a link to the file it
// points to, keeping the file's permissions, and removing what killed
// writers (of this version and of earlier ones) left beside it.
TEST(OptionsFile, SaveKeepsLinkAndModeAndRemovesDeadWritersTemporaries) {
  namespace fs = std::filesystem;
  TTempDir dir;
  fs::create_directories(dir.Path("real"));
  const std::string real = dir.Write("real/kodra3.ini", std::string("[Options]\r\n"));
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(real, dir.Path("kodra3.ini"));
  const std::string dead[] = {dir.Write("real/kodra3.ini.kodra-999999-aaaaaa", std::string("half")),
                              dir.Write("kodra3.ini.tmp", std::string("half"))};
  TOptions o;
  o.SetFileName(dir.Path("kodra3.ini"));
  ASSERT_TRUE(o.Save());
  EXPECT_TRUE(fs::is_symlink(dir.Path("kodra3.ini")));
  EXPECT_EQ(ReadText(real), WriteOptionsText(o));
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  for (const std::string& temporary : dead) EXPECT_FALSE(fs::exists(temporary)) << temporary;
}

TEST(OptionsFile, UnreadableFileIsKeptAsBadBeforeAFreshOneIsWritten) {
  setenv("LC_ALL", "en_GB.UTF-8", 1);
  // Settings before the error and bytes that are no text at all: nothing of it may be lost.
  using namespace std::string_literals;
  const std::string broken = "object TOptions\r\n  StatusDelay = 3\r\n  Colour = clRed\r\n\xFF\x00\xFE" "end\r\n"s;
  struct {
    const char* name;
    std::function<void(const TTempDir&)> make;
    std::string keptBytes;  // what kodra3.ini.bad holds afterwards
  } cases[] = {
      {"parse error", [&](const TTempDir& d) { d.Write("kodra3.ini", broken); }, broken},
      {"an older copy is replaced",
       [&](const TTempDir& d) {
         d.Write("kodra3.ini.bad", "older");
         d.Write("kodra3.ini", broken);
       },
       broken},
      {"beyond the size limit",
       [](const TTempDir& d) {
         d.Write("kodra3.ini", "object TOptions\r\nend\r\n");
         std::filesystem::resize_file(d.Path("kodra3.ini"), kOptionsFileLimit + 1);  // sparse, cheap
       },
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TTempDir dir;
    c.make(dir);
    const TOptionsLoadResult result = LoadOptions(dir.Root().string());
    EXPECT_TRUE(result.Failed);
    EXPECT_TRUE(result.Kept);
    EXPECT_NE(result.Error, "");
    EXPECT_EQ(result.BadFileName, dir.Path("kodra3.ini.bad"));
    EXPECT_EQ(result.Message(),
              "The settings file could not be read and was kept as kodra3.ini.bad; defaults are in use");
    if (!c.keptBytes.empty()) EXPECT_EQ(ReadText(dir.Path("kodra3.ini.bad")), c.keptBytes);
    else EXPECT_EQ(std::filesystem::file_size(dir.Path("kodra3.ini.bad")), kOptionsFileLimit + 1);
    // Defaults throughout, none of the settings read before the error, and a file that reads.
    EXPECT_EQ(Options().StatusDelay(), 8);
    EXPECT_EQ(ReadText(dir.Path("kodra3.ini")), FirstRunText("English"));
    TOptions fresh;
    EXPECT_NO_THROW(ReadOptionsText(ReadText(dir.Path("kodra3.ini")), fresh));
    // The window hears of it once.
    EXPECT_TRUE(TakeOptionsLoadResult().Kept);
    EXPECT_FALSE(TakeOptionsLoadResult().Failed);
    // The next start reads the fresh file and leaves the kept one alone.
    EXPECT_FALSE(LoadOptions(dir.Root().string()).Failed);
    EXPECT_TRUE(std::filesystem::exists(dir.Path("kodra3.ini.bad")));
  }
  unsetenv("LC_ALL");
}

TEST(OptionsFile, FileThatCannotBePutAsideIsNeverOverwritten) {
  TTempDir dir;
  dir.Write("kodra3.ini", "object TOptions\r\n  Colour = clRed\r\nend\r\n");
  // A non-empty folder in the way of the rename.
  std::filesystem::create_directory(dir.Path("kodra3.ini.bad"));
  dir.Write("kodra3.ini.bad/inside", "x");
  const TOptionsLoadResult result = LoadOptions(dir.Root().string());
  EXPECT_TRUE(result.Failed);
  EXPECT_FALSE(result.Kept);
  EXPECT_EQ(result.Message(), "The settings file could not be read; defaults are in use");
  EXPECT_EQ(Options().FileName(), "");
  Options().SetStatusDelay(4);
  EXPECT_FALSE(Options().Save());
  EXPECT_EQ(ReadText(dir.Path("kodra3.ini")), "object TOptions\r\n  Colour = clRed\r\nend\r\n");
  TakeOptionsLoadResult();
}

TEST(OptionsFile, LongStringsAreCutOnACharacterBoundary) {
  const std::string lambda = "\xCE\xBB";  // λ, two bytes
  std::string lambdas;
  for (int i = 0; i < 50000; ++i) lambdas += lambda;
  std::string codes;  // #955 pieces joined across lines
  for (int i = 0; i < 300; ++i) codes += i ? " +\r\n    #955" : "#955";
  struct {
    const char* name;
    std::string value;     // as written after "DefFontName = "
    std::string expected;  // what is read
  } cases[] = {
      {"ASCII", "'" + std::string(100000, 'x') + "'", std::string(512, 'x')},
      {"two-byte letters, odd start", "'a" + lambdas + "'", "a" + lambdas.substr(0, 510)},
      {"two-byte letters, even start", "'" + lambdas + "'", lambdas.substr(0, 512)},
      {"codes across lines", codes, lambdas.substr(0, 512)},
      {"exactly at the limit", "'" + std::string(512, 'y') + "'", std::string(512, 'y')},
      {"stray continuation bytes", "'" + std::string(600, '\x80') + "'", std::string(512, '\x80')},
  };
  for (const auto& c : cases) {
    TOptions o;
    ReadOptionsText("object TOptions\r\n  DefFontName = " + c.value + "\r\n  StatusDelay = 3\r\nend\r\n", o);
    EXPECT_EQ(o.DefFontName(), c.expected) << c.name;
    EXPECT_EQ(o.StatusDelay(), 3) << c.name;  // the rest of the file is read as before
  }
}

TEST(OptionsFile, HugeFontNameInTheFileCostsNoMoreThanTheLimit) {
  TTempDir dir;
  dir.Write("kodra3.ini",
            "object TOptions\r\n  ArticleFont.FontName = '" + std::string(100 * 1024, 'F') + "'\r\nend\r\n");
  EXPECT_FALSE(LoadOptions(dir.Root().string()).Failed);
  EXPECT_LE(Options().ArticleFont().FontName().size(), kOptionsStringLimit);
  EXPECT_EQ(Options().ArticleFont().FontName(), std::string(kOptionsStringLimit, 'F'));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("kodra3.ini.bad")));
}
