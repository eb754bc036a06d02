#pragma once
// The input method of a language: typed letters composed with the letters
// before the caret into one character (a then ")" then "/" gives ἄ). The
// table comes from "inputmethod.tbl" in the language's folder, an 8-bit
// text file of three parts:
//   1. one line of bytes that stand for themselves in keys;
//   2. key=hex lines with a one-byte key: that byte stands for the unit
//      given (a line with an empty key or value, such as "=", ends the part);
//   3. key=hex lines: the key's bytes, translated through parts 1 and 2 into
//      1 to 6 units, compose into the unit given. The first definition of a
//      key wins; lines with an untranslatable byte or a longer key are
//      skipped.
#include <cstdint>
#include <string>
#include <string_view>

#include "language/uShortKeyTable.h"

class TKezAbstractRichEdit;

// What an input-method key holds: the composed unit (0 when the key only
// leads on), and whether it is the tail of a longer key.
using TInputMethodRecord = TShortKeyRecord;

// What typing one character does: the Replaced units before the caret and
// the typed one give way to Result.
struct TComposition {
  char16_t Result = 0;
  int32_t Replaced = 0;
};

class TInputMethod {
public:
  static constexpr int32_t MaxKeyLength = TShortKeyTable::MaxKeyLength;

  TInputMethod();
  TInputMethod(const TInputMethod&) = delete;
  TInputMethod& operator=(const TInputMethod&) = delete;

  // Reads a table's text; what was there before is dropped. Malformed lines
  // are skipped.
  void Load(std::string_view text);
  // A missing or unreadable file leaves the table empty: no composition.
  void LoadFromFile(const std::string& path);
  void Clear();

  // Null when the key (1 to 6 units) is not in the table.
  const TInputMethodRecord* Find(std::u16string_view key) const { return FTable.Find(key); }
  int32_t KeyCount() const { return FTable.KeyCount(); }

  // Typing c after the text before the caret: the longest key that ends with
  // c and composes into something wins. Only the last MaxKeyLength units of
  // before matter.
  TComposition Compose(std::u16string_view before, char16_t c) const;

private:
  TShortKeyTable FTable{313};
};

// Inserts the typed character c at the caret of the edit, replacing a
// selection first and composing c with the units before the caret.
void TypeChar(const TInputMethod& method, TKezAbstractRichEdit& edit, char16_t c);
