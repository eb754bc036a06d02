#pragma once
// Compiles a source file holding one article at a time rather than the whole
// source: a first walk through the file keeps its sections, each article's
// keyword and place, and the counts of the units, checking every article as
// verification does; the articles are then read back from the file in
// keyword order, a batch at a time, and written by the in-memory compiler's
// own code, into the same bytes. A source that this cannot compile exactly as loading and
// verifying it would (a fault verification reports, a keyword repeated, a
// file that does not read as it stands) is left to the caller with nothing
// written, to be loaded and verified in memory, which reports its first
// error.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "source/uSourceArticleOrder.h"
#include "source/uSourceArticleText.h"
#include "source/uSourceDictionary.h"
#include "source/uSourceFileUnits.h"
#include "source/uSourceUnitCounts.h"

// How much of the file is held at a time: the first walk reads blocks of
// BlockUnits units; the articles are read back in batches of at most
// BatchUnits units (or one article) and BatchArticles articles.
struct TSourceStreamSizes {
  size_t BlockUnits = 256 * 1024;
  size_t BatchUnits = 4 * 1024 * 1024;
  uint32_t BatchArticles = 256 * 1024;
};

class TSourceStreamCompiler {
public:
  explicit TSourceStreamCompiler(TKodraLanguage* language, TSourceStreamSizes sizes = {})
      : FSizes(sizes), FSections(language) {}

  // Compiles source into target, which is replaced only when the compiled
  // file is complete. False, with nothing written, when the source is to be
  // loaded and verified in memory instead. Raises what compiling a verified
  // dictionary raises (SCompileOverSource, STooMuchChars, the system's
  // errors of the target).
  bool Compile(const std::string& source, const std::string& target);
  int32_t ArticleCount() const { return FOrder ? int32_t(FOrder->Count()) : 0; }
  int32_t AbbreviationCount() const { return FSections.Part(spMarks).Count() + FSections.Part(spAuthors).Count(); }

private:
  bool OpenSource(const std::string& source);
  // The first walk; false at anything the in-memory path is to handle.
  bool ReadSource();
  bool LoadSections(uint64_t end);
  bool AddArticle(uint64_t start, std::u16string_view units);
  bool ReadBatch(uint32_t first, uint32_t last);
  bool WriteTarget(const std::string& target);

  const TSourceStreamSizes FSizes;
  TSourceDictionary FSections;  // header, marks and authors; no articles
  TSourceFileUnits FFile;
  std::unique_ptr<TSourceArticleOrder> FOrder;
  TSourceUnitCounts FCounts;
  TSourceArticleText FText;
  // The articles being written: their units one after another in keyword
  // order, where each begins, and their places in the file (above) with
  // their ranks in the batch (below), sorted to be read in the file's order.
  std::u16string FBatch;
  std::vector<uint32_t> FBatchStarts;
  std::vector<uint64_t> FBatchReads;
};
