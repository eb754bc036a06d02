// The font table editor's assignments and the lines and files they make.
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "language/uFontTableModel.h"
#include "language/uLanguage.h"

namespace {
int32_t IndexOf(const TFontTableModel& model, char16_t character) {
  for (int32_t i = 0; i < model.Count(); ++i)
    if (model.Character(i) == character) return i;
  return -1;
}
}  // namespace

TEST(FontTableModel, AssignmentsMakeTheTableLines) {
  TFontTableModel model(*FindLanguage("ancientgreek"));
  const int32_t alpha = IndexOf(model, u'α');
  ASSERT_GE(alpha, 0);
  // The semicolon's cell is kept as 1F, so that ";" keeps separating.
  EXPECT_TRUE(model.AppendCode(alpha, 0x3B));
  EXPECT_EQ(model.Assignment(alpha), "\x1F");
  EXPECT_EQ(TFontTableModel::LineOf(model.Assignment(alpha), u'α'), "1F=03B1");
  EXPECT_TRUE(model.AddAlternate(alpha));
  EXPECT_FALSE(model.CanAddAlternate(alpha));  // already ends in ";"
  model.AppendCode(alpha, 0x41);
  model.AppendCode(alpha, 0x42);
  EXPECT_EQ(TFontTableModel::LineOf(model.Assignment(alpha), u'α'), "1F;41,42=03B1");
  EXPECT_FALSE(model.AppendCode(alpha, 31));
  EXPECT_FALSE(model.AppendCode(alpha, 256));
  // 31 bytes at most.
  const int32_t beta = IndexOf(model, u'β');
  for (int i = 0; i < 40; ++i) model.AppendCode(beta, 0x62);
  EXPECT_EQ(model.Assignment(beta).size(), TFontTableModel::kAssignmentLimit);
  EXPECT_TRUE(model.DeleteLast(beta));
  EXPECT_EQ(model.Assignment(beta).size(), TFontTableModel::kAssignmentLimit - 1);

  const struct {
    std::string Assignment;
    char16_t Character;
    std::string Line;
  } lines[] = {
      {"", u'γ', ""},
      {";", u'γ', ""},             // only a separator: nothing to write
      {"ab;", u'γ', "61,62=03B3"},  // a trailing ";" is dropped
      {"a;b;c", u'γ', "61;62;63=03B3"},
  };
  for (const auto& line : lines) EXPECT_EQ(TFontTableModel::LineOf(line.Assignment, line.Character), line.Line);
}

TEST(FontTableModel, TheFileHoldsTheCharacterSetAndTheAssignedCharactersInOrder) {
  TFontTableModel model(*FindLanguage("ancientgreek"));
  EXPECT_EQ(model.FileText(), "#00\r\n");  // nothing assigned: only the "#" line
  model.SetCharacterSet(2);
  model.AppendCode(IndexOf(model, u'β'), 0x62);
  model.AppendCode(IndexOf(model, u'α'), 0x61);
  model.AddAlternate(IndexOf(model, u'α'));
  model.AppendCode(IndexOf(model, u'α'), 0x3B);
  const std::string text = model.FileText();
  EXPECT_EQ(text.substr(0, 5), "#02\r\n");
  EXPECT_LT(text.find("61;1F=03B1\r\n"), text.find("62=03B2\r\n"));
  // Read back, with a line of a character the language does not list.
  TFontTableModel loaded(*FindLanguage("ancientgreek"));
  loaded.LoadText(text + "41=0416\r\n");
  EXPECT_EQ(loaded.CharacterSet(), 2u);
  EXPECT_EQ(loaded.Assignment(IndexOf(loaded, u'α')), "a;\x1F");
  EXPECT_EQ(loaded.FileText(), text);
  EXPECT_FALSE(loaded.Modified());
}

TEST(FontTableModel, AssignmentsMakeTheWholeFile) {
  const struct {
    uint32_t CharacterSet;
    std::vector<std::pair<char16_t, std::vector<int>>> Clicks;  // -1: Add alternate
    std::string Text;
  } cases[] = {
      {0, {}, "#00\r\n"},
      {161, {{u'β', {0x62}}, {u'α', {0x61}}}, "#A1\r\n61=03B1\r\n62=03B2\r\n"},
      {2, {{u'α', {0x61, 0x29, -1, 0x3B}}}, "#02\r\n61,29;1F=03B1\r\n"},
      {0, {{u'α', {0x61, -1}}, {u'γ', {0xE7, 0xFF}}}, "#00\r\n61=03B1\r\nE7,FF=03B3\r\n"},
  };
  for (const auto& c : cases) {
    TFontTableModel model(*FindLanguage("ancientgreek"));
    model.SetCharacterSet(c.CharacterSet);
    for (const auto& [character, clicks] : c.Clicks)
      for (const int click : clicks)
        if (click < 0) model.AddAlternate(IndexOf(model, character));
        else model.AppendCode(IndexOf(model, character), uint32_t(click));
    EXPECT_EQ(model.FileText(), c.Text);
  }
}
