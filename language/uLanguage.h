#pragma once
// A language: how keywords of its dictionaries compare and are searched, how
// its characters fold for search, and how typed keys become its letters.
// Languages are singletons in a process-wide registry keyed by identifier.
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "language/uKeywordSequence.h"
#include "language/uCommon.h"

class TImportFont;
class TInputMethod;
class TKezAbstractRichEdit;

// Character flag bits.
constexpr uint32_t cfCapital = 0x001;
constexpr uint32_t cfSmall = 0x002;
constexpr uint32_t cfSign = 0x004;
constexpr uint32_t cfDiacritic = 0x010;
constexpr uint32_t cfKeyword = 0x100;
constexpr uint32_t cfLetter = cfCapital | cfSmall | cfSign;

// How a word stands to the keyword that lookup lands on: equal in every
// letter, accent and case; equal in its letters (the reader's spelling or
// accents differ); or only the nearest keyword.
enum TKeywordMatch : uint8_t { kmNone = 0, kmLetters = 1, kmExact = 2 };

struct TKeywordLocation {
  int32_t Index = 0;  // the keyword count for a word beyond the last keyword
  TKeywordMatch Match = kmNone;
};

// The letters (primary weights) of a keyword's first sixteen letters, one
// byte each, in an order that compares as two numbers: unequal prefixes
// order their keywords as CompareKeywordText does, equal ones leave it to
// CompareKeywordText. Sorting large keyword lists compares these in place
// instead of visiting every keyword's text.
struct TKeywordPrefix {
  uint64_t High = 0, Low = 0;
  bool operator==(const TKeywordPrefix&) const = default;
  bool operator<(const TKeywordPrefix& other) const {
    return High != other.High ? High < other.High : Low < other.Low;
  }
};

// A keyboard layout: entry k is what the key of character 0x20 + k types.
using TKeyboardLayout = std::array<char16_t, 95>;

class TKodraLanguage {
public:
  TKodraLanguage();
  virtual ~TKodraLanguage();
  TKodraLanguage(const TKodraLanguage&) = delete;
  TKodraLanguage& operator=(const TKodraLanguage&) = delete;

  virtual int CharCount() const = 0;
  virtual char16_t CharAt(int index) const = 0;
  virtual char16_t NormalizeChar(char16_t c) const = 0;
  virtual bool IsLetter(char16_t c) const = 0;
  virtual bool IsKeywordChar(char16_t c) const = 0;
  // A mark that texts write after an elided word (δ’): part of the word.
  virtual bool IsElisionMark(char16_t) const { return false; }
  // The base rule: the character itself with diacritics kept, otherwise its
  // simple lowercase with ё folded to е.
  virtual char16_t FoldChar(char16_t c, bool keepDiacritics) const;
  // The second unit of a character that folds to two (Latin æ to a, e):
  // FoldChar gives the first. 0 for every other character.
  virtual char16_t FoldSecond(char16_t c, bool keepDiacritics) const;
  virtual std::string GetId() const = 0;
  virtual std::string GetName() const = 0;
  // The list is in the order of CompareKeywordText.
  virtual bool FindKeyword(const TKeywordSequence& list, const char16_t* key, int32_t& index) const = 0;
  virtual bool FindFirstKeyword(const TKeywordSequence& list, const char16_t* key, int32_t& index) const = 0;
  // The keyword that a reader means by a word: the nearest one, moved onto a
  // keyword of the same letters where one stands beside it, and failing that
  // the first of the word's other spellings that has one.
  virtual TKeywordLocation LocateWord(const TKeywordSequence& list, const char16_t* word) const = 0;
  // The keywords of the list that differ from the one at the index in case
  // only (Liber, liber): different words, each shown with the other.
  virtual std::vector<int32_t> CaseTwins(const TKeywordSequence& list, int32_t index) const = 0;
  virtual const char16_t* GetKeyboardGrid(bool capitals, int& columns, int& rows) const = 0;
  // The order of keyword lists: letters first, then case and diacritics.
  virtual int CompareKeywordText(const char16_t* a, const char16_t* b) const = 0;
  virtual TKeywordPrefix KeywordPrefix(const char16_t* keyword) const = 0;
  // A unit's weight in that order: its letter above the low byte, its case
  // and diacritics in it.
  virtual uint32_t KeywordWeight(char16_t c) const = 0;

