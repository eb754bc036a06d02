#pragma once
// The first strings of a compiled dictionary, read without loading it:
// enough to list the dictionaries of a folder with their captions.
#include <string>

#include "language/uCommon.h"

class TKodraLanguage;

class TBinaryDictionaryHeader {
public:
  std::u16string Caption;
  std::u16string Comment;
  TKodraLanguage* Language = nullptr;  // the registered language of its identifier, or none
  TDictionaryKind Kind = dkOther;
  bool Checked = false;  // for the dictionaries manager
};

// Fills the header from the file's first bytes: signature, version 0 and
// four scrambled strings (caption, comment, kind, language identifier).
// False for a wrong signature or version, a file that ends before the
// fourth string's end, and any failure to read; the file is closed in
// every case.
bool ReadHeader(const std::string& fileName, TBinaryDictionaryHeader& header);
