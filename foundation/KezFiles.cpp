#include "foundation/KezFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <filesystem>
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "foundation/KezSystemError.h"
#include "foundation/KezText.h"

namespace {
class TKezInFile final : public IKezInFile {
public:
  ~TKezInFile() override { Close(); }

  void Open(const std::string& fileName, int32_t bufferSize, bool) override {
    Close();
    // Reading is always shared here; the platforms we build for have no exclusive opening by default.
    std::FILE* file = OpenRegularFileOrRaise(fileName);
    FFile = file;
    FFileName = fileName;
    FBuffer.assign(size_t(bufferSize < 1 ? 1 : bufferSize), 0);
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    FSize = size < 0 ? 0 : int32_t(size);
    FError = false;
    StartReading();
  }

  void Rewind() override {
    if (!FFile) return;
    FError = std::fseek(FFile, 0, SEEK_SET) != 0;
    StartReading();
  }

  void Close() override {
    if (FFile) std::fclose(FFile);
    FFile = nullptr;
    FBuffer.clear();
    FBuffer.shrink_to_fit();
    FFill = 0;
  }

  bool ReadBoolean() override { return ReadByte() != 0; }

  uint8_t ReadByte() override {
    if (FFill == 0) {
      FError = true;
      return 0;
    }
    if (FBufferPosition >= FFill) {
      Refill();
      if (FFill == 0) {
        FError = true;
        return 0;
      }
    }
    return FBuffer[size_t(FBufferPosition++)];
  }

  uint16_t ReadWord() override { return uint16_t(ReadUnsigned(2)); }
  int32_t ReadInteger() override { return int32_t(uint32_t(ReadUnsigned(4))); }
  double ReadDouble() override {
    const uint64_t bits = ReadUnsigned(8);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  std::string ReadZString(int32_t maxLength) override {
    std::string text;
    for (int32_t i = 0; i < maxLength; ++i) {
      const char c = char(ReadByte());
      if (c == 0) break;
      text += c;
    }
    return text;
  }
  std::string ReadFixedString(int32_t length) override {
    std::string text;
    for (int32_t i = 0; i < length; ++i) text += char(ReadByte());
    return text.substr(0, text.find('\0'));
  }
  std::string ReadShortString() override { return ReadFixedLength(ReadByte()); }
  std::string ReadLongString() override { return ReadFixedLength(ReadInteger()); }

  std::u16string ReadZWideString(int32_t maxLength) override {
    std::u16string text;
    for (int32_t i = 0; i < maxLength; ++i) {
      const char16_t c = ReadWord();
      if (c == 0) break;
      text += c;
    }
    return text;
  }
  std::u16string ReadFixedWideString(int32_t count) override {
    std::u16string text;
    for (int32_t i = 0; i < count; ++i) text += char16_t(ReadWord());
    return text.substr(0, text.find(u'\0'));
  }
  std::u16string ReadLongWideString() override {
    const int32_t count = ReadInteger();
    std::u16string text;
    for (int32_t i = 0; i < count && !Eof(); ++i) text += char16_t(ReadWord());
    return text;
  }

  void ReadBuffer(void* destination, int32_t length) override {
    auto* out = static_cast<uint8_t*>(destination);
    for (int32_t i = 0; i < length; ++i) out[i] = ReadByte();
  }

  bool Error() const override { return FError; }
  bool Eof() const override { return FFill == 0; }
  int32_t Size() const override { return FSize; }
  const std::string& FileName() const override { return FFileName; }

private:
  void StartReading() {
    FFilePosition = 0;
    FFill = -1;  // anything but 0, so that Refill reads
    Refill();
  }

  void Refill() {
    if (FFill == 0) return;
    int64_t chunk = std::min<int64_t>(int64_t(FBuffer.size()), int64_t(FSize) - FFilePosition);
    if (chunk <= 0) {
      FFilePosition = FSize;
      FFill = 0;
      return;
    }
    const size_t read = std::fread(FBuffer.data(), 1, size_t(chunk), FFile);
    if (read < size_t(chunk)) FError = true;
    FFilePosition = std::min<int64_t>(FFilePosition + int64_t(read), FSize);
    FFill = int32_t(read);
    FBufferPosition = 0;
  }

  uint64_t ReadUnsigned(int bytes) {
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= uint64_t(ReadByte()) << (8 * i);
    return value;
  }

  std::string ReadFixedLength(int64_t length) {
    std::string text;
    for (int64_t i = 0; i < length && !Eof(); ++i) text += char(ReadByte());
    return text;
  }

  std::FILE* FFile = nullptr;
  std::string FFileName;
  std::vector<uint8_t> FBuffer;
  int32_t FFill = 0;
  int32_t FSize = 0;
  int64_t FFilePosition = 0;
  int32_t FBufferPosition = 0;
  bool FError = false;
};

class TKezOutFile final : public IKezOutFile {
public:
  TKezOutFile() = default;
  explicit TKezOutFile(std::FILE* stream) : FAttached(stream) {}
  ~TKezOutFile() override { Close(); }

