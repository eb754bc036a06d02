#pragma once
// A writer that records the calls it gets as readable text: styles in
// brackets, "|" for a paragraph end, "{kw:...}" for the keyword, "{sp:XXXX}"
// for a special character.
#include <cstdio>
#include <string>

#include "foundation/KezText.h"
#include "options/uOptions.h"
#include "render/uArticleWriter.h"

class TRecordingWriter : public TArticleWriter {
public:
  TRecordingWriter() : TArticleWriter(Options()) {}
  void BeginDocument() override { Log += "<doc>"; }
  void EndDocument() override { Log += "</doc>"; }
  void OpenCaption() override { Log += "[cap]"; }
  void OpenHeader() override { Log += "[h]"; }
  void OpenMark() override { Log += "[m]"; }
  void OpenAuthor() override { Log += "[a]"; }
  void OpenEnumeration(int32_t level) override { Log += "[n" + std::to_string(level) + "]"; }
  void OpenComment() override { Log += "[c]"; }
  void OpenExample() override { Log += "[e]"; }
  void CloseStyle() override { Log += "[/]"; }
  void WriteChar(char16_t c) override { Log += c == u'\t' ? std::string("\\t") : ToUtf8(std::u16string(1, c)); }
  void WriteSpecialChar(char16_t c) override {
    char hex[16];
    std::snprintf(hex, sizeof hex, "{sp:%04X}", unsigned(c));
    Log += hex;
  }
  void WriteKeyword(std::u16string_view keyword) override { Log += "{kw:" + ToUtf8(keyword) + "}"; }
  void EndParagraph() override { Log += "|"; }

  std::string Log;
};
