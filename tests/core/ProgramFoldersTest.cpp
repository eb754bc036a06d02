// Where a portable and an installed copy read their shipped files and write
// the user's, and how the user's dictionaries stand in front of the shipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "SourceTestUtil.h"
#include "dictionary/uDictionariesManager.h"
#include "dictionary/uDictionary.h"
#include "foundation/KezFiles.h"
#include "foundation/KezProgramFolder.h"
#include "language/uLanguage.h"
#include "options/uFirstRunFont.h"

namespace fs = std::filesystem;

namespace {
std::string Slash(const fs::path& path) { return path.string() + kPathDelimiter; }

void Touch(const fs::path& file, const std::string& text = "x") {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

// Every file under the folder with its size and time: what "nothing was written" compares.
std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> Snapshot(const fs::path& folder) {
  std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    files[entry.path().string()] = {entry.is_regular_file() ? entry.file_size() : 0, entry.last_write_time()};
  return files;
}

// Compiles a one-article Latin dictionary whose article says text.
void CompileInto(const fs::path& target, const std::u16string& text) {
  TSourceFixture f;
  f.Load(u"<header>\r\ncaption=" + text + u"\r\nkind=main\r\nlanguage=latin\r\n</header>\r\n#amo\r\n" + text + u"\r\n",
         "source.kds");
  fs::create_directories(target.parent_path());
  f.Dictionary.Compile(target.string());
}

// The set's folders as the process has them, restored afterwards.
class TFoldersScope {
public:
  explicit TFoldersScope(const TProgramFolders& folders)
      : FPrevious{ProgramFolder(), UserConfigFolder(), UserDataFolder(), IsInstalledCopy(), UserCacheFolder()} {
    SetProgramFolders(folders);
  }
  ~TFoldersScope() { SetProgramFolders(FPrevious); }

private:
  TProgramFolders FPrevious;
};
}  // namespace

TEST(ProgramFolders, AreResolvedFromTheEnvironment) {
  TTempDir dir;
  const fs::path root = dir.Root();
  // A portable copy with its settings, one with a language folder, and an installed copy.
  Touch(root / "portable-ini" / "kodra3.ini");
  Touch(root / "portable-lang" / "latin" / "dictionaries.cfg", "main\r\n");
  Touch(root / "usr" / "share" / "kodra" / "latin" / "main.kdb");
  fs::create_directories(root / "usr" / "bin");
  fs::create_directories(root / "bare");
  const std::string prefixBin = (root / "usr" / "bin").string();
  const std::string shipped = Slash(root / "usr" / "share" / "kodra");
  struct TCase {
    const char* Name;
    TFolderEnvironment Environment;
    TProgramFolders Expected;
  };
  const TCase cases[] = {
      {"KODRA_HOME wins", {prefixBin, "/opt/k", "../share/kodra", "/c", "/d", "/h", "/x"},
       {"/opt/k/", "/opt/k/", "/opt/k/", false, "/opt/k/"}},
      {"settings beside the program",
       {(root / "portable-ini").string(), "", "../share/kodra", "/c", "/d", "/h", "/x"},
       {Slash(root / "portable-ini"), Slash(root / "portable-ini"), Slash(root / "portable-ini"), false, Slash(root / "portable-ini")}},
      {"a language folder beside the program",
       {(root / "portable-lang").string(), "", "../share/kodra", "/c", "/d", "/h", "/x"},
       {Slash(root / "portable-lang"), Slash(root / "portable-lang"), Slash(root / "portable-lang"), false, Slash(root / "portable-lang")}},
      {"installed, XDG folders", {prefixBin, "", "../share/kodra", "/c", "/d", "/h", "/x"},
       {shipped, "/c/kodra/", "/d/kodra/", true, "/x/kodra/"}},
      {"installed, HOME's defaults",
       {prefixBin, "", "../share/kodra", "", "", "/h", ""},
       {shipped, "/h/.config/kodra/", "/h/.local/share/kodra/", true, "/h/.cache/kodra/"}},
      {"installed, relative XDG folders are ignored",
       {prefixBin, "", "../share/kodra", "rel/c", "rel/d", "/h", "rel/x"},
       {shipped, "/h/.config/kodra/", "/h/.local/share/kodra/", true, "/h/.cache/kodra/"}},
      {"no data folder: the executable's folder",
       {(root / "bare").string(), "", "../share/kodra", "/c", "/d", "/h", "/x"},
       {Slash(root / "bare"), Slash(root / "bare"), Slash(root / "bare"), false, Slash(root / "bare")}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TProgramFolders folders = ResolveProgramFolders(c.Environment);
    EXPECT_EQ(folders.Program, c.Expected.Program);
    EXPECT_EQ(folders.Config, c.Expected.Config);
    EXPECT_EQ(folders.Data, c.Expected.Data);
    EXPECT_EQ(folders.Installed, c.Expected.Installed);
    EXPECT_EQ(folders.Cache, c.Expected.Cache);
  }
}

// An installed copy with an empty user folder reads the shipped dictionaries
// and writes nothing under the prefix; a user's dictionary of the same name wins.
TEST(ProgramFolders, TheUsersDictionariesStandInFrontOfTheShipped) {
  TTempDir dir;
  const fs::path shipped = dir.Root() / "share" / "kodra";
  const fs::path user = dir.Root() / "home" / "data" / "kodra";
  CompileInto(shipped / "latin" / "main.kdb", u"shipped");
  CompileInto(shipped / "latin" / "extra.kdb", u"extra");
  Touch(shipped / "latin" / "dictionaries.cfg", "extra\r\n");  // without main: the set adds it and writes
  Touch(shipped / "latin" / "keyboardlayout.tbl", "");
  const auto before = Snapshot(shipped);
  TFoldersScope scope({Slash(shipped), Slash(dir.Root() / "home" / "config" / "kodra"), Slash(user), true,
                       Slash(dir.Root() / "home" / "cache" / "kodra")});

  TKodraLanguage* latin = FindLanguage("latin");
  {
    TDictionary set(latin);
    set.LoadDictionaries(true);
    ASSERT_EQ(set.DictionaryCount(), 2);
    EXPECT_EQ(std::u16string(set.GetDictionary(0)->Caption()), u"shipped");
    EXPECT_EQ(set.Folder(), Slash(user / "latin"));
  }
  // The configuration with main added went to the user's folder.
  std::string configuration;
  ASSERT_TRUE(ReadSmallFile((user / "latin" / "dictionaries.cfg").string(), 1024, configuration));
  EXPECT_EQ(configuration, "main\r\nextra\r\n");

  CompileInto(user / "latin" / "main.kdb", u"user's own");
  {
    TDictionary set(latin);
    set.LoadDictionaries(true);
    ASSERT_EQ(set.DictionaryCount(), 2);
    EXPECT_EQ(std::u16string(set.GetDictionary(0)->Caption()), u"user's own");
  }
  // The manager lists each name once, the user's file first, and saves to the user's folder.
  TDictionariesList list(latin, (user / "latin").string(), (shipped / "latin").string());
  ASSERT_EQ(list.Count(), 2);
  const auto main = std::find_if(list.Items().begin(), list.Items().end(), [](const auto& i) { return i.Name == "main"; });
  ASSERT_NE(main, list.Items().end());
  EXPECT_EQ(main->Header.Caption, u"user's own");
  list.Toggle(1);
  list.Save();
  // Tables: the shipped one is read until the user has a copy; font tables are written to the user's folder.
  EXPECT_EQ(latin->GetPath("keyboardlayout.tbl"), (shipped / "latin" / "keyboardlayout.tbl").string());
  Touch(user / "latin" / "keyboardlayout.tbl", "");
  EXPECT_EQ(latin->GetPath("keyboardlayout.tbl"), (user / "latin" / "keyboardlayout.tbl").string());
  EXPECT_EQ(latin->GetUserFontTablePath("times"), (user / "latin" / "times.fnt").string());

  EXPECT_EQ(Snapshot(shipped), before) << "an installed copy wrote under its prefix";
}

TEST(FirstRunFont, PrefersTheWantedFaceThenAPolytonicOne) {
  const auto covers = [](const std::string& face) {
    return face == "DejaVu Sans" || face == "Obscure Greek" || face == "Noto Serif";
  };
  struct TCase {
    std::vector<std::string> Installed;
    std::string Expected;
  };
  const TCase cases[] = {
      {{"Arial", "tahoma", "DejaVu Sans"}, "Tahoma"},                 // the face asked for is there
      {{"Arial", "Noto Serif", "DejaVu Sans"}, "DejaVu Sans"},       // the preferred order, not the list's
      {{"Noto Sans", "Noto Serif"}, "Noto Serif"},                    // a preferred face without Greek Extended is passed over
      {{"Arial", "Obscure Greek"}, "Obscure Greek"},                  // any face that covers the block
      {{"Arial", "Liberation Sans"}, "System Face"},                  // none does: the system's face
      {{}, "System Face"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Expected);
    EXPECT_EQ(ChooseFirstRunFont(c.Installed, "Tahoma", covers, "System Face"), c.Expected);
  }
}
