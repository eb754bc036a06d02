#include "source/uSourceUnitCounts.h"

#include <algorithm>
#include <tuple>

#include "source/uCompiledBody.h"
#include "source/uSourceCompiler.h"

namespace {
constexpr size_t kUnits = 0x10000;
}  // namespace

TSourceUnitCounts::TSourceUnitCounts()
    : FCounts(kUnits), FFirstArticle(kUnits), FFirstPosition(kUnits), FSeenIn(kUnits) {}

void TSourceUnitCounts::CountArticle(uint32_t article, const char16_t* text, bool afterAll,
                                     const std::function<bool(uint32_t, uint32_t)>& before) {
  const uint32_t stamp = article + 1;  // FSeenIn holds 0 for no article
  uint32_t position = 0;
  ForEachCompiledUnit(text, [&](char16_t unit) {
    if (FSeenIn[unit] != stamp) {
      FSeenIn[unit] = stamp;
      if (FCounts[unit] == 0) FUnits.push_back(unit);
      if (FCounts[unit] == 0 || (!afterAll && before(article, FFirstArticle[unit]))) {
        FFirstArticle[unit] = article;
        FFirstPosition[unit] = position;
      }
    }
    ++FCounts[unit];
    ++position;
  });
}

std::vector<uint32_t> TSourceUnitCounts::FirstArticles() const {
  std::vector<uint32_t> articles;
  for (char16_t unit : FUnits) articles.push_back(FFirstArticle[unit]);
  return articles;
}

void TSourceUnitCounts::HandTo(TSourceDictionaryCompileData& data,
                               const std::function<uint32_t(uint32_t)>& rank) const {
  struct TMet {
    uint32_t Rank, Position;
    char16_t Unit;
  };
  std::vector<TMet> met;
  met.reserve(FUnits.size());
  for (char16_t unit : FUnits) met.push_back({rank(FFirstArticle[unit]), FFirstPosition[unit], unit});
  std::sort(met.begin(), met.end(), [](const TMet& a, const TMet& b) {
    return std::tie(a.Rank, a.Position) < std::tie(b.Rank, b.Position);
  });
  for (const TMet& unit : met) data.Count(unit.Unit, FCounts[unit.Unit]);
}
