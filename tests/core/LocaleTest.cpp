#include <gtest/gtest.h>

#include "TestFiles.h"
#include "foundation/KezLocale.h"

TEST(KezLocale, LineRules) {
  TKezLocale locale;
  locale.LoadFromText(
      "  \t\r\nfirst=one\r\n"
      "first=ignored, the first entry stays\n"
      "spaced =no entry\n"
      "=empty key\n"
      "emptyvalue=\n"
      "kept=  value with blanks  \r"
      "equals=a=b\n"
      "alias=@target\n"
      "@target=resolved\n"
      "broken=@nowhere\n"
      "last=end");
  struct { const char* key; bool found; const char* value; } cases[] = {
      {"first", true, "one"},
      {"spaced", false, ""},
      {"spaced ", false, ""},
      {"emptyvalue", false, ""},
      {"kept", true, "  value with blanks  "},
      {"equals", true, "a=b"},
      {"alias", true, "resolved"},
      {"broken", false, ""},
      {"last", true, "end"},
      {"First", false, ""},
  };
  for (auto c : cases) {
    std::string value;
    EXPECT_EQ(locale.Find(c.key, value), c.found) << c.key;
    if (c.found) {
      EXPECT_EQ(value, c.value) << c.key;
    }
  }
  EXPECT_EQ(locale.Text("missing", "default"), "default");
}

TEST(KezLocale, LoadEmptiesTableAndMissingFileLeavesItEmpty) {
  TTempDir dir;
  TKezLocale locale;
  locale.Load(dir.Write("Russian.lng", std::string("SCorruptFile=Испорчен\n")));
  EXPECT_EQ(locale.Text("SCorruptFile", "x"), "Испорчен");
  locale.Load(dir.Path("absent.lng"));
  EXPECT_TRUE(locale.Empty());
  EXPECT_EQ(locale.Text("SCorruptFile", "x"), "x");
}

// A file that gives no texts says why, so that the reader is not left
// wondering why the interface is in English.
TEST(KezLocale, AFileThatGivesNoTextsSaysWhy) {
  TTempDir dir;
  const std::string folder = dir.Path("folder.lng");
  std::filesystem::create_directory(folder);
  const std::string huge = dir.Write("Huge.lng", std::string("SCorruptFile=x\n"));
  std::filesystem::resize_file(huge, kLocaleFileLimit + 1);
  struct { std::string file; std::string reason; } cases[] = {
      {dir.Write("Russian.lng", std::string("SCorruptFile=Испорчен\n")), ""},
      {dir.Path("absent.lng"), "is missing"},
      {folder, "is not a file"},
      {huge, "is too large"},
      {dir.Write("Binary.lng", std::string("\x01\x02\x03 \xff\xfe")), "holds no interface texts"},
      {dir.Write("Empty.lng", std::string()), "holds no interface texts"},
  };
  TKezLocale locale;
  for (const auto& c : cases) {
    EXPECT_EQ(locale.Load(c.file), c.reason) << c.file;
    EXPECT_EQ(locale.Empty(), !c.reason.empty()) << c.file;
  }
}

TEST(KezLocale, FileBeyondTheLimitIsNotRead) {
  TTempDir dir;
  const std::string path = dir.Write("Huge.lng", std::string("SCorruptFile=Испорчен\n"));
  TKezLocale locale;
  std::filesystem::resize_file(path, kLocaleFileLimit);  // zeros after the line
  locale.Load(path);
  EXPECT_EQ(locale.Text("SCorruptFile", "x"), "Испорчен");
  std::filesystem::resize_file(path, kLocaleFileLimit + 1);
  locale.Load(path);
  EXPECT_TRUE(locale.Empty());
}

TEST(KezLocale, NulEndsALine) {
  using namespace std::string_literals;
  TKezLocale locale;
  locale.LoadFromText("SProcessing=\0Обработка\r\n"
                      "kept=value\0tail=x\n"
                      "key\0part=y\n"s);
  struct { const char* key; const char* text; } cases[] = {
      {"SProcessing", "default"},  // no empty translation
      {"kept", "value"},
      {"tail", "x"},
      {"part", "y"},
      {"key", "default"},
  };
  for (auto c : cases) EXPECT_EQ(locale.Text(c.key, "default"), c.text) << c.key;
}
