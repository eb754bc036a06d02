#include <gtest/gtest.h>

#include "foundation/KezLocale.h"
#include "language/uCommon.h"

TEST(CharacterClasses, Members) {
  struct { char16_t c; bool word, pattern, separator; } cases[] = {
      {u'a', true, true, false},     {u'Z', true, true, false},   {u'5', true, false, false},
      {u'-', true, false, false},    {u'.', true, false, true},   {u'_', true, false, false},
      {u'*', false, true, true},     {u'?', false, true, true},   {u'~', false, false, false},
      {u'(', false, false, false},   {0x0000, false, false, false}, {0x007F, false, false, true},
      {0x00A0, true, true, false},   {0x00A9, false, true, false}, {0x00BF, false, true, false},
      {0x0451, true, true, false},   {0x1F00, true, true, false}, {0x2014, false, false, true},
      {0x2026, false, false, true},  {0x3000, true, true, false}, {u' ', false, false, true},
  };
  for (auto c : cases) {
    EXPECT_EQ(IsWordChar(c.c), c.word) << std::hex << int(c.c);
    EXPECT_EQ(IsPatternChar(c.c), c.pattern) << std::hex << int(c.c);
    EXPECT_EQ(IsSeparator(c.c), c.separator) << std::hex << int(c.c);
  }
  for (char16_t c : {u'(', u')', u'-', char16_t(0x0301)}) EXPECT_TRUE(IsInWordSign(c));
  for (char16_t c : {u'a', u'.', u'_'}) EXPECT_FALSE(IsInWordSign(c));
}

TEST(CleanText, CollapsesBlanksAndDropsAsciiPunctuation) {
  struct { std::u16string in, out; } cases[] = {
      {u"", u""},
      {u"  \ta, b", u"a b"},
      {u"a\n", u"a "},
      {u"a.b", u"ab"},
      {u"12 abc", u"abc"},
      {u"λόγος;  καί", u"λόγος καί"},
  };
  for (const auto& c : cases) EXPECT_EQ(CleanText(c.in), c.out);
}

TEST(KeyToRussian, StandardLayout) {
  struct { uint16_t key; TShiftState shift; char16_t expected; } cases[] = {
      {0x51, 0, u'й'}, {0x51, ssShift, u'Й'}, {0xDC, 0, 0}, {0xC0, 0, u'ё'}, {0xC0, ssShift, u'Ё'},
      {0x41, 0, u'ф'}, {0x5A, ssShift, u'Я'}, {0x32, ssShift, u'"'}, {0x34, ssShift, u';'},
      {0xBF, 0, u'.'}, {0xBF, ssShift, u','}, {0xBA, 0, u'ж'}, {0xDE, ssShift, u'Э'}, {0x30, 0, u'0'},
      {0x70, 0, 0},
  };
  for (auto c : cases) EXPECT_EQ(KeyToRussian(c.key, c.shift), c.expected) << std::hex << c.key;
}

TEST(DictionaryKind, ComparedCaseSensitively) {
  EXPECT_EQ(DictionaryKindOf(u"main"), dkMain);
  EXPECT_EQ(DictionaryKindOf(u"form"), dkForm);
  EXPECT_EQ(DictionaryKindOf(u"user"), dkUser);
  EXPECT_EQ(DictionaryKindOf(u"Main"), dkOther);
  EXPECT_EQ(DictionaryKindOf(u""), dkOther);
}

TEST(RaiseHelpedError, UsesTranslationWhenPresent) {
  try {
    RaiseHelpedError("SCorruptFile", "Corrupt or inappropriate dictionary file");
    FAIL();
  } catch (const THelpedException& e) {
    EXPECT_EQ(e.HelpKeyword, "SCorruptFile");
    EXPECT_STREQ(e.what(), "Corrupt or inappropriate dictionary file");
  }
  Locale().LoadFromText("SCorruptFile=Испорченный файл\n");
  try {
    RaiseHelpedError("SCorruptFile", "Corrupt or inappropriate dictionary file");
  } catch (const THelpedException& e) {
    EXPECT_EQ(e.Message, "Испорченный файл");
  }
  Locale().Clear();
}
