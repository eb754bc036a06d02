#pragma once
// The interface-language translator: a table of key=value lines read from a
// "*.lng" file. Every message and caption is looked up here first and falls
// back to its built-in English text.
#include <memory>
#include <string>
#include <string_view>

#include "foundation/KezHashTable.h"

// Interface texts run to some tens of kilobytes; anything far larger is not one.
constexpr size_t kLocaleFileLimit = 4 * 1024 * 1024;

class TKezLocale {
public:
  TKezLocale();
  ~TKezLocale();

  // Empties the table, then reads the file. A missing or unreadable file, one
  // larger than kLocaleFileLimit, or one that holds no line of texts leaves
  // the table empty (the built-in English) and gives why, in English words
  // that follow the file's name ("is missing"); empty when the texts were read.
  std::string Load(const std::string& fileName);
  void LoadFromText(std::string_view text);
  void Clear();

  bool Find(const std::string& key, std::string& value) const;
  void Text(const std::string& key, const std::string& defaultText, std::string& value) const;
  std::string Text(const std::string& key, const std::string& defaultText) const;
  bool Empty() const { return !FHasEntries; }

private:
  const char* FindRaw(const char* key) const;

  std::string FText;                       // the file, split in place into keys and values
  std::unique_ptr<TKezPCharHashTable> FTable;
  bool FHasEntries = false;
};

// The one translator of the process.
TKezLocale& Locale();
