#pragma once
// Buffered binary files of little-endian values. Only Open raises (the
// system's error); reading past the end, short reads and failed writes set an
// error flag that the caller may test.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

class IKezInFile {
public:
  virtual ~IKezInFile() = default;
  virtual void Open(const std::string& fileName, int32_t bufferSize, bool shareReading) = 0;
  virtual void Rewind() = 0;
  virtual void Close() = 0;
  virtual bool ReadBoolean() = 0;
  virtual uint8_t ReadByte() = 0;
  virtual uint16_t ReadWord() = 0;
  virtual int32_t ReadInteger() = 0;
  virtual double ReadDouble() = 0;
  virtual std::string ReadZString(int32_t maxLength) = 0;
  virtual std::string ReadFixedString(int32_t length) = 0;
  virtual std::string ReadShortString() = 0;
  virtual std::string ReadLongString() = 0;
  virtual std::u16string ReadZWideString(int32_t maxLength) = 0;
  virtual std::u16string ReadFixedWideString(int32_t count) = 0;
  virtual std::u16string ReadLongWideString() = 0;
  virtual void ReadBuffer(void* destination, int32_t length) = 0;
  virtual bool Error() const = 0;
  virtual bool Eof() const = 0;
  virtual int32_t Size() const = 0;
  virtual const std::string& FileName() const = 0;
};

class IKezOutFile {
public:
  virtual ~IKezOutFile() = default;
  virtual void Open(const std::string& fileName, int32_t bufferSize) = 0;
  virtual void Close() = 0;
  virtual void Flush() = 0;
  virtual void WriteBoolean(bool value) = 0;
  virtual void WriteByte(uint8_t value) = 0;
  virtual void WriteWord(uint16_t value) = 0;
  virtual void WriteInteger(int32_t value) = 0;
  virtual void WriteDouble(double value) = 0;
  virtual void WriteZString(std::string_view text) = 0;
  virtual void WriteFixedString(std::string_view text, int32_t length) = 0;
  virtual void WriteShortString(std::string_view text) = 0;
  virtual void WriteLongString(std::string_view text) = 0;
  virtual void WriteZWideString(std::u16string_view text) = 0;
  virtual void WriteZWideString(const char16_t* text) = 0;
  virtual void WriteFixedWideString(std::u16string_view text, int32_t count) = 0;
  virtual void WriteLongWideString(std::u16string_view text) = 0;
  virtual void WriteBuffer(const void* source, int32_t length) = 0;
  virtual bool Error() const = 0;
  // The system's error number of the first failure (0 when unknown).
  virtual int ErrorCode() const = 0;
  virtual const std::string& FileName() const = 0;
};

// The files are shared through their interfaces and closed with the last reference.
std::shared_ptr<IKezInFile> NewKezInFile();
std::shared_ptr<IKezOutFile> NewKezOutFile();
// An output file that writes into a stream it does not own (a TKezSafeFile's):
// Open only names it, Close only flushes.
std::shared_ptr<IKezOutFile> NewKezOutFile(std::FILE* stream);

// What reading a whole file came to; Error is the system's error number of
// CannotOpen and Failed.
enum class TReadResult { Read, CannotOpen, NotAFile, TooLarge, Failed };
struct TReadOutcome {
  TReadResult Result;
  int Error;
};
// Opens a regular file for reading, never blocking on what stands in its
// place (a FIFO, a device); null otherwise, outcome saying why (NotAFile, or
// CannotOpen with the system's error).
std::FILE* OpenRegularFile(const std::string& fileName, TReadOutcome& outcome);
// The same, raising ESystemError ("<file> is not a file" for NotAFile).
std::FILE* OpenRegularFileOrRaise(const std::string& fileName);

// Reads a whole regular file of at most maxSize bytes into content, opened
// without blocking; content is empty unless the result is Read. Every reader
// of outside files goes through here: a FIFO, a device or a directory in a
// file's place is NotAFile at once, never a hang.
TReadOutcome ReadBoundedFile(const std::string& fileName, size_t maxSize, std::string& content);

// Reads a whole regular file of at most maxSize bytes into content. False,
// with content empty, for a missing file, anything but a regular file (a
// FIFO or a device would block or never end), a larger file, or a failed
// read. Reading stops at maxSize + 1 bytes even if the file grows meanwhile.
bool ReadSmallFile(const std::string& fileName, size_t maxSize, std::string& content);

// Whether the file (or a folder on its way) is not there at all: no error
// where a file is optional.
bool IsMissing(const TReadOutcome& outcome);

// Why a read came to nothing, in English words that follow a file's name:
// "is missing", "is not a file", "is too large", "cannot be read: <system's
// reason>"; empty for Read.
std::string ReadFailureReason(const TReadOutcome& outcome);
