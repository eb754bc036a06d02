// The safe-file writer: through links, with the old permissions, and without
// leaving temporary files behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestFiles.h"
#include "foundation/KezSafeFile.h"

namespace fs = std::filesystem;

namespace {
void Save(const std::string& target, const std::string& text) {
  TKezSafeFile file;
  file.Open(target);
  file.Write(text.data(), text.size());
  file.Commit();
}

std::string Text(const std::string& path) {
  const auto bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(SafeFile, SavingThroughALinkWritesItsFileAndKeepsPermissions) {
  TTempDir dir;
  fs::create_directory(dir.Root() / "real");
  const std::string real = dir.Write("real/a.kds", std::string("old"));
  chmod(real.c_str(), 0640);
  fs::create_symlink("real/a.kds", dir.Root() / "link.kds");
  fs::create_symlink(dir.Root() / "link.kds", dir.Root() / "chain.kds");
  Save(dir.Path("chain.kds"), "new");
  EXPECT_TRUE(fs::is_symlink(dir.Root() / "link.kds"));
  EXPECT_TRUE(fs::is_symlink(dir.Root() / "chain.kds"));
  EXPECT_EQ(Text(real), "new");
  struct stat status;
  ASSERT_EQ(stat(real.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(Names(dir.Root() / "real"), std::vector<std::string>{"a.kds"});
  // A link to a file not yet there creates it.
  fs::create_symlink("real/b.kds", dir.Root() / "new.kds");
  Save(dir.Path("new.kds"), "b");
  EXPECT_EQ(Text(dir.Path("real/b.kds")), "b");
  EXPECT_TRUE(SameFile(dir.Path("new.kds"), dir.Path("real/b.kds")));
  EXPECT_FALSE(SameFile(dir.Path("new.kds"), dir.Path("real/a.kds")));
  EXPECT_TRUE(SameFile(dir.Path("real/../real/c.kdb"), dir.Path("real/c.kdb")));
}

TEST(SafeFile, TemporariesAreOwnAndThoseOfEndedWritersGo) {
  TTempDir dir;
  const std::string target = dir.Path("x.kdb");
  const std::string ended = target + ".kodra-" + std::to_string(EndedProcess()) + "-abcdef";
  const std::string living = target + ".kodra-1-abcdef";  // the init process never ends
  const std::string other = dir.Path("y.kdb.kodra-" + std::to_string(EndedProcess()) + "-abcdef");
  for (const std::string& name : {ended, living, other}) dir.Write(fs::path(name).filename().string(), "partial");
  {
    TKezSafeFile abandoned;
    abandoned.Open(target);
    EXPECT_EQ(abandoned.TemporaryName().rfind(target + ".kodra-" + std::to_string(getpid()) + "-", 0), 0u);
    TKezSafeFile second;
    second.Open(target);
    EXPECT_NE(second.TemporaryName(), abandoned.TemporaryName());
  }
  EXPECT_FALSE(fs::exists(target));
  Save(target, "done");
  EXPECT_EQ(Text(target), "done");
  EXPECT_FALSE(fs::exists(ended));
  EXPECT_TRUE(fs::exists(living));
  EXPECT_TRUE(fs::exists(other));  // another target's
}
