#include "language/uLanguage.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include <unicode/uchar.h>

#include "foundation/KezFiles.h"
#include "foundation/KezProgramFolder.h"
#include "foundation/KezText.h"
#include "language/uGreek.h"
#include "language/uImportFont.h"
#include "language/uLatin.h"
#include "language/uTyping.h"

TKodraLanguage::TKodraLanguage() = default;
TKodraLanguage::~TKodraLanguage() = default;

char16_t TKodraLanguage::FoldChar(char16_t c, bool keepDiacritics) const {
  if (keepDiacritics) return c;
  const UChar32 lower = u_tolower(c);
  c = lower <= 0xFFFF ? char16_t(lower) : c;
  return c == u'ё' ? u'е' : c;
}

char16_t TKodraLanguage::FoldSecond(char16_t, bool) const { return 0; }

std::string TKodraLanguage::GetPath(const std::string& fileName) const { return LanguageFileToRead(GetId(), fileName); }

std::string TKodraLanguage::GetFontTablePath(const std::string& fontName) const {
  return GetPath(fontName + ".fnt");
}

std::string TKodraLanguage::GetUserFontTablePath(const std::string& fontName) const {
  return UserLanguageFolder(GetId(), true) + fontName + ".fnt";
}

char16_t TKodraLanguage::KeyToChar(uint16_t virtualKey, TShiftState shift) const {
  const char16_t keyChar = UsKeyChar(virtualKey, shift);
  return keyChar ? LayoutChar(keyChar) : 0;
}

char16_t TKodraLanguage::LayoutChar(char16_t keyChar) const {
  if (FLayout[0] == 0) LoadKeyboardLayout();
  if (keyChar < 0x20 || keyChar > 0x7E) return 0;
  return FLayout[keyChar - 0x20];
}

void TKodraLanguage::LoadKeyboardLayout() const {
  std::string text;
  ReadSmallFile(GetPath("keyboardlayout.tbl"), kKeyboardLayoutFileLimit, text);  // none: every key types itself
  ParseKeyboardLayout(text, FLayout);
}

void ParseKeyboardLayout(std::string_view text, TKeyboardLayout& layout) {
  for (size_t k = 0; k < layout.size(); ++k) layout[k] = char16_t(0x20 + k);
  size_t cursor = 0;
  std::string_view key, value;
  while (ReadKeyValueLine(text, cursor, key, value)) {
    if (key.empty() || value.empty()) continue;
    const auto first = static_cast<unsigned char>(key[0]);
    if (first < 0x21 || first > 0x7E) continue;
    // Leading zeros aside, at most four digits: more would wrap in ReadHex.
    const size_t digits = std::find_if_not(value.begin(), value.end(), [](char c) {
                            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
                          }) - value.begin();
    const std::string_view number = value.substr(0, digits);
    const size_t significant = number.size() - std::min(number.size(), number.find_first_not_of('0'));
    if (digits == 0 || significant > 4) continue;
    const uint32_t unit = ReadHex(number);
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    layout[first - 0x20] = char16_t(unit);
  }
}

const TInputMethod& TKodraLanguage::InputMethod() const {
  if (!FInputMethod) {
    FInputMethod = std::make_unique<TInputMethod>();
    FInputMethod->LoadFromFile(GetPath("inputmethod.tbl"));
  }
  return *FInputMethod;
}

void TKodraLanguage::ResetInputMethod() const { FInputMethod.reset(); }

std::vector<std::string> TKodraLanguage::UnreadableTypingTables() const {
  std::vector<std::string> unreadable;
  for (const char* name : {"inputmethod.tbl", "keyboardlayout.tbl"}) {
    const std::string path = GetPath(name);
    TReadOutcome outcome{TReadResult::Read, 0};
    if (std::FILE* file = OpenRegularFile(path, outcome)) {
      std::fclose(file);
      continue;
    }
    if (!IsMissing(outcome)) unreadable.push_back(path + " " + ReadFailureReason(outcome));
  }
  return unreadable;
}

const TImportFont& TKodraLanguage::ImportFont(const std::string& faceName) const {
  std::string key = AsciiLowered(faceName);
  auto found = FImportFonts.find(key);
  if (found == FImportFonts.end()) {
    auto font = std::make_unique<TImportFont>();
    LoadFontTable(*this, key, [&font](std::string_view codes, uint32_t value) { font->AddMapping(codes, value); });
    found = FImportFonts.emplace(std::move(key), std::move(font)).first;
  }
  return *found->second;
}

void TKodraLanguage::DropFontTable(const std::string& faceName) const { FImportFonts.erase(AsciiLowered(faceName)); }

void TKodraLanguage::TypeChar(TKezAbstractRichEdit& edit, char16_t c) const {
  ::TypeChar(InputMethod(), edit, c);
}

void TKodraLanguage::NormalizeText(std::u16string& text) const {
  for (char16_t& c : text) c = NormalizeChar(c);
}

std::u16string TKodraLanguage::PrepareWord(std::u16string_view text) const {
  std::u16string word = ComposedText(text);
  NormalizeText(word);
  return word;
}

std::u16string TKodraLanguage::LookupWord(std::u16string_view typed) const {
  std::u16string word = PrepareWord(typed);
  std::replace_if(word.begin(), word.end(), [](char16_t c) { return c == u' ' || c == u'\u00A0'; }, u'_');
  if (const size_t letters = word.find_first_not_of(u'-'); letters > 0 && letters != std::u16string::npos)
    word.erase(0, letters);
  return word;
}

