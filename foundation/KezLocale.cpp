#include "foundation/KezLocale.h"

#include "foundation/KezFiles.h"

namespace {
constexpr int32_t kBuckets = 4077;

// A NUL ends a line as CR and LF do: a value that began with one would be
// an empty C string, a translation that blanks its caption.
bool IsLineEnd(char c) { return c == '\r' || c == '\n' || c == '\0'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || IsLineEnd(c); }
}  // namespace

TKezLocale::TKezLocale() : FTable(std::make_unique<TKezPCharHashTable>(kBuckets)) {}
TKezLocale::~TKezLocale() = default;

void TKezLocale::Clear() {
  FTable->Clear();
  FText.clear();
  FHasEntries = false;
}

std::string TKezLocale::Load(const std::string& fileName) {
  Clear();
  std::string content;
  const TReadOutcome outcome = ReadBoundedFile(fileName, kLocaleFileLimit, content);
  if (outcome.Result != TReadResult::Read) return ReadFailureReason(outcome);
  LoadFromText(content);
  return Empty() ? "holds no interface texts" : std::string();
}

void TKezLocale::LoadFromText(std::string_view text) {
  Clear();
  FText.assign(text);
  char* p = FText.data();
  char* const end = p + FText.size();
  while (p < end) {
    while (p < end && IsBlank(*p)) ++p;
    char* key = p;
    while (p < end && *p != '=' && !IsBlank(*p)) ++p;
    if (p >= end) break;
    const bool isEntry = *p == '=';
    char* keyEnd = p;
    if (!isEntry) {  // a blank before "=" makes the line no entry
      while (p < end && !IsLineEnd(*p)) ++p;
      continue;
    }
    char* value = ++p;
    while (p < end && !IsLineEnd(*p)) ++p;
    char* valueEnd = p;
    if (p < end) ++p;
    if (keyEnd == key || valueEnd == value) continue;
    *keyEnd = 0;
    *valueEnd = 0;  // the line break (or the end) becomes the terminator
    if (FTable->Add(key, value)) FHasEntries = true;
  }
}

const char* TKezLocale::FindRaw(const char* key) const {
  return static_cast<const char*>(FTable->Lookup(key));
}

bool TKezLocale::Find(const std::string& key, std::string& value) const {
  const char* found = FindRaw(key.c_str());
  if (!found) return false;
  if (found[0] == '@') {  // an alias: the whole value is looked up once more
    found = FindRaw(found);
    if (!found) return false;
  }
  value = found;
  return true;
}

void TKezLocale::Text(const std::string& key, const std::string& defaultText, std::string& value) const {
  if (!Find(key, value)) value = defaultText;
}

std::string TKezLocale::Text(const std::string& key, const std::string& defaultText) const {
  std::string value;
  Text(key, defaultText, value);
  return value;
}

TKezLocale& Locale() {
  static TKezLocale instance;
  return instance;
}
