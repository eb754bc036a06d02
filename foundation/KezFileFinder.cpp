#include "foundation/KezFileFinder.h"

#include <algorithm>

namespace {
std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return text;
}
}  // namespace

TKezFileFinder::TKezFileFinder(const std::string& folder, std::string mask)
    : FMask(Lowered(std::move(mask))),
      FIterator(folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder), FError) {}

bool TKezFileFinder::Matches(const std::string& name) const {
  if (FMask.empty() || FMask == "*" || FMask == "*.*") return true;
  if (FMask.starts_with("*")) {
    const std::string tail = FMask.substr(1);
    const std::string lowered = Lowered(name);
    return lowered.size() >= tail.size() && lowered.compare(lowered.size() - tail.size(), tail.size(), tail) == 0;
  }
  return Lowered(name) == FMask;
}

bool TKezFileFinder::Next(TKezFileEntry& entry) {
  for (; !FError && FIterator != std::filesystem::directory_iterator(); FIterator.increment(FError)) {
    const std::filesystem::directory_entry& found = *FIterator;
    const std::string name = found.path().filename().string();
    if (!Matches(name)) continue;
    std::error_code error;
    entry.Name = name;
    entry.Directory = found.is_directory(error);
    entry.Size = entry.Directory ? 0 : uint64_t(found.file_size(error));
    entry.Time = found.last_write_time(error);
    FIterator.increment(FError);
    return true;
  }
  return false;
}
