#include "language/uCommon.h"

#include <cstdint>

#include <unicode/uchar.h>
#include <unicode/unorm2.h>

#include "foundation/KezLocale.h"
#include "foundation/KezText.h"

namespace common_detail {
// Separators among the code units 0-127, one character per unit: + member, - not.
extern const char kSeparators[129] =
    "-+++++++++++++++++++++++++++++++"
    "++++++++--+++-++----------++++++"
    "+--------------------------++++-"
    "+--------------------------+++-+";
}  // namespace common_detail

namespace {
// Membership of the code units 0-127, one character per unit: + member, - not.
constexpr const char kWordChars[] =
    "--------------------------------"
    "-------------++-++++++++++------"
    "-++++++++++++++++++++++++++----+"
    "-++++++++++++++++++++++++++-----";
constexpr const char kPatternChars[] =
    "--------------------------------"
    "----------+--------------------+"
    "-++++++++++++++++++++++++++-----"
    "-++++++++++++++++++++++++++-----";
static_assert(sizeof(kWordChars) == 129 && sizeof(kPatternChars) == 129);

bool InGeneralPunctuationToCjk(char16_t c) { return c >= 0x2000 && c <= 0x2FFF; }

// Lower-case letters of the Russian layout for the keys A to Z.
constexpr char16_t kRussianLetters[] = u"фисвуапршолдьтщзйкыегмцчня";
constexpr char16_t kDigitsShifted[] = u")!\"#;%:?*(";
}  // namespace

bool IsWordChar(char16_t c) {
  if (c < 128) return kWordChars[c] == '+';
  if (c < 192) return c == 0x00A0;
  return !InGeneralPunctuationToCjk(c);
}

bool IsPatternChar(char16_t c) {
  if (c < 128) return kPatternChars[c] == '+';
  return !InGeneralPunctuationToCjk(c);
}


std::u16string CleanText(std::u16string_view text) {
  std::u16string result;
  if (text.empty()) return result;
  char16_t last = u' ';
  for (char16_t c : text) {
    if (c <= 0x20) {
      if (last != u' ') result += (last = u' ');
    } else if ((c >= 0x21 && c <= 0x40) || (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= 0x7E)) {
      continue;
    } else {
      result += (last = c);
    }
  }
  return result;
}

std::u16string ComposedText(std::u16string_view text) {
  UErrorCode status = U_ZERO_ERROR;
  const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
  if (U_FAILURE(status) || text.size() > size_t(INT32_MAX / 2)) return std::u16string(text);
  const auto* source = reinterpret_cast<const UChar*>(text.data());
  const auto length = int32_t(text.size());
  if (unorm2_quickCheck(nfc, source, length, &status) == UNORM_YES && U_SUCCESS(status))
    return std::u16string(text);
  status = U_ZERO_ERROR;
  // Composition never lengthens a text by more than a few units a character.
  std::u16string composed(text.size() * 3 + 16, u'\0');
  const int32_t written = unorm2_normalize(nfc, source, length, reinterpret_cast<UChar*>(composed.data()),
                                           int32_t(composed.size()), &status);
  if (U_FAILURE(status)) return std::u16string(text);
  composed.resize(size_t(written));
  return composed;
}

bool IsCombiningMark(char16_t c) {
  if (c < 0x0300) return false;
  const int8_t type = u_charType(c);
  return type == U_NON_SPACING_MARK || type == U_COMBINING_SPACING_MARK || type == U_ENCLOSING_MARK;
}

char16_t KeyToRussian(uint16_t key, TShiftState shift) {
  const bool shifted = shift & ssShift;
  auto upper = [](char16_t lower) -> char16_t { return lower == u'ё' ? u'Ё' : char16_t(lower - 0x20); };
  auto letter = [&](char16_t lower) { return shifted ? upper(lower) : lower; };
  if (key >= 0x30 && key <= 0x39) return shifted ? kDigitsShifted[key - 0x30] : char16_t(key);
  if (key >= 0x41 && key <= 0x5A) return letter(kRussianLetters[key - 0x41]);
  switch (key) {
    case 0xBA: return letter(u'ж');
    case 0xBB: return shifted ? u'+' : u'=';
    case 0xBC: return letter(u'б');
    case 0xBD: return shifted ? u'_' : u'-';
    case 0xBE: return letter(u'ю');
    case 0xBF: return shifted ? u',' : u'.';
    case 0xC0: return letter(u'ё');
    case 0xDB: return letter(u'х');
    case 0xDD: return letter(u'ъ');
    case 0xDE: return letter(u'э');
    default: return 0;
  }
}

TDictionaryKind DictionaryKindOf(std::u16string_view kindText) {
  if (kindText == u"main") return dkMain;
  if (kindText == u"form") return dkForm;
  if (kindText == u"user") return dkUser;
  return dkOther;
}

const char* DictionaryKindName(TDictionaryKind kind) {
  switch (kind) {
    case dkMain: return "main";
    case dkForm: return "form";
    case dkUser: return "user";
    default: return "other";
  }
}

void RaiseHelpedError(const std::string& name, const std::string& defaultMessage) {
  throw THelpedException(name, Locale().Text(name, defaultMessage));
}

std::string FormatMessage(const std::string& pattern, const std::vector<std::string>& args) {
  std::string result;
  size_t next = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && next < args.size()) {
      result += ShortenedForMessage(args[next++]);
      ++i;
    } else {
      result += pattern[i];
    }
  }
  return result;
}

void RaiseHelpedError(const std::string& name, const std::string& defaultMessage,
                      const std::vector<std::string>& args) {
  throw THelpedException(name, FormatMessage(Locale().Text(name, defaultMessage), args));
}

void RaiseHelpedErrorAt(int32_t line, const std::string& name, const std::string& defaultMessage,
                        const std::vector<std::string>& args) {
  THelpedException error(name, FormatMessage(Locale().Text(name, defaultMessage), args));
  error.Line = line;
  throw error;
}
