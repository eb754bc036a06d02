// The four parts of a source dictionary: reading, editing forms, saving and search.
#include <algorithm>
#include <cstring>

#include "foundation/KezAssert.h"
#include "source/uSourceDictionary.h"
#include "source/uSourceReader.h"
#include "source/uSourceWriter.h"

namespace {
constexpr std::u16string_view kLineBreak = u"\r\n";

int CompareNames(const void*, const void* item, const void* key) {
  const auto* record = static_cast<const TSourceRecord*>(item);
  return std::u16string_view(record->Name).compare(*static_cast<const std::u16string_view*>(key));
}

// Delimiters of whole words in the editor's search.
bool IsSearchDelimiter(char16_t c) {
  return c <= 0x2F || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x5E) || c == 0x60 ||
         (c >= 0x7B && c <= 0x7E) || (c >= 0x80 && c <= 0xBF) || (c >= 0x2000 && c <= 0x206F);
}

// The first occurrence of text in s at or after from, honouring whole words.
size_t FindIn(std::u16string_view s, std::u16string_view text, size_t from, bool wholeWord) {
  if (text.empty()) return std::u16string_view::npos;
  for (size_t at = s.find(text, from); at != std::u16string_view::npos; at = s.find(text, at + 1)) {
    if (!wholeWord) return at;
    const bool before = at == 0 || IsSearchDelimiter(s[at - 1]);
    const bool after = at + text.size() >= s.size() || IsSearchDelimiter(s[at + text.size()]);
    if (before && after) return at;
  }
  return std::u16string_view::npos;
}

// Records read out of order are gathered in keyword order from this many on.
constexpr size_t kGatherThreshold = 4096;

size_t ResumeAt(int32_t offset) { return offset < 0 ? 0 : size_t(offset) + 1; }
}  // namespace

// ---- Sections -------------------------------------------------------------

TSourceDictionaryPartBase::TSourceDictionaryPartBase(TSourceDictionary& dictionary, int index,
                                                     std::u16string startTag, std::u16string endTag)
    : FDictionary(dictionary), FIndex(index), FStartTag(std::move(startTag)), FEndTag(std::move(endTag)) {}

void TSourceDictionaryPartBase::Clear() {
  FRecords.Clear();
  FTextBuffer.Clear();
  FPendingMerges.clear();
  ResetSearch(0);
}

void TSourceDictionaryPartBase::ResetSearch(int32_t item) {
  FSearchItem = std::max(item, 0);
  FSearchNameOffset = FSearchValueOffset = -1;
}

TSourceRecord* TSourceDictionaryPartBase::NewRecord(std::u16string_view name, std::u16string_view value) {
  auto* record = static_cast<TSourceRecord*>(FDictionary.RecordHeap().Alloc(sizeof(TSourceRecord)));
  record->Name = FDictionary.StringHeap().NewStr(name);
  record->Value = FDictionary.StringHeap().NewStr(value);
  return record;
}

void TSourceDictionaryPartBase::MergeInto(TSourceRecord& record, std::u16string_view added,
                                          std::u16string_view separator) {
  std::u16string& pending = FPendingMerges[&record];
  pending.append(separator).append(u"{{").append(added).append(u"}}").append(separator);
  if (FMergeDepth == 0) TMergeBatch(*this).Finish();
}

bool TSourceDictionaryPartBase::HasValue(const TSourceRecord& record, std::u16string_view text) const {
  const std::u16string_view stored(record.Value);
  const auto pending = FPendingMerges.find(const_cast<TSourceRecord*>(&record));
  if (pending == FPendingMerges.end()) return text == stored;
  return text.size() == stored.size() + pending->second.size() && text.substr(0, stored.size()) == stored &&
         text.substr(stored.size()) == pending->second;
}

