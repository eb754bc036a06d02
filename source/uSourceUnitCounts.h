#pragma once
// The counting pass of compilation made while a source file is read in its
// own order. The compiled file ranks units of equal counts by the order in
// which the walk through the articles in keyword order first meets them, so
// each unit also keeps the article that comes first in that order among
// those it occurs in, and where in that article it first occurs.
#include <cstdint>
#include <functional>
#include <vector>

class TSourceDictionaryCompileData;

class TSourceUnitCounts {
public:
  TSourceUnitCounts();

  // Counts the units of the article at place article of the file (places
  // given in turn from 0). afterAll: the article comes after every article
  // counted before it (so it takes no unit's first meeting from them);
  // otherwise before(a, b) tells whether the article at place a comes before
  // the one at b.
  void CountArticle(uint32_t article, const char16_t* text, bool afterAll,
                    const std::function<bool(uint32_t, uint32_t)>& before);
  // The places of the articles where units are first met.
  std::vector<uint32_t> FirstArticles() const;
  // Hands the counts to data in the order the walk meets the units first;
  // rank(place) is the article's rank in keyword order.
  void HandTo(TSourceDictionaryCompileData& data, const std::function<uint32_t(uint32_t)>& rank) const;

private:
  std::vector<uint32_t> FCounts, FFirstArticle, FFirstPosition, FSeenIn;
  std::vector<char16_t> FUnits;  // the units met, each once
};
