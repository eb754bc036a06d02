#include "viewer/instance/uInstanceMessage.h"

#include <algorithm>

#include "foundation/KezText.h"

namespace {
constexpr std::string_view kMagic = "kodra-instance 1 ";
// "kodra-instance 1 selection 4096" is far shorter.
constexpr size_t kHeaderMaxBytes = 64;
constexpr size_t kLengthMaxDigits = 5;

struct TKindName {
  TInstanceRequestKind Kind;
  std::string_view Name;
};
constexpr TKindName kKindNames[] = {
    {TInstanceRequestKind::ComeForward, "forward"},
    {TInstanceRequestKind::LookUpWord, "word"},
    {TInstanceRequestKind::LookUpSelection, "selection"},
    {TInstanceRequestKind::EditFile, "edit"},
};

// The kinds that carry a text after the header line.
bool HasText(TInstanceRequestKind kind) {
  return kind == TInstanceRequestKind::LookUpWord || kind == TInstanceRequestKind::EditFile;
}

std::optional<TInstanceRequestKind> KindOfName(std::string_view name) {
  for (const TKindName& kind : kKindNames)
    if (kind.Name == name) return kind.Kind;
  return std::nullopt;
}

std::string_view NameOfKind(TInstanceRequestKind kind) {
  for (const TKindName& known : kKindNames)
    if (known.Kind == kind) return known.Name;
  return kKindNames[0].Name;
}

// Decimal digits without a sign or a leading zero: one spelling per length,
// so that a message has one form only.
std::optional<size_t> ParseLength(std::string_view digits) {
  if (digits.empty() || digits.size() > kLengthMaxDigits || (digits.size() > 1 && digits[0] == '0'))
    return std::nullopt;
  size_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + size_t(c - '0');
  }
  return value;
}

struct TParsed {
  TInstanceMessageState State;
  TInstanceRequest Request;
};

TParsed Parse(std::string_view received) {
  const TParsed incomplete{TInstanceMessageState::Incomplete, {}};
  const TParsed invalid{TInstanceMessageState::Invalid, {}};
  if (received.size() > kInstanceMessageMaxBytes) return invalid;
  // A foreign writer is told from its first bytes.
  const size_t compared = std::min(received.size(), kMagic.size());
  if (received.substr(0, compared) != kMagic.substr(0, compared)) return invalid;
  const size_t lineEnd = received.find('\n');
  if (lineEnd == std::string_view::npos) return received.size() < kHeaderMaxBytes ? incomplete : invalid;
  if (lineEnd >= kHeaderMaxBytes) return invalid;

  const std::string_view fields = received.substr(kMagic.size(), lineEnd - kMagic.size());
  const size_t space = fields.find(' ');
  if (space == std::string_view::npos) return invalid;
  const std::optional<TInstanceRequestKind> kind = KindOfName(fields.substr(0, space));
  const std::optional<size_t> length = ParseLength(fields.substr(space + 1));
  if (!kind || !length) return invalid;
  if (*length > (HasText(*kind) ? kInstanceWordMaxBytes : 0)) return invalid;

  const std::string_view payload = received.substr(lineEnd + 1);
  if (payload.size() < *length) return incomplete;
  if (payload.size() > *length || !IsValidUtf8(payload)) return invalid;
  return {TInstanceMessageState::Complete, {*kind, FromUtf8(payload)}};
}
}  // namespace

std::string EncodeInstanceRequest(const TInstanceRequest& request) {
  std::string payload;
  if (HasText(request.Kind)) {
    payload = ToUtf8(request.Word);
    if (payload.size() > kInstanceWordMaxBytes) {
      size_t cut = kInstanceWordMaxBytes;
      while (cut > 0 && (static_cast<unsigned char>(payload[cut]) & 0xC0) == 0x80) --cut;
      payload.resize(cut);
    }
  }
  std::string message(kMagic);
  message += NameOfKind(request.Kind);
  message += ' ';
  message += std::to_string(payload.size());
  message += '\n';
  return message + payload;
}

TInstanceMessageState InstanceMessageState(std::string_view received) { return Parse(received).State; }

std::optional<TInstanceRequest> DecodeInstanceRequest(std::string_view message) {
  TParsed parsed = Parse(message);
  if (parsed.State != TInstanceMessageState::Complete) return std::nullopt;
  return std::move(parsed.Request);
}
