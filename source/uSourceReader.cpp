#include "source/uSourceReader.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <new>

#include "foundation/KezFiles.h"
#include "foundation/KezSystemError.h"
#include "language/uCommon.h"

namespace {
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

std::string Hex(char16_t c) {
  char code[8];
  std::snprintf(code, sizeof code, "%04X", unsigned(c));
  return code;
}

// Whether the bytes are UTF-8 without control bytes (a sequence cut off at
// the end of the sample counts as valid).
bool LooksLikeUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const auto b = uint8_t(bytes[i]);
    if (b < 0x20 && b != '\t' && b != '\r' && b != '\n') return false;
    size_t length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || (length == 2 && b < 0xC2)) return false;
    for (size_t k = 1; k < length; ++k)
      if (i + k < bytes.size() && (uint8_t(bytes[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}
}  // namespace

std::string ForeignEncoding(std::string_view head) {
  if (head.substr(0, 3) == "\xEF\xBB\xBF") return "UTF-8";
  if (head.substr(0, 2) == "\xFE\xFF") return "UTF-16BE";
  if (head.substr(0, 2) == "\xFF\xFE") return {};
  // A saved source starts with a section tag or a keyword line: read as
  // UTF-16LE, "<" or "#" first is such a file, whatever units follow.
  if (head.size() >= 2 && head[1] == 0 && (head[0] == '<' || head[0] == '#')) return {};
  // Then line breaks decide: CR LF reads 0D 00 0A 00 in UTF-16LE and
  // 00 0D 00 0A in UTF-16BE, whatever the letters between them (a text of
  // CJK units such as U+6F00 has its zero bytes where UTF-16BE would).
  size_t littleBreaks = 0, bigBreaks = 0;
  for (size_t i = 0; i + 4 <= head.size(); i += 2) {
    const std::string_view unitPair = head.substr(i, 4);
    if (unitPair == std::string_view("\r\0\n\0", 4)) ++littleBreaks;
    else if (unitPair == std::string_view("\0\r\0\n", 4)) ++bigBreaks;
  }
  if (littleBreaks != bigBreaks) return littleBreaks > bigBreaks ? std::string() : std::string("UTF-16BE");
  size_t evenZeros = 0, oddZeros = 0;
  for (size_t i = 0; i < head.size(); ++i)
    if (head[i] == 0) ++(i % 2 ? oddZeros : evenZeros);
  // Latin letters, digits, tags and line breaks: in UTF-16LE their zero byte
  // comes second, in UTF-16BE first; UTF-8 has none.
  if (evenZeros >= 4 && evenZeros > 2 * oddZeros) return "UTF-16BE";
  if (evenZeros + oddZeros == 0 && !head.empty() && LooksLikeUtf8(head)) return "UTF-8";
  return {};
}

void CheckSourceUnits(std::u16string_view text) {
  int32_t line = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x20 && c != u'\t') {
      if (c == u'\r' || c == u'\n') {
        const char16_t pair = c == u'\r' ? u'\n' : u'\r';
        if (i + 1 < text.size() && text[i + 1] == pair) ++i;
        ++line;
        continue;
      }
      RaiseHelpedErrorAt(line, "SControlChar", "Invalid character U+%s in line %s", {Hex(c), std::to_string(line)});
    }
    if (c < 0xD800) continue;
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      ++i;
      continue;
    }
    if (IsHighSurrogate(c) || IsLowSurrogate(c))
      RaiseHelpedErrorAt(line, "SLoneSurrogate", "Unpaired surrogate U+%s in line %s", {Hex(c), std::to_string(line)});
    if (c == 0xFEFF && i > 0)
      RaiseHelpedErrorAt(line, "SByteOrderMark", "Byte-order mark inside the text in line %s (two files joined?)",
                         {std::to_string(line)});
  }
}

