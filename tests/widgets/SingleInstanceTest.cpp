// One running program per user: requests handed over inside the test
// process, and the real program started twice, and after a crash.
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "InstanceTestUtil.h"
#include "viewer/uCommandLine.h"
#include "viewer/uSingleInstance.h"

namespace {
using enum TInstanceRequestKind;

// The bytes the server answers until it closes the connection.
QByteArray AnswerTo(const QString& server, const QByteArray& bytes) {
  QLocalSocket socket;
  socket.connectToServer(server);
  if (!socket.waitForConnected(5000)) return "(no connection)";
  socket.write(bytes);
  QByteArray answer;
  while (socket.waitForReadyRead(10000)) answer += socket.readAll();
  return answer + socket.readAll();
}

struct TSpies {
  explicit TSpies(TSingleInstance& instance)
      : Words(&instance, &TSingleInstance::WordRequested),
        Selections(&instance, &TSingleInstance::SelectionRequested),
        Forwards(&instance, &TSingleInstance::ForwardRequested) {}
  qsizetype Count() const { return Words.count() + Selections.count() + Forwards.count(); }
  QSignalSpy Words, Selections, Forwards;
};
}  // namespace

TEST(SingleInstance, TheFirstStartListensAndALaterOneHandsItsRequestOver) {
  QTemporaryDir dir;
  TSingleInstance first(TestInstanceAddress(dir));
  ASSERT_EQ(first.Start({}), TSingleInstance::Listening);
  TSpies spies(first);
  const TInstanceRequest requests[] = {{LookUpWord, u"ἄνθρωπος"}, {LookUpSelection, {}}, {ComeForward, {}}};
  for (const TInstanceRequest& request : requests) {
    const auto start = Served([&] { return TSingleInstance(TestInstanceAddress(dir)).Start(request); });
    EXPECT_EQ(start, TSingleInstance::Delivered);
  }
  ASSERT_EQ(spies.Words.count(), 1);
  EXPECT_EQ(spies.Words.front().front().toString(), "ἄνθρωπος");
  EXPECT_EQ(spies.Selections.count(), 1);
  EXPECT_EQ(spies.Forwards.count(), 1);
  EXPECT_TRUE(first.IsListening());
}

TEST(SingleInstance, WhatIsNotARequestIsDroppedUnansweredAndTheServerGoesOn) {
  QTemporaryDir dir;
  const QString server = TestInstanceAddress(dir).Server;
  TSingleInstance instance(TestInstanceAddress(dir));
  ASSERT_EQ(instance.Start({}), TSingleInstance::Listening);
  TSpies spies(instance);
  const struct {
    const char* name;
    QByteArray bytes;
  } cases[] = {
      {"foreign", "GET / HTTP/1.1\r\n\r\n"},
      {"another version", "kodra-instance 2 forward 0\n"},
      {"not UTF-8", "kodra-instance 1 word 1\n\xFF"},
      {"bytes after the message", "kodra-instance 1 forward 0\nx"},
      {"a header that runs on", "kodra-instance 1 word " + QByteArray(200, '1')},
      {"more than a message holds", "kodra-instance 1 word 4096\n" + QByteArray(70000, 'a')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Served([&] { return AnswerTo(server, c.bytes); }), QByteArray()) << c.name;
    EXPECT_EQ(spies.Count(), 0) << c.name;
  }
  // A writer that stops halfway holds up nobody.
  QLocalSocket stalled;
  stalled.connectToServer(server);
  ASSERT_TRUE(stalled.waitForConnected(5000));
  stalled.write("kodra-instance 1 word 5\nam");
  stalled.flush();
  EXPECT_EQ(DeliverServed(server, {LookUpWord, u"amo"}), TInstanceDelivery::Accepted);
  ASSERT_EQ(spies.Words.count(), 1);
  EXPECT_EQ(spies.Words.front().front().toString(), "amo");
}

// Only when the lock's holder never listens does a start run on its own,
// after trying for a while; it does not hang, and it does not give up.
TEST(SingleInstance, ALockHolderThatNeverListensLeavesTheStartOnItsOwn) {
  QTemporaryDir dir;
  QLockFile held(TestInstanceAddress(dir).Lock);
  ASSERT_TRUE(held.tryLock(0));
  TSingleInstance start(TestInstanceAddress(dir));
  EXPECT_EQ(start.Start({}), TSingleInstance::Alone);
  EXPECT_FALSE(start.IsListening());
}

