#pragma once
// Reads a source file (or an edited text) whole into memory and splits it
// into lines in place: each line break is overwritten with a terminator.
#include <memory>
#include <string>
#include <string_view>

class TSourceDictionaryReader {
public:
  // Raises SCorruptFile for an odd length, SFileTooLong, SCantReadFile,
  // SControlChar for a unit below U+0020 other than TAB, CR and LF, or the
  // system's error.
  void Open(const std::string& fileName);
  // Reads lines from an edited text, which must stay alive and writable
  // while the reader is used. Raises SControlChar as Open does.
  void OpenText(char16_t* text, size_t length);
  // The next line, or nullptr at the end of the text.
  char16_t* NextLine();
  // The next NextLine returns the current line again.
  void PushBack() { FPushedBack = true; }

private:
  std::unique_ptr<char16_t[]> FImage;
  char16_t* FNext = nullptr;
  char16_t* FLine = nullptr;
  bool FPushedBack = false;
};

// Raises SControlChar, naming the (1-based) line, when the text holds a unit
// below U+0020 other than TAB, CR and LF: such a unit would end the text and
// everything after it would be lost on the next save.
void CheckSourceUnits(std::u16string_view text);
