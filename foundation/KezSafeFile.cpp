#include "foundation/KezSafeFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "foundation/KezSystemError.h"

namespace fs = std::filesystem;

namespace {
constexpr const char* kTemporaryMark = ".kodra-";

int ProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return int(getpid());
#endif
}

// The temporary files of the open writers, for the signal handler: plain
// arrays, since a handler may only touch what needs no allocation.
constexpr int kSlots = 16;
constexpr size_t kPathRoom = 4096;
char gTemporaryPaths[kSlots][kPathRoom];
std::atomic<int> gSlotState[kSlots];  // 0 free, 1 being filled, 2 in use

int RegisterTemporary(const std::string& path) {
  if (path.size() >= kPathRoom) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = 0;
    if (!gSlotState[i].compare_exchange_strong(expected, 1)) continue;
    std::memcpy(gTemporaryPaths[i], path.c_str(), path.size() + 1);
    gSlotState[i].store(2);
    return i;
  }
  return -1;
}

void UnregisterTemporary(const std::string& path) {
  for (int i = 0; i < kSlots; ++i)
    if (gSlotState[i].load() == 2 && path == gTemporaryPaths[i]) gSlotState[i].store(0);
}

#ifndef _WIN32
extern "C" void RemoveTemporariesAndEnd(int signal) {
  for (int i = 0; i < kSlots; ++i)
    if (gSlotState[i].load() == 2) unlink(gTemporaryPaths[i]);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// Whether the writer that named a temporary file has ended.
bool WriterEnded(const std::string& processId) {
  char* end = nullptr;
  const long pid = std::strtol(processId.c_str(), &end, 10);
  if (end == processId.c_str() || pid <= 0 || pid == ProcessId()) return false;
  return kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

void SyncFolder(const fs::path& folder) {
  const int descriptor = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (descriptor < 0) return;
  fsync(descriptor);  // some file systems refuse it; the rename stands either way
  close(descriptor);
}
#else
bool WriterEnded(const std::string&) { return false; }
void SyncFolder(const fs::path&) {}
#endif
}  // namespace

std::string ResolveLinks(const std::string& fileName) {
  fs::path path(fileName);
  std::error_code error;
  for (int depth = 0; depth < 40 && fs::is_symlink(path, error); ++depth) {
    const fs::path target = fs::read_symlink(path, error);
    if (error) break;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return path.lexically_normal().string();
}

bool SameFile(const std::string& a, const std::string& b) {
  const fs::path first = ResolveLinks(a), second = ResolveLinks(b);
  std::error_code error;
  if (fs::exists(first, error) && fs::exists(second, error)) return fs::equivalent(first, second, error);
  return fs::weakly_canonical(fs::absolute(first, error), error) ==
         fs::weakly_canonical(fs::absolute(second, error), error);
}

void RemoveStaleTemporaries(const std::string& target) {
  const fs::path path(target);
  const std::string prefix = path.filename().string() + kTemporaryMark;
  std::error_code error;
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const size_t dash = name.find('-', prefix.size());
    if (dash == std::string::npos || !WriterEnded(name.substr(prefix.size(), dash - prefix.size()))) continue;
    std::error_code ignored;
    fs::remove(it->path(), ignored);
  }
}

#ifndef _WIN32
namespace {
// Holds back the signals that remove temporaries while a temporary file is
// made and registered: one that came in between would leave it behind.
class TTerminationSignalsHeld {
public:
  TTerminationSignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &FPrevious);
  }
  ~TTerminationSignalsHeld() { pthread_sigmask(SIG_SETMASK, &FPrevious, nullptr); }
  TTerminationSignalsHeld(const TTerminationSignalsHeld&) = delete;
  TTerminationSignalsHeld& operator=(const TTerminationSignalsHeld&) = delete;

private:
  sigset_t FPrevious;
};
}  // namespace
#endif

void RemoveTemporariesOnSignals() {
#ifndef _WIN32
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, RemoveTemporariesAndEnd);
#endif
}

TKezSafeFile::~TKezSafeFile() { Abandon(); }

void TKezSafeFile::Open(const std::string& targetName) {
  Abandon();
  FTargetName = targetName;
  FFinalName = ResolveLinks(targetName);
  const std::string stem = FFinalName + kTemporaryMark + std::to_string(ProcessId()) + "-";
#ifdef _WIN32
  for (int attempt = 0; !FFile && attempt < 100; ++attempt) {
    FTemporaryName = stem + std::to_string(std::rand());
    FFile = std::fopen(FTemporaryName.c_str(), "wbx");
  }
  if (!FFile) RaiseSystemError(errno, FTemporaryName);
#else
  std::string pattern = stem + "XXXXXX";
  const TTerminationSignalsHeld held;
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
  // The permissions of the file it replaces, or those a new file would get
  // (mkstemp makes it 0600).
  struct stat existing;
  if (stat(FFinalName.c_str(), &existing) == 0) {
    fchmod(descriptor, existing.st_mode & 07777);
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);
  }
#endif
  RegisterTemporary(FTemporaryName);
}

void TKezSafeFile::Write(const void* data, size_t byteCount) {
  if (byteCount == 0) return;
  errno = 0;
  const size_t written = std::fwrite(data, 1, byteCount, FFile);
  if (written < byteCount) RaiseSystemError(errno ? errno : EIO, FTargetName);
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
  if (std::fclose(file) != 0) RaiseSystemError(errno, FTargetName);  // Abandon removes the temporary
  std::error_code error;
  fs::rename(FTemporaryName, FFinalName, error);
  if (error) RaiseSystemError(error.value(), FTargetName);
  UnregisterTemporary(FTemporaryName);
  FTemporaryName.clear();
  SyncFolder(fs::path(FFinalName).parent_path());
  RemoveStaleTemporaries(FFinalName);
}

void TKezSafeFile::Abandon() {
  if (FFile) {
    std::fclose(FFile);
    FFile = nullptr;
  }
  if (!FTemporaryName.empty()) {
    std::remove(FTemporaryName.c_str());
    UnregisterTemporary(FTemporaryName);
    FTemporaryName.clear();
  }
}

bool CanWriteBeside(const std::string& target, std::string* reason) {
  try {
    TKezSafeFile probe;
    probe.Open(target);
    probe.Abandon();
    return true;
  } catch (const ESystemError& e) {
    if (reason) *reason = std::system_category().message(e.Code);
    return false;
  }
}

bool TryWriteFileSafely(const std::string& fileName, const std::string& bytes) {
  try {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(fileName).parent_path(), error);
    TKezSafeFile file;
    file.Open(fileName);
    file.Write(bytes.data(), bytes.size());
    file.Commit();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}
