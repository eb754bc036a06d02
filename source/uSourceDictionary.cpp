#include "source/uSourceDictionary.h"

#include "foundation/KezText.h"
#include "language/uCommon.h"
#include "source/uSourceReader.h"
#include "source/uSourceWriter.h"

TSourceDictionary::TSourceDictionary(TKodraLanguage* language) : FLanguage(language) {
  FParts[spHeader] = new TSourceDictionaryPartHeader(*this);
  FParts[spMarks] = new TSourceDictionaryPartBase(*this, spMarks, u"<mark>", u"</mark>");
  FParts[spAuthors] = new TSourceDictionaryPartBase(*this, spAuthors, u"<author>", u"</author>");
  FParts[spArticles] = FArticles = new TSourceDictionaryPartArticles(*this);
}

TSourceDictionary::~TSourceDictionary() {
  for (auto* part : FParts) delete part;
}

void TSourceDictionary::Clear() {
  FKind = dkOther;
  FFileName.clear();
  FModified = false;
  FCurrentPart = spHeader;
  FCurrentItem = -1;
  FSelectionStart = FSelectionLength = 0;
  FSearchFound = false;
  FSearchText.clear();
  FSearchParts = 0;
  FSearchPart = 0;
  FSearchItem = 0;
  FSearchPosition = 0;
  FSearchLimit = -1;
  for (auto* part : FParts) part->Clear();
  FStringHeap.Clear();
  FRecordHeap.Clear();
  FWorkBuffer.Clear();
}

void TSourceDictionary::LoadFromFile(const std::string& fileName, bool merge) {
  try {
    TSourceDictionaryReader reader;
    reader.Open(fileName);
    ReadFrom(reader);
  } catch (...) {
    if (!merge) Clear();
    throw;
  }
  FModified = merge;
}

void TSourceDictionary::LoadFromText(std::u16string& text) {
  Clear();
  try {
    TSourceDictionaryReader reader;
    reader.OpenText(text.data(), text.size());
    ReadFrom(reader);
  } catch (...) {
    Clear();
    throw;
  }
}

void TSourceDictionary::ReadFrom(TSourceDictionaryReader& reader) {
  if (const int32_t line = FindUnclosedSection(reader.Rest()))
    RaiseHelpedErrorAt(line, "SAbsentFinalSectionTag", "Final section tag is absent");
  bool firstLine = true;
  while (char16_t* line = reader.NextLine()) {
    if (firstLine && line[0] == 0xFEFF) {
      // Drop the byte-order mark from the line itself, so that it is gone
      // if the line is read again.
      std::char_traits<char16_t>::move(line, line + 1, std::char_traits<char16_t>::length(line));
    }
    firstLine = false;
    if (line[0] == u'<') {
      const std::u16string_view tag(line);
      if (tag == u"<header>") FParts[spHeader]->ReadFrom(reader);
      else if (tag == u"<mark>") FParts[spMarks]->ReadFrom(reader);
      else if (tag == u"<author>") FParts[spAuthors]->ReadFrom(reader);
    } else if (line[0] == u'#') {
      reader.PushBack();
      FArticles->ReadFrom(reader);
    }
  }
}

void TSourceDictionary::SaveToFile() {
  WriteFile(FFileName);
  FModified = false;
}

void TSourceDictionary::SaveCopyTo(const std::string& fileName) const { WriteFile(fileName); }

void TSourceDictionary::WriteFile(const std::string& fileName) const {
  TSourceDictionaryWriter writer;
  writer.Open(fileName);
  for (int part = spHeader; part <= spArticles; ++part) {
    if (FParts[part]->IsEmpty()) continue;
    FParts[part]->WriteTo(writer);
    if (part != spArticles) writer.Write(u"\r\n");
  }
  writer.Close();
}

void TSourceDictionary::Verify() {
  // An empty file would fail for its header's first attribute: say what it is.
  if (IsEmpty()) RaiseHelpedError("SEmptyFile", "%s is empty", {FFileName.empty() ? std::string("The dictionary") : FFileName});
  for (auto* part : FParts) part->Check();
}

bool TSourceDictionary::IsEmpty() const {
  for (const auto* part : FParts)
    if (!part->IsEmpty()) return false;
  return true;
}

std::u16string_view TSourceDictionary::Keyword(int32_t index) const {
  return index >= 0 && index < ArticleCount() ? std::u16string_view(FArticles->Record(index).Name)
                                               : std::u16string_view();
}

std::u16string_view TSourceDictionary::ArticleText(int32_t index) const {
  return index >= 0 && index < ArticleCount() ? std::u16string_view(FArticles->Record(index).Value)
                                               : std::u16string_view();
}

void TSourceDictionary::SetFileName(const std::string& name) {
  if (name == FFileName) return;
  FFileName = name;
  FModified = true;
}

void TSourceDictionary::SetLanguage(std::u16string_view id) {
  TKodraLanguage* language = FindLanguage(ToUtf8(id));
  if (language && language != FLanguage) FLanguage = language;
}

void TSourceDictionary::SetLocation(int part, int32_t item, int32_t start, int32_t length) {
  FCurrentPart = part;
  FCurrentItem = item;
  FSelectionStart = start;
  FSelectionLength = length;
}

std::u16string_view TSourceDictionary::GetCurrentText() {
  if (FCurrentPart < spHeader || FCurrentPart > spArticles) return {};
  return FParts[FCurrentPart]->GetText(FCurrentItem);
}

void TSourceDictionary::SetPartText(std::u16string_view text, int part, int32_t item) {
  FWorkBuffer.Clear();
  FWorkBuffer.AppendText(text);
  FParts[part]->SetText(FWorkBuffer.AsMutableText(), FWorkBuffer.Size(), item);
  FModified = true;
}

std::u16string_view TSourceDictionary::Caption() const { return FParts[spHeader]->Value(u"caption"); }

TKeywordMatch TSourceDictionary::Locate(const char16_t* keyword) { return FArticles->Locate(keyword); }

bool TSourceDictionary::StartSearch(std::u16string_view text, uint8_t parts, bool wholeWord,
                                    TSourceSearchMode mode) {
  FSearchText = text;
  FSearchParts = parts;
  FSearchWholeWord = wholeWord;
  FSearchLimit = -1;
  if (mode == smFromBeginning) {
    FSearchPart = spHeader;
    FSearchItem = 0;
  } else {
    FSearchPart = FCurrentPart;
    FSearchItem = FCurrentItem;
    if (mode == smCurrentArticle) FSearchLimit = FCurrentItem;
  }
  FParts[FSearchPart]->ResetSearch(FSearchItem);
  return SearchFrom(FSearchPart);
}

bool TSourceDictionary::SearchNext() { return SearchFrom(FSearchPart); }

// Searches the parts of the set from part on: that part resumes where its
// cursor stands (after its last hit, or where StartSearch placed it), later
// parts start from their first item.
bool TSourceDictionary::SearchFrom(int part) {
  FSearchFound = false;
  for (int p = part; p <= spArticles; ++p) {
    if (!(FSearchParts & (1u << p))) continue;
    if (p != part) FParts[p]->ResetSearch(0);
    int32_t position, item;
    if (!FParts[p]->FindNext(FSearchText, FSearchWholeWord, position, item)) continue;
    if (FSearchLimit >= 0 && item > FSearchLimit) return false;
    FSearchPart = p;
    FSearchItem = item;
    FSearchPosition = position;
    FSearchFound = true;
    SetLocation(p, item, position, int32_t(FSearchText.size()));
    return true;
  }
  return false;
}
