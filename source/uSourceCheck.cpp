// Verification: the first error is raised with its location recorded in the
// dictionary (part, item, selection in the part's editing form).
#include <string>

#include "foundation/KezText.h"
#include "source/uSourceCheck.h"
#include "source/uSourceDictionary.h"
#include "source/uSourceTags.h"

namespace {
// Tags in slot order and the nesting rules between them, as bit sets of slots.
constexpr const char16_t* kTagLetters = kSourceTagLetters;
constexpr int kTagCount = kSourceTagCount;
constexpr unsigned kAll = kAllSourceTags;
constexpr unsigned Bit(int tag) { return SourceTagBit(tag); }
constexpr const unsigned* kForbiddenInside = kSourceTagForbiddenInside;
constexpr unsigned kMustCloseFirst[kTagCount] = {
    kAll & ~Bit(tHeader),
    Bit(tAuthor) | Bit(tEnum),
    Bit(tMark) | Bit(tEnum),
    kAll & ~Bit(tEnum),
    Bit(tMark) | Bit(tAuthor) | Bit(tEnum),
    kAll & ~Bit(tExample),
};

int TagOf(char16_t c) {
  for (int tag = 0; tag < kTagCount; ++tag)
    if (kTagLetters[tag] == c) return tag;
  return -1;
}

bool IsHexDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

bool IsNameChar(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' ||
         c == u'.' || c == u'_' || c == 0x00A0 || (c >= 0x00C0 && !(c >= 0x2000 && c <= 0x2FFF));
}
}  // namespace

void TSourceDictionaryPartBase::Fail(int32_t item, int32_t start, int32_t length, const char* id,
                                     const char* message) {
  FDictionary.SetLocation(FIndex, item, start, length);
  RaiseHelpedError(id, message);
}

void TSourceDictionaryPartBase::Check() { CheckAttributes(); }

void TSourceDictionaryPartBase::CheckAttributes() {
  int32_t lineStart = int32_t(FStartTag.size()) + 2;
  for (int32_t i = 0; i < Count(); ++i) {
    auto& record = *static_cast<TSourceRecord*>(FRecords.Items(i));
    const std::u16string_view name(record.Name), value(record.Value);
    const int32_t valueStart = lineStart + int32_t(name.size()) + 1;
    if (name.empty()) Fail(0, lineStart, 0, "SAbsentName", "Name is absent");
    for (char16_t c : name)
      if (!IsNameChar(c)) Fail(0, lineStart, 0, "SInvalidName", "Invalid name");
    if (value.empty()) Fail(0, valueStart, 0, "SAbsentAttrValue", "Attribute value is absent");
    const std::pair<std::u16string_view, int32_t> strings[] = {{name, lineStart}, {value, valueStart}};
    for (const auto& [text, start] : strings) {
      if (size_t at = text.find(u"{{"); at != std::u16string_view::npos)
        Fail(0, start + int32_t(at), 2, "SException", "Uninterpreted exception was found: the keyword has two versions, marked with {{ }}; delete one of them");
      if (size_t at = text.find(u"}}"); at != std::u16string_view::npos)
        Fail(0, start + int32_t(at), 2, "SInvalidMeta", "Invalid metacharacter sequence");
    }
    // A tab (or any unit below a space) in an attribute becomes a space.
    for (const char16_t* field : {record.Name, record.Value})
      for (char16_t* c = const_cast<char16_t*>(field); *c; ++c)
        if (*c < 0x20) *c = u' ';
    lineStart += int32_t(name.size() + value.size()) + 3;
  }
}

void TSourceDictionaryPartHeader::Check() {
  FillDefaults();
  if (!LanguageExists(ToUtf8(Value(u"language")))) Fail(0, 0, 0, "SUnknownLang", "Unknown language");
  CheckAttributes();
}

void TSourceDictionaryPartArticles::Check() {
  for (int32_t i = 0; i < Count(); ++i) {
    FetchAhead(i);
    CheckArticle(i);
  }
}

