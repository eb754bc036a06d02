#pragma once
// A table of short keys (1 to 6 UTF-16 units) with what each stands for,
// built so that a key can be read one unit at a time: every part of a key
// that a reader meets first is itself in the table, marked as leading on.
// The input method reads keys backwards from the caret, so a key's tails
// lead on to it; the paste conversion reads forwards, so its heads do.
#include <cstdint>
#include <string_view>

#include "foundation/KezHashTable.h"
#include "foundation/KezTinyAllocator.h"

struct TShortKeyRecord {
  char16_t Value = 0;     // 0: the key only leads on to longer keys
  uint8_t Continues = 0;  // 1 when the key is a part of a longer key
};

enum TKeyLeads : uint8_t { klTails, klHeads };

class TShortKeyTable {
public:
  static constexpr int32_t MaxKeyLength = 6;

  explicit TShortKeyTable(int32_t buckets) : FTable(buckets) {}
  TShortKeyTable(const TShortKeyTable&) = delete;
  TShortKeyTable& operator=(const TShortKeyTable&) = delete;

  void Clear();
  // Null for an empty key, one longer than MaxKeyLength or holding a NUL
  // (keys are stored NUL-terminated), and for one not in the table.
  const TShortKeyRecord* Find(std::u16string_view key) const { return Record(key); }
  // The key stands for value; the first non-zero definition wins. Its
  // tails or heads are marked as leading on, added with value 0 where absent.
  void Add(std::u16string_view key, char16_t value, TKeyLeads leads);
  int32_t KeyCount() const { return FKeyCount; }

private:
  TShortKeyRecord* Record(std::u16string_view key) const;
  TShortKeyRecord* NewRecord(std::u16string_view key, char16_t value, uint8_t continues);

  TKezTinyAllocator FPool{4096};  // keys and records
  TKezPWideCharHashTable FTable;
  int32_t FKeyCount = 0;
};
