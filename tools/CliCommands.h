#pragma once
#include <string>
#include <vector>

// Each command takes its own arguments (after the command name) and returns
// the process exit status.
int RunInfo(const std::vector<std::string>& args);
int RunDump(const std::vector<std::string>& args);
int RunVerify(const std::vector<std::string>& args);
int RunCompile(const std::vector<std::string>& args);
int RunLookup(const std::vector<std::string>& args);
int RunSearch(const std::vector<std::string>& args);
int RunBench(const std::vector<std::string>& args);
int RunImport(const std::vector<std::string>& args);
