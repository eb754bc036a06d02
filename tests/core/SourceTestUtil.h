#pragma once
// Helpers for source-dictionary tests: files in UTF-16LE and a loaded dictionary.
#include <string>

#include "TestFiles.h"
#include "language/uLanguage.h"
#include "source/uSourceDictionary.h"

inline std::vector<uint8_t> Utf16Bytes(std::u16string_view text) {
  std::vector<uint8_t> bytes;
  for (char16_t c : text) {
    bytes.push_back(uint8_t(c));
    bytes.push_back(uint8_t(c >> 8));
  }
  return bytes;
}

inline std::u16string ReadUtf16(const std::string& path) {
  const auto bytes = ReadBytes(path);
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) text += char16_t(bytes[i] | (bytes[i + 1] << 8));
  return text;
}

// The id of the error that loading raises, or "" when it loads.
template <typename F>
std::string HelpedErrorOf(F&& action) {
  try {
    action();
  } catch (const THelpedException& e) {
    return e.HelpKeyword;
  }
  return "";
}

struct TSourceFixture {
  TTempDir Dir;
  TSourceDictionary Dictionary{FindLanguage("ancientgreek")};

  void Load(std::u16string_view text, const std::string& name = "test.kds") {
    Dictionary.Clear();
    const std::string path = Dir.Write(name, Utf16Bytes(text));
    Dictionary.SetFileName(path);
    Dictionary.LoadFromFile(path);
  }
};
