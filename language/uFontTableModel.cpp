#include "language/uFontTableModel.h"

#include <cstdio>

#include "foundation/KezSafeFile.h"
#include "language/uImportFont.h"
#include "language/uLanguage.h"

TFontTableModel::TFontTableModel(const TKodraLanguage& language) {
  for (int i = 0; i < language.CharCount(); ++i) FCharacters.push_back(language.CharAt(i));
  FAssignments.resize(FCharacters.size());
}

bool TFontTableModel::AppendCode(int32_t index, uint32_t code) {
  if (index < 0 || index >= Count() || code < 32 || code > 255) return false;
  std::string& assignment = FAssignments[size_t(index)];
  if (assignment.size() >= kAssignmentLimit) return false;
  assignment += char(code == kSemicolonCode ? kSemicolonStandIn : uint8_t(code));
  FModified = true;
  return true;
}

bool TFontTableModel::DeleteLast(int32_t index) {
  if (index < 0 || index >= Count() || FAssignments[size_t(index)].empty()) return false;
  FAssignments[size_t(index)].pop_back();
  FModified = true;
  return true;
}

bool TFontTableModel::CanAddAlternate(int32_t index) const {
  if (index < 0 || index >= Count()) return false;
  const std::string& assignment = FAssignments[size_t(index)];
  return !assignment.empty() && assignment.back() != ';' && assignment.size() < kAssignmentLimit;
}

bool TFontTableModel::AddAlternate(int32_t index) {
  if (!CanAddAlternate(index)) return false;
  FAssignments[size_t(index)] += ';';
  FModified = true;
  return true;
}

void TFontTableModel::Clear() {
  for (std::string& assignment : FAssignments) assignment.clear();
  FCharacterSet = 0;
  FModified = false;
}

void TFontTableModel::LoadText(std::string_view text) {
  Clear();
  FCharacterSet = LoadFontTable(text, [this](std::string_view codes, uint32_t value) {
    for (size_t i = 0; i < FCharacters.size(); ++i)
      if (FCharacters[i] == value) {
        FAssignments[i] = std::string(codes.substr(0, kAssignmentLimit));
        return;
      }
  });
  FModified = false;
}

std::string TFontTableModel::LineOf(const std::string& assignment, char16_t character) {
  std::string codes = assignment;
  if (!codes.empty() && codes.back() == ';') codes.pop_back();
  if (codes.empty()) return {};
  std::string line;
  char hex[8];
  bool alternativeStart = true;
  for (const char byte : codes) {
    if (byte == ';') {
      line += ';';
      alternativeStart = true;
      continue;
    }
    if (!alternativeStart) line += ',';
    std::snprintf(hex, sizeof hex, "%02X", unsigned(uint8_t(byte)));
    line += hex;
    alternativeStart = false;
  }
  std::snprintf(hex, sizeof hex, "=%04X", unsigned(character));
  return line + hex;
}

std::string TFontTableModel::FileText() const {
  char head[8];
  std::snprintf(head, sizeof head, "#%02X\r\n", unsigned(FCharacterSet & 0xFF));
  std::string text = head;
  for (size_t i = 0; i < FCharacters.size(); ++i)
    if (const std::string line = LineOf(FAssignments[i], FCharacters[i]); !line.empty()) text += line + "\r\n";
  return text;
}

void TFontTableModel::SaveTo(const std::string& fileName) {
  const std::string text = FileText();
  TKezSafeFile file;
  file.Open(fileName);
  file.Write(text.data(), text.size());
  file.Commit();
  FModified = false;
}