void TSourceDictionaryPartArticles::CheckArticle(int32_t index) {
  const TSourceRecord& record = Record(index);
  if (const TSourceFault fault = FindArticleFault(*FDictionary.Language(), record.Name, record.Value))
    Fail(index, fault.Start, fault.Length, fault.Id, fault.Message);
}

TSourceFault FindArticleFault(const TKodraLanguage& language, std::u16string_view keyword, const char16_t* text) {
  if (keyword.empty()) return {"SAbsentKey", "Keyword is absent. You must input keyword or erase text", 0, 0};
  if (!language.IsKeywordText(keyword)) return {"SInvalidKey", "Invalid keyword", 0, 0};

  // Offsets in the text are shown in the article's editing form, after "#", the keyword and CR LF.
  const int32_t shift = int32_t(keyword.size()) + 3;
  auto fault = [&](size_t at, int32_t length, const char* id, const char* message) {
    return TSourceFault{id, message, int32_t(at) + shift, length};
  };
  unsigned open = 0;
  size_t openedAt[kTagCount] = {};
  int level = 1;
  for (size_t p = 0;; ++p) {
    const char16_t c = text[p];
    if (c == 0 || c == u'\r') {
      if (open) {
        for (int tag = 0; tag < kTagCount; ++tag)
          if (open & Bit(tag)) return fault(openedAt[tag], 3, "SAbsentFinalTag", "Final tag is absent");
      }
      if (c == 0) return {};
      continue;
    }
    switch (c) {
      case u'$':
        for (int k = 1; k <= 4; ++k)
          if (!IsHexDigit(text[p + k])) return fault(p, 4, "SInvalidHex", "Invalid hex value");
        p += 4;
        break;
      case u'\\': {
        const char16_t next = text[p + 1];
        if (next != u'$' && next != u'<' && next != u'\\' && next != u'~')
          return fault(p, 2, "SInvalidMeta", "Invalid metacharacter sequence");
        ++p;
        break;
      }
      case u'{':
        if (text[p + 1] == u'{') return fault(p, 2, "SException", "Uninterpreted exception was found: the keyword has two versions, marked with {{ }}; delete one of them");
        break;
      case u'}':
        if (text[p + 1] == u'}') return fault(p, 2, "SInvalidMeta", "Invalid metacharacter sequence");
        break;
      case u'<':
        if (text[p + 1] == u'/') {
          const int tag = TagOf(text[p + 2]);
          if (tag < 0) return fault(p, 4, "SInvalidTag", "Invalid tag");
          if (open & kMustCloseFirst[tag])
            return fault(p, 4, "SInvalidTagOrder", "Invalid closing order of tags embedding");
          if (text[p + 3] != u'>') return fault(p, 4, "SInvalidTag", "Invalid tag");
          if (!(open & Bit(tag))) return fault(p, 4, "SAbsentStartTag", "Matched start tag is absent");
          open &= ~Bit(tag);
          p += 3;
        } else {
          const int tag = TagOf(text[p + 1]);
          if (tag < 0) return fault(p, 3, "SInvalidTag", "Invalid tag");
          if (open & kForbiddenInside[tag]) return fault(p, 3, "SInvalidTagEmbedding", "Invalid embedding of tags");
          size_t close = p + 2;
          if (tag == tEnum) {
            int enumLevel = 1;
            if (text[close] >= u'1' && text[close] <= u'3') enumLevel = text[close++] - u'0';
            if (enumLevel > level + 1)
              return fault(p, 3, "SInvalidEnumEmbedding", "Invalid embedding of enumerations");
            level = enumLevel;
          }
          if (text[close] != u'>') return fault(p, 3, "SInvalidTag", "Invalid tag");
          open |= Bit(tag);
          openedAt[tag] = p;
          p = close;
        }
        break;
      default:
        break;
    }
  }
}
