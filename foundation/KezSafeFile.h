#pragma once
// Writes a file so that a failure never leaves a half-written file under the
// target's name: the data goes to a temporary file in the target's folder,
// which is flushed to the disk and renamed over the target only by Commit. A
// writer destroyed without Commit removes its temporary file; the target is
// untouched.
//
// The target is the file a symbolic link points to, so that saving through a
// link keeps the link; an existing target's permissions carry over. Each
// writer has a temporary name of its own ("<name>.kodra-<pid>-<random>"), so
// that writers of one target at once each leave a complete file (the last
// rename wins); a successful Commit removes the temporaries that writers
// which were killed left behind.
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
  // Raises ESystemError on a failed write.
  void Write(const void* data, size_t byteCount);
  // Flushes, syncs and renames over the target, then syncs its folder.
  void Commit();
  void Abandon();
  bool IsOpen() const { return FFile != nullptr; }
  // The stream of the temporary file, for writers that buffer on their own.
  std::FILE* Stream() const { return FFile; }
  const std::string& TemporaryName() const { return FTemporaryName; }
  // The file that Commit replaces: the target after following links.
  const std::string& FinalName() const { return FFinalName; }

private:
  std::FILE* FFile = nullptr;
  std::string FTargetName;
  std::string FFinalName;
  std::string FTemporaryName;
};

// Whether target could be written now: a temporary beside it is made and
// removed. False with the system's reason when not (a read-only folder).
bool CanWriteBeside(const std::string& target, std::string* reason = nullptr);

// Writes a file the program can do without (a cache), through TKezSafeFile,
// making its folder first; false, with nothing changed, when it cannot.
bool TryWriteFileSafely(const std::string& fileName, const std::string& bytes);

// The file a name stands for after following symbolic links (the name itself
// when it is no link); a link to nowhere gives the file it would create.
std::string ResolveLinks(const std::string& fileName);
// Whether two names stand for the same file (after following links), also
// when neither file exists yet.
bool SameFile(const std::string& a, const std::string& b);
// Removes the temporary files that interrupted writers left beside target.
void RemoveStaleTemporaries(const std::string& target);
// On SIGINT, SIGTERM and SIGHUP, removes the temporary files of the writers
// still open, then ends the process as the signal would have.
void RemoveTemporariesOnSignals();
