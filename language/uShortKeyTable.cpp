#include "language/uShortKeyTable.h"

#include <algorithm>
#include <array>
#include <new>

static_assert(sizeof(TShortKeyRecord) % alignof(TShortKeyRecord) == 0,
              "records and keys share one pool and must keep each other aligned");

void TShortKeyTable::Clear() {
  FTable.Clear();
  FPool.Clear();
  FKeyCount = 0;
}

TShortKeyRecord* TShortKeyTable::Record(std::u16string_view key) const {
  if (key.empty() || key.size() > size_t(MaxKeyLength)) return nullptr;
  if (key.find(char16_t(0)) != std::u16string_view::npos) return nullptr;
  std::array<char16_t, MaxKeyLength + 1> buffer{};
  std::copy(key.begin(), key.end(), buffer.begin());
  return static_cast<TShortKeyRecord*>(FTable.Lookup(buffer.data()));
}

TShortKeyRecord* TShortKeyTable::NewRecord(std::u16string_view key, char16_t value, uint8_t continues) {
  std::array<char16_t, MaxKeyLength + 1> buffer{};
  std::copy(key.begin(), key.end(), buffer.begin());
  const char16_t* storedKey = FPool.NewStr(buffer.data());
  auto* record = new (FPool.Alloc(sizeof(TShortKeyRecord))) TShortKeyRecord{value, continues};
  FTable.Add(storedKey, record);
  ++FKeyCount;
  return record;
}

void TShortKeyTable::Add(std::u16string_view key, char16_t value, TKeyLeads leads) {
  if (key.empty() || key.size() > size_t(MaxKeyLength) || key.find(char16_t(0)) != std::u16string_view::npos) return;
  if (TShortKeyRecord* record = Record(key)) {
    if (record->Value != 0) return;  // the first definition wins
    record->Value = value;
  } else {
    NewRecord(key, value, 0);
  }
  for (size_t length = 1; length < key.size(); ++length) {
    const std::u16string_view part = leads == klHeads ? key.substr(0, length) : key.substr(key.size() - length);
    if (TShortKeyRecord* record = Record(part))
      record->Continues = 1;
    else
      NewRecord(part, 0, 1);
  }
}
