#pragma once
// Reads a source file (or an edited text) whole into memory and splits it
// into lines in place: each line break is overwritten with a terminator.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class TSourceDictionaryReader {
public:
  // Raises SNotAFile for a folder, device or pipe, SWrongEncoding for a file
  // in UTF-8 or UTF-16BE, SCorruptFile for an odd length, SFileTooLong,
  // SCantReadFile, the errors of CheckSourceUnits, or the system's error.
  void Open(const std::string& fileName);
  // Reads lines from an edited text, which must stay alive and writable
  // while the reader is used. Raises as CheckSourceUnits does.
  void OpenText(char16_t* text, size_t length);
  // The next line, or nullptr at the end of the text.
  char16_t* NextLine();
  // The next NextLine returns the current line again.
  void PushBack() { FPushedBack = true; }
  // The 1-based number of the line NextLine returned last.
  int32_t LineNumber() const { return FLineNumber; }
  // The text not yet split into lines: all of it until the first NextLine.
  std::u16string_view Rest() const { return FNext ? std::u16string_view(FNext) : std::u16string_view(); }

private:
  std::unique_ptr<char16_t[]> FImage;
  char16_t* FNext = nullptr;
  char16_t* FLine = nullptr;
  bool FPushedBack = false;
  int32_t FLineNumber = 0;
};

// Raises, naming the (1-based) line, when the text holds a unit that would
// be lost or would lose text on the next save: SControlChar for a unit below
// U+0020 other than TAB, CR and LF (it would end the text), SLoneSurrogate
// for half of a surrogate pair, SByteOrderMark for a byte-order mark other
// than the first unit (two files joined: the mark would hide the line it
// begins).
void CheckSourceUnits(std::u16string_view text);

// The 1-based line of a header, marks or authors section that the text ends
// in without its end tag (a mistyped "</Header>" would make the section take
// in every article after it); 0 when every section is closed.
int32_t FindUnclosedSection(std::u16string_view text);

// The encoding of a file's first bytes when it is plainly not UTF-16LE
// ("UTF-8", "UTF-16BE"); empty otherwise.
std::string ForeignEncoding(std::string_view head);