  void Open(const std::string& fileName, int32_t bufferSize) override {
    Close();
    std::FILE* file = FAttached ? FAttached : std::fopen(fileName.c_str(), "wb");
    if (!file) RaiseSystemError(errno, fileName);
    FFile = file;
    FFileName = fileName;
    FBuffer.assign(size_t(bufferSize < 1 ? 1 : bufferSize), 0);
    FLength = 0;
    FError = false;
    FErrorCode = 0;
  }

  void Close() override {
    if (!FFile) return;
    Flush();
    Check(std::fflush(FFile) == 0);
    if (!FAttached) {
#ifdef _WIN32
      Check(_commit(_fileno(FFile)) == 0);
#else
      Check(fsync(fileno(FFile)) == 0);
#endif
      Check(std::fclose(FFile) == 0);
    }
    FFile = nullptr;
    FBuffer.clear();
    FBuffer.shrink_to_fit();
  }

  void Flush() override {
    if (!FFile || FLength == 0) return;
    errno = 0;
    Check(std::fwrite(FBuffer.data(), 1, size_t(FLength), FFile) == size_t(FLength));
    FLength = 0;
  }

  void WriteBoolean(bool value) override { WriteByte(value ? 1 : 0); }
  void WriteByte(uint8_t value) override {
    if (FLength == int32_t(FBuffer.size())) Flush();
    FBuffer[size_t(FLength++)] = value;
  }
  void WriteWord(uint16_t value) override { WriteUnsigned(value, 2); }
  void WriteInteger(int32_t value) override { WriteUnsigned(uint32_t(value), 4); }
  void WriteDouble(double value) override {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteUnsigned(bits, 8);
  }
  void WriteZString(std::string_view text) override {
    WriteBuffer(text.data(), int32_t(text.size()));
    WriteByte(0);
  }
  void WriteFixedString(std::string_view text, int32_t length) override {
    for (int32_t i = 0; i < length; ++i) WriteByte(size_t(i) < text.size() ? uint8_t(text[size_t(i)]) : 0);
  }
  void WriteShortString(std::string_view text) override {
    const size_t length = std::min<size_t>(text.size(), 255);
    WriteByte(uint8_t(length));
    WriteBuffer(text.data(), int32_t(length));
  }
  void WriteLongString(std::string_view text) override {
    WriteInteger(int32_t(text.size()));
    WriteBuffer(text.data(), int32_t(text.size()));
  }
  void WriteZWideString(std::u16string_view text) override {
    for (char16_t c : text) WriteWord(c);
    WriteWord(0);
  }
  void WriteZWideString(const char16_t* text) override { WriteZWideString(std::u16string_view(text)); }
  void WriteFixedWideString(std::u16string_view text, int32_t count) override {
    for (int32_t i = 0; i < count; ++i) WriteWord(size_t(i) < text.size() ? text[size_t(i)] : 0);
  }
  void WriteLongWideString(std::u16string_view text) override {
    WriteInteger(int32_t(text.size()));
    for (char16_t c : text) WriteWord(c);
  }
  void WriteBuffer(const void* source, int32_t length) override {
    const auto* in = static_cast<const uint8_t*>(source);
    for (int32_t i = 0; i < length; ++i) WriteByte(in[i]);
  }
  bool Error() const override { return FError; }
  int ErrorCode() const override { return FErrorCode; }
  const std::string& FileName() const override { return FFileName; }

private:
  void Check(bool succeeded) {
    if (succeeded || FError) return;
    FError = true;
    FErrorCode = errno;
  }

  void WriteUnsigned(uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) WriteByte(uint8_t(value >> (8 * i)));
  }

  std::FILE* FAttached = nullptr;
  std::FILE* FFile = nullptr;
  std::string FFileName;
  std::vector<uint8_t> FBuffer;
  int32_t FLength = 0;
  bool FError = false;
  int FErrorCode = 0;
};
}  // namespace

std::shared_ptr<IKezInFile> NewKezInFile() { return std::make_shared<TKezInFile>(); }
std::shared_ptr<IKezOutFile> NewKezOutFile() { return std::make_shared<TKezOutFile>(); }
std::shared_ptr<IKezOutFile> NewKezOutFile(std::FILE* stream) { return std::make_shared<TKezOutFile>(stream); }

