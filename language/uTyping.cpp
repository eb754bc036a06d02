#include "language/uTyping.h"

#include <algorithm>
#include <array>
#include <new>

#include "foundation/KezFiles.h"
#include "language/uLanguage.h"
#include "render/KezRichEdit.h"

TInputMethod::TInputMethod() = default;

void TInputMethod::Clear() { FTable.Clear(); }

void TInputMethod::Load(std::string_view text) {
  Clear();
  std::array<char16_t, 256> units{};  // what each key byte stands for; 0: nothing

  // The first line: bytes that stand for themselves.
  size_t cursor = 0;
  while (cursor < text.size() && text[cursor] != '\r' && text[cursor] != '\n') {
    const auto b = static_cast<unsigned char>(text[cursor++]);
    units[b] = b;
  }
  while (cursor < text.size() && (text[cursor] == '\r' || text[cursor] == '\n')) ++cursor;

  // One-byte keys, up to the first line with an empty key or value.
  std::string_view key, value;
  while (ReadKeyValueLine(text, cursor, key, value)) {
    if (key.empty() || value.empty()) break;
    if (key.size() == 1) units[static_cast<unsigned char>(key[0])] = char16_t(ReadHex(value));
  }

  // Sequences.
  while (ReadKeyValueLine(text, cursor, key, value)) {
    if (key.empty() || value.empty() || key.size() > size_t(MaxKeyLength)) continue;
    std::u16string translated;
    for (char b : key) translated += units[static_cast<unsigned char>(b)];
    if (translated.find(char16_t(0)) != std::u16string::npos) continue;
    FTable.Add(translated, char16_t(ReadHex(value)), klTails);
  }
}

namespace {
constexpr size_t kInputMethodFileLimit = 4 * 1024 * 1024;
}  // namespace

void TInputMethod::LoadFromFile(const std::string& path) {
  Clear();
  std::string content;
  // A table is a few thousand lines; anything that is no such file is no table.
  if (!ReadSmallFile(path, kInputMethodFileLimit, content)) return;
  Load(content);
}

TComposition TInputMethod::Compose(std::u16string_view before, char16_t c) const {
  TComposition composition{c, 0};
  if (c == 0) return composition;  // keys hold no NUL
  std::array<char16_t, MaxKeyLength> candidate{};  // filled from the back
  size_t length = 1;
  candidate.back() = c;
  for (int32_t taken = 0;; ++taken) {
    const TInputMethodRecord* record =
        FTable.Find(std::u16string_view(candidate.data() + candidate.size() - length, length));
    if (!record) break;
    if (record->Value != 0) {
      composition = {record->Value, taken};
      if (!record->Continues) break;
    }
    // No key is longer than the candidate can grow, and a NUL would end it early.
    if (length == candidate.size() || size_t(taken) >= before.size()) break;
    const char16_t previous = before[before.size() - 1 - size_t(taken)];
    if (previous == 0) break;
    candidate[candidate.size() - ++length] = previous;
  }
  return composition;
}

void TypeChar(const TInputMethod& method, TKezAbstractRichEdit& edit, char16_t c) {
  if (edit.HasSelection()) edit.ReplaceSelection(u"");
  const int32_t caret = edit.CaretPosition();
  const int32_t from = std::max(caret - TInputMethod::MaxKeyLength, 0);
  const std::u16string before = edit.TextRange(from, caret);
  const TComposition composition = method.Compose(before, c);
  edit.SetSelection(caret - composition.Replaced, caret);
  InsertUnicodeText(edit, std::u16string_view(&composition.Result, 1));
}
