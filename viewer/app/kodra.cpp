// kodra: the dictionary window. One runs per user: a later start hands its
// words (or the selection) to the running one and ends.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <cstdio>

#include "foundation/KezProgramFolder.h"
#include "options/uOptions.h"
#include "viewer/uCommandLine.h"
#include "viewer/uData.h"
#include "viewer/uFontCoverage.h"
#include "viewer/uFormKodra3.h"
#include "viewer/uSingleInstance.h"
#include "viewer/uTerminationSignals.h"
#include "viewer/uWindowRequests.h"

namespace {
// The desktop entry's id: desktops and portals match the running program to it.
constexpr const char* kDesktopId = "org.prask.Kodra";

// Where the built-in face is missing, one that shows polytonic Greek; the
// first-run settings are saved with it, so that the choice is made once.
void ChooseFirstRunFonts(TOptions& options) { options.SetDefFontName(FirstRunFontFace(options.DefFontName())); }

// Help, the version or a mistake, said on the terminal; -1 for a line that runs the program.
int Answer(const TCommandLine& command) {
  switch (command.Action) {
    case TCommandLine::ShowHelp:
    case TCommandLine::ShowVersion:
      std::fputs(command.Text.toLocal8Bit().constData(), stdout);
      return 0;
    case TCommandLine::Fail:
      std::fputs(("kodra: " + command.Text).toLocal8Bit().constData(), stderr);
      return 2;
    case TCommandLine::Run:
      break;
  }
  return -1;
}
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName("kodra");
  QCoreApplication::setApplicationVersion(KODRA_VERSION);
  // Answered before the application opens the display: a terminal without
  // one gets its help all the same.
  {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (const int code = Answer(ParseCommandLineBeforeApplication(arguments)); code >= 0) return code;
  }
  QApplication application(argc, argv);
  application.setDesktopFileName(kDesktopId);
  application.setWindowIcon(QIcon(":/icons/kodra.svg"));
  const TCommandLine command = ParseCommandLine(QCoreApplication::arguments());
  if (const int code = Answer(command); code >= 0) return code;
  // Before anything is read or written: a later start only hands over.
  TSingleInstance instance(UserInstanceAddress());
  const TSingleInstance::TStart start = instance.Start(command.Request);
  if (start == TSingleInstance::Delivered) return 0;
  if (start == TSingleInstance::Alone)
    std::fputs("kodra: cannot reach the running kodra nor take its place; this one runs on its own\n", stderr);

  // A portable copy keeps its settings in its folder, an installed one in the
  // user's configuration folder, made on the first start.
  QDir().mkpath(QString::fromStdString(UserConfigFolder()));
  LoadOptions(UserConfigFolder(), ChooseFirstRunFonts);
  // The window reads the interface language; the toolkit's own texts
  // (message-box buttons, file dialogs) follow it.
  TFormKodra3 window;
  GlobalData().Progress();  // made hidden, ready for long pastes
  SetStartRequest(window, command.Request);
  ConnectRequests(instance, window);
  // A request that came while the program ends would be lost.
  QObject::connect(&application, &QCoreApplication::aboutToQuit, &instance, &TSingleInstance::StopListening);
  CloseOnTerminationSignals(&window);
  window.show();
  return application.exec();
}
