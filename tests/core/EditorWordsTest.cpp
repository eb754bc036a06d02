// The words the dictionary editor takes from its panes.
#include <gtest/gtest.h>

#include "foundation/KezText.h"
#include "language/uGreek.h"
#include "language/uLatin.h"
#include "source/uEditorWords.h"

TEST(EditorWords, GoToWordTakesTheSelectionOrTheLettersAroundTheCaret) {
  TGreek greek;
  struct {
    std::u16string text;
    int32_t start, end, caret;
    std::u16string word;
  } cases[] = {
      {u"λ\u1F79γος κα\u1F77", 0, 0, 2, u"λ\u1F79γος"},  // the letters around the caret
      {u"λ\u1F79γος κα\u1F77", 0, 0, 5, u"λ\u1F79γος"},  // the caret just after the word
      {u"λ\u1F79γος κα\u1F77", 6, 9, 9, u"κα\u1F77"},    // the selection
      {u" (ἀνα-βα\u1F77νω), ", 0, 14, 14, u"ἀναβα\u1F77νω"},  // trimmed, no brackets or hyphens inside
      {u"12 λόγος", 0, 2, 2, u""},                 // nothing but digits
      {u"", 0, 0, 0, u""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ToUtf8(GoToWord(greek, c.text, c.start, c.end, c.caret)), ToUtf8(c.word)) << ToUtf8(c.text);
}

TEST(EditorWords, KeywordLineAndTheLineItGoesBefore) {
  TGreek greek;
  TLatin latin;
  // Case and accents stay (tonos as oxia), final sigma is the keyword's σ;
  // what no keyword holds goes.
  EXPECT_EQ(ToUtf8(KeywordLine(greek, u"Λόγος, ὁ")), ToUtf8(u"#Λ\u1F79γοσὁ\r\n"));
  EXPECT_EQ(ToUtf8(KeywordLine(latin, u"Amo 1")), "#Amo\r\n");
  EXPECT_EQ(KeywordLine(latin, u""), u"#\r\n");
  const std::u16string text = u"#amo\r\n<h>amo</h>";
  EXPECT_EQ(LineStartBefore(text, 10), 6);
  EXPECT_EQ(LineStartBefore(text, 6), 6);
  EXPECT_EQ(LineStartBefore(text, 3), 0);
  EXPECT_EQ(LineStartBefore(text, 100), 6);
}

TEST(EditorWords, PastedSearchTextIsCleaned) {
  struct {
    std::u16string pasted, cleaned;
  } cases[] = {
      {u"  λόγος\r\n\tκαί  ", u"λόγος καί "},
      {u"[amo], 12 {x}", u"amo  x"},
      {u"a_b~c^d", u"abcd"},
      {u"\r\n", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(ToUtf8(CleanSearchBoxText(c.pasted)), ToUtf8(c.cleaned)) << ToUtf8(c.pasted);
}

TEST(EditorWords, PanePositionsCountOneUnitPerLineEnd) {
  const std::u16string source = u"#λόγος\r\nслово\r\n\r\nречь";
  const struct {
    int32_t Offset;
    int32_t Pane;
  } cases[] = {{0, 0}, {6, 6}, {7, 7}, {8, 7}, {13, 12}, {15, 13}, {17, 14}, {21, 18}, {99, 18}, {-3, 0}};
  for (const auto& c : cases) EXPECT_EQ(PanePosition(source, c.Offset), c.Pane) << c.Offset;
  // The pane's paragraph ends and line breaks come back as CR LF.
  EXPECT_EQ(SourceTextOfPane(u"#a\nb\x000B" u"c\r\nd\re"), u"#a\r\nb\r\nc\r\nd\r\ne");
}
