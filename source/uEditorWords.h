#pragma once
// What the dictionary editor makes of the words around its caret: the word
// to go to, the keyword line made of a selection, and a pasted search text.
#include <cstdint>
#include <string>
#include <string_view>

class TKodraLanguage;

// The word to go to: the selection when there is one, else the run of the
// language's letters around the caret; trimmed of everything but letters at
// both ends, and without "(", ")" and "-" inside.
std::u16string GoToWord(const TKodraLanguage& language, std::u16string_view text, int32_t selectionStart,
                        int32_t selectionEnd, int32_t caret);

// "#", the selected characters folded by the language with their
// diacritics, only those that may stand in a keyword, and CR LF.
std::u16string KeywordLine(const TKodraLanguage& language, std::u16string_view selected);

// Where the line holding the caret starts: just after the nearest control
// unit before it, or 0.
int32_t LineStartBefore(std::u16string_view text, int32_t caret);

// A pasted search text: each run of blanks and control units becomes one
// space (dropped at the start), and digits, ASCII punctuation and signs go.
std::u16string CleanSearchBoxText(std::u16string_view text);

// The editor's pane counts one unit per line end where the editing form
// has CR LF: the pane position of an offset into the editing form.
int32_t PanePosition(std::u16string_view sourceText, int32_t offset);
// The pane's text as an editing form: every paragraph end and line break
// becomes CR LF.
std::u16string SourceTextOfPane(std::u16string_view paneText);
