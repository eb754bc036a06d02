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
  if (parser.isSet(help)) {
    // Before the application exists the toolkit does not know the program's
    // name and writes a placeholder in its stead.
    QString text = parser.helpText();
    if (!QCoreApplication::instance()) text.replace("<executable_name>", arguments.value(0));
    return {TCommandLine::ShowHelp, text, {}};
  }
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

namespace {
// The options the toolkit's application object reads and takes away.
bool IsToolkitOption(const QString& argument) {
  static const QStringList names = {
      "platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger", "qwindowgeometry",
      "qwindowicon", "qwindowtitle", "reverse", "session", "display", "geometry", "name", "title", "visual",
      "ncols", "cmap", "nograb", "dograb", "sync", "style", "stylesheet", "widgetcount", "testability"};
  if (!argument.startsWith('-')) return false;
  QString name = argument.mid(argument.startsWith("--") ? 2 : 1);
  name = name.left(name.indexOf('='));
  return names.contains(name);
}
}  // namespace

TCommandLine ParseCommandLineBeforeApplication(const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--") break;  // words from here on
    if (IsToolkitOption(arguments[i])) return {TCommandLine::Run, {}, {}};
  }
  TCommandLine command = ParseCommandLine(arguments);
  if (command.Action == TCommandLine::Run) command.Request = {};  // read again with the application
  return command;
}
