#pragma once
// Compilation of a source dictionary into a compiled dictionary: a counting
// pass ranks the body units by frequency, a writing pass codes them.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/KezFiles.h"
#include "foundation/KezHashTable.h"
#include "foundation/KezSafeFile.h"

// The counts of the body units: the key is the unit itself.
class TSourceDictionaryCharHashTable : public TKezHashTableBase {
public:
  TSourceDictionaryCharHashTable() : TKezHashTableBase(1001, 1024) {}
  uint32_t Hash(const void* key) const override { return uint32_t(reinterpret_cast<uintptr_t>(key)); }
  bool SameKey(const void* a, const void* b) const override { return a == b; }
};

class TSourceDictionaryCompileData {
public:
  static constexpr int32_t kBufferSize = 32768;
  static constexpr uint32_t kCodeLimit = 7650;

  TSourceDictionaryCompileData();
  ~TSourceDictionaryCompileData();

  void Open(const std::string& fileName);
  // Writes into the safe file's temporary file; the caller commits it.
  void Open(TKezSafeFile& file);
  // Counts the unit in the counting pass, writes its code in the writing pass.
  void Emit(char16_t unit);
  // The counting pass of a compiler that counted the units on its own: as
  // many Emits of the unit. The units are to be given in the order the
  // counting pass would have met them first, which the ranking of equal
  // counts depends on.
  void Count(char16_t unit, uint32_t times);
  // An article (its text zero-terminated): its units counted in the counting
  // pass, the article written in the writing pass.
  void Article(std::u16string_view keyword, const char16_t* text);
  void WriteByte(uint8_t value);
  void WriteWord(uint16_t value);
  void WriteDword(uint32_t value);
  void WriteScrambledWord(uint16_t value);
  void WriteScrambledDword(uint32_t value);
  void WriteString(std::u16string_view text);
  void Align(int32_t n);
  void AddAbbreviationOffset();
  void AddArticleOffset();
  // Ranks the counted units and assigns their codes; raises STooMuchChars.
  void BuildCodes(int32_t abbreviationTotal, int32_t articleTotal);
  void StartWriting();
  // The offset tables, the character table and the trailer.
  void Finish();
  // Closes the file; false when anything failed to be written.
  bool Close();
  // The system's error number of the first failed write (0 when unknown).
  int ErrorCode() const { return FOutput->ErrorCode(); }

  bool Writing() const { return FWriting; }
  int32_t Offset() const { return FOffset; }
  // Units in code order (the ranking) and the code of a unit (0 when unused).
  const std::vector<char16_t>& Ranking() const { return FRanking; }
  uint16_t CodeOf(char16_t unit) const { return FCodes[unit]; }

private:
  std::shared_ptr<IKezOutFile> FOutput;
  int32_t FOffset = 0;
  TSourceDictionaryCharHashTable FCounts;
  std::vector<char16_t> FRanking;
  std::unique_ptr<std::array<uint16_t, 65536>> FCodesStorage;
  std::array<uint16_t, 65536>& FCodes;
  std::vector<int32_t> FAbbreviationOffsets;
  std::vector<int32_t> FArticleOffsets;
  bool FWriting = false;
};

// Raises SCompileOverSource when the target is the source itself (the same
// file after following links): compiling would destroy the author's text.
void CheckCompileTarget(const std::string& sourceName, const std::string& targetName);
