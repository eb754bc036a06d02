#pragma once
// The clipboard in the letters of a language. Pasted text goes into a
// hidden rich edit, exactly as it would into any of our edits (rich text
// where it is offered, so that the font of every character is known), and
// is read from there through the language's font import tables: Greek typed
// in a legacy 8-bit font becomes Greek letters. Copying puts a text on the
// clipboard as rich text and as plain text.
#include <cstdint>
#include <string>
#include <string_view>

class QMimeData;
class TKodraLanguage;

// Clipboards of this many bytes or more are refused before anything changes.
constexpr int kClipboardLimit = 1000011;
// Above this many bytes the conversion shows the progress window.
constexpr int kClipboardProgressSize = 20000;

// Converts what the clipboard offers, or the given offer, into a text of the
// language: at most maxLength units of it, all when 0. A too large offer
// raises "SClipTooLong"; Cancel in the progress window keeps what was
// converted so far.
std::u16string PasteConverted(const TKodraLanguage& language, int32_t maxLength, const QMimeData* offer = nullptr);

// Puts the text on the clipboard, as rich text with every character kept.
void CopyToClipboard(std::u16string_view text);
