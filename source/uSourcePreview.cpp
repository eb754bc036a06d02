// The editor's preview: an article's source text rendered through a writer as
// the viewer would show it, hex characters with the values as written.
#include "render/uArticleWriter.h"
#include "source/uCompiledBody.h"
#include "source/uSourceDictionary.h"

void TSourceDictionaryPartArticles::Preview(int32_t item, TArticleWriter& writer) {
  using namespace compiled_body;
  if (item < 0 || item >= Count()) return;
  const TSourceRecord& record = Record(item);
  writer.OpenCaption();
  writer.WriteText(FDictionary.Caption());
  writer.CloseStyle();
  writer.EndParagraph();

  bool written = false;        // anything since the last paragraph end
  bool afterEnumeration = false;  // the next space after an enumeration label is a tab
  for (const char16_t* p = record.Value;;) {
    const char16_t c = *p;
    if (c == 0) {
      if (written) writer.EndParagraph();
      return;
    }
    if (c == u'\r' || c == u'\n') {
      const char16_t pair = c == u'\r' ? u'\n' : u'\r';
      if (p[1] == pair) {
        writer.EndParagraph();
        written = false;
        p += 2;
      } else {
        if (c == u'\r') {
          writer.EndParagraph();
          written = false;
        }
        ++p;
      }
      continue;
    }
    written = true;
    if (c == u' ') {
      writer.WriteChar(afterEnumeration ? u'\t' : u' ');
      afterEnumeration = false;
      ++p;
    } else if (c == u'$' && IsHex(p[1]) && IsHex(p[2]) && IsHex(p[3]) && IsHex(p[4])) {
      writer.WriteSpecialChar(char16_t(HexValue(p[1]) << 12 | HexValue(p[2]) << 8 | HexValue(p[3]) << 4 | HexValue(p[4])));
      p += 5;
    } else if (c == u'<') {
      int length = 0;
      const char16_t unit = TagUnit(p, length);
      if (!unit) {
        writer.WriteChar(c);
        ++p;
        continue;
      }
      writer.WriteTagUnit(unit);
      if (unit == 7 || unit == 8 || unit == 9) afterEnumeration = true;
      else if (unit % 2 == 1 && unit != 10) afterEnumeration = false;  // another opening tag
      p += length;
    } else if (c == u'\\' && p[1]) {
      writer.WriteChar(p[1]);
      p += 2;
    } else if (c == u'~') {
      writer.WriteKeyword(record.Name);
      ++p;
    } else {
      writer.WriteChar(c);
      ++p;
    }
  }
}

void TSourceDictionary::PreviewCurrent(TArticleWriter& writer) {
  if (FCurrentPart >= spHeader && FCurrentPart <= spArticles) FParts[FCurrentPart]->Preview(FCurrentItem, writer);
}
