#pragma once
// Writes a file so that a failure never leaves a half-written file under the
// target's name: the data goes to a temporary file in the same folder, which
// is flushed to the disk and renamed over the target only by Commit. A writer
// destroyed without Commit removes its temporary file; the target is untouched.
#include <cstddef>
#include <cstdio>
#include <string>

class TKezSafeFile {
public:
  TKezSafeFile() = default;
  ~TKezSafeFile();
  TKezSafeFile(const TKezSafeFile&) = delete;
  TKezSafeFile& operator=(const TKezSafeFile&) = delete;

  // Raises ESystemError when the temporary file cannot be created.
  void Open(const std::string& targetName);
  // Raises ESystemError on a failed write; a short write raises
  // "The system cannot write to the specified file".
  void Write(const void* data, size_t byteCount);
  // Flushes, syncs and renames over the target.
  void Commit();
  void Abandon();
  bool IsOpen() const { return FFile != nullptr; }
  const std::string& TemporaryName() const { return FTemporaryName; }

private:
  std::FILE* FFile = nullptr;
  std::string FTargetName;
  std::string FTemporaryName;
};
