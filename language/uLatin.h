#pragma once
// Latin: the basic letters and the vowels with diaeresis, macron and breve.
#include "language/uLanguage.h"

class TLatin : public TKodraLanguage {
public:
  int CharCount() const override;
  char16_t CharAt(int index) const override;
  char16_t NormalizeChar(char16_t c) const override { return c; }
  bool IsLetter(char16_t c) const override { return CharFlags(c) & cfLetter; }
  bool IsKeywordChar(char16_t c) const override { return CharFlags(c) & cfKeyword; }
  char16_t FoldChar(char16_t c, bool keepDiacritics) const override;
  char16_t FoldSecond(char16_t c, bool keepDiacritics) const override;
  std::string GetId() const override { return "latin"; }
  std::string GetName() const override { return "Latin"; }
  bool FindKeyword(const TKeywordSequence& list, const char16_t* key, int32_t& index) const override;
  bool FindFirstKeyword(const TKeywordSequence& list, const char16_t* key, int32_t& index) const override;
  TKeywordLocation LocateWord(const TKeywordSequence& list, const char16_t* word) const override;
  std::vector<int32_t> CaseTwins(const TKeywordSequence& list, int32_t index) const override;
  const char16_t* GetKeyboardGrid(bool capitals, int& columns, int& rows) const override;
  int CompareKeywordText(const char16_t* a, const char16_t* b) const override;
  TKeywordPrefix KeywordPrefix(const char16_t* keyword) const override;
  uint32_t KeywordWeight(char16_t c) const override { return CharWeight(c); }

  static uint32_t CharFlags(char16_t c);
  static uint32_t CharWeight(char16_t c);
  static int PrimaryCompare(char16_t a, char16_t b);
  static int FullCompare(char16_t a, char16_t b);
  static int CompareKeywordPrimary(const void* context, const void* item, const void* key);
  static int CompareKeywordFull(const void* context, const void* item, const void* key);
};
