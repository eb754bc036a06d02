// kodra: the dictionary window.
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include "foundation/KezProgramFolder.h"
#include "options/uOptions.h"
#include "viewer/uData.h"
#include "viewer/uFormKodra3.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  application.setApplicationName("kodra");
  if (qEnvironmentVariableIsEmpty("KODRA_HOME"))
    SetProgramFolder(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString());
  LoadOptions(ProgramFolder());
  // The toolkit's own texts (message-box buttons, file dialogs) follow the
  // interface language where the toolkit's translations are installed.
  QTranslator toolkit;
  if (QString::fromStdString(Options().LocaleName()).compare("Russian", Qt::CaseInsensitive) == 0 &&
      toolkit.load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    application.installTranslator(&toolkit);
  TFormKodra3 window;
  GlobalData().Progress();  // made hidden, ready for long pastes
  // "kodra WORD" looks the word up as soon as the dictionaries are loaded.
  const QStringList words = QCoreApplication::arguments().mid(1);
  if (!words.isEmpty()) window.SetPendingWord(words.join(' ').toStdU16String());
  window.show();
  return application.exec();
}
