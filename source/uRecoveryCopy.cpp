#include "source/uRecoveryCopy.h"

#include <filesystem>
#include <system_error>

#include "foundation/KezSafeFile.h"
#include "source/uSourceDictionary.h"

namespace fs = std::filesystem;

std::string RecoveryCopyName(const std::string& sourceName) { return sourceName + "~"; }

void WriteRecoveryCopy(const TSourceDictionary& dictionary) {
  dictionary.SaveCopyTo(RecoveryCopyName(dictionary.FileName()));
}

void RemoveRecoveryCopy(const std::string& sourceName) {
  std::error_code ignored;
  fs::remove(RecoveryCopyName(sourceName), ignored);
  // And what a writer of the copy killed mid-way left beside it.
  RemoveStaleTemporaries(RecoveryCopyName(sourceName));
}

bool HasRecoveryCopy(const std::string& sourceName) {
  std::error_code error;
  const fs::file_time_type copy = fs::last_write_time(RecoveryCopyName(sourceName), error);
  if (error) return false;
  const fs::file_time_type file = fs::last_write_time(sourceName, error);
  return error || copy >= file;
}