void TSourceDictionaryPartBase::TMergeBatch::Finish() {
  FFinished = true;
  if (--FPart.FMergeDepth > 0) return;
  std::u16string value;
  for (auto& [record, pending] : FPart.FPendingMerges) {
    value.assign(record->Value).append(pending);
    record->Value = FPart.FDictionary.StringHeap().NewStr(value);
  }
  FPart.FPendingMerges.clear();
}

// Left early by an exception: what was gathered goes with the failed reading.
TSourceDictionaryPartBase::TMergeBatch::~TMergeBatch() {
  if (FFinished) return;
  if (--FPart.FMergeDepth == 0) FPart.FPendingMerges.clear();
}

bool TSourceDictionaryPartBase::FindName(std::u16string_view name, int32_t& index) const {
  return Search(FRecords, &name, index, CompareNames);
}

std::u16string_view TSourceDictionaryPartBase::Value(std::u16string_view name) const {
  int32_t index;
  return FindName(name, index) ? std::u16string_view(Record(index).Value) : std::u16string_view();
}

void TSourceDictionaryPartBase::AddAttribute(std::u16string_view name, std::u16string_view value) {
  int32_t index;
  if (!FindName(name, index)) {
    FRecords.Insert(index, NewRecord(name, value));
    return;
  }
  auto& record = *static_cast<TSourceRecord*>(FRecords.Items(index));
  if (value.empty() || HasValue(record, value)) return;
  MergeInto(record, value, u"");
}

void TSourceDictionaryPartBase::ReadAttributeLine(char16_t* line) {
  const std::u16string_view text(line);
  const size_t equals = text.find(u'=');
  if (equals == std::u16string_view::npos) return;
  AddAttribute(text.substr(0, equals), text.substr(equals + 1));
}

std::u16string_view TSourceDictionaryPartBase::GetText(int32_t) {
  FTextBuffer.Clear();
  FTextBuffer.AppendText(FStartTag);
  FTextBuffer.AppendText(kLineBreak);
  for (int32_t i = 0; i < Count(); ++i) {
    FTextBuffer.AppendPWideChar(Record(i).Name);
    FTextBuffer.AppendChar(u'=');
    FTextBuffer.AppendPWideChar(Record(i).Value);
    FTextBuffer.AppendText(kLineBreak);
  }
  FTextBuffer.AppendText(FEndTag);
  FTextBuffer.AppendText(kLineBreak);
  return FTextBuffer.View();
}

void TSourceDictionaryPartBase::ReadFrom(TSourceDictionaryReader& reader) {
  TMergeBatch merges(*this);
  while (char16_t* line = reader.NextLine()) {
    if (line[0] == u'<') {
      if (FEndTag == line) break;
      continue;
    }
    ReadAttributeLine(line);
  }
  merges.Finish();
}

void TSourceDictionaryPartBase::WriteTo(TSourceDictionaryWriter& writer) { writer.Write(GetText(0)); }

void TSourceDictionaryPartBase::SetText(char16_t* text, size_t length, int32_t) {
  TSourceDictionaryReader reader;
  reader.OpenText(text, length);
  // The section is rebuilt aside, so that a rejected text leaves it as it was.
  TKezSortedList previous = FRecords;
  FRecords.Clear();
  try {
    char16_t* line = reader.NextLine();
    if (!line) return;
    if (FStartTag != line) RaiseHelpedError("SMustStartTag", "The section must start with tag");
    while ((line = reader.NextLine()) && line[0] != u'<')
      if (line[0]) ReadAttributeLine(line);
    if (!line || FEndTag != line) RaiseHelpedError("SAbsentFinalSectionTag", "Final section tag is absent");
  } catch (...) {
    FRecords = previous;
    throw;
  }
}

int32_t TSourceDictionaryPartBase::LineStart(int32_t attribute) const {
  int32_t start = int32_t(FStartTag.size()) + 2;
  for (int32_t i = 0; i < attribute; ++i)
    start += int32_t(std::char_traits<char16_t>::length(Record(i).Name) +
                     std::char_traits<char16_t>::length(Record(i).Value) + 3);
  return start;
}

