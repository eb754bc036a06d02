#pragma once
// Renders articles as text for a terminal: caption underlined, header bold,
// marks and authors italic, comments and examples dim, each enumeration label
// on a line of its own, indented by its level. Without styles (output to a
// file or a pipe) the same text comes out plain.
#include <string>
#include <vector>

#include "render/uArticleWriter.h"

class TPlainTextWriter : public TArticleWriter {
public:
  TPlainTextWriter(const TOptions& options, bool ansiStyles);

  void BeginDocument() override;
  void EndDocument() override;
  void OpenCaption() override { Open(kCaption); }
  void OpenHeader() override { Open(kHeader); }
  void OpenMark() override { Open(kMark); }
  void OpenAuthor() override { Open(kAuthor); }
  void OpenEnumeration(int32_t level) override;
  void OpenComment() override { Open(kComment); }
  void OpenExample() override { Open(kExample); }
  void CloseStyle() override;
  void WriteChar(char16_t c) override;
  void WriteSpecialChar(char16_t c) override;
  void WriteKeyword(std::u16string_view keyword) override;
  void EndParagraph() override;

  // UTF-8 text of the document.
  const std::string& Text() const { return FText; }

private:
  static constexpr const char* kCaption = "\x1b[4m";
  static constexpr const char* kHeader = "\x1b[1m";
  static constexpr const char* kMark = "\x1b[3m";
  static constexpr const char* kAuthor = "\x1b[3m";
  static constexpr const char* kComment = "\x1b[2;3m";
  static constexpr const char* kExample = "\x1b[2m";
  static constexpr const char* kEnumeration = "\x1b[1m";

  void Open(const char* style);
  void ApplyStyles();
  void Append(char16_t c);

  bool FAnsi;
  std::string FText;
  std::vector<const char*> FStyles;
  bool FLineStart = true;
};
