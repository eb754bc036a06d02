#pragma once
// Builds the character map's keyboard grids row by row (0 is an empty cell).
#include <vector>

#include "foundation/KezAssert.h"

class TKeyboardGridBuilder {
public:
  explicit TKeyboardGridBuilder(int columns) : FColumns(columns) {}
  TKeyboardGridBuilder& Add(char16_t c) { FCells.push_back(c); return *this; }
  TKeyboardGridBuilder& Range(char16_t first, char16_t last) {
    for (char16_t c = first; c <= last; ++c) FCells.push_back(c);
    return *this;
  }
  TKeyboardGridBuilder& Empty(int count = 1) { FCells.insert(FCells.end(), size_t(count), 0); return *this; }
  // Pads the row to its full width.
  TKeyboardGridBuilder& EndRow() {
    KEZ_ASSERT(FCells.size() <= size_t(FColumns) * (FRows + 1), "uKeyboardGrid");
    FCells.resize(size_t(FColumns) * ++FRows, 0);
    return *this;
  }
  std::vector<char16_t> Build() const { return FCells; }
  int Rows() const { return FRows; }

private:
  int FColumns;
  int FRows = 0;
  std::vector<char16_t> FCells;
};