namespace {
// The real program, on the offscreen platform, with its own runtime folder
// and a socket name of its own.
class KodraProgramTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FRoot.isValid());
    for (const char* folder : {"run", "home", "settings", "later-home", "later-settings"})
      ASSERT_TRUE(QDir(FRoot.path()).mkdir(folder));
    // Qt takes a runtime folder only when it is its user's alone.
    QFile::setPermissions(Path("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const char* language : {"ancientgreek", "latin"})
      std::filesystem::copy(std::filesystem::path(KODRA_BIN_DIR) / language,
                            std::filesystem::path(Path("home").toStdString()) / language,
                            std::filesystem::copy_options::recursive);
  }
  void TearDown() override {
    for (auto& process : FProcesses) {
      process->kill();
      process->waitForFinished(10000);
    }
  }
  QString Path(const char* name) const { return FRoot.filePath(name); }
  QString Server() const { return Path("run") + "/kodra-test"; }
  static QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  }

  // Without a display: no platform named and none to reach.
  enum TDisplay { kOffscreen, kNoDisplay };
  QProcess& Start(const char* home, const char* settings, const QStringList& arguments,
                  TDisplay display = kOffscreen) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    if (display == kNoDisplay)
      for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) environment.remove(name);
    environment.insert("XDG_RUNTIME_DIR", Path("run"));
    environment.insert("KODRA_INSTANCE_NAME", "kodra-test");
    environment.insert("KODRA_HOME", Path(home));
    environment.insert("XDG_CONFIG_HOME", Path(settings));
    process->setProcessEnvironment(environment);
    process->start(KODRA_PROGRAM, arguments);
    process->waitForStarted(10000);
    FProcesses.push_back(std::move(process));
    return *FProcesses.back();
  }
  // Until the program takes requests; false when it ends first.
  bool WaitUntilListening(QProcess& process) {
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
      if (DeliverInstanceRequest(Server(), {}) == TInstanceDelivery::Accepted) return true;
      if (process.waitForFinished(20) || process.state() == QProcess::NotRunning) return false;
    }
    return false;
  }

  QTemporaryDir FRoot;
  std::vector<std::unique_ptr<QProcess>> FProcesses;
};
}  // namespace

// A later start, from any program folder, hands its request to the running
// program and ends at once: no options file, no settings, no second window.
TEST_F(KodraProgramTest, ALaterStartHandsItsRequestOverAndWritesNothing) {
  QProcess& first = Start("home", "settings", {});
  ASSERT_TRUE(WaitUntilListening(first));
  EXPECT_TRUE(QFileInfo::exists(Path("home") + "/kodra3.ini"));  // what a start that runs writes
  const QStringList arguments[] = {{"ἄνθρωπος"}, {"amo", "te"}, {"--lookup-selection"}, {}};
  for (const QStringList& words : arguments) {
    QProcess& later = Start("later-home", "later-settings", words);
    ASSERT_TRUE(later.waitForFinished(20000)) << words.join(' ').toStdString();
    EXPECT_EQ(later.exitStatus(), QProcess::NormalExit) << words.join(' ').toStdString();
    EXPECT_EQ(later.exitCode(), 0) << later.readAllStandardError().toStdString();
  }
  EXPECT_EQ(Entries(Path("later-home")), QStringList());
  EXPECT_EQ(Entries(Path("later-settings")), QStringList());
  EXPECT_EQ(DeliverInstanceRequest(Server(), {}), TInstanceDelivery::Accepted);  // the first goes on
}

// A socket and lock left by a killed program are taken over by the next
// start, which then runs and takes requests.
TEST_F(KodraProgramTest, AStartAfterACrashTakesTheSocketOver) {
  QProcess& crashed = Start("home", "settings", {});
  ASSERT_TRUE(WaitUntilListening(crashed));
  crashed.kill();
  ASSERT_TRUE(crashed.waitForFinished(10000));
  ASSERT_TRUE(QFileInfo::exists(Server()));
  ASSERT_TRUE(QFileInfo::exists(Server() + ".lock"));

  QProcess& next = Start("home", "settings", {"λόγος"});
  ASSERT_TRUE(WaitUntilListening(next));
  qint64 holder = 0;
  ASSERT_TRUE(QLockFile(Server() + ".lock").getLockInfo(&holder, nullptr, nullptr));
  EXPECT_EQ(holder, next.processId());
}

