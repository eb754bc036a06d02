#pragma once
// The articles the reader has looked at, as keyword indexes of one keyword
// list, for the back and forward actions.
#include <cstddef>
#include <cstdint>
#include <vector>

class TArticleHistory {
public:
  TArticleHistory() { FItems.reserve(1024); }

  void Clear() {
    FItems.clear();
    FPosition = 0;
  }
  void Add(int32_t keywordIndex);
  bool CanBack() const { return FPosition > 0; }
  bool CanForward() const { return FPosition + 1 < int32_t(FItems.size()); }
  // The index walked to, or -1 when there is none.
  int32_t Back();
  int32_t Forward();

  const std::vector<int32_t>& Items() const { return FItems; }
  int32_t Position() const { return FPosition; }

private:
  std::vector<int32_t> FItems;
  int32_t FPosition = 0;
};
