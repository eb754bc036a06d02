// kodra-cli: the dictionary engine from the command line.
#include <cstring>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/KezSafeFile.h"
#include "language/uCommon.h"
#include "tools/CliCommands.h"

namespace {
struct TCommand {
  const char* Name;
  int (*Run)(const std::vector<std::string>&);
  const char* Usage;
};

const TCommand kCommands[] = {
    {"info", RunInfo, "info [--json] FILE.kdb        header and counts of a compiled dictionary"},
    {"dump", RunDump, "dump [--json] FILE.kdb        abbreviations and every article"},
    {"verify", RunVerify, "verify [--json] FILE.kds      check a source dictionary, pointing at the first error"},
    {"compile", RunCompile, "compile [--json] FILE.kds [-o FILE.kdb]   verify, then compile"},
    {"import", RunImport,
     "import --from dsl|xdxf|tei --language ancientgreek|latin [--kind main|form|user|other] [--caption TEXT]\n"
     "         [-o FILE.kds] FILE   a dictionary in an outside format as a source dictionary"},
    {"lookup", RunLookup, "lookup [--home DIR] [--lang ID] [--json|--rtf] WORD... | -   the nearest keyword's articles"},
    {"search", RunSearch, "search [--home DIR] [--lang ID] [--all] [--from N] [--json] PATTERN... | -   full-text search"},
    {"bench", RunBench, "bench [--home DIR] [--lang ID] [--runs N]   timings on the installed dictionaries"},
};

int Usage() {
  std::cerr << "usage: kodra-cli COMMAND [OPTIONS] [--] ARGS   (\"--\" ends the options)\n";
  for (const TCommand& command : kCommands) std::cerr << "  " << command.Usage << '\n';
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  RemoveTemporariesOnSignals();  // an interrupted compile leaves no temporary file
  const std::vector<std::string> args(argv + 2, argv + argc);
  for (const TCommand& command : kCommands) {
    if (std::strcmp(argv[1], command.Name) != 0) continue;
    try {
      return command.Run(args);
    } catch (const std::invalid_argument& e) {  // a mistyped command line
      std::cerr << "kodra-cli: " << e.what() << '\n';
      return 2;
    } catch (const THelpedException& e) {
      std::cerr << "kodra-cli: " << e.Message << '\n';  // the message's id is for --json
    } catch (const std::exception& e) {
      std::cerr << "kodra-cli: " << e.what() << '\n';
    }
    return 1;
  }
  std::cerr << "kodra-cli: unknown command \"" << argv[1] << "\"\n";
  return Usage();
}
