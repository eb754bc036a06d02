// Bytes in, read as what a later start of the program sent: a reader that
// takes them one by one agrees with the decoder, a decoded message is the
// one form the encoder writes for its request, and nothing is taken after a
// whole or broken message. The same bytes, read as UTF-16 units, make a word
// whose message always decodes.
#include <cstdint>
#include <string>
#include <string_view>

#include "viewer/instance/uInstanceMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const TInstanceMessageState state = InstanceMessageState(bytes);
  const auto decoded = DecodeInstanceRequest(bytes);
  if ((state == TInstanceMessageState::Complete) != decoded.has_value()) __builtin_trap();
  if (decoded && EncodeInstanceRequest(*decoded) != bytes) __builtin_trap();
  if (state != TInstanceMessageState::Incomplete &&
      InstanceMessageState(std::string(bytes) + '\n') != TInstanceMessageState::Invalid)
    __builtin_trap();
  if (size > 0 && state != TInstanceMessageState::Invalid &&
      InstanceMessageState(bytes.substr(0, size - 1)) != TInstanceMessageState::Incomplete)
    __builtin_trap();

  std::u16string word;
  for (size_t i = 0; i + 1 < size; i += 2) word += char16_t(data[i] | (data[i + 1] << 8));
  const std::string message = EncodeInstanceRequest({TInstanceRequestKind::LookUpWord, word});
  const auto again = DecodeInstanceRequest(message);
  if (!again || again->Kind != TInstanceRequestKind::LookUpWord || EncodeInstanceRequest(*again) != message)
    __builtin_trap();
  return 0;
}
