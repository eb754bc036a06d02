#include "viewer/uCommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

TCommandLine ParseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription("A dictionary of Ancient Greek and Latin.");
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  const QCommandLineOption selection("lookup-selection",
                                     "Look up the text selected in another program, as the hot key does.");
  parser.addOption(selection);
  const QCommandLineOption edit("edit",
                                "Open FILE in the dictionary editor (a new dictionary of that name when there is "
                                "no such file).",
                                "FILE");
  parser.addOption(edit);
  parser.addPositionalArgument("words", "The words to look up.", "[WORD...]");

  if (!parser.parse(arguments)) return {TCommandLine::Fail, parser.errorText() + '\n', {}};
  if (parser.isSet(help)) return {TCommandLine::ShowHelp, parser.helpText(), {}};
  if (parser.isSet(version))
    return {TCommandLine::ShowVersion,
            QCoreApplication::applicationName() + ' ' + QCoreApplication::applicationVersion() + '\n', {}};
  const QStringList words = parser.positionalArguments();
  if (parser.isSet(edit)) {
    if (!words.isEmpty() || parser.isSet(selection))
      return {TCommandLine::Fail, "Give a file to edit, words to look up or --lookup-selection, one of them.\n", {}};
    const QString path = QDir::toNativeSeparators(QFileInfo(parser.value(edit)).absoluteFilePath());
    return {TCommandLine::Run, {}, {TInstanceRequestKind::EditFile, path.toStdU16String()}};
  }
  if (parser.isSet(selection)) {
    if (!words.isEmpty()) return {TCommandLine::Fail, "Give words to look up or --lookup-selection, not both.\n", {}};
    return {TCommandLine::Run, {}, {TInstanceRequestKind::LookUpSelection, {}}};
  }
  if (words.isEmpty()) return {TCommandLine::Run, {}, {TInstanceRequestKind::ComeForward, {}}};
  return {TCommandLine::Run, {}, {TInstanceRequestKind::LookUpWord, words.join(' ').toStdU16String()}};
}
