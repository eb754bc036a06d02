#include <gtest/gtest.h>

#include "MemoryRichEdit.h"
#include "foundation/KezText.h"

TEST(InsertUnicodeText, EveryUnitBecomesAnEscape) {
  TMemoryRichEdit edit;
  InsertUnicodeText(edit, u"\u1F00a\uF000");
  EXPECT_EQ(edit.LastFragment, "{\\rtf1\\ansi\\ud\\uc1\\u7936?\\u97?\\u61440?}");
  EXPECT_EQ(edit.Text(), u"\u1F00a\uF000");
  EXPECT_EQ(edit.CaretPosition(), 3);
}

TEST(InsertWord, StandsApartFromItsNeighbours) {
  struct {
    std::u16string before;
    int32_t selStart, selEnd;
    std::u16string word, after;
    int32_t caret;
  } cases[] = {
      {u"αβ", 1, 1, u"λόγος", u"α λόγος β", 7},
      {u"", 0, 0, u"w", u"w", 1},
      {u"ab", 0, 0, u"w", u"w ab", 1},
      {u" ab", 0, 0, u"w", u"w ab", 1},
      {u"ab", 2, 2, u"w", u"ab w", 4},
      {u"ab ", 3, 3, u"w", u"ab w", 4},
      {u"a  b", 2, 2, u"w", u"a w b", 3},
      {u"a b", 1, 1, u"w", u"a w b", 3},
      {u"abc", 1, 2, u"w", u"awc", 2},
      {u"abc", 1, 1, u"", u"abc", 1},
  };
  for (const auto& c : cases) {
    TMemoryRichEdit edit;
    edit.SetText(c.before);
    edit.SetSelection(c.selStart, c.selEnd);
    InsertWord(edit, c.word);
    EXPECT_EQ(ToUtf8(edit.Text()), ToUtf8(c.after)) << ToUtf8(c.before) << " + " << ToUtf8(c.word);
    EXPECT_EQ(edit.CaretPosition(), c.caret) << ToUtf8(c.before) << " + " << ToUtf8(c.word);
  }
}

TEST(InsertWord, RefusedInsertionLeavesTextAndCaret) {
  TMemoryRichEdit edit;
  edit.SetText(u"ab");
  edit.SetSelection(1, 1);
  edit.MaxLength = 4;
  InsertWord(edit, u"w");  // "a w b" would be five units long
  EXPECT_EQ(edit.Beeps, 1);
  EXPECT_EQ(edit.Text(), u"ab");
  EXPECT_EQ(edit.CaretPosition(), 1);
}
