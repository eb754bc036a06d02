#include "source/uSourceStreamCompiler.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <limits>
#include <unordered_map>

#include "foundation/KezSafeFile.h"
#include "foundation/KezSystemError.h"
#include "source/uSourceCheck.h"
#include "source/uSourceCompiler.h"
#include "source/uSourceFileScanner.h"
#include "source/uSourceReader.h"

bool TSourceStreamCompiler::Compile(const std::string& source, const std::string& target) {
  CheckCompileTarget(source, target);
  return OpenSource(source) && ReadSource() && WriteTarget(target);
}

// The file must pass the checks the reader makes before it reads a line.
bool TSourceStreamCompiler::OpenSource(const std::string& source) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(source, error) || !FFile.Open(source)) return false;
  const uint64_t size = FFile.ByteSize();
  if (size % 2 != 0 || size / 2 >= uint64_t(std::numeric_limits<int32_t>::max())) return false;
  std::u16string head(size_t(std::min<uint64_t>(size / 2, 2048)), u'\0');
  if (!FFile.ReadInto(0, head.data(), head.size())) return false;
  return ForeignEncoding(std::string_view(reinterpret_cast<const char*>(head.data()), head.size() * 2)).empty();
}

bool TSourceStreamCompiler::ReadSource() {
  TSourceFileScanner scanner(FFile, FSizes.BlockUnits);
  const bool read = scanner.Scan([this](uint64_t end) { return LoadSections(end); },
                                 [this](uint64_t start, std::u16string_view units) { return AddArticle(start, units); });
  if (!read) return false;
  FOrder->SetEnd(uint32_t(FFile.ByteSize() / 2));
  return FOrder->Sort();
}

bool TSourceStreamCompiler::LoadSections(uint64_t end) {
  std::u16string text(size_t(end), u'\0');
  if (!FFile.ReadInto(0, text.data(), text.size())) return false;
  try {
    FSections.LoadFromText(text);
    FSections.Verify();
  } catch (const THelpedException&) {
    return false;
  }
  FOrder = std::make_unique<TSourceArticleOrder>(
      *FSections.Language(), [this](uint32_t start, uint32_t end, std::u16string_view& keyword) {
        std::u16string_view units;
        if (!FFile.Read(start, end - start, units)) return false;
        keyword = ArticleKeyword(units);
        return true;
      });
  return true;
}

bool TSourceStreamCompiler::AddArticle(uint64_t start, std::u16string_view units) {
  const std::u16string_view keyword = ReadArticleUnits(units, FText);
  const char16_t* text = FText.Text().c_str();
  if (FindArticleFault(*FSections.Language(), keyword, text)) return false;
  const uint32_t article = FOrder->Count();
  if (!FOrder->Add(keyword, uint32_t(start))) return false;
  FCounts.CountArticle(article, text, FOrder->InFileOrder(),
                       [this](uint32_t a, uint32_t b) { return FOrder->Before(a, b); });
  return true;
}

// The articles of ranks [first, last) into FBatch, read in the file's order
// so that articles that lie near each other are read together.
bool TSourceStreamCompiler::ReadBatch(uint32_t first, uint32_t last) {
  FBatchStarts.clear();
  FBatchReads.clear();
  uint32_t units = 0;
  for (uint32_t rank = first; rank < last; ++rank) {
    FBatchStarts.push_back(units);
    FBatchReads.push_back(uint64_t(FOrder->Start(rank)) << 32 | (rank - first));
    units += FOrder->End(rank) - FOrder->Start(rank);
  }
  FBatchStarts.push_back(units);
  FBatch.resize(units);
  std::sort(FBatchReads.begin(), FBatchReads.end());
  for (uint64_t read : FBatchReads) {
    const uint32_t rank = first + uint32_t(read);
    std::u16string_view article;
    if (!FFile.Read(FOrder->Start(rank), FOrder->End(rank) - FOrder->Start(rank), article)) return false;
    std::copy(article.begin(), article.end(), FBatch.begin() + long(FBatchStarts[rank - first]));
  }
  return true;
}

bool TSourceStreamCompiler::WriteTarget(const std::string& target) {
  const uint32_t count = FOrder->Count();
  // The ranks of the articles where units are first met.
  std::unordered_map<uint32_t, uint32_t> ranks;
  if (!FOrder->InFileOrder()) {
    std::vector<bool> first(count);
    for (uint32_t article : FCounts.FirstArticles()) first[article] = true;
    for (uint32_t rank = 0; rank < count; ++rank)
      if (first[FOrder->FileIndex(rank)]) ranks[FOrder->FileIndex(rank)] = rank;
  }
  auto rankOf = [&](uint32_t article) { return FOrder->InFileOrder() ? article : ranks.at(article); };

  // The file is written aside and replaces the target only when complete.
  TKezSafeFile file;
  file.Open(target);
  {
    TSourceDictionaryCompileData data;
    data.Open(file);
    FCounts.HandTo(data, rankOf);
    data.BuildCodes(AbbreviationCount(), ArticleCount());
    data.StartWriting();
    for (int part = spHeader; part < spArticles; ++part) FSections.Part(part).CompileTo(data);
    for (uint32_t first = 0, last; first < count; first = last) {
      size_t batchUnits = FOrder->End(first) - FOrder->Start(first);
      for (last = first + 1; last < count && last - first < FSizes.BatchArticles; ++last) {
        batchUnits += FOrder->End(last) - FOrder->Start(last);
        if (batchUnits > FSizes.BatchUnits) break;
      }
      if (!ReadBatch(first, last)) return false;
      for (uint32_t rank = first; rank < last; ++rank) {
        const std::u16string_view units(FBatch.data() + FBatchStarts[rank - first],
                                        FBatchStarts[rank - first + 1] - FBatchStarts[rank - first]);
        if (units.empty() || units[0] != u'#') return false;  // the file changed since the first walk
        data.Article(ReadArticleUnits(units, FText), FText.Text().c_str());
      }
    }
    data.Finish();
    if (!data.Close()) RaiseSystemError(data.ErrorCode() ? data.ErrorCode() : EIO, target);
  }
  if (!FFile.Unchanged()) return false;
  file.Commit();
  return true;
}
