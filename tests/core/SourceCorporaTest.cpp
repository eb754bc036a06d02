// Real dictionaries: every corpus file loads, verifies, saves and loads again
// to the same records.
#include <gtest/gtest.h>

#include <filesystem>

#include "SourceTestUtil.h"

namespace {
std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(KODRA_CORPORA, error))
    if (entry.path().extension() == ".kds") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::u16string> Records(TSourceDictionary& d) {
  std::vector<std::u16string> records;
  for (int part = spHeader; part <= spArticles; ++part)
    for (int32_t i = 0; i < d.Part(part).Count(); ++i)
      records.push_back(std::u16string(d.Part(part).Record(i).Name) + u'\x1F' + d.Part(part).Record(i).Value);
  return records;
}
}  // namespace

TEST(SourceCorpora, LoadVerifySaveLoadKeepsEveryRecord) {
  const auto files = CorpusFiles();
  if (files.empty()) GTEST_SKIP() << "no corpus folder at " << KODRA_CORPORA;
  TTempDir dir;
  for (const auto& file : files) {
    SCOPED_TRACE(file);
    TSourceDictionary first(FindLanguage("ancientgreek"));
    first.LoadFromFile(file);
    EXPECT_NO_THROW(first.Verify());
    EXPECT_GT(first.ArticleCount(), 0);
    const auto before = Records(first);
    first.SetFileName(dir.Path("copy.kds"));
    first.SaveToFile();
    TSourceDictionary second(FindLanguage("ancientgreek"));
    second.LoadFromFile(dir.Path("copy.kds"));
    EXPECT_EQ(Records(second), before);
    EXPECT_EQ(second.Language(), first.Language());
  }
}
