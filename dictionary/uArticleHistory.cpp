#include "dictionary/uArticleHistory.h"

void TArticleHistory::Add(int32_t keywordIndex) {
  const int32_t count = int32_t(FItems.size());
  // Showing the current article or one of its neighbours again changes nothing.
  for (int32_t near = FPosition - 1; near <= FPosition + 1; ++near)
    if (near >= 0 && near < count && FItems[size_t(near)] == keywordIndex) return;
  if (count == 0) {
    FItems.push_back(keywordIndex);
    return;
  }
  ++FPosition;
  if (FPosition < count)
    FItems.insert(FItems.begin() + FPosition, keywordIndex);
  else
    FItems.push_back(keywordIndex);
}

int32_t TArticleHistory::Back() {
  if (!CanBack()) return -1;
  return FItems[size_t(--FPosition)];
}

int32_t TArticleHistory::Forward() {
  if (!CanForward()) return -1;
  return FItems[size_t(++FPosition)];
}
