// Every file the program writes is written the one safe way: through a link
// to the file it points to, keeping the file's permissions, and removing
// the temporary a killed writer left beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "SourceTestUtil.h"
#include "TestFiles.h"
#include "dictionary/uDictionary.h"
#include "language/uFontTableModel.h"
#include "language/uLanguage.h"
#include "options/uOptions.h"
#include "options/uSavedSearch.h"
#include "source/import/uImportDictionary.h"
#include "source/uRecoveryCopy.h"
#include "source/uSourceDictionary.h"
#include "source/uSourceStreamCompiler.h"

namespace fs = std::filesystem;

namespace {
const std::u16string kSource =
    u"<header>\r\ncaption=Test\r\ncomment=c\r\nkind=main\r\nlanguage=ancientgreek\r\n</header>\r\n"
    u"#λ\u1F79γος\r\n<h>λόγος</h> слово\r\n";

struct TWriter {
  const char* Name;
  const char* Target;  // the file's name in the test's folder
  std::function<void(const TTempDir&, const std::string& target)> Write;
};

std::unique_ptr<TSourceDictionary> LoadedSource(const TTempDir& dir) {
  auto dictionary = std::make_unique<TSourceDictionary>(FindLanguage("ancientgreek"));
  dictionary->LoadFromFile(dir.Write("source.kds", Utf16Bytes(kSource)));
  return dictionary;
}

const TWriter kWriters[] = {
    {"source saved", "x.kds",
     [](const TTempDir& dir, const std::string& target) {
       auto dictionary = LoadedSource(dir);
       dictionary->SetFileName(target);
       dictionary->SaveToFile();
     }},
    {"recovery copy", "x.kds~",
     [](const TTempDir& dir, const std::string&) {
       auto dictionary = LoadedSource(dir);
       dictionary->SetFileName(dir.Path("x.kds"));
       WriteRecoveryCopy(*dictionary);
     }},
    {"compiled in memory", "x.kdb",
     [](const TTempDir& dir, const std::string& target) {
       auto dictionary = LoadedSource(dir);
       dictionary->Verify();
       dictionary->Compile(target);
     }},
    {"compiled from the file", "x.kdb",
     [](const TTempDir& dir, const std::string& target) {
       TSourceStreamCompiler compiler(FindLanguage("ancientgreek"));
       ASSERT_TRUE(compiler.Compile(dir.Write("source.kds", Utf16Bytes(kSource)), target));
     }},
    {"imported", "x.kds",
     [](const TTempDir&, const std::string& target) {
       TImportOptions options;
       options.Format = TImportFormat::Dsl;
       options.LanguageId = "latin";
       TImportReport report;
       ImportDictionaryFile(std::string(KODRA_TEST_DATA) + "/import/fixture.dsl", target, options, report);
     }},
    {"list of dictionaries", "dictionaries.cfg",
     [](const TTempDir&, const std::string& target) { WriteDictionaryConfiguration(target, {"main", "forms"}); }},
    {"settings", "kodra3.ini",
     [](const TTempDir&, const std::string& target) {
       TOptions options;
       options.SetFileName(target);
       ASSERT_TRUE(options.Save());
     }},
    {"search text", "saves.dat",
     [](const TTempDir&, const std::string& target) { WriteSavedSearch(target, u"λόγος"); }},
    {"font table", "symbol.fnt",
     [](const TTempDir&, const std::string& target) {
       TFontTableModel table(*FindLanguage("ancientgreek"));
       table.SaveTo(target);
     }},
};
}  // namespace

#ifndef _WIN32
TEST(Writers, KeepLinkAndModeAndRemoveADeadWritersTemporary) {
  for (const TWriter& writer : kWriters) {
    SCOPED_TRACE(writer.Name);
    TTempDir dir;
    fs::create_directory(dir.Path("real"));
    const std::string real = dir.Write(std::string("real/") + writer.Target, std::string("old"));
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    const std::string target = dir.Path(writer.Target);
    fs::create_symlink(real, target);
    const std::string dead = real + ".kodra-" + std::to_string(EndedProcess()) + "-abcdef";
    dir.Write(fs::path(dead).lexically_relative(dir.Root()).string(), std::string("half"));

    writer.Write(dir, target);
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_NE(ReadBytes(real), ReadBytes(dir.Write("old", std::string("old"))));
    EXPECT_GT(fs::file_size(real), 0u);
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(fs::exists(dead));
    for (const auto& entry : fs::directory_iterator(dir.Path("real")))
      EXPECT_EQ(entry.path().filename().string().find(".kodra-"), std::string::npos) << entry.path();
  }
}
#endif
