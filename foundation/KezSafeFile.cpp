#include "foundation/KezSafeFile.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "foundation/KezSystemError.h"

TKezSafeFile::~TKezSafeFile() { Abandon(); }

void TKezSafeFile::Open(const std::string& targetName) {
  Abandon();
  FTargetName = targetName;
#ifdef _WIN32
  FTemporaryName = targetName + ".saving";
  FFile = std::fopen(FTemporaryName.c_str(), "wb");
  if (!FFile) RaiseSystemError(errno, FTemporaryName);
#else
  std::string pattern = targetName + ".XXXXXX";
  const int descriptor = mkstemp(pattern.data());
  if (descriptor < 0) RaiseSystemError(errno, targetName);
  FTemporaryName = pattern;
  FFile = fdopen(descriptor, "wb");
  if (!FFile) {
    const int error = errno;
    close(descriptor);
    std::remove(FTemporaryName.c_str());
    RaiseSystemError(error, targetName);
  }
  // Keep the permissions a new file would get rather than mkstemp's 0600.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(descriptor, 0666 & ~mask);
#endif
}

void TKezSafeFile::Write(const void* data, size_t byteCount) {
  if (byteCount == 0) return;
  errno = 0;
  const size_t written = std::fwrite(data, 1, byteCount, FFile);
  if (written < byteCount) {
    if (errno) RaiseSystemError(errno, FTargetName);
    throw std::runtime_error("The system cannot write to the specified file");
  }
}

void TKezSafeFile::Commit() {
  if (std::fflush(FFile) != 0) RaiseSystemError(errno, FTargetName);
#ifdef _WIN32
  if (_commit(_fileno(FFile)) != 0) RaiseSystemError(errno, FTargetName);
#else
  if (fsync(fileno(FFile)) != 0) RaiseSystemError(errno, FTargetName);
#endif
  std::FILE* file = FFile;
  FFile = nullptr;
  if (std::fclose(file) != 0) {
    const int error = errno;
    std::remove(FTemporaryName.c_str());
    RaiseSystemError(error, FTargetName);
  }
  std::error_code error;
  std::filesystem::rename(FTemporaryName, FTargetName, error);
  if (error) {
    std::remove(FTemporaryName.c_str());
    RaiseSystemError(error.value(), FTargetName);
  }
  FTemporaryName.clear();
}

void TKezSafeFile::Abandon() {
  if (FFile) {
    std::fclose(FFile);
    FFile = nullptr;
  }
  if (!FTemporaryName.empty()) {
    std::remove(FTemporaryName.c_str());
    FTemporaryName.clear();
  }
}
