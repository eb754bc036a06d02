#pragma once
// Loading and verifying a source dictionary for the command line, with
// errors reported at their file line and column.
#include <memory>
#include <string>

#include "source/uSourceDictionary.h"

struct TVerifyReport {
  bool Ok = false;
  std::string Identifier, Message;
  int Part = -1;
  int32_t Item = -1;
  std::u16string Keyword;
  int32_t SelectionStart = 0, SelectionLength = 0;
  int32_t Line = 0, Column = 0;
  std::u16string LineText;
};

// Loads and verifies; never throws for a bad dictionary (the report says why).
TVerifyReport LoadAndVerify(const std::string& fileName, TSourceDictionary& dictionary);
void PrintVerifyReport(const std::string& fileName, const TSourceDictionary& dictionary, const TVerifyReport& report,
                       bool json);
