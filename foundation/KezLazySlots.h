#pragma once
// A table of pointers to things made when first asked for, one slot at a
// time. The table is zeroed memory from the system, so a large one costs
// nothing until slots are written; it remembers which slots it filled, so
// that freeing it visits only those.
#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

template <class T, class Deleter = std::default_delete<T>>
class TKezLazySlots {
public:
  TKezLazySlots() = default;
  ~TKezLazySlots() { Reset(0); }
  TKezLazySlots(const TKezLazySlots&) = delete;
  TKezLazySlots& operator=(const TKezLazySlots&) = delete;

  // Frees what the slots hold and makes count empty ones; raises
  // std::bad_alloc when the table cannot be had.
  void Reset(size_t count) {
    for (const size_t slot : FFilled) Deleter{}(FSlots.get()[slot]);
    FFilled.clear();
    FSlots.reset();
    FCount = 0;
    if (count == 0) return;
    FSlots.reset(static_cast<T**>(std::calloc(count, sizeof(T*))));
    if (!FSlots) throw std::bad_alloc();
    FCount = count;
  }
  size_t Count() const { return FCount; }
  // Safe beside Fill from other threads.
  T* Load(size_t slot) const { return std::atomic_ref<T*>(FSlots.get()[slot]).load(std::memory_order_acquire); }
  // Hands the item to the slot, which must be empty; callers fill under a lock of theirs.
  void Fill(size_t slot, T* item) {
    FFilled.push_back(slot);
    std::atomic_ref<T*>(FSlots.get()[slot]).store(item, std::memory_order_release);
  }
  // How many slots are filled (under the callers' lock).
  size_t FilledCount() const { return FFilled.size(); }

private:
  struct TFree {
    void operator()(T** table) const { std::free(table); }
  };
  std::unique_ptr<T*[], TFree> FSlots;
  size_t FCount = 0;
  std::vector<size_t> FFilled;
};
