#include "dictionary/uWorkloads.h"

#include <random>

#include "render/uArticleWriter.h"

uint64_t DecodeAllBodies(const TDictionary& dictionary) {
  uint64_t units = 0;
  for (int i = 0; i < dictionary.DictionaryCount(); ++i) {
    TBinaryDictionary* d = dictionary.GetDictionary(i);
    for (int32_t a = 0; a < d->ArticleCount(); ++a) {
      d->GetArticle(a);
      units += d->LastArticle().size();
    }
  }
  return units;
}

uint64_t TypeWords(TDictionary& dictionary, const std::vector<std::u16string>& words) {
  uint64_t keystrokes = 0;
  std::u16string typed;
  for (const auto& word : words) {
    typed.clear();
    for (char16_t c : word) {
      typed += c;
      dictionary.LocateKeyword(typed);
      ++keystrokes;
    }
  }
  return keystrokes;
}

void RenderKeywords(TDictionary& dictionary, const std::vector<int32_t>& indexes, TArticleWriter& writer) {
  for (int32_t index : indexes) {
    dictionary.SetCurrent(index);
    writer.BeginDocument();
    dictionary.RenderArticle(writer);
    writer.EndDocument();
  }
}

std::vector<std::u16string> TypedAsReaders(const TKodraLanguage& language, const std::vector<std::u16string>& words) {
  std::vector<std::u16string> typed;
  const bool latin = language.GetId() == "latin";
  for (const auto& word : words) {
    std::u16string t;
    for (char16_t c : word) {
      c = language.FoldChar(c, false);
      if (latin && c == u'i') c = u'j';
      if (latin && c == u'v') c = u'u';
      t += c;
    }
    typed.push_back(std::move(t));
  }
  return typed;
}

std::vector<std::u16string> SampleKeywords(const TDictionary& dictionary, size_t count) {
  std::vector<std::u16string> words;
  const int32_t total = dictionary.KeywordCount();
  if (total == 0) return words;
  const size_t step = std::max<size_t>(1, size_t(total) / count);
  for (size_t i = 0; i < size_t(total) && words.size() < count; i += step)
    words.emplace_back(dictionary.GetKeywordText(int32_t(i)));
  return words;
}

std::vector<int32_t> SampleIndexes(const TDictionary& dictionary, size_t count, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<int32_t> indexes;
  if (dictionary.KeywordCount() == 0) return indexes;
  std::uniform_int_distribution<int32_t> pick(0, dictionary.KeywordCount() - 1);
  for (size_t i = 0; i < count; ++i) indexes.push_back(pick(random));
  return indexes;
}
