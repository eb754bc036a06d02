#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "TestFiles.h"
#include "foundation/KezFileFinder.h"
#include "foundation/KezFiles.h"
#include "foundation/KezSystemError.h"

TEST(KezFiles, ReadingPastTheEndSetsTheErrorFlag) {
  TTempDir dir;
  auto in = NewKezInFile();
  in->Open(dir.Write("three", std::vector<uint8_t>{1, 2, 3}), 0, true);  // buffer size 0 works as 1
  EXPECT_EQ(in->Size(), 3);
  EXPECT_EQ(in->ReadInteger(), 0x030201);
  EXPECT_TRUE(in->Error());
  EXPECT_TRUE(in->Eof());
  in->Rewind();
  EXPECT_FALSE(in->Error());
  EXPECT_EQ(in->ReadWord(), 0x0201);

  in->Open(dir.Write("empty", std::vector<uint8_t>{}), 4096, true);
  EXPECT_TRUE(in->Eof());
  EXPECT_THROW(in->Open(dir.Path("absent"), 16, true), ESystemError);
}

TEST(KezFiles, StringsRoundTrip) {
  TTempDir dir;
  const std::string path = dir.Path("values");
  {
    auto out = NewKezOutFile();
    out->Open(path, 3);
    out->WriteFixedString("abc", 5);
    out->WriteFixedString("abc", 2);
    out->WriteZString("zs");
    out->WriteShortString("short");
    out->WriteLongString("long");
    out->WriteZWideString(u"λόγος");
    out->WriteFixedWideString(u"αβ", 3);
    out->WriteLongWideString(u"ἄνθρωπος");
    out->WriteBoolean(true);
    out->WriteDouble(2.5);
    out->Close();
    EXPECT_FALSE(out->Error());
  }
  const auto bytes = ReadBytes(path);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 7), (std::vector<uint8_t>{'a', 'b', 'c', 0, 0, 'a', 'b'}));
  auto in = NewKezInFile();
  in->Open(path, 4, true);
  EXPECT_EQ(in->ReadFixedString(5), "abc");
  EXPECT_EQ(in->ReadFixedString(2), "ab");
  EXPECT_EQ(in->ReadZString(100), "zs");
  EXPECT_EQ(in->ReadShortString(), "short");
  EXPECT_EQ(in->ReadLongString(), "long");
  EXPECT_EQ(in->ReadZWideString(100), u"λόγος");
  EXPECT_EQ(in->ReadFixedWideString(3), u"αβ");
  EXPECT_EQ(in->ReadLongWideString(), u"ἄνθρωπος");
  EXPECT_TRUE(in->ReadBoolean());
  EXPECT_EQ(in->ReadDouble(), 2.5);
  EXPECT_FALSE(in->Error());
}

TEST(KezFileFinder, ListsWhatTheMaskMatchesWhateverTheCase) {
  TTempDir dir;
  for (const char* name : {"main.kdb", "User.KDB", "notes.kds", "kdb", "a.kdb.bak"}) dir.Write(name, std::vector<uint8_t>{1, 2});
  std::filesystem::create_directory(dir.Path("sub.kdb"));
  const struct {
    const char* Mask;
    std::set<std::string> Names;
  } cases[] = {
      {"*.kdb", {"main.kdb", "User.KDB", "sub.kdb"}},
      {"*.*", {"main.kdb", "User.KDB", "notes.kds", "kdb", "a.kdb.bak", "sub.kdb"}},
      {"?ain.*", {"main.kdb"}},
      {"*.kd?", {"main.kdb", "User.KDB", "notes.kds", "sub.kdb"}},
      {"KDB", {"kdb"}},
  };
  for (const auto& c : cases) {
    TKezFileFinder finder(dir.Path(""), c.Mask);
    std::set<std::string> names;
    for (TKezFileEntry entry; finder.Next(entry);) {
      names.insert(entry.Name);
      EXPECT_EQ(entry.Directory, entry.Name == "sub.kdb") << entry.Name;
      if (!entry.Directory) {
        EXPECT_EQ(entry.Size, 2u) << entry.Name;
      }
    }
    EXPECT_EQ(names, c.Names) << c.Mask;
  }
  TKezFileEntry entry;
  EXPECT_FALSE(TKezFileFinder(dir.Path("absent"), "*").Next(entry));
}
