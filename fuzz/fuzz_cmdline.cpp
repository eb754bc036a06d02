// Bytes in, split at NUL bytes into the arguments of one kodra-cli command
// (the first byte picks whose options): either a clear std::invalid_argument,
// or every argument is accounted for exactly once and can be asked for.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/CliOptions.h"

namespace {
struct TCommandOptions {
  std::vector<std::string> Flags, Values;
};
const TCommandOptions kCommands[] = {
    {{"--json"}, {}},                                   // info, dump, verify
    {{"--json"}, {"-o", "--output"}},                   // compile
    {{"--json", "--rtf"}, {"--home", "--lang"}},        // lookup
    {{"--json", "--all"}, {"--home", "--lang", "--from"}},  // search
    {{}, {"--home", "--lang", "--runs"}},               // bench
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const TCommandOptions& command = kCommands[data[0] % std::size(kCommands)];
  std::vector<std::string> args;
  std::string current;
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == 0) {
      args.push_back(std::move(current));
      current.clear();
    } else {
      current += char(data[i]);
    }
  }
  if (size > 1) args.push_back(std::move(current));

  TCliArguments parsed;
  try {
    parsed = ParseCliArguments(args, command.Flags, command.Values);
  } catch (const std::invalid_argument&) {
    return 0;
  }
  // Only the "--" that ends the options is not kept.
  const size_t kept = parsed.Positional.size() + parsed.Flags.size() + 2 * parsed.Values.size();
  if (kept > args.size() || args.size() - kept > 1) __builtin_trap();
  if (args.size() - kept == 1 && std::find(args.begin(), args.end(), "--") == args.end()) __builtin_trap();
  for (const std::string& flag : parsed.Flags)
    if (!parsed.Has(flag) || std::find(command.Flags.begin(), command.Flags.end(), flag) == command.Flags.end())
      __builtin_trap();
  for (const auto& pair : parsed.Values) {
    const auto first = std::find_if(parsed.Values.begin(), parsed.Values.end(),
                                    [&](const auto& other) { return other.first == pair.first; });
    if (parsed.Value(pair.first) != first->second) __builtin_trap();
  }
  return 0;
}
