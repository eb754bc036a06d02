#include "tools/CliJson.h"

#include <cstdio>

#include "foundation/KezText.h"

void TJsonWriter::Separate() {
  if (FAfterKey) { FAfterKey = false; return; }
  if (FFirst.empty()) return;
  if (!FFirst.back()) FOut << ',';
  FFirst.back() = false;
}

TJsonWriter& TJsonWriter::Value(std::u16string_view text) { return Value(std::string_view(ToUtf8(text))); }

void TJsonWriter::WriteString(std::string_view utf8) {
  FOut << '"';
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': FOut << "\\\""; break;
      case '\\': FOut << "\\\\"; break;
      case '\n': FOut << "\\n"; break;
      case '\r': FOut << "\\r"; break;
      case '\t': FOut << "\\t"; break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          FOut << escaped;
        } else {
          FOut << ch;
        }
    }
  }
  FOut << '"';
}