// Help, the version and mistakes are answered on the terminal; nothing
// starts, listens or is written.
TEST_F(KodraProgramTest, HelpVersionAndMistakesAreAnsweredAtOnce) {
  const struct {
    QStringList arguments;
    int exitCode;
    const char* output;
  } cases[] = {
      {{"--help"}, 0, "--lookup-selection"},
      {{"--version"}, 0, "kodra " KODRA_VERSION "\n"},
      {{"--lookup-selection", "amo"}, 2, "not both"},
      {{"--no-such-option"}, 2, "no-such-option"},
  };
  for (const auto& c : cases) {
    const std::string name = c.arguments.join(' ').toStdString();
    QProcess& run = Start("later-home", "later-settings", c.arguments);
    ASSERT_TRUE(run.waitForFinished(20000)) << name;
    EXPECT_EQ(run.exitCode(), c.exitCode) << name;
    const QString output = run.readAllStandardOutput() + run.readAllStandardError();
    EXPECT_TRUE(output.contains(c.output)) << name << ": " << output.toStdString();
  }
  EXPECT_EQ(Entries(Path("later-home")), QStringList());
  EXPECT_EQ(Entries(Path("run")), QStringList());
}

// Help, the version and a mistake need no display: a terminal without one
// (a server, a console login) gets them, and the program ends normally.
TEST_F(KodraProgramTest, HelpAndTheVersionNeedNoDisplay) {
  const struct {
    QStringList arguments;
    int exitCode;
    const char* output;
  } cases[] = {
      {{"--help"}, 0, "--lookup-selection"},
      {{"-h"}, 0, "Usage: "},
      {{"--version"}, 0, "kodra " KODRA_VERSION "\n"},
      {{"-v"}, 0, "kodra " KODRA_VERSION "\n"},
      {{"--no-such-option"}, 2, "no-such-option"},
  };
  for (const auto& c : cases) {
    const std::string name = c.arguments.join(' ').toStdString();
    QProcess& run = Start("later-home", "later-settings", c.arguments, kNoDisplay);
    ASSERT_TRUE(run.waitForFinished(20000)) << name;
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit) << name;
    EXPECT_EQ(run.exitCode(), c.exitCode) << name;
    const QString output = run.readAllStandardOutput() + run.readAllStandardError();
    EXPECT_TRUE(output.contains(c.output)) << name << ": " << output.toStdString();
    EXPECT_FALSE(output.contains("<executable_name>")) << name << ": " << output.toStdString();
  }
  EXPECT_EQ(Entries(Path("later-home")), QStringList());
}

// Before the application exists only help, the version and a mistake are
// decided; a line with the toolkit's own options is read again once the
// application has taken them.
TEST(CommandLine, BeforeTheApplicationOnlyTheTerminalsAnswersAreDecided) {
  const struct {
    QStringList arguments;
    TCommandLine::TAction action;
  } cases[] = {
      {{"kodra", "--help"}, TCommandLine::ShowHelp},
      {{"kodra", "--version"}, TCommandLine::ShowVersion},
      {{"kodra", "--bogus"}, TCommandLine::Fail},
      {{"kodra", "λόγος"}, TCommandLine::Run},
      {{"kodra", "-platform", "offscreen", "--help"}, TCommandLine::Run},
      {{"kodra", "--style=fusion", "--bogus"}, TCommandLine::Run},
      {{"kodra", "-display", ":1", "amo"}, TCommandLine::Run},
  };
  for (const auto& c : cases) {
    const std::string name = c.arguments.join(' ').toStdString();
    const TCommandLine command = ParseCommandLineBeforeApplication(c.arguments);
    EXPECT_EQ(command.Action, c.action) << name;
    if (command.Action == TCommandLine::Run) {
      EXPECT_EQ(command.Request, TInstanceRequest{}) << name;
    }
  }
}
