#include "render/uPlainTextWriter.h"

#include <cstdio>

#include "foundation/KezText.h"
#include "options/uOptions.h"

TPlainTextWriter::TPlainTextWriter(const TOptions& options, bool ansiStyles)
    : TArticleWriter(options), FAnsi(ansiStyles) {}

void TPlainTextWriter::BeginDocument() {
  FText.clear();
  FStyles.clear();
  FLineStart = true;
}

void TPlainTextWriter::EndDocument() {
  FStyles.clear();
  ApplyStyles();
  if (!FLineStart) FText += '\n';
  FLineStart = true;
}

void TPlainTextWriter::ApplyStyles() {
  if (!FAnsi) return;
  FText += "\x1b[0m";
  for (const char* style : FStyles) FText += style;
}

void TPlainTextWriter::Open(const char* style) {
  FStyles.push_back(style);
  if (FAnsi) FText += style;
}

void TPlainTextWriter::OpenEnumeration(int32_t level) {
  if (level < 1 || level > 3) level = 1;
  if (!FLineStart) {
    while (!FText.empty() && FText.back() == ' ') FText.pop_back();
    FText += '\n';
  }
  FText.append(size_t(2 * (level - 1)), ' ');
  FLineStart = false;
  Open(kEnumeration);
}

void TPlainTextWriter::CloseStyle() {
  if (FStyles.empty()) return;
  FStyles.pop_back();
  ApplyStyles();
}

void TPlainTextWriter::Append(char16_t c) {
  FText += ToUtf8(std::u16string_view(&c, 1));
  FLineStart = false;
}

void TPlainTextWriter::WriteChar(char16_t c) {
  if (c == u'\t') {
    FText += ' ';
    FLineStart = false;
    return;
  }
  Append(c);
}

void TPlainTextWriter::WriteSpecialChar(char16_t c) {
  // Glyphs of the special-character font have no Unicode form.
  char code[12];
  std::snprintf(code, sizeof code, "{%04X}", unsigned(c));
  FText += code;
  FLineStart = false;
}

void TPlainTextWriter::WriteKeyword(std::u16string_view keyword) {
  if (keyword.empty()) return;
  auto shown = [](char16_t c) { return c == u'_' ? u' ' : c; };
  if (FOptions.AbbrExpansion() == aeDefault) {
    Append(shown(keyword[0]));
    Append(u'.');
    return;
  }
  for (char16_t c : keyword) Append(shown(c));
}

void TPlainTextWriter::EndParagraph() {
  if (FAnsi && !FStyles.empty()) FText += "\x1b[0m";
  FText += '\n';
  if (FAnsi && !FStyles.empty()) ApplyStyles();
  FLineStart = true;
}