bool TSourceDictionaryPartBase::FindNext(std::u16string_view text, bool wholeWord, int32_t& position,
                                         int32_t& item) {
  for (; FSearchItem < Count(); ++FSearchItem, FSearchNameOffset = FSearchValueOffset = -1) {
    const TSourceRecord& record = Record(FSearchItem);
    const std::u16string_view name(record.Name), value(record.Value);
    if (FSearchValueOffset < 0) {
      const size_t at = FindIn(name, text, ResumeAt(FSearchNameOffset), wholeWord);
      if (at != std::u16string_view::npos) {
        FSearchNameOffset = int32_t(at);
        position = LineStart(FSearchItem) + int32_t(at);
        item = 0;
        return true;
      }
    }
    const size_t at = FindIn(value, text, ResumeAt(FSearchValueOffset), wholeWord);
    if (at != std::u16string_view::npos) {
      FSearchValueOffset = int32_t(at);
      position = LineStart(FSearchItem) + int32_t(name.size()) + 1 + int32_t(at);
      item = 0;
      return true;
    }
  }
  return false;
}

// ---- Header ---------------------------------------------------------------

TSourceDictionaryPartHeader::TSourceDictionaryPartHeader(TSourceDictionary& dictionary)
    : TSourceDictionaryPartBase(dictionary, spHeader, u"<header>", u"</header>") {}

void TSourceDictionaryPartHeader::FillDefaults() {
  if (!IsEmpty()) return;
  AddAttribute(u"caption", u"");
  AddAttribute(u"comment", u"");
  AddAttribute(u"kind", u"note");
  const std::string& id = DefaultLanguageId();
  AddAttribute(u"language", std::u16string(id.begin(), id.end()));
}

void TSourceDictionaryPartHeader::ApplyLanguageAndKind() {
  FDictionary.SetLanguage(Value(u"language"));
  FDictionary.SetKind(DictionaryKindOf(Value(u"kind")));
}

std::u16string_view TSourceDictionaryPartHeader::GetText(int32_t item) {
  FillDefaults();
  return TSourceDictionaryPartBase::GetText(item);
}

void TSourceDictionaryPartHeader::ReadFrom(TSourceDictionaryReader& reader) {
  TSourceDictionaryPartBase::ReadFrom(reader);
  ApplyLanguageAndKind();
}

void TSourceDictionaryPartHeader::SetText(char16_t* text, size_t length, int32_t item) {
  TSourceDictionaryPartBase::SetText(text, length, item);
  FillDefaults();
  ApplyLanguageAndKind();
}

// ---- Articles -------------------------------------------------------------

TSourceDictionaryPartArticles::TSourceDictionaryPartArticles(TSourceDictionary& dictionary)
    : TSourceDictionaryPartBase(dictionary, spArticles, u"", u"") {}

void TSourceDictionaryPartArticles::Clear() {
  TSourceDictionaryPartBase::Clear();
  FLastInserted = -1;
}

std::u16string_view TSourceDictionaryPartArticles::GetText(int32_t item) {
  FTextBuffer.Clear();
  if (item >= 0 && item < Count()) {
    FTextBuffer.AppendChar(u'#');
    FTextBuffer.AppendPWideChar(Record(item).Name);
    FTextBuffer.AppendText(kLineBreak);
    FTextBuffer.AppendPWideChar(Record(item).Value);
  }
  return FTextBuffer.View();
}

std::u16string_view TSourceDictionaryPartArticles::CollectText(TSourceDictionaryReader& reader) {
  FCollected.Clear();
  while (char16_t* line = reader.NextLine()) {
    if (line[0] == u'#') {
      reader.PushBack();
      break;
    }
    FCollected.AddLine(line);
  }
  return FCollected.Text();
}

