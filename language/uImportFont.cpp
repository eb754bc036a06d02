#include "language/uImportFont.h"

#include "foundation/KezFiles.h"
#include "foundation/KezText.h"
#include "language/uLanguage.h"

uint32_t ParseHex(std::string_view text, size_t& cursor) {
  uint32_t value = 0;
  for (; cursor < text.size(); ++cursor) {
    const char c = text[cursor];
    uint32_t digit;
    if (c >= '0' && c <= '9')
      digit = uint32_t(c - '0');
    else if (c >= 'A' && c <= 'F')
      digit = uint32_t(c - 'A' + 10);
    else if (c >= 'a' && c <= 'f')
      digit = uint32_t(c - 'a' + 10);
    else
      break;
    value = value * 16 + digit;
  }
  return value;
}

namespace {
constexpr uint32_t kFirstCode = 0x1F, kLastCode = 0xFF;
constexpr uint8_t kSemicolonCode = 0x1F;  // ";" itself separates alternatives

// Past the rest of the line and the line ends after it.
void SkipLine(std::string_view text, size_t& cursor) {
  while (cursor < text.size() && text[cursor] != '\r' && text[cursor] != '\n') ++cursor;
  while (cursor < text.size() && (text[cursor] == '\r' || text[cursor] == '\n')) ++cursor;
}

bool At(std::string_view text, size_t cursor, char c) { return cursor < text.size() && text[cursor] == c; }
}  // namespace

uint32_t LoadFontTable(std::string_view text, const TFontTableSink& sink) {
  size_t cursor = 0;
  uint32_t charset = 0;
  if (At(text, 0, '#')) {
    cursor = 1;
    charset = ParseHex(text, cursor);
    SkipLine(text, cursor);
  }
  std::string codes;
  while (cursor < text.size()) {
    if (text[cursor] != '=') {
      codes.clear();
      for (;;) {
        const uint32_t code = ParseHex(text, cursor);
        if (code < kFirstCode || code > kLastCode) break;
        codes += char(code);
        if (At(text, cursor, ';')) {
          codes += ';';
          ++cursor;
        } else if (At(text, cursor, ',')) {
          ++cursor;
        } else {
          break;
        }
      }
      // A line without codes ("10=0041") is a comment, not an empty mapping.
      if (!codes.empty() && At(text, cursor, '=')) {
        ++cursor;
        sink(codes, ParseHex(text, cursor));
      }
    }
    SkipLine(text, cursor);
  }
  return charset;
}

uint32_t LoadFontTableFile(const std::string& path, const TFontTableSink& sink) {
  std::string text;
  if (!ReadSmallFile(path, kFontTableFileLimit, text)) return 0;
  return LoadFontTable(text, sink);
}

uint32_t LoadFontTable(const TKodraLanguage& language, const std::string& faceName, const TFontTableSink& sink) {
  // Face names come from pasted documents: never let one reach outside the language's folder.
  if (faceName.empty() || faceName.find_first_of(std::string_view("/\\:\0", 4)) != std::string::npos) return 0;
  return LoadFontTableFile(language.GetFontTablePath(AsciiLowered(faceName)), sink);
}

TImportFont::TImportFont() = default;
TImportFont::~TImportFont() = default;

void TImportFont::AddMapping(std::string_view codes, uint32_t value) {
  if (value == 0 || value > 0xFFFF || (value >= 0xD800 && value <= 0xDFFF)) return;
  if (!FTable) FTable = std::make_unique<TShortKeyTable>(217);
  std::u16string key;
  for (size_t i = 0;; ++i) {
    if (i == codes.size() || codes[i] == ';') {
      // Empty keys and keys holding a NUL are not taken.
      FTable->Add(key, char16_t(value), klHeads);
      if (i == codes.size()) return;
      key.clear();
      continue;
    }
    const auto code = static_cast<uint8_t>(codes[i]);
    key += code == kSemicolonCode ? u';' : char16_t(code);
    if (key.size() > size_t(MaxKeyLength)) return;  // too long: ignored with the alternatives after it
  }
}

bool TImportFont::Lookup(std::u16string_view sequence, char16_t& value, bool& continues) const {
  continues = false;
  if (!FTable) {
    value = sequence.empty() ? char16_t(0) : sequence.front();
    return true;
  }
  const TImportFontRecord* record = FTable->Find(sequence);
  if (!record) return false;
  value = record->Value;
  continues = record->Continues != 0;
  return true;
}
