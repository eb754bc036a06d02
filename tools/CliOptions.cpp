#include "tools/CliOptions.h"

#include <algorithm>
#include <charconv>
#include <limits>

bool TCliArguments::Has(const std::string& flag) const {
  return std::find(Flags.begin(), Flags.end(), flag) != Flags.end();
}

std::string TCliArguments::Value(const std::string& name, const std::string& fallback) const {
  for (const auto& [key, value] : Values)
    if (key == name) return value;
  return fallback;
}

int TCliArguments::IntegerValue(const std::string& name, int fallback, int min, int max) const {
  const std::string text = Value(name);
  if (text.empty()) return fallback;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < min || value > max)
    throw std::invalid_argument("option " + name + " needs a whole number from " + std::to_string(min) + " to " +
                                std::to_string(max) + ", not \"" + text + "\"");
  return value;
}

TCliArguments ParseCliArguments(const std::vector<std::string>& args, const std::vector<std::string>& flagOptions,
                                const std::vector<std::string>& valueOptions) {
  TCliArguments result;
  auto listed = [](const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
  };
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;  // what follows is a word or a pattern, even if it begins with "-"
    } else if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      result.Positional.push_back(arg);
    } else if (listed(flagOptions, arg)) {
      result.Flags.push_back(arg);
    } else if (listed(valueOptions, arg)) {
      if (i + 1 >= args.size()) throw std::invalid_argument("option " + arg + " needs a value");
      result.Values.emplace_back(arg, args[++i]);
    } else {
      throw std::invalid_argument("unknown option " + arg);
    }
  }
  return result;
}
