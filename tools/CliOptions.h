#pragma once
// The flags and positional arguments of one command.
#include <stdexcept>
#include <string>
#include <vector>

struct TCliArguments {
  std::vector<std::string> Positional;
  std::vector<std::string> Flags;          // "--json", "--all", ...
  std::vector<std::pair<std::string, std::string>> Values;  // "--home DIR", ...

  bool Has(const std::string& flag) const;
  std::string Value(const std::string& name, const std::string& fallback = {}) const;
  // A whole number from min to max; anything else raises std::invalid_argument
  // naming the option.
  int IntegerValue(const std::string& name, int fallback, int min, int max) const;
};

// valueOptions names the options that take a value; any other "--x" is a flag.
// "--" ends the options: every later argument is positional.
// An unknown option raises std::invalid_argument.
TCliArguments ParseCliArguments(const std::vector<std::string>& args,
                                const std::vector<std::string>& flagOptions,
                                const std::vector<std::string>& valueOptions);
