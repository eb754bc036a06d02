// kodra: the dictionary window.
#include <QApplication>
#include <QDir>

#include "foundation/KezProgramFolder.h"
#include "options/uOptions.h"
#include "viewer/uFormKodra3.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  application.setApplicationName("kodra");
  if (qEnvironmentVariableIsEmpty("KODRA_HOME"))
    SetProgramFolder(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString());
  LoadOptions(ProgramFolder());
  TFormKodra3 window;
  // "kodra WORD" looks the word up as soon as the dictionaries are loaded.
  const QStringList words = QCoreApplication::arguments().mid(1);
  if (!words.isEmpty()) window.SetPendingWord(words.join(' ').toStdU16String());
  window.show();
  return application.exec();
}
