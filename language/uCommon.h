#pragma once
// Small language-independent helpers on UTF-16 code units: character
// classes, the clean-up of caught text, the built-in Russian keyboard, the
// dictionary kind, and the raising of localised user-facing errors.
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

bool IsWordChar(char16_t c);
bool IsPatternChar(char16_t c);

namespace common_detail {
extern const char kSeparators[129];
}
// Inline: the full-text search asks these for every unit it scans.
inline bool IsSeparator(char16_t c) {
  if (c < 128) return common_detail::kSeparators[c] == '+';
  return c >= 0x2000 && c <= 0x2FFF;
}
inline bool IsInWordSign(char16_t c) { return c == u'(' || c == u')' || c == u'-' || c == 0x0301; }

// Runs of blanks become one space; ASCII digits and punctuation vanish.
std::u16string CleanText(std::u16string_view text);

// Canonical composition (NFC): a base letter followed by combining accents,
// as web pages and PDF copies often deliver Greek, becomes one letter.
std::u16string ComposedText(std::u16string_view text);
// A combining mark (an accent that follows its base letter).
bool IsCombiningMark(char16_t c);

// Bit 0 of the shift state is Shift.
using TShiftState = uint32_t;
constexpr TShiftState ssShift = 1;
constexpr TShiftState ssAlt = 2;
constexpr TShiftState ssCtrl = 4;

// The standard Russian layout by virtual-key code, whatever the system layout.
char16_t KeyToRussian(uint16_t virtualKey, TShiftState shift);

enum TDictionaryKind : uint8_t { dkMain = 0, dkForm = 1, dkUser = 2, dkOther = 3 };
TDictionaryKind DictionaryKindOf(std::u16string_view kindText);
// The header text of a kind ("other" for dkOther).
const char* DictionaryKindName(TDictionaryKind kind);

// A user-facing failure: an identifier (beginning with S) and its message in
// the interface language.
class THelpedException : public std::exception {
public:
  THelpedException(std::string helpKeyword, std::string message)
      : HelpKeyword(std::move(helpKeyword)), Message(std::move(message)) {}
  const char* what() const noexcept override { return Message.c_str(); }

  std::string HelpKeyword;
  std::string Message;
  int32_t Line = 0;  // the 1-based line of a file the failure lies in; 0 for none
};

// Looks the identifier up in the interface language's message table and
// raises THelpedException with the translated (or default) text.
[[noreturn]] void RaiseHelpedError(const std::string& name, const std::string& defaultMessage);
// The same for a message with "%s" placeholders, filled in order with args.
[[noreturn]] void RaiseHelpedError(const std::string& name, const std::string& defaultMessage,
                                   const std::vector<std::string>& args);
// The same for a failure in a given line of a file.
[[noreturn]] void RaiseHelpedErrorAt(int32_t line, const std::string& name, const std::string& defaultMessage,
                                     const std::vector<std::string>& args = {});
std::string FormatMessage(const std::string& pattern, const std::vector<std::string>& args);
