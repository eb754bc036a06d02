#pragma once
// A UTF-16LE source file read by ranges of units with positioned reads, not
// mapped: mapped pages would count as the process's memory, and a compile
// that walks a large file must keep only what it reads at a time. A range
// that follows the one read before, or starts a little after it, is served
// from a window read ahead, so that a walk through the file reads it in
// large blocks; a range elsewhere is read on its own.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class TSourceFileUnits {
public:
  TSourceFileUnits() = default;
  ~TSourceFileUnits();
  TSourceFileUnits(const TSourceFileUnits&) = delete;
  TSourceFileUnits& operator=(const TSourceFileUnits&) = delete;

  // False when the file cannot be opened for reading.
  bool Open(const std::string& fileName);
  uint64_t ByteSize() const { return FByteSize; }
  // Reads count units from offset into units; false when they cannot all be read.
  bool ReadInto(uint64_t offset, char16_t* units, size_t count);
  // The units [offset, offset + count), valid until the next Read; false
  // when they cannot all be read.
  bool Read(uint64_t offset, size_t count, std::u16string_view& units);
  // Whether the file still has the size and modification time it had when
  // it was opened.
  bool Unchanged() const;

private:
  std::FILE* FFile = nullptr;
  std::string FFileName;
  uint64_t FByteSize = 0;
  std::filesystem::file_time_type FTime;
  std::vector<char16_t> FWindow;
  uint64_t FWindowStart = 0;
  size_t FWindowUnits = 0;
  uint64_t FLastEnd = UINT64_MAX;
};
