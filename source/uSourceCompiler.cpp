#include "source/uSourceCompiler.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "dictionary/uKeyStream.h"
#include "foundation/KezAssert.h"
#include "foundation/KezSystemError.h"
#include "source/uCompiledBody.h"
#include "source/uSourceDictionary.h"

namespace {
constexpr uint16_t kFiller = 0x3F3F;  // no reader looks at filler entries

const void* KeyOf(char16_t unit) { return reinterpret_cast<const void*>(uintptr_t(unit)); }
}  // namespace

TSourceDictionaryCompileData::TSourceDictionaryCompileData()
    : FOutput(NewKezOutFile()), FCodesStorage(std::make_unique<std::array<uint16_t, 65536>>()),
      FCodes(*FCodesStorage) {
  FCodes.fill(0);
  FRanking.reserve(1024);
}

TSourceDictionaryCompileData::~TSourceDictionaryCompileData() { FOutput->Close(); }

void TSourceDictionaryCompileData::Open(const std::string& fileName) {
  FOutput->Open(fileName, kBufferSize);
  FOffset = 0;
}

void TSourceDictionaryCompileData::Open(TKezSafeFile& file) {
  FOutput->Close();
  FOutput = NewKezOutFile(file.Stream());
  Open(file.FinalName());
}

bool TSourceDictionaryCompileData::Close() {
  FOutput->Close();
  return !FOutput->Error();
}

void TSourceDictionaryCompileData::Count(char16_t unit, uint32_t times) {
  int32_t bucket;
  if (TKezHashNode* node = FCounts.Find(KeyOf(unit), bucket))
    node->Value = reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(node->Value) + times);
  else
    FCounts.AddAt(KeyOf(unit), reinterpret_cast<void*>(uintptr_t(times)), bucket);
}

void TSourceDictionaryCompileData::Emit(char16_t unit) {
  if (!FWriting) {
    Count(unit, 1);
    return;
  }
  const uint16_t code = FCodes[unit];
  if (code < 256) {
    WriteByte(uint8_t(code));
  } else {
    WriteByte(uint8_t(31 - (code >> 8)));
    WriteByte(uint8_t(code & 0xFF));
  }
}

void TSourceDictionaryCompileData::Article(std::u16string_view keyword, const char16_t* text) {
  if (FWriting) {
    AddArticleOffset();
    WriteString(keyword);
  }
  ForEachCompiledUnit(text, [&](char16_t unit) { Emit(unit); });
  if (FWriting) WriteByte(0);
}

void TSourceDictionaryCompileData::WriteByte(uint8_t value) {
  FOutput->WriteByte(value);
  ++FOffset;
}

void TSourceDictionaryCompileData::WriteWord(uint16_t value) {
  WriteByte(uint8_t(value));
  WriteByte(uint8_t(value >> 8));
}

void TSourceDictionaryCompileData::WriteDword(uint32_t value) {
  WriteWord(uint16_t(value));
  WriteWord(uint16_t(value >> 16));
}

void TSourceDictionaryCompileData::WriteScrambledWord(uint16_t value) {
  WriteWord(uint16_t(value ^ (KeyStreamNext() & 0xFFFF)));
}

void TSourceDictionaryCompileData::WriteScrambledDword(uint32_t value) { WriteDword(value ^ KeyStreamNext()); }

void TSourceDictionaryCompileData::WriteString(std::u16string_view text) {
  KeyStreamReset();
  for (char16_t c : text) WriteScrambledWord(c);
  WriteScrambledWord(0);
}

void TSourceDictionaryCompileData::Align(int32_t n) {
  while (FOffset % n) WriteByte(0);
}

void TSourceDictionaryCompileData::AddAbbreviationOffset() {
  Align(2);
  KEZ_ASSERT(FAbbreviationOffsets.size() < FAbbreviationOffsets.capacity(), "uSourceDictionary");
  FAbbreviationOffsets.push_back(FOffset);
}

void TSourceDictionaryCompileData::AddArticleOffset() {
  Align(2);
  KEZ_ASSERT(FArticleOffsets.size() < FArticleOffsets.capacity(), "uSourceDictionary");
  FArticleOffsets.push_back(FOffset);
}