  // A file of the language's folder to read: the user's copy when there is
  // one, else the shipped one (one folder in a portable copy).
  std::string GetPath(const std::string& fileName) const;
  std::string GetFontTablePath(const std::string& fontName) const;
  // Where the user's copy of a font table is written; the folder is made.
  std::string GetUserFontTablePath(const std::string& fontName) const;

  // A key through the built-in US layout and then the language's keyboard layout.
  char16_t KeyToChar(uint16_t virtualKey, TShiftState shift) const;
  char16_t LayoutChar(char16_t keyChar) const;
  void NormalizeText(std::u16string& text) const;
  // A word as it reaches lookup or search: composed, then normalised.
  std::u16string PrepareWord(std::u16string_view text) const;
  // A typed word as keywords are written: prepared, its blanks joined with
  // "_" (keywords of several words), an enclitic's leading hyphen dropped
  // (-que). The viewer and the editor look words up through it alike.
  std::u16string LookupWord(std::u16string_view typed) const;
  bool IsKeywordText(std::u16string_view text) const;
  bool IsLanguageText(std::u16string_view text) const;

  // Forgets the keyboard layout so that the next use reads it again.
  void ResetKeyboardLayout() const { FLayout[0] = 0; }

  // Inserts the typed character c of the language at the caret, composing
  // it with the characters before the caret through the input method.
  void TypeChar(TKezAbstractRichEdit& edit, char16_t c) const;
  // The table of "inputmethod.tbl", read on first use (empty without the file).
  const TInputMethod& InputMethod() const;
  // Forgets the input method so that the next use reads it again.
  void ResetInputMethod() const;
  // The typing tables ("inputmethod.tbl", "keyboardlayout.tbl") that are
  // there but cannot be read, each as "<path> <why>": typing then goes
  // without them, and the reader should be told. Opens, never reads.
  std::vector<std::string> UnreadableTypingTables() const;

  // The import table of a legacy 8-bit font, read from its ".fnt" file on
  // first use (no table without the file). Face names compare without
  // regard to case. Main thread only.
  const TImportFont& ImportFont(const std::string& faceName) const;
  // Forgets the font's table so that the next use reads its file again.
  void DropFontTable(const std::string& faceName) const;

private:
  void LoadKeyboardLayout() const;

  mutable TKeyboardLayout FLayout{};  // U+0020..U+007E; entry 0 is 0 until loaded
  mutable std::unique_ptr<TInputMethod> FInputMethod;
  mutable std::map<std::string, std::unique_ptr<TImportFont>, std::less<>> FImportFonts;  // by lowered face name
};

// The key character of a Windows virtual-key code on the US layout; 0 for
// keys without one and whenever Ctrl or Alt is held.
char16_t UsKeyChar(uint16_t virtualKey, TShiftState shift);

// Reads one key=value line of an 8-bit table file. The key runs from the
// cursor to the first "="; the value to the first NUL, CR or LF. False when
// no "=" is left.
bool ReadKeyValueLine(std::string_view text, size_t& cursor, std::string_view& key, std::string_view& value);
// Hexadecimal digits up to the first other character; none gives 0.
uint32_t ReadHex(std::string_view text);

// "keyboardlayout.tbl" is read only up to this size; a larger file is ignored.
constexpr size_t kKeyboardLayoutFileLimit = 1024 * 1024;
// Fills the layout from the text of "keyboardlayout.tbl": every key types
// itself except those named by a "key=hex" line, whose key's first byte is
// a printable ASCII character other than space and whose value is the unit
// the key types (0 for none). A value that is no hexadecimal number, is
// larger than FFFF or is a surrogate leaves the key as it was.
void ParseKeyboardLayout(std::string_view text, TKeyboardLayout& layout);

// Keyword comparison: skip is applied to both texts, charCompare to pairs.
using TCharCompare = int (*)(char16_t a, char16_t b);
using TCharSkip = bool (*)(char16_t c);
int CompareKeywords(const char16_t* a, const char16_t* b, TCharCompare charCompare, TCharSkip skip);
inline bool IsIgnorable(char16_t c) { return c == u'_'; }

// The registry; identifiers compare without regard to case.
// The registry owns its languages; a second language with the same identifier is ignored.
void RegisterLanguage(std::unique_ptr<TKodraLanguage> language);
TKodraLanguage* FindLanguage(std::string_view id);
bool LanguageExists(std::string_view id);
// The built-in languages ("ancientgreek", "latin") are registered on first use of the registry.


// The current language identifier of the program ("ancientgreek" until set):
// the language of a new source dictionary.
const std::string& DefaultLanguageId();
void SetDefaultLanguageId(const std::string& id);
