#pragma once
// The installed dictionaries of one language, opened as the viewer opens
// them, for the lookup, search and bench commands.
#include <memory>
#include <string>

#include "dictionary/uDictionary.h"
#include "options/uOptions.h"
#include "tools/CliOptions.h"

struct TCliDictionarySet {
  std::unique_ptr<TOptions> Settings;
  std::unique_ptr<TDictionary> Dictionary;
};

// Reads --home and --lang; raises std::runtime_error for an unknown language
// or when no dictionary is active.
TCliDictionarySet OpenDictionarySet(const TCliArguments& arguments);