void TSourceDictionaryCompileData::BuildCodes(int32_t abbreviationTotal, int32_t articleTotal) {
  // Descending counts; among equal counts a unit walked later stands first.
  std::vector<uint32_t> counts;
  FCounts.ForEach([&](TKezHashNode& node) {
    const auto count = uint32_t(reinterpret_cast<uintptr_t>(node.Value));
    size_t low = 0, high = counts.size();
    while (low < high) {
      const size_t mid = (low + high) / 2;
      if (counts[mid] > count) low = mid + 1; else high = mid;
    }
    counts.insert(counts.begin() + long(low), count);
    FRanking.insert(FRanking.begin() + long(low), char16_t(reinterpret_cast<uintptr_t>(node.Key)));
  });
  uint32_t code = 31;
  for (char16_t unit : FRanking) {
    if ((code & 0xFF) == 0) ++code;
    FCodes[unit] = uint16_t(code++);
  }
  if ((code & 0xFF) == 0) ++code;
  if (code >= kCodeLimit)
    RaiseHelpedError("STooMuchChars", "Too much different characters in the dictionary");
  FAbbreviationOffsets.reserve(size_t(abbreviationTotal));
  FArticleOffsets.reserve(size_t(articleTotal));
}

void TSourceDictionaryCompileData::StartWriting() {
  FWriting = true;
  WriteDword(kKdbSignature);
  WriteDword(kKdbVersion);
}

void TSourceDictionaryCompileData::Finish() {
  Align(4);
  const int32_t a = FOffset;
  KeyStreamReset();
  for (int32_t offset : FAbbreviationOffsets) WriteScrambledDword(uint32_t(offset));
  const int32_t b = FOffset;
  KeyStreamReset();
  for (int32_t offset : FArticleOffsets) WriteScrambledDword(uint32_t(offset));
  const int32_t c = FOffset;
  uint32_t k = 0;
  for (char16_t unit : FRanking) {
    for (; k < FCodes[unit]; ++k) WriteScrambledWord(kFiller);
    WriteWord(unit);
    ++k;
  }
  Align(4);
  for (uint32_t value : {uint32_t(a), uint32_t(FAbbreviationOffsets.size()), uint32_t(b),
                         uint32_t(FArticleOffsets.size()), uint32_t(c), k})
    WriteDword(value ^ kKdbTrailerMask);
  WriteDword(kKdbTrailerSignature);
}

// ---- The parts' share of compilation ---------------------------------------

void TSourceDictionaryPartBase::CompileTo(TSourceDictionaryCompileData& data) {
  if (!data.Writing()) return;
  for (int32_t i = 0; i < Count(); ++i) {
    data.AddAbbreviationOffset();
    data.WriteString(Record(i).Name);
    data.WriteString(Record(i).Value);
  }
}

void TSourceDictionaryPartHeader::CompileTo(TSourceDictionaryCompileData& data) {
  if (!data.Writing()) return;
  for (const char16_t* name : {u"caption", u"comment", u"kind", u"language"}) data.WriteString(Value(name));
}

void TSourceDictionaryPartArticles::CompileTo(TSourceDictionaryCompileData& data) {
  for (int32_t i = 0; i < Count(); ++i) {
    FetchAhead(i);
    data.Article(Record(i).Name, Record(i).Value);
  }
}

std::string CompiledFileName(const std::string& sourceName) {
  std::filesystem::path path(sourceName);
  path.replace_extension(".kdb");
  return path.string();
}

void CheckCompileTarget(const std::string& sourceName, const std::string& targetName) {
  if (!sourceName.empty() && SameFile(targetName, sourceName))
    RaiseHelpedError("SCompileOverSource", "The compiled dictionary would replace its own source %s", {sourceName});
}

void TSourceDictionary::Compile(const std::string& targetName) {
  const std::string target = targetName.empty() ? CompiledFileName(FFileName) : targetName;
  CheckCompileTarget(FFileName, target);
  // The file is written aside and replaces the target only when complete.
  TKezSafeFile file;
  file.Open(target);
  {
    TSourceDictionaryCompileData data;
    data.Open(file);
    for (auto* part : FParts) part->CompileTo(data);
    data.BuildCodes(FParts[spMarks]->Count() + FParts[spAuthors]->Count(), ArticleCount());
    data.StartWriting();
    for (auto* part : FParts) part->CompileTo(data);
    data.Finish();
    if (!data.Close()) RaiseSystemError(data.ErrorCode() ? data.ErrorCode() : EIO, target);
  }
  file.Commit();
}