std::FILE* OpenRegularFile(const std::string& fileName, TReadOutcome& outcome) {
  outcome = {TReadResult::Read, 0};
#ifdef _WIN32
  std::error_code error;
  const auto status = std::filesystem::status(fileName, error);
  if (!error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    outcome = {TReadResult::NotAFile, 0};
    return nullptr;
  }
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) outcome = {TReadResult::CannotOpen, errno};
  return file;
#else
  const int descriptor = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) {
    outcome = {TReadResult::CannotOpen, errno};
    return nullptr;
  }
  struct stat info {};
  if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
    outcome = S_ISREG(info.st_mode) ? TReadOutcome{TReadResult::CannotOpen, errno} : TReadOutcome{TReadResult::NotAFile, 0};
    close(descriptor);
    return nullptr;
  }
  // A regular file: reading it may wait for the disk as usual.
  fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
  std::FILE* file = fdopen(descriptor, "rb");
  if (!file) {
    outcome = {TReadResult::CannotOpen, errno};
    close(descriptor);
  }
  return file;
#endif
}

std::FILE* OpenRegularFileOrRaise(const std::string& fileName) {
  TReadOutcome outcome;
  std::FILE* file = OpenRegularFile(fileName, outcome);
  if (file) return file;
  if (outcome.Result == TReadResult::NotAFile) throw ESystemError(0, ShortenedForMessage(fileName) + " is not a file");
  RaiseSystemError(outcome.Error ? outcome.Error : EIO, fileName);
}

TReadOutcome ReadBoundedFile(const std::string& fileName, size_t maxSize, std::string& content) {
  content.clear();
  char block[65536];
  auto fail = [&](TReadResult result, int error) {
    content.clear();
    content.shrink_to_fit();
    return TReadOutcome{result, error};
  };
#ifdef _WIN32
  std::error_code error;
  const auto status = std::filesystem::status(fileName, error);
  if (error || !std::filesystem::exists(status)) return fail(TReadResult::CannotOpen, ENOENT);
  if (!std::filesystem::is_regular_file(status)) return fail(TReadResult::NotAFile, 0);
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) return fail(TReadResult::CannotOpen, errno);
  auto readBlock = [&](size_t count) -> long { return long(std::fread(block, 1, count, file)); };
  auto failed = [&] { return std::ferror(file) != 0; };
  auto closeFile = [&] { std::fclose(file); };
#else
  // Opened without blocking and checked on the descriptor itself, so that a
  // FIFO put in the file's place after a name check cannot hang the reader.
  const int file = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (file < 0) return fail(TReadResult::CannotOpen, errno);
  auto closeFile = [&] { close(file); };
  struct stat info {};
  if (fstat(file, &info) != 0) {
    const int error = errno;
    closeFile();
    return fail(TReadResult::CannotOpen, error);
  }
  if (!S_ISREG(info.st_mode)) {
    closeFile();
    return fail(TReadResult::NotAFile, 0);
  }
  if (uint64_t(info.st_size) > maxSize) {
    closeFile();
    return fail(TReadResult::TooLarge, 0);
  }
  content.reserve(size_t(info.st_size));
  int readError = 0;
  auto readBlock = [&](size_t count) -> long {
    for (;;) {
      const ssize_t n = read(file, block, count);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) readError = errno;
      return n < 0 ? 0 : long(n);
    }
  };
  auto failed = [&] { return readError != 0; };
#endif
  for (;;) {
    // One byte more than is allowed tells a file that grew.
    const long n = readBlock(std::min(sizeof block - 1, maxSize - content.size()) + 1);
    if (n <= 0) break;
    content.append(block, size_t(n));
    if (content.size() > maxSize) {
      closeFile();
      return fail(TReadResult::TooLarge, 0);
    }
  }
  const bool readFailed = failed();
  closeFile();
#ifdef _WIN32
  if (readFailed) return fail(TReadResult::Failed, EIO);
#else
  if (readFailed) return fail(TReadResult::Failed, readError);
#endif
  return {TReadResult::Read, 0};
}

bool ReadSmallFile(const std::string& fileName, size_t maxSize, std::string& content) {
  return ReadBoundedFile(fileName, maxSize, content).Result == TReadResult::Read;
}

bool IsMissing(const TReadOutcome& outcome) {
  return outcome.Result == TReadResult::CannotOpen && (outcome.Error == ENOENT || outcome.Error == ENOTDIR);
}

std::string ReadFailureReason(const TReadOutcome& outcome) {
  switch (outcome.Result) {
    case TReadResult::Read: return {};
    case TReadResult::NotAFile: return "is not a file";
    case TReadResult::TooLarge: return "is too large";
    case TReadResult::CannotOpen:
      if (IsMissing(outcome)) return "is missing";
      break;
    case TReadResult::Failed: break;
  }
  return "cannot be read: " + std::system_category().message(outcome.Error);
}
