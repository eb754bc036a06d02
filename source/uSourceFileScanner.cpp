#include "source/uSourceFileScanner.h"

#include <algorithm>

#include "source/uSourceArticleText.h"
#include "source/uSourceFileUnits.h"

namespace {
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The end tag of the section a line starts; empty for any other line.
std::u16string_view SectionEndTag(std::u16string_view line) {
  if (line == u"<header>") return u"</header>";
  if (line == u"<mark>") return u"</mark>";
  if (line == u"<author>") return u"</author>";
  return {};
}
}  // namespace

TSourceFileScanner::TLineEnd TSourceFileScanner::CheckLine() {
  const size_t size = FBuffer.size();
  const bool lastBlock = FRead == FTotal;
  for (size_t& p = FScan; p < size;) {
    const char16_t c = FBuffer[p];
    if ((c >= 0x20 && c < 0xD800) || c == u'\t' || (c >= 0xE000 && c != 0xFEFF)) {
      ++p;
      continue;
    }
    if (c == u'\r' || c == u'\n') return p + 1 < size || lastBlock ? leBreak : leMore;  // a pair may follow
    if (c < 0x20 || IsLowSurrogate(c)) return leFault;
    if (c == 0xFEFF) {
      if (FBase + p != 0) return leFault;  // only the file's first unit may be a byte-order mark
      ++p;
      continue;
    }
    if (p + 1 == size) return lastBlock ? leFault : leMore;
    if (!IsLowSurrogate(FBuffer[p + 1])) return leFault;
    p += 2;
  }
  return leMore;
}

bool TSourceFileScanner::ReadMore() {
  if (FRead == FTotal) return false;
  FBuffer.erase(0, FKeep);
  FBase += FKeep;
  FLine -= FKeep;
  FScan -= FKeep;
  FKeep = 0;
  const size_t count = size_t(std::min<uint64_t>(FBlockUnits, FTotal - FRead));
  const size_t kept = FBuffer.size();
  FBuffer.resize(kept + count);
  if (!FFile.ReadInto(FRead, FBuffer.data() + kept, count)) {
    FFailed = true;
    return false;
  }
  FRead += count;
  return true;
}

bool TSourceFileScanner::Scan(const THead& head, const TArticle& article) {
  FBuffer.clear();
  FBase = FRead = 0;
  FTotal = FFile.ByteSize() / 2;
  FFailed = false;
  FKeep = FLine = FScan = 0;
  bool inArticles = false;
  std::u16string_view endTag;  // of the section open
  for (;;) {
    bool broken = true;  // the line ends with a break, not with the file
    for (TLineEnd end; (end = CheckLine()) != leBreak;) {
      if (end == leFault) return false;
      if (!ReadMore()) {
        if (FFailed) return false;
        broken = false;
        break;
      }
    }
    const std::u16string_view units(FBuffer);
    size_t lineStart = FLine;
    if (FBase + FLine == 0 && FScan > 0 && units[0] == 0xFEFF) ++lineStart;  // the mark is no part of the line
    const std::u16string_view line = units.substr(lineStart, FScan - lineStart);
    const bool articleLine = !line.empty() && line[0] == u'#';
    if (inArticles) {
      if (articleLine) {
        if (!article(FBase + FKeep, units.substr(FKeep, FLine - FKeep))) return false;
        FKeep = FLine;
      }
    } else if (!endTag.empty()) {
      if (line == endTag) endTag = {};
    } else if (articleLine) {
      inArticles = true;
      FKeep = lineStart;
      if (!head(FBase + lineStart)) return false;
    } else {
      endTag = SectionEndTag(line);
    }
    if (!broken) break;
    FLine = FScan = FScan + LineBreakLength(units, FScan);
    if (!inArticles) FKeep = FLine;
    if (FLine == FBuffer.size() && FRead == FTotal) break;
  }
  if (!inArticles) return endTag.empty() && head(FTotal);
  return article(FBase + FKeep, std::u16string_view(FBuffer).substr(FKeep));
}