int32_t FindUnclosedSection(std::u16string_view text) {
  std::u16string_view endTag;
  int32_t line = 0, openedAt = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = start;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
    std::u16string_view content = text.substr(start, end - start);
    ++line;
    if (line == 1 && !content.empty() && content[0] == 0xFEFF) content.remove_prefix(1);
    if (!endTag.empty()) {
      if (content == endTag) endTag = {};
    } else if (content == u"<header>" || content == u"<mark>" || content == u"<author>") {
      endTag = content == u"<header>" ? u"</header>" : content == u"<mark>" ? u"</mark>" : u"</author>";
      openedAt = line;
    } else if (!content.empty() && content[0] == u'#') {
      return 0;  // the articles run to the end
    }
    if (end < text.size()) {
      const char16_t pair = text[end] == u'\r' ? u'\n' : u'\r';
      end += end + 1 < text.size() && text[end + 1] == pair ? 2 : 1;
    }
    start = end;
  }
  return endTag.empty() ? 0 : openedAt;
}

void TSourceDictionaryReader::Open(const std::string& fileName) {
  TReadOutcome outcome;
  std::FILE* file = OpenRegularFile(fileName, outcome);
  if (!file && outcome.Result == TReadResult::NotAFile) RaiseHelpedError("SNotAFile", "%s is not a file", {fileName});
  if (!file) RaiseSystemError(outcome.Error, fileName);
  struct TCloser {
    std::FILE* File;
    ~TCloser() { std::fclose(File); }
  } closer{file};
  if (std::fseek(file, 0, SEEK_END) != 0) RaiseSystemError(errno, fileName);
  const long size = std::ftell(file);
  if (size < 0) RaiseSystemError(errno, fileName);
  std::rewind(file);
  const size_t units = size_t(size) / 2;
  if (units >= size_t(std::numeric_limits<int32_t>::max()))
    RaiseHelpedError("SFileTooLong", "Not enough memory. File too long");
  char head[4096];
  const size_t headSize = std::fread(head, 1, sizeof head, file);
  if (const std::string found = ForeignEncoding(std::string_view(head, headSize)); !found.empty())
    RaiseHelpedError("SWrongEncoding", "%s is in %s; a source dictionary must be in UTF-16LE", {fileName, found});
  std::rewind(file);
  if (size % 2 != 0)
    RaiseHelpedError("SOddLength", "%s is not UTF-16 text, or it was cut: it has an odd number of bytes", {fileName});
  try {
    FImage.reset(new char16_t[units + 1]);
  } catch (const std::bad_alloc&) {
    RaiseHelpedError("SFileTooLong", "Not enough memory. File too long");
  }
  if (units > 0) {
    const size_t read = std::fread(FImage.get(), 2, units, file);
    if (read < units) {
      if (std::ferror(file)) RaiseSystemError(errno ? errno : EIO, fileName);
      RaiseHelpedError("SCantReadFile", "The system cannot read from the specified file");
    }
  }
  FImage[units] = 0;
  CheckSourceUnits(std::u16string_view(FImage.get(), units));
  FNext = FImage.get();
  FLine = nullptr;
  FPushedBack = false;
  FLineNumber = 0;
}

void TSourceDictionaryReader::OpenText(char16_t* text, size_t length) {
  CheckSourceUnits(std::u16string_view(text, length));
  FImage.reset();
  FNext = text;
  FLine = nullptr;
  FPushedBack = false;
  FLineNumber = 0;
}

char16_t* TSourceDictionaryReader::NextLine() {
  if (FPushedBack) {
    FPushedBack = false;
    return FLine;
  }
  char16_t* const start = FNext;
  char16_t* p = start;
  while (*p >= 0x20 || *p == u'\t') ++p;
  if (*p == 0) {
    FNext = p;
    FLine = p == start ? nullptr : start;
    if (FLine) ++FLineNumber;
    return FLine;
  }
  const char16_t lineBreak = *p;
  *p++ = 0;
  if ((lineBreak == u'\r' && *p == u'\n') || (lineBreak == u'\n' && *p == u'\r')) ++p;
  FNext = p;
  FLine = start;
  ++FLineNumber;
  return FLine;
}
