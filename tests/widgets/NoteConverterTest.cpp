// The note-file converter: found only in the program's folder, its errors
// passed on as it words them.
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>

#include "editor/uNoteConverter.h"

TEST(NoteConverter, ConvertsThroughTheLibraryInTheProgramFolder) {
  TNoteConverter converter(KODRA_CONVERTER_DIR);
  ASSERT_TRUE(converter.Available());
  QTemporaryDir dir;
  const std::string target = dir.filePath("notes.kds").toStdString();
  EXPECT_EQ(converter.Convert(dir.filePath("notes.not").toStdString(), target), "");
  EXPECT_TRUE(std::filesystem::exists(target));
  EXPECT_EQ(converter.Convert(dir.filePath("bad.not").toStdString(), target), "Unreadable note file");

  // A folder without the library: nothing to offer.
  TNoteConverter none(dir.path().toStdString());
  EXPECT_FALSE(none.Available());
  EXPECT_FALSE(none.Convert("a.not", target).empty());
}

TEST(NoteConverter, TheDictionaryGoesToTheLanguageFolder) {
  EXPECT_EQ(ConvertedDictionaryName("/opt/kodra/", "latin", "/home/a/notes/verbs.not"), "/opt/kodra/latin/verbs.kds");
  EXPECT_EQ(ConvertedDictionaryName("/opt/kodra", "ancientgreek", "x.y.not"), "/opt/kodra/ancientgreek/x.y.kds");
}