bool TKodraLanguage::IsKeywordText(std::u16string_view text) const {
  return std::all_of(text.begin(), text.end(), [this](char16_t c) { return c == u'_' || IsKeywordChar(c); });
}

bool TKodraLanguage::IsLanguageText(std::u16string_view text) const {
  return std::all_of(text.begin(), text.end(), [this](char16_t c) {
    return IsLetter(c) || c == u' ' || c == u'(' || c == u')' || c == u',' || c == u'-' || c == u'.';
  });
}

char16_t UsKeyChar(uint16_t key, TShiftState shift) {
  if (shift & (ssCtrl | ssAlt)) return 0;
  const bool shifted = shift & ssShift;
  if (key == 0x20) return u' ';
  if (key >= 0x30 && key <= 0x39) return shifted ? u")!@#$%^&*("[key - 0x30] : char16_t(key);
  if (key >= 0x41 && key <= 0x5A) return shifted ? char16_t(key) : char16_t(key + 0x20);
  if (key >= 0x60 && key <= 0x69) return char16_t(u'0' + key - 0x60);
  switch (key) {
    case 0x6A: return u'*';
    case 0x6B: return u'+';
    case 0x6D: return u'-';
    case 0x6E: return u'.';
    case 0x6F: return u'/';
    case 0xBA: return shifted ? u':' : u';';
    case 0xBB: return shifted ? u'+' : u'=';
    case 0xBC: return shifted ? u'<' : u',';
    case 0xBD: return shifted ? u'_' : u'-';
    case 0xBE: return shifted ? u'>' : u'.';
    case 0xBF: return shifted ? u'?' : u'/';
    case 0xC0: return shifted ? u'~' : u'`';
    case 0xDB: return shifted ? u'{' : u'[';
    case 0xDC: return shifted ? u'|' : u'\\';
    case 0xDD: return shifted ? u'}' : u']';
    case 0xDE: return shifted ? u'"' : u'\'';
    default: return 0;
  }
}

bool ReadKeyValueLine(std::string_view text, size_t& cursor, std::string_view& key, std::string_view& value) {
  const size_t equals = text.find('=', cursor);
  if (equals == std::string_view::npos) return false;
  key = text.substr(cursor, equals - cursor);
  size_t end = equals + 1;
  while (end < text.size() && text[end] != '\0' && text[end] != '\n' && text[end] != '\r') ++end;
  value = text.substr(equals + 1, end - equals - 1);
  while (end < text.size() && (text[end] == '\n' || text[end] == '\r')) ++end;
  cursor = end;
  return true;
}

uint32_t ReadHex(std::string_view text) {
  size_t cursor = 0;
  return ParseHex(text, cursor);
}

int CompareKeywords(const char16_t* a, const char16_t* b, TCharCompare charCompare, TCharSkip skip) {
  for (;;) {
    if (skip) {
      if (skip(*a)) { ++a; continue; }
      if (skip(*b)) { ++b; continue; }
    }
    if (*a == 0) return *b == 0 ? 0 : -1;
    if (*b == 0) return 1;
    const int r = charCompare ? charCompare(*a, *b) : int(*a) - int(*b);
    if (r != 0) return r;
    ++a;
    ++b;
  }
}

namespace {
struct TRegistryEntry {
  std::string Key;  // lowercased identifier
  std::unique_ptr<TKodraLanguage> Language;
};

std::vector<TRegistryEntry>& RawRegistry() {
  static std::vector<TRegistryEntry> registry;
  return registry;
}

void AddToRegistry(std::unique_ptr<TKodraLanguage> language) {
  auto& registry = RawRegistry();
  std::string key = AsciiLowered(language->GetId());
  auto at = std::lower_bound(registry.begin(), registry.end(), key,
                             [](const TRegistryEntry& e, const std::string& k) { return e.Key < k; });
  if (at != registry.end() && at->Key == key) return;  // duplicates are ignored
  registry.insert(at, TRegistryEntry{std::move(key), std::move(language)});
}

std::vector<TRegistryEntry>& Registry() {
  static const bool builtIns = [] {
    AddToRegistry(std::make_unique<TGreek>());
    AddToRegistry(std::make_unique<TLatin>());
    return true;
  }();
  (void)builtIns;
  return RawRegistry();
}
}  // namespace

void RegisterLanguage(std::unique_ptr<TKodraLanguage> language) {
  Registry();
  AddToRegistry(std::move(language));
}

TKodraLanguage* FindLanguage(std::string_view id) {
  const std::string key = AsciiLowered(id);
  auto& registry = Registry();
  auto at = std::lower_bound(registry.begin(), registry.end(), key,
                             [](const TRegistryEntry& e, const std::string& k) { return e.Key < k; });
  return at != registry.end() && at->Key == key ? at->Language.get() : nullptr;
}

bool LanguageExists(std::string_view id) { return FindLanguage(id) != nullptr; }

namespace {
std::string& DefaultId() {
  static std::string id = "ancientgreek";
  return id;
}
}  // namespace

const std::string& DefaultLanguageId() { return DefaultId(); }
void SetDefaultLanguageId(const std::string& id) { DefaultId() = id; }
