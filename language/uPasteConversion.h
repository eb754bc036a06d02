#pragma once
// Pasted text into the language's letters: each run of a legacy 8-bit font
// goes through that font's import table, longest sequence first; text in
// any other font stays as it is. The result is normalised by the language.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "render/uRtfReader.h"

class TKodraLanguage;

// What the conversion reads: the pasted characters with the face name of each.
class TFacedTextSource {
public:
  virtual ~TFacedTextSource() = default;
  virtual int32_t Length() const = 0;  // characters left
  virtual char16_t CharAt(int32_t position) const = 0;
  virtual std::string FaceAt(int32_t position) const = 0;  // empty when unknown
  // Forgets the first count characters: the positions after them move down.
  virtual void DropFront(int32_t count) = 0;
};

// The characters of an RTF document, as a clipboard gives them.
class TRtfTextSource : public TFacedTextSource {
public:
  explicit TRtfTextSource(TRtfDocument document);
  TRtfTextSource(const TRtfTextSource&) = delete;
  TRtfTextSource& operator=(const TRtfTextSource&) = delete;

  int32_t Length() const override;
  char16_t CharAt(int32_t position) const override;
  std::string FaceAt(int32_t position) const override;
  void DropFront(int32_t count) override;

private:
  TRtfDocument FDocument;
  TRtfFacedText FText;  // its face names point into FDocument
  size_t FFront = 0;    // characters dropped so far
};

// The source's characters are forgotten in steps of this many.
constexpr int32_t kPasteConversionStep = 1000;

// Converts the first maxLength characters of the source (all of them when
// maxLength is 0 or more than there are). After every kPasteConversionStep
// characters step is called when set; when it returns false the conversion
// stops with what was converted so far.
std::u16string ConvertPastedText(const TKodraLanguage& language, TFacedTextSource& source, int32_t maxLength,
                                 const std::function<bool()>& step);
