#pragma once
// Runs kodra-cli as a user runs it (ctest names it in KODRA_CLI).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

struct TRun {
  int Status;
  std::string Output;  // standard output and standard error
};

inline TRun RunCli(const std::string& arguments) {
  const char* cli = std::getenv("KODRA_CLI");
  if (!cli) return {-1, "KODRA_CLI is not set"};
  const std::string command = std::string(cli) + " " + arguments + " 2>&1";
  TRun run{0, {}};
  FILE* pipe = popen(command.c_str(), "r");
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) run.Output.append(chunk, n);
  const int status = pclose(pipe);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

#define SKIP_WITHOUT_CLI() \
  if (!std::getenv("KODRA_CLI")) GTEST_SKIP() << "run through ctest, which names kodra-cli"
