#include "source/uSourceFileUnits.h"

#include <algorithm>

#ifndef _WIN32
#include <cerrno>
#include <unistd.h>
#endif

#include "foundation/KezFiles.h"

namespace {
// Units read ahead for a walk through the file.
constexpr size_t kWindowUnits = 128 * 1024;
}  // namespace

TSourceFileUnits::~TSourceFileUnits() {
  if (FFile) std::fclose(FFile);
}

bool TSourceFileUnits::Open(const std::string& fileName) {
  TReadOutcome outcome;
  FFile = OpenRegularFile(fileName, outcome);
  if (!FFile) return false;
  std::setvbuf(FFile, nullptr, _IONBF, 0);  // reads go straight into our buffers
  FFileName = fileName;
  std::error_code error;
  FByteSize = std::filesystem::file_size(fileName, error);
  if (!error) FTime = std::filesystem::last_write_time(fileName, error);
  return !error;
}

bool TSourceFileUnits::ReadInto(uint64_t offset, char16_t* units, size_t count) {
  if (offset > FByteSize / 2 || count > FByteSize / 2 - offset) return false;
  auto* bytes = reinterpret_cast<char*>(units);
  size_t wanted = count * 2;
  uint64_t at = offset * 2;
#ifndef _WIN32
  while (wanted > 0) {
    const ssize_t read = pread(fileno(FFile), bytes, wanted, off_t(at));
    if (read < 0 && errno == EINTR) continue;
    if (read <= 0) return false;
    bytes += read;
    at += uint64_t(read);
    wanted -= size_t(read);
  }
  return true;
#else
  if (_fseeki64(FFile, int64_t(at), SEEK_SET) != 0) return false;
  return std::fread(bytes, 1, wanted, FFile) == wanted;
#endif
}

bool TSourceFileUnits::Read(uint64_t offset, size_t count, std::u16string_view& units) {
  const bool following = offset >= FLastEnd && offset - FLastEnd < kWindowUnits;
  FLastEnd = offset + count;
  if (offset < FWindowStart || offset + count > FWindowStart + FWindowUnits) {
    const uint64_t rest = FByteSize / 2 - std::min(offset, FByteSize / 2);
    if (count > rest) return false;
    const size_t size = following ? size_t(std::min<uint64_t>(std::max(count, kWindowUnits), rest)) : count;
    if (FWindow.size() < size) FWindow.resize(size);
    FWindowUnits = 0;
    if (!ReadInto(offset, FWindow.data(), size)) return false;
    FWindowStart = offset;
    FWindowUnits = size;
  }
  units = std::u16string_view(FWindow.data() + (offset - FWindowStart), count);
  return true;
}

bool TSourceFileUnits::Unchanged() const {
  std::error_code error;
  const uint64_t size = std::filesystem::file_size(FFileName, error);
  if (error || size != FByteSize) return false;
  const auto time = std::filesystem::last_write_time(FFileName, error);
  return !error && time == FTime;
}
