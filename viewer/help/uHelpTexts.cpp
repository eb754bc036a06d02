#include "viewer/help/uHelpTexts.h"

#include <filesystem>
#include <iterator>

#include "foundation/KezFiles.h"
#include "foundation/KezProgramFolder.h"
#include "foundation/KezText.h"

namespace {
constexpr int32_t kTextLine = -1;   // a line of a topic's text
constexpr int32_t kBadTopic = -2;   // ".topic" without a number: skipped, with its lines
constexpr int32_t kMaxDigits = 9;   // topic numbers stay below 10^9

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// One line as the pop-up shows it: decoded, without control characters and
// byte-order marks, lone surrogates as U+FFFD, no blanks at its end.
std::u16string CleanLine(std::string_view bytes) {
  const std::u16string decoded = FromUtf8(bytes);
  std::u16string line;
  line.reserve(decoded.size());
  for (size_t i = 0; i < decoded.size(); ++i) {
    char16_t c = decoded[i];
    if (IsHighSurrogate(c) && i + 1 < decoded.size() && IsLowSurrogate(decoded[i + 1])) {
      line += c;
      line += decoded[++i];
      continue;
    }
    if (IsHighSurrogate(c) || IsLowSurrogate(c)) c = 0xFFFD;
    else if ((c < 0x20 && c != u'\t') || (c >= 0x7F && c < 0xA0) || c == 0xFEFF) continue;
    line += c;
  }
  while (!line.empty() && IsBlank(line.back())) line.pop_back();
  return line;
}

// Whether the line, after leading blanks, begins with ".topic" (any case);
// then its number, or kBadTopic when it names none.
int32_t TopicOfLine(std::u16string_view line) {
  static constexpr std::u16string_view kTopic = u".topic";
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (line.size() - i < kTopic.size()) return kTextLine;
  for (size_t k = 0; k < kTopic.size(); ++k) {
    char16_t c = line[i + k];
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
    if (c != kTopic[k]) return kTextLine;
  }
  i += kTopic.size();
  if (i >= line.size() || !IsBlank(line[i])) return kBadTopic;
  while (i < line.size() && IsBlank(line[i])) ++i;
  int32_t number = 0;
  int digits = 0;
  for (; i < line.size() && line[i] >= u'0' && line[i] <= u'9'; ++i) {
    if (++digits > kMaxDigits) return kBadTopic;
    number = number * 10 + (line[i] - u'0');
  }
  // The line has no blanks at its end, so the number must end it.
  return digits > 0 && i == line.size() ? number : kBadTopic;
}

// Collects the lines of one topic: empty lines only between text lines, one at most.
class TTopicText {
public:
  void Add(std::u16string&& line) {
    if (line.empty()) {
      FPendingBreak = !FText.empty();
      return;
    }
    if (!FText.empty()) FText += FPendingBreak ? u"\n\n" : u"\n";
    FPendingBreak = false;
    FText += line;
  }
  std::u16string Take() {
    FPendingBreak = false;
    return std::move(FText);
  }

private:
  std::u16string FText;
  bool FPendingBreak = false;
};

const char* const kErrorIdentifiers[] = {
    "SErrMerge",         "SConvertError",   "SClipTooLong",        "SAbsentName",         "SInvalidName",
    "SAbsentFinalSectionTag", "SAbsentStartTag", "SAbsentKey",     "SAbsentAttrValue",    "SInvalidTag",
    "SInvalidKey",       "SInvalidTagEmbedding", "SInvalidEnumEmbedding", "SInvalidTagOrder", "SInvalidHex",
    "SInvalidMeta",      "SUnknownLang",    "SException",          "SMustStartTag",       "SFileTooLong",
    "SCantReadFile",     "STooMuchChars",   "SCorruptFile",        "SNoDicLoaded",        "SAbsentFinalTag",
};
static_assert(std::size(kErrorIdentifiers) == kLastErrorTopic - kFirstErrorTopic + 1);

// Interface languages (LocaleName, letter case ignored) whose help is translated.
const struct {
  const char* LocaleName;
  const char* Folder;
} kTranslations[] = {
    {"Russian", "ru"},
};
}  // namespace

THelpTexts ParseHelpTexts(std::string_view text) {
  if (text.size() > kHelpTextsLimit) text = text.substr(0, kHelpTextsLimit);
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  THelpTexts texts;
  int32_t topic = kBadTopic;  // lines before the first topic are skipped
  TTopicText collected;
  auto finish = [&] {
    std::u16string done = collected.Take();
    if (topic >= 0 && !done.empty()) texts.emplace(topic, std::move(done));  // the first one stays
  };
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    std::u16string line = CleanLine(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r') ++end;
    if (end < text.size() && text[end] == '\n') ++end;
    start = end;
    if (const int32_t number = TopicOfLine(line); number != kTextLine) {
      finish();
      topic = number;
    } else if (topic >= 0) {
      collected.Add(std::move(line));
    }
  }
  finish();
  return texts;
}

bool LoadHelpTexts(const std::string& fileName, THelpTexts& texts) {
  texts.clear();
  std::string content;
  if (!ReadSmallFile(fileName, kHelpTextsLimit, content)) return false;
  texts = ParseHelpTexts(content);
  return true;
}

std::string HelpLanguageFolder(std::string_view localeName) {
  for (const auto& translation : kTranslations)
    if (SameIdent(localeName, translation.LocaleName)) return translation.Folder;
  return {};
}

std::string LocalizedHelpFile(const std::string& programFolder, std::string_view localeName, std::string_view name) {
  const std::string help = programFolder + "help" + kPathDelimiter;
  if (const std::string folder = HelpLanguageFolder(localeName); !folder.empty()) {
    std::string translated = help + folder + kPathDelimiter;
    translated += name;
    std::error_code ignored;
    if (std::filesystem::is_regular_file(translated, ignored)) return translated;
  }
  return help + std::string(name);
}

int32_t ErrorHelpTopic(std::string_view identifier) {
  for (size_t i = 0; i < std::size(kErrorIdentifiers); ++i)
    if (SameIdent(identifier, kErrorIdentifiers[i])) return kFirstErrorTopic + int32_t(i);
  return 0;
}
