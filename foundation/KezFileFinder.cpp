#include "foundation/KezFileFinder.h"

#include "foundation/KezText.h"

namespace {
// '*' any run of characters, '?' any one; letters without regard to case.
bool WildcardMatch(std::string_view mask, std::string_view name) {
  size_t m = 0, n = 0, starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || mask[m] == name[n])) {
      ++m;
      ++n;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

// "*.*" is every name, also one without a dot, as the system's masks have it.
std::string MaskOf(std::string_view mask) {
  return mask.empty() || mask == "*.*" ? std::string(1, '*') : AsciiLowered(mask);
}
}  // namespace

TKezFileFinder::TKezFileFinder(const std::string& folder, std::string mask)
    : FMask(MaskOf(mask)),
      FIterator(folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder), FError) {}

bool TKezFileFinder::Matches(const std::string& name) const { return WildcardMatch(FMask, AsciiLowered(name)); }

bool TKezFileFinder::Next(TKezFileEntry& entry) {
  for (; !FError && FIterator != std::filesystem::directory_iterator(); FIterator.increment(FError)) {
    const std::filesystem::directory_entry& found = *FIterator;
    const std::string name = found.path().filename().string();
    if (name == "." || name == ".." || !Matches(name)) continue;
    std::error_code error;
    entry.Name = name;
    entry.Directory = found.is_directory(error);
    entry.Size = entry.Directory ? 0 : uint64_t(found.file_size(error));
    if (error) entry.Size = 0;
    entry.Time = found.last_write_time(error);
    FIterator.increment(FError);
    return true;
  }
  return false;
}
