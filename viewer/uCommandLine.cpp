#include "viewer/uCommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

TCommandLine ParseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription("A dictionary of Ancient Greek and Latin.");
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  const QCommandLineOption selection("lookup-selection",
                                     "Look up the text selected in another program, as the hot key does.");
  parser.addOption(selection);
  parser.addPositionalArgument("words", "The words to look up.", "[WORD...]");

  if (!parser.parse(arguments)) return {TCommandLine::Fail, parser.errorText() + '\n', {}};
  if (parser.isSet(help)) return {TCommandLine::ShowHelp, parser.helpText(), {}};
  if (parser.isSet(version))
    return {TCommandLine::ShowVersion,
            QCoreApplication::applicationName() + ' ' + QCoreApplication::applicationVersion() + '\n', {}};
  const QStringList words = parser.positionalArguments();
  if (parser.isSet(selection)) {
    if (!words.isEmpty()) return {TCommandLine::Fail, "Give words to look up or --lookup-selection, not both.\n", {}};
    return {TCommandLine::Run, {}, {TInstanceRequestKind::LookUpSelection, {}}};
  }
  if (words.isEmpty()) return {TCommandLine::Run, {}, {TInstanceRequestKind::ComeForward, {}}};
  return {TCommandLine::Run, {}, {TInstanceRequestKind::LookUpWord, words.join(' ').toStdU16String()}};
}
