#pragma once
// Builds compiled-dictionary bytes for tests, field by field, so that tests
// can make both well-formed and deliberately broken files.
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "dictionary/uKeyStream.h"

struct TKdbContent {
  std::u16string Caption, Comment, Kind, Language;
  std::vector<std::pair<std::u16string, std::u16string>> Abbreviations;
  std::vector<std::pair<std::u16string, std::vector<uint8_t>>> Articles;  // keyword, coded body without its 0
  std::vector<char16_t> Chars;  // the character table
  uint32_t Version = kKdbVersion;
};

class TKdbBuilder {
public:
  static void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
  }
  static void PutScrambled(std::vector<uint8_t>& out, const std::u16string& text) {
    KeyStreamReset();
    for (size_t i = 0; i <= text.size(); ++i) {
      const uint16_t unit = uint16_t((i < text.size() ? text[i] : 0) ^ (KeyStreamNext() & 0xFFFF));
      out.push_back(uint8_t(unit));
      out.push_back(uint8_t(unit >> 8));
    }
  }
  static void PutTable(std::vector<uint8_t>& out, const std::vector<uint32_t>& offsets) {
    KeyStreamReset();
    for (uint32_t offset : offsets) PutU32(out, offset ^ KeyStreamNext());
  }
  static void Align4(std::vector<uint8_t>& out) {
    while (out.size() % 4) out.push_back(0);
  }

  static std::vector<uint8_t> Build(const TKdbContent& c) {
    std::vector<uint8_t> out;
    PutU32(out, kKdbSignature);
    PutU32(out, c.Version);
    for (const auto* text : {&c.Caption, &c.Comment, &c.Kind, &c.Language}) PutScrambled(out, *text);
    std::vector<uint32_t> pairOffsets, articleOffsets;
    for (const auto& [abbreviation, explanation] : c.Abbreviations) {
      pairOffsets.push_back(uint32_t(out.size()));
      PutScrambled(out, abbreviation);
      PutScrambled(out, explanation);
    }
    for (const auto& [keyword, body] : c.Articles) {
      if (out.size() % 2) out.push_back(0);
      articleOffsets.push_back(uint32_t(out.size()));
      PutScrambled(out, keyword);
      out.insert(out.end(), body.begin(), body.end());
      out.push_back(0);
    }
    Align4(out);
    const uint32_t a = uint32_t(out.size());
    PutTable(out, pairOffsets);
    const uint32_t b = uint32_t(out.size());
    PutTable(out, articleOffsets);
    const uint32_t charTable = uint32_t(out.size());
    for (char16_t unit : c.Chars) {
      out.push_back(uint8_t(unit));
      out.push_back(uint8_t(unit >> 8));
    }
    Align4(out);
    for (uint32_t v : {a, uint32_t(c.Abbreviations.size()), b, uint32_t(c.Articles.size()), charTable,
                       uint32_t(c.Chars.size())})
      PutU32(out, v ^ kKdbTrailerMask);
    PutU32(out, kKdbTrailerSignature);
    return out;
  }
};

// A character table whose code k (from 31 up) stands for units[k - 31];
// entries 0 to 30 are filler.
inline std::vector<char16_t> CharTableFor(const std::u16string& units) {
  std::vector<char16_t> table(31, u'?');
  table.insert(table.end(), units.begin(), units.end());
  return table;
}

// Codes a body through a table made by CharTableFor (one byte per unit while
// codes stay below 256, lead bytes above).
inline std::vector<uint8_t> CodeBody(const std::u16string& body, const std::u16string& units) {
  std::vector<uint8_t> out;
  for (char16_t c : body) {
    const uint32_t code = uint32_t(units.find(c)) + 31;
    if (code < 256) {
      out.push_back(uint8_t(code));
    } else {
      out.push_back(uint8_t(31 - code / 256));
      out.push_back(uint8_t(code % 256));
    }
  }
  return out;
}
