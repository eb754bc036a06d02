#pragma once
// The window program's command line: "kodra [--lookup-selection | --edit FILE] [WORD...]",
// with --help and --version. What to look up is said as the request a later
// start hands to the running program, so that the first start and a later
// one read it alike.
#include <QString>
#include <QStringList>
#include <cstdint>

#include "viewer/instance/uInstanceMessage.h"

struct TCommandLine {
  enum TAction : uint8_t { Run, ShowHelp, ShowVersion, Fail };
  TAction Action = Run;
  // The help, the version line or the error, each ending with a line break.
  QString Text;
  // For Run: the words joined by spaces, the selection, the file to edit
  // (made absolute), or none of them.
  TInstanceRequest Request;
};

// The arguments as QCoreApplication::arguments() gives them, the program's
// name first.
TCommandLine ParseCommandLine(const QStringList& arguments);

// The arguments as main() receives them, before the application object
// exists: making it opens the display, which help, the version and a mistake
// need none of. Those are answered from here; Run means the line is read
// again by ParseCommandLine once the application has taken its own options
// out of it. A line that holds one of the toolkit's options (-platform,
// -display, -style...) is always left to that second reading.
TCommandLine ParseCommandLineBeforeApplication(const QStringList& arguments);
