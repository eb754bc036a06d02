#pragma once
// The font table editor's model: for each character of a language, the
// sequences of a legacy 8-bit font's codes that stand for it. An
// assignment holds at most 31 bytes: ";" separates alternatives and the
// byte 1F stands for the code 3B (the semicolon itself).
#include <cstdint>
#include <string>
#include <vector>

class TKodraLanguage;

class TFontTableModel {
public:
  static constexpr size_t kAssignmentLimit = 31;
  static constexpr uint8_t kSemicolonCode = 0x3B;
  static constexpr uint8_t kSemicolonStandIn = 0x1F;

  explicit TFontTableModel(const TKodraLanguage& language);

  int32_t Count() const { return int32_t(FCharacters.size()); }
  char16_t Character(int32_t index) const { return FCharacters[size_t(index)]; }
  const std::string& Assignment(int32_t index) const { return FAssignments[size_t(index)]; }
  bool Modified() const { return FModified; }
  uint32_t CharacterSet() const { return FCharacterSet; }
  void SetCharacterSet(uint32_t characterSet) { FCharacterSet = characterSet; }

  // Appends a code of the font (32..255) to the character's assignment;
  // false when it is full or the code is outside the font's cells.
  bool AppendCode(int32_t index, uint32_t code);
  // Removes the last byte; false when there is none.
  bool DeleteLast(int32_t index);
  bool CanAddAlternate(int32_t index) const;
  bool AddAlternate(int32_t index);

  // Forgets every assignment and the character set.
  void Clear();
  // Takes a table's mappings (the text of a ".fnt" file); lines of code
  // points outside the character list are left out.
  void LoadText(std::string_view text);
  // The table's file text: the "#" line, then a line per assigned character.
  std::string FileText() const;
  // Writes the file safely and clears modified (raises on failure, leaving
  // it set and the old file as it was).
  void SaveTo(const std::string& fileName);

  // The file line of an assignment: "41,42;43=03B1" (a trailing ";" left
  // out); empty for an empty assignment.
  static std::string LineOf(const std::string& assignment, char16_t character);

private:
  std::vector<char16_t> FCharacters;
  std::vector<std::string> FAssignments;
  uint32_t FCharacterSet = 0;
  bool FModified = false;
};
