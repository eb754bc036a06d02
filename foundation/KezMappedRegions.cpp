#include "foundation/KezMappedRegions.h"

#include <atomic>
#include <cstdint>

#ifndef _WIN32
#include <csignal>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {
constexpr size_t kMaxRegions = 256;

// Written under a lock, read by the signal handler without one: a slot's
// start is set last and cleared first.
struct TRegion {
  std::atomic<uintptr_t> Start{0};
  std::atomic<size_t> Size{0};
  std::atomic<bool> Faulted{false};
};
TRegion gRegions[kMaxRegions];

TRegion* Find(uintptr_t address, bool within) {
  for (TRegion& region : gRegions) {
    const uintptr_t start = region.Start.load(std::memory_order_acquire);
    if (start == 0) continue;
    if (within ? address - start < region.Size.load(std::memory_order_relaxed) : address == start) return &region;
  }
  return nullptr;
}

#ifndef _WIN32
std::mutex gLock;
struct sigaction gPrevious;

void OnBusError(int signal, siginfo_t* info, void* context) {
  const uintptr_t address = reinterpret_cast<uintptr_t>(info->si_addr);
  if (TRegion* region = Find(address, true)) {
    const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    void* at = reinterpret_cast<void*>(address & ~(page - 1));
    if (mmap(at, page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
      region->Faulted.store(true, std::memory_order_relaxed);
      return;  // the read is tried again, on zeros
    }
  }
  // Not ours: as if there had been no handler.
  if (gPrevious.sa_flags & SA_SIGINFO) {
    if (gPrevious.sa_sigaction) return gPrevious.sa_sigaction(signal, info, context);
  } else if (gPrevious.sa_handler != SIG_DFL && gPrevious.sa_handler != SIG_IGN) {
    return gPrevious.sa_handler(signal);
  }
  ::signal(signal, SIG_DFL);
  raise(signal);
}

void InstallHandler() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &gPrevious);
  });
}
#endif
}  // namespace

bool RegisterMappedRegion(const void* start, size_t size) {
#ifdef _WIN32
  (void)start;
  (void)size;
  return false;
#else
  InstallHandler();
  std::lock_guard<std::mutex> lock(gLock);
  for (TRegion& region : gRegions) {
    if (region.Start.load(std::memory_order_relaxed) != 0) continue;
    region.Size.store(size, std::memory_order_relaxed);
    region.Faulted.store(false, std::memory_order_relaxed);
    region.Start.store(reinterpret_cast<uintptr_t>(start), std::memory_order_release);
    return true;
  }
  return false;
#endif
}

void UnregisterMappedRegion(const void* start) {
#ifndef _WIN32
  std::lock_guard<std::mutex> lock(gLock);
  if (TRegion* region = Find(reinterpret_cast<uintptr_t>(start), false))
    region->Start.store(0, std::memory_order_release);
#else
  (void)start;
#endif
}

bool MappedRegionFaulted(const void* start) {
  const TRegion* region = Find(reinterpret_cast<uintptr_t>(start), false);
  return region && region->Faulted.load(std::memory_order_relaxed);
}
