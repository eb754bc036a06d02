#pragma once
// The entries of any kind (files, folders) of a folder that match a mask
// ("*.kdb", "*", '?' for one character), one at a time, in the order the
// system lists them; "." and ".." are never among them. Names compare
// without regard to the case of ASCII letters, as masks do on Windows.
#include <cstdint>
#include <filesystem>
#include <string>

struct TKezFileEntry {
  std::string Name;  // without the folder
  uint64_t Size = 0;
  bool Directory = false;
  std::filesystem::file_time_type Time;
};

class TKezFileFinder {
public:
  // A blank folder is the current one.
  TKezFileFinder(const std::string& folder, std::string mask);
  // False once there is no further entry (or the folder cannot be listed).
  bool Next(TKezFileEntry& entry);

private:
  bool Matches(const std::string& name) const;

  std::string FMask;
  std::filesystem::directory_iterator FIterator;
  std::error_code FError;
};