void TSourceDictionaryPartArticles::AddArticle(std::u16string_view keyword, std::u16string_view text) {
  // The keyword search needs a terminated key; the line it came from is one.
  const std::u16string key(keyword);
  int32_t index;
  if (FDictionary.Language()->FindKeyword(TSortedListKeywords(FRecords), key.c_str(), index)) {
    auto& record = *static_cast<TSourceRecord*>(FRecords.Items(index));
    if (!text.empty() && !HasValue(record, text)) MergeInto(record, text, kLineBreak);
  } else {
    KEZ_ASSERT(index >= 0 && index <= Count(), "uSourceDictionary");
    FRecords.Insert(index, NewRecord(keyword, text));
  }
  FLastInserted = index;
}

// Articles read in a row are gathered, put in keyword order by one stable
// sort (a source already in order is only checked) and merged with the
// records in one pass: the same records as adding them one by one, in time
// n log n whatever the order of the source.
void TSourceDictionaryPartArticles::ReadArticles(TSourceDictionaryReader& reader) {
  const TKodraLanguage& language = *FDictionary.Language();
  struct TRead {
    TKeywordPrefix Prefix;  // compared in place; the keywords only on a tie
    TSourceRecord* Record;
  };
  std::vector<TRead> read;
  while (char16_t* line = reader.NextLine()) {
    KEZ_ASSERT(line[0] == u'#', "uSourceDictionary");
    const std::u16string_view keyword(line + 1);  // the reader's image outlives the collection
    TSourceRecord* record = NewRecord(keyword, CollectText(reader));
    read.push_back({language.KeywordPrefix(record->Name), record});
  }
  if (read.empty()) return;
  const char16_t* const lastKeyword = read.back().Record->Name;
  auto order = [&](const TRead& a, const TRead& b) {
    if (!(a.Prefix == b.Prefix)) return a.Prefix < b.Prefix ? -1 : 1;
    return language.CompareKeywordText(a.Record->Name, b.Record->Name);
  };
  auto before = [&](const TRead& a, const TRead& b) { return order(a, b) < 0; };
  // Equal keywords keep the order they came in: the first is the record,
  // the later ones join it in turn.
  const bool inOrder = std::is_sorted(read.begin(), read.end(), before);
  if (!inOrder) std::stable_sort(read.begin(), read.end(), before);

  TMergeBatch merges(*this);
  std::vector<TRead> merged;
  merged.reserve(size_t(Count()) + read.size());
  auto add = [&](const TRead& item, bool stored) {
    if (!merged.empty() && order(merged.back(), item) == 0) {
      KEZ_ASSERT(!stored, "uSourceDictionary");
      const std::u16string_view text(item.Record->Value);
      if (!text.empty() && !HasValue(*merged.back().Record, text)) MergeInto(*merged.back().Record, text, kLineBreak);
      return;
    }
    merged.push_back(item);
  };
  size_t next = 0;
  for (int32_t i = 0; i < Count(); ++i) {
    auto* record = static_cast<TSourceRecord*>(FRecords.Items(i));
    const TRead stored{language.KeywordPrefix(record->Name), record};
    // A stored record comes before the read ones with an equal keyword.
    while (next < read.size() && before(read[next], stored)) add(read[next++], false);
    add(stored, true);
  }
  while (next < read.size()) add(read[next++], false);
  merges.Finish();
  // Many records read out of order lie scattered in memory, and every walk
  // in keyword order (verify, compile, save) would pay for it: they move
  // once into keyword order.
  const bool gather = !inOrder && read.size() >= kGatherThreshold;
  FRecords.Clear();
  FRecords.SetCapacity(int32_t(merged.size()));
  for (size_t i = 0; i < merged.size(); ++i) {
    TSourceRecord* record = merged[i].Record;
    if (gather) {
#if defined(__GNUC__)
      if (i + 16 < merged.size()) __builtin_prefetch(merged[i + 16].Record);
      if (i + 8 < merged.size()) {
        __builtin_prefetch(merged[i + 8].Record->Name);
        __builtin_prefetch(merged[i + 8].Record->Value);
      }
#endif
      record = NewRecord(record->Name, record->Value);
    }
    FRecords.Add(record);
  }
  // Where the last article read now stands (the record it joined, if it did).
  int32_t index;
  FLastInserted = language.FindKeyword(TSortedListKeywords(FRecords), lastKeyword, index) ? index : -1;
}

