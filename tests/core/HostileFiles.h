#pragma once
// What can stand in a file's place instead of a readable file, made at a
// path: for the readers' tests that nothing hangs, crashes or is written.
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

struct THostileFile {
  const char* Kind;
  bool Unreadable;  // a plain file that cannot be read (the superuser reads it all the same)
  void (*Make)(const std::string& path);
};

inline const THostileFile kHostileFiles[] = {
    {"a FIFO", false, [](const std::string& path) { mkfifo(path.c_str(), 0600); }},
    {"a folder", false, [](const std::string& path) { std::filesystem::create_directory(path); }},
    {"a link to a device", false, [](const std::string& path) { std::filesystem::create_symlink("/dev/zero", path); }},
    {"a file of mode 000", true,
     [](const std::string& path) {
       std::ofstream(path) << "main\r\nforms\r\n";
       std::filesystem::permissions(path, std::filesystem::perms::none);
     }},
};

// Whether the kind can be tried by this process.
inline bool HostileFileApplies(const THostileFile& file) { return !file.Unreadable || geteuid() != 0; }
