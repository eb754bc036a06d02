#include "language/uPasteConversion.h"

#include <algorithm>
#include <utility>

#include "language/uImportFont.h"
#include "language/uLanguage.h"

TRtfTextSource::TRtfTextSource(TRtfDocument document)
    : FDocument(std::move(document)), FText(FDocument.FacedText()) {}

int32_t TRtfTextSource::Length() const { return int32_t(FText.Text.size() - FFront); }

char16_t TRtfTextSource::CharAt(int32_t position) const { return FText.Text[FFront + size_t(position)]; }

std::string TRtfTextSource::FaceAt(int32_t position) const {
  return std::string(FText.FaceNames[FFront + size_t(position)]);
}

void TRtfTextSource::DropFront(int32_t count) { FFront += size_t(std::clamp(count, 0, Length())); }

namespace {
// Windows symbol fonts reach the clipboard as private-use units, the byte + F000.
char16_t TableUnit(char16_t c) { return c >= 0xF020 && c <= 0xF0FF ? char16_t(c - 0xF000) : c; }

// The font of the face last asked for: the characters of one run share it.
class TLastFont {
public:
  explicit TLastFont(const TKodraLanguage& language) : FLanguage(language) {}
  const TImportFont& Of(const std::string& face) {
    if (!FFont || face != FFace) {
      FFont = &FLanguage.ImportFont(face);
      FFace = face;
    }
    return *FFont;
  }

private:
  const TKodraLanguage& FLanguage;
  std::string FFace;
  const TImportFont* FFont = nullptr;
};
}  // namespace

std::u16string ConvertPastedText(const TKodraLanguage& language, TFacedTextSource& source, int32_t maxLength,
                                 const std::function<bool()>& step) {
  const int32_t available = source.Length();
  const int32_t limit = maxLength <= 0 || maxLength > available ? available : maxLength;
  std::u16string result;
  TLastFont fonts(language);
  int32_t done = 0, dropped = 0;  // characters consumed; those of them the source has forgotten
  while (done < limit) {
    const char16_t c = source.CharAt(done - dropped);
    const TImportFont& font = fonts.Of(source.FaceAt(done - dropped));
    ++done;
    char16_t converted = c;
    std::u16string sequence(1, TableUnit(c));
    char16_t value = 0;
    bool continues = false;
    if (font.HasTable() && font.Lookup(sequence, value, continues)) {
      if (value) converted = value;
      // The longest sequence of the same font wins. There is no going back:
      // characters read into a head that leads nowhere stay consumed.
      while (continues && done < limit) {
        const int32_t next = done - dropped;
        if (&fonts.Of(source.FaceAt(next)) != &font) break;
        sequence += TableUnit(source.CharAt(next));
        if (!font.Lookup(sequence, value, continues)) break;
        if (value) converted = value;
        ++done;
      }
    }
    result += converted;
    if (done - dropped >= kPasteConversionStep) {
      source.DropFront(done - dropped);
      dropped = done;
      if (step && !step()) break;
    }
  }
  language.NormalizeText(result);
  return result;
}