void TSourceDictionaryPartArticles::ReadFrom(TSourceDictionaryReader& reader) { ReadArticles(reader); }

void TSourceDictionaryPartArticles::WriteTo(TSourceDictionaryWriter& writer) {
  for (int32_t i = 0; i < Count(); ++i) {
    if (i > 0) writer.Write(kLineBreak);
    writer.Write(GetText(i));
  }
}

void TSourceDictionaryPartArticles::SetText(char16_t* text, size_t length, int32_t item) {
  TSourceDictionaryReader reader;
  reader.OpenText(text, length);
  char16_t* line = reader.NextLine();
  while (line && line[0] == 0) line = reader.NextLine();
  const bool valid = item >= 0 && item < Count();
  if (!line) {
    if (!valid) return;
    FRecords.Delete(item);
    item = std::min(item, Count() - 1);
    FDictionary.SetLocation(spArticles, item, 0, 0);
    return;
  }
  if (line[0] != u'#') RaiseHelpedError("SAbsentKey", "Keyword is absent. You must input keyword or erase text");
  FLastInserted = -1;
  const std::u16string keyword(line + 1);
  const std::u16string_view body = CollectText(reader);
  if (!valid) {
    AddArticle(keyword, body);
  } else if (keyword != Record(item).Name) {
    FRecords.Delete(item);  // it moves to the place of its new keyword
    AddArticle(keyword, body);
  } else {
    static_cast<TSourceRecord*>(FRecords.Items(item))->Value = FDictionary.StringHeap().NewStr(body);
  }
  if (FLastInserted >= 0) FDictionary.SetLocation(spArticles, FLastInserted, 0, 0);
  const int32_t countBefore = Count();
  ReadArticles(reader);
  // Articles added after it may have moved the edited one: follow it.
  int32_t index;
  if (Count() != countBefore && FDictionary.Language()->FindKeyword(TSortedListKeywords(FRecords), keyword.c_str(), index))
    FDictionary.SetLocation(spArticles, index, 0, 0);
}

bool TSourceDictionaryPartArticles::FindNext(std::u16string_view text, bool wholeWord, int32_t& position,
                                             int32_t& item) {
  for (; FSearchItem < Count(); ++FSearchItem, FSearchNameOffset = FSearchValueOffset = -1) {
    const TSourceRecord& record = Record(FSearchItem);
    const std::u16string_view keyword(record.Name), body(record.Value);
    if (FSearchValueOffset < 0) {
      const size_t at = FindIn(keyword, text, ResumeAt(FSearchNameOffset), wholeWord);
      if (at != std::u16string_view::npos) {
        FSearchNameOffset = int32_t(at);
        position = int32_t(at) + 1;
        item = FSearchItem;
        return true;
      }
    }
    const size_t at = FindIn(body, text, ResumeAt(FSearchValueOffset), wholeWord);
    if (at != std::u16string_view::npos) {
      FSearchValueOffset = int32_t(at);
      position = int32_t(at + keyword.size()) + 3;
      item = FSearchItem;
      return true;
    }
  }
  return false;
}

TKeywordMatch TSourceDictionaryPartArticles::Locate(const char16_t* keyword) {
  // As the viewer looks a word up: its letters, its other spellings and forms.
  const TKodraLanguage& language = *FDictionary.Language();
  const std::u16string word = language.LookupWord(keyword);
  const TKeywordLocation at = language.LocateWord(TSortedListKeywords(FRecords), word.c_str());
  FDictionary.SetLocation(spArticles, at.Index, 0, 0);
  return at.Match;
}
