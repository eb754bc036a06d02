#pragma once
// The reader's typical work on a dictionary set, as repeatable workloads:
// the benchmark suite and "kodra-cli bench" measure the same operations.
#include <cstdint>
#include <string>
#include <vector>

#include "dictionary/uDictionary.h"

class TArticleWriter;

// Decodes every body of every loaded dictionary; returns the units decoded.
// The floor for a search without an index.
uint64_t DecodeAllBodies(const TDictionary& dictionary);
// Types each word letter by letter, locating after every keystroke; returns
// the number of keystrokes.
uint64_t TypeWords(TDictionary& dictionary, const std::vector<std::u16string>& words);
// Renders the articles of the given keyword indexes through the writer,
// each as its own document.
void RenderKeywords(TDictionary& dictionary, const std::vector<int32_t>& indexes, TArticleWriter& writer);
// The words as readers type them: without accents or capitals (so Greek
// with σ at the end), and in Latin with j and u for every i and v, so that
// lookup must find the dictionaries' spelling.
std::vector<std::u16string> TypedAsReaders(const TKodraLanguage& language, const std::vector<std::u16string>& words);
// Up to count keywords spread evenly over the list.
std::vector<std::u16string> SampleKeywords(const TDictionary& dictionary, size_t count);
std::vector<int32_t> SampleIndexes(const TDictionary& dictionary, size_t count, uint32_t seed);
