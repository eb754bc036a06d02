#pragma once
// Import tables of legacy 8-bit fonts: texts typed before Unicode show Greek
// letters as glyphs of an 8-bit font such as Symbol, so pasted text in such
// a font is read through "<font face name in lower case>.fnt" in the
// language's folder. The file is 8-bit text; any run of CR and LF ends a line:
//   1. an optional first line "#" + hex: the font's Windows character set
//      (0 ANSI, 2 symbol, A1 Greek); none means 0;
//   2. lines "codes=hex": alternatives separated by ";", each a sequence of
//      hex codes 1F to FF separated by ","; every alternative stands for the
//      Unicode unit given. The code 1F stands for the byte 3B (";", which
//      separates alternatives);
//   3. a line that begins with "=" or with no code in 1F-FF is a comment; a
//      code outside 1F-FF ends the codes, and the line counts only when "="
//      follows there.
// An alternative of more than six codes is ignored with the ones after it.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "language/uShortKeyTable.h"

class TKodraLanguage;

// Hexadecimal digits from the cursor on, in 32 bits (wrapping); the cursor
// stops on the first other character. No digit gives 0 and leaves it.
uint32_t ParseHex(std::string_view text, size_t& cursor);

// A table file larger than this is taken as missing.
constexpr size_t kFontTableFileLimit = 16 * 1024 * 1024;

// Receives each mapping line of a table: its code bytes (alternatives still
// joined by ";", code 1F not yet replaced) and the value as written.
using TFontTableSink = std::function<void(std::string_view codes, uint32_t value)>;

// Reads a table's text into the sink; returns the character set.
uint32_t LoadFontTable(std::string_view text, const TFontTableSink& sink);
// A missing, unreadable or oversized file gives 0 and no mappings.
uint32_t LoadFontTableFile(const std::string& path, const TFontTableSink& sink);
// The file of the face in the language's folder. A face name that is empty
// or holds a path separator names no file.
uint32_t LoadFontTable(const TKodraLanguage& language, const std::string& faceName, const TFontTableSink& sink);

// What a key of code units holds: the unit (0 when the key only leads on),
// and whether it is a proper head of a longer key.
using TImportFontRecord = TShortKeyRecord;

// The table of one font. Without any mapping there is no table and every
// character stands for itself.
class TImportFont {
public:
  static constexpr int32_t MaxKeyLength = TShortKeyTable::MaxKeyLength;

  TImportFont();
  ~TImportFont();
  TImportFont(const TImportFont&) = delete;
  TImportFont& operator=(const TImportFont&) = delete;

  // Adds the alternatives of codes (as a table line gives them) for value.
  // A value that is no BMP character (0, above FFFF, a surrogate) cannot be
  // pasted as one unit, so the call is ignored and makes no table. The
  // first definition of a key wins.
  void AddMapping(std::string_view codes, uint32_t value);
  // Without a table: found, the sequence's first unit, no continuation.
  // With one: the key's record, or false when the sequence is no key.
  bool Lookup(std::u16string_view sequence, char16_t& value, bool& continues) const;
  bool HasTable() const { return FTable != nullptr; }

private:
  std::unique_ptr<TShortKeyTable> FTable;
};
