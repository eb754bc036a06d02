#include "options/uOptionsIni.h"

#include "foundation/KezText.h"

#include <charconv>

#include "foundation/KezColor.h"
#include "options/uOptions.h"

namespace {
constexpr const char* kLineEnd = "\r\n";

bool IsContinuationByte(char c) { return (uint8_t(c) & 0xC0) == 0x80; }

// Characters of UTF-8 text: bytes that do not continue a sequence (a stray
// continuation byte at the start counts as one).
size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i)
    if (i == 0 || !IsContinuationByte(text[i])) ++count;
  return count;
}

// One piece: printable text in quotes, quotes and control characters as #n.
void AppendPiece(std::string& out, std::string_view piece) {
  bool quoted = false;
  for (char c : piece) {
    const bool escaped = uint8_t(c) < 0x20 || c == '\'';
    if (escaped == quoted) {
      out += '\'';
      quoted = !quoted;
    }
    if (escaped)
      out += '#' + std::to_string(uint8_t(c));
    else
      out += c;
  }
  if (quoted) out += '\'';
  if (piece.empty()) out += "''";
}

void AppendString(std::string& out, std::string_view value) {
  if (CharacterCount(value) <= kOptionsStringPiece) {
    AppendPiece(out, value);
    return;
  }
  // Starts on the next line, one level deeper, every line but the last ending in " +".
  auto line = [&](size_t start, size_t end, bool more) {
    out += kLineEnd;
    out += "    ";
    AppendPiece(out, value.substr(start, end - start));
    if (more) out += " +";
  };
  size_t start = 0, count = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    if (i > 0 && IsContinuationByte(value[i])) continue;
    if (count == kOptionsStringPiece) {
      line(start, i, true);
      start = i;
      count = 0;
    }
    ++count;
  }
  line(start, value.size(), false);
}

void AppendValue(std::string& out, const TOptionsProperty& property, const TOptions& options) {
  switch (property.Type) {
    case ptBoolean:
      out += property.GetOrdinal(options) ? "True" : "False";
      break;
    case ptInteger:
    case ptShortCut:
      out += std::to_string(property.GetOrdinal(options));
      break;
    case ptEnumeration:
      out += property.Identifiers.at(size_t(property.GetOrdinal(options)));
      break;
    case ptColor: {
      std::string ident;
      const TColor color = property.GetOrdinal(options);
      out += ColorToIdent(color, ident) ? ident : std::to_string(color);
      break;
    }
    case ptString:
      AppendString(out, property.GetString(options));
      break;
  }
}


bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class TOptionsParser {
public:
  TOptionsParser(std::string_view text, TOptions& options) : FText(text), FOptions(options) {}

  void Read() {
    if (FText.substr(0, 3) == "\xEF\xBB\xBF") FPos = 3;
    if (!SameIdent(Identifier(), "object")) Fail("\"object\" expected");
    Identifier();  // the class name is not checked
    if (Peek() == ':') {
      ++FPos;
      Identifier();
    }
    for (;;) {
      std::string path = Identifier();
      if (SameIdent(path, "end")) break;
      while (FPos < FText.size() && FText[FPos] == '.') {
        ++FPos;
        path += '.';
        path += Identifier();
      }
      const TOptionsProperty& property = Find(path);
      Expect('=');
      Assign(property);
    }
    if (Peek() != 0) Fail("text after \"end\"");
  }

private:
  [[noreturn]] void Fail(const std::string& message) const {
    throw EOptionsReadError("line " + std::to_string(FLine) + ": " + message);
  }

  // Skips blanks and returns the next character, 0 at the end.
  char Peek() {
    while (FPos < FText.size()) {
      const char c = FText[FPos];
      if (c == '\n') ++FLine;
      if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return c;
      ++FPos;
    }
    return 0;
  }

  void Expect(char c) {
    if (Peek() != c) Fail(std::string("\"") + c + "\" expected");
    ++FPos;
  }

  std::string Identifier() {
    if (!IsIdentStart(Peek())) Fail("identifier expected");
    const size_t start = FPos;
    while (FPos < FText.size() && IsIdentChar(FText[FPos])) ++FPos;
    return std::string(FText.substr(start, FPos - start));
  }

  int32_t Integer() {
    const char c = Peek();
    if (!IsDigit(c) && c != '-' && c != '+') Fail("integer expected");
    const size_t start = FPos;
    if (c == '-' || c == '+') ++FPos;
    while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
    if (FPos < FText.size() && IsIdentChar(FText[FPos])) Fail("invalid integer");
    const char* first = FText.data() + start + (c == '+' ? 1 : 0);
    int32_t value = 0;
    const auto [end, error] = std::from_chars(first, FText.data() + FPos, value);
    if (error != std::errc() || end != FText.data() + FPos) Fail("invalid integer");
    return value;
  }

  // Pieces of quoted text and #n codes, joined by "+" across lines. The
  // whole value is parsed, but no more of it is collected than the cut at
  // kOptionsStringLimit bytes needs to see.
  std::string String() {
    if (Peek() != '\'' && Peek() != '#') Fail("string expected");
    std::string value;
    for (;;) {
      Piece(value);
      if (Peek() != '+') break;
      ++FPos;
      if (Peek() != '\'' && Peek() != '#') Fail("string expected after \"+\"");
    }
    CutString(value);
    return value;
  }

  // Cut before the character that crosses the limit; without a character
  // start in the last four bytes the text is no UTF-8 and is cut at the limit.
  static void CutString(std::string& value) {
    if (value.size() <= kOptionsStringLimit) return;
    size_t cut = kOptionsStringLimit;
    while (cut > kOptionsStringLimit - 3 && IsContinuationByte(value[cut])) --cut;
    value.resize(IsContinuationByte(value[cut]) ? kOptionsStringLimit : cut);
  }

  static bool Full(const std::string& value) { return value.size() > kOptionsStringLimit; }

  void Piece(std::string& value) {
    while (FPos < FText.size()) {
      if (FText[FPos] == '\'') {
        ++FPos;
        for (;;) {
          if (FPos >= FText.size() || FText[FPos] == '\r' || FText[FPos] == '\n') Fail("unterminated string");
          const char c = FText[FPos++];
          if (c != '\'') {
            if (!Full(value)) value += c;
          } else if (FPos < FText.size() && FText[FPos] == '\'') {
            if (!Full(value)) value += '\'';  // a doubled quote
            ++FPos;
          } else {
            break;
          }
        }
      } else if (FText[FPos] == '#') {
        ++FPos;
        const size_t start = FPos;
        while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
        uint32_t code = 0;
        const auto [end, error] = std::from_chars(FText.data() + start, FText.data() + FPos, code);
        if (start == FPos || error != std::errc() || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
          Fail("invalid character code");
        if (!Full(value)) AppendUtf8(value, code);
      } else {
        return;
      }
    }
  }

  const TOptionsProperty& Find(const std::string& path) const {
    for (const auto& property : OptionsProperties())
      if (SameIdent(property.Path, path)) return property;
    Fail("unknown property " + path);
  }

  void Assign(const TOptionsProperty& property) {
    switch (property.Type) {
      case ptBoolean: {
        const std::string ident = Identifier();
        if (SameIdent(ident, "True"))
          property.SetOrdinal(FOptions, 1);
        else if (SameIdent(ident, "False"))
          property.SetOrdinal(FOptions, 0);
        else
          Fail("True or False expected");
        break;
      }
      case ptInteger:
        property.SetOrdinal(FOptions, Integer());
        break;
      case ptShortCut: {
        const int32_t value = Integer();
        if (value < 0 || value > 0xFFFF) Fail("shortcut out of range");
        property.SetOrdinal(FOptions, value);
        break;
      }
      case ptEnumeration: {
        const std::string ident = Identifier();
        for (size_t i = 0; i < property.Identifiers.size(); ++i)
          if (SameIdent(ident, property.Identifiers[i])) {
            property.SetOrdinal(FOptions, int32_t(i));
            return;
          }
        Fail("invalid value " + ident);
      }
      case ptColor: {
        TColor color = 0;
        if (IsIdentStart(Peek())) {
          const std::string ident = Identifier();
          if (!IdentToColor(ident, color)) Fail("invalid colour " + ident);
        } else {
          color = Integer();
        }
        property.SetOrdinal(FOptions, color);
        break;
      }
      case ptString:
        property.SetString(FOptions, String());
        break;
    }
  }

  std::string_view FText;
  TOptions& FOptions;
  size_t FPos = 0;
  int32_t FLine = 1;
};
}  // namespace

std::string WriteOptionsText(const TOptions& options) {
  std::string out = "object TOptions";
  out += kLineEnd;
  for (const auto& property : OptionsProperties()) {
    if (!property.Stored(options)) continue;
    out += "  ";
    out += property.Path;
    out += " = ";
    AppendValue(out, property, options);
    out += kLineEnd;
  }
  out += "end";
  out += kLineEnd;
  return out;
}

void ReadOptionsText(std::string_view text, TOptions& options) { TOptionsParser(text, options).Read(); }
