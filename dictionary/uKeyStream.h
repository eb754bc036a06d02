#pragma once
// The key stream that scrambles the strings and offset tables of compiled
// dictionaries. The position is one process-wide counter shared by the
// reader, the header reader and the compiler: they must not run at the same
// time on different threads.
#include <cstdint>

constexpr int kKeyWordCount = 246;
constexpr uint32_t kKdbSignature = 0x673A8261;
constexpr uint32_t kKdbTrailerSignature = 0x7413D422;
constexpr uint32_t kKdbTrailerMask = 0x4E71A2C5;
constexpr uint32_t kKdbVersion = 0;
constexpr uint32_t kKdbMinimumSize = 44;
constexpr uint32_t kKdbTrailerSize = 28;

uint32_t KeyWord(int index);
// All key words, for loops that keep their own position.
const uint32_t* KeyWords();
// Every scrambled string and offset table starts from the first word.
void KeyStreamReset();
// The next word; after the last one the stream returns to the first.
uint32_t KeyStreamNext();
