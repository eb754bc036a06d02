#pragma once
// One walk through a source file in blocks, splitting it as reading does:
// the sections at its head (everything before the first article) and each
// article's units, from its "#" line up to the next article's. Every unit is
// checked as the reader checks a file (no control units but tabs and line
// breaks, no lone surrogate, no byte-order mark but the first unit), and
// every section must be closed before the articles begin.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class TSourceFileUnits;

class TSourceFileScanner {
public:
  // The end of the head, in units from the file's start (a first byte-order
  // mark included); false stops the walk.
  using THead = std::function<bool(uint64_t end)>;
  // An article's first unit and its units; false stops the walk.
  using TArticle = std::function<bool(uint64_t start, std::u16string_view units)>;

  // The file is read blockUnits units at a time (at least one).
  explicit TSourceFileScanner(TSourceFileUnits& file, size_t blockUnits = 256 * 1024)
      : FFile(file), FBlockUnits(blockUnits > 0 ? blockUnits : 1) {}
  // False when a unit or an unclosed section would stop reading, the file
  // cannot be read, or a callback stopped the walk.
  bool Scan(const THead& head, const TArticle& article);

private:
  enum TLineEnd { leBreak, leMore, leFault };
  // Checks the units of the current line up to its break.
  TLineEnd CheckLine();
  // Appends the next block of the file to the buffer, dropping what lies
  // before FKeep; false at the end of the file or when it cannot be read.
  bool ReadMore();

  TSourceFileUnits& FFile;
  const size_t FBlockUnits;
  std::u16string FBuffer;
  uint64_t FBase = 0;  // the file offset of FBuffer[0]
  uint64_t FRead = 0;  // units read so far
  uint64_t FTotal = 0;
  bool FFailed = false;
  // Places in FBuffer, moved along with the text: what must stay (the
  // current article), the current line, and how far it has been checked.
  size_t FKeep = 0, FLine = 0, FScan = 0;
};
