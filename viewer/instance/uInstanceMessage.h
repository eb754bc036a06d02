#pragma once
// What a later start of the program hands to the running one, and its bytes
// on the local socket: one header line
//   "kodra-instance 1 <kind> <length>\n"
// and <length> bytes after it. The kinds are "forward" and "selection",
// with nothing after the line, "word", with the word in UTF-8, and "edit",
// with the path of the file to edit in UTF-8. The
// running program answers one whole valid message with
// kInstanceAcknowledgement and drops anything else unanswered. The number
// after "kodra-instance" is the format's version: another one is refused,
// and the later start then runs on its own.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class TInstanceRequestKind : uint8_t {
  ComeForward,      // a plain second start: the window comes forward
  LookUpWord,       // "kodra WORD..."
  LookUpSelection,  // "kodra --lookup-selection"
  EditFile,         // "kodra --edit FILE.kds", the file's absolute path
};

struct TInstanceRequest {
  TInstanceRequestKind Kind = TInstanceRequestKind::ComeForward;
  std::u16string Word;  // the word of LookUpWord, the path of EditFile

  bool operator==(const TInstanceRequest&) const = default;
};

// A word longer than this is cut on the way (at a character's start).
constexpr size_t kInstanceWordMaxBytes = 4096;
// No reader keeps more than this of one connection.
constexpr size_t kInstanceMessageMaxBytes = 64 * 1024;
constexpr std::string_view kInstanceAcknowledgement = "ok\n";

// The message of a request: a word's UTF-8 is cut to kInstanceWordMaxBytes
// without splitting a character, a lone surrogate goes as U+FFFD.
std::string EncodeInstanceRequest(const TInstanceRequest& request);

enum class TInstanceMessageState : uint8_t { Incomplete, Complete, Invalid };
// Where the bytes read so far from one connection stand: Complete when they
// are exactly one valid message; Invalid once no further bytes can make them
// one (a foreign header, a header line that runs on, a length past its
// limit, more bytes than the length, a word that is not UTF-8); else
// Incomplete.
TInstanceMessageState InstanceMessageState(std::string_view received);

// The request of exactly one whole valid message; nothing otherwise.
std::optional<TInstanceRequest> DecodeInstanceRequest(std::string_view message);
