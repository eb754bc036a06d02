// Unsaved work survives a crash: the recovery copy holds it beside the file,
// leaves the file and the dictionary's state alone, and goes with a save.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "SourceTestUtil.h"
#include "source/uRecoveryCopy.h"

TEST(RecoveryCopy, HoldsUnsavedWorkBesideTheFileUntilSaved) {
  TSourceFixture f;
  const std::u16string saved = u"#λόγος\r\nword\r\n";
  f.Load(saved);
  const std::string path = f.Dictionary.FileName();
  EXPECT_EQ(RecoveryCopyName(path), path + "~");
  EXPECT_FALSE(HasRecoveryCopy(path));

  f.Dictionary.SetLocation(spArticles, 0, 0, 0);
  f.Dictionary.SetPartText(u"#λόγος\r\nword, speech\r\n", spArticles, 0);
  ASSERT_TRUE(f.Dictionary.Modified());
  WriteRecoveryCopy(f.Dictionary);
  EXPECT_TRUE(f.Dictionary.Modified());
  EXPECT_EQ(f.Dictionary.FileName(), path);
  EXPECT_EQ(ReadUtf16(path), saved);  // the author's file is untouched
  EXPECT_TRUE(HasRecoveryCopy(path));

  // After a crash: the copy loads with the unsaved article.
  TSourceDictionary recovered(FindLanguage("ancientgreek"));
  recovered.LoadFromFile(RecoveryCopyName(path));
  ASSERT_EQ(recovered.ArticleCount(), 1);
  EXPECT_EQ(recovered.ArticleText(0), u"word, speech\r\n");

  // Saved: the file has the work and the copy goes, with the temporary that
  // a writer of the copy killed mid-way left (its process is gone).
  const std::string dead = RecoveryCopyName(path) + ".kodra-999999-aaaaaa";
  std::ofstream(dead) << "half";
  f.Dictionary.SaveToFile();
  RemoveRecoveryCopy(path);
  EXPECT_FALSE(HasRecoveryCopy(path));
  EXPECT_FALSE(std::filesystem::exists(RecoveryCopyName(path)));
  EXPECT_FALSE(std::filesystem::exists(dead));
  RemoveRecoveryCopy(path);  // none left: no error
}

TEST(RecoveryCopy, AnOlderCopyIsNoUnsavedWork) {
  TSourceFixture f;
  f.Load(u"#λόγος\r\nword\r\n");
  const std::string path = f.Dictionary.FileName();
  WriteRecoveryCopy(f.Dictionary);
  namespace fs = std::filesystem;
  // The file saved after the copy was written: the copy is stale.
  fs::last_write_time(RecoveryCopyName(path), fs::last_write_time(path) - std::chrono::hours(1));
  EXPECT_FALSE(HasRecoveryCopy(path));
  // The file gone: the copy is all there is.
  fs::remove(path);
  EXPECT_TRUE(HasRecoveryCopy(path));
}
