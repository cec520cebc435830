// The console and the virtual wall as separate programs, the way an operator
// runs them: the console drives the wall over a pseudo-terminal, the test
// drives the console through its automation socket and reads the wall's
// report lines.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <optional>

#include "support/event_wait.h"

// Readable failures: gtest prints a QString as text, not as its code units.
static void PrintTo(const QString& text, std::ostream* os) { *os << text.toStdString(); }

namespace {

using namespace Qt::StringLiterals;

// The programs live in bin/ beside the tests' directory; QUVIAL_BIN_DIR
// points elsewhere.
QString Program(const QString& name) {
  const QString dir = qEnvironmentVariableIsSet("QUVIAL_BIN_DIR")
                          ? qEnvironmentVariable("QUVIAL_BIN_DIR")
                          : QCoreApplication::applicationDirPath() + u"/../bin"_s;
  return QDir(dir).absoluteFilePath(name);
}

// Reads a process's standard output line by line.
class TLineReader {
 public:
  explicit TLineReader(QProcess& process) : process_(process) {}
  // The next line, or an empty optional after timeoutMs.
  std::optional<QString> Next(int timeoutMs = 10000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!process_.canReadLine()) {
      if (deadline.hasExpired() || process_.state() == QProcess::NotRunning) return std::nullopt;
      process_.waitForReadyRead(50);
    }
    return QString::fromUtf8(process_.readLine()).trimmed();
  }

 private:
  QProcess& process_;
};

class TypicalRequestTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home.isValid());
    ASSERT_TRUE(QFileInfo::exists(Program(u"quvial-wallsim"_s))) << "build quvial-wallsim first";
    ASSERT_TRUE(QFileInfo::exists(Program(u"quvial"_s))) << "build quvial first";

    wall.setProgram(Program(u"quvial-wallsim"_s));
    wall.setArguments(
        {u"--headless"_s, u"--home"_s, home.path(), u"--rows"_s, u"4"_s, u"--cols"_s, u"4"_s});
    wall.setProcessChannelMode(QProcess::SeparateChannels);
    wall.start();
    ASSERT_TRUE(wall.waitForStarted(10000));
    const auto ready = wallLines.Next();
    ASSERT_TRUE(ready.has_value()) << wall.readAllStandardError().toStdString();
    ASSERT_TRUE(ready->startsWith(u"ready COM1 /dev/"_s)) << ready->toStdString();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QUVIAL_HOME"_s, home.path());
    env.insert(u"QUVIAL_AUTOMATION"_s, home.filePath(u"automation"_s));
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    console.setProcessEnvironment(env);
    console.setProgram(Program(u"quvial"_s));
    console.start();
    ASSERT_TRUE(console.waitForStarted(10000));
    ASSERT_TRUE(ProcessEventsUntil(
        [&] {
          socket.connectToServer(home.filePath(u"automation"_s));
          return socket.waitForConnected(100);
        },
        20000))
        << "the console's automation socket never opened";
  }

  void TearDown() override {
    socket.disconnectFromServer();
    console.terminate();
    if (!console.waitForFinished(5000)) console.kill();
    wall.write("quit\n");
    if (!wall.waitForFinished(5000)) wall.kill();
    // Under the sanitizers a fault in either program shows on its error output.
    for (QProcess* p : {&console, &wall}) {
      const QString errors = QString::fromUtf8(p->readAllStandardError());
      EXPECT_FALSE(errors.contains(u"Sanitizer"_s) || errors.contains(u"runtime error"_s))
          << errors.toStdString();
    }
  }

  // Sends one command to the console and returns its answer.
  QString Ask(const QString& command, int timeoutMs = 15000) {
    socket.write(command.toUtf8() + '\n');
    socket.flush();
    QDeadlineTimer deadline(timeoutMs);
    while (!socket.canReadLine()) {
      if (deadline.hasExpired()) return u"(no answer)"_s;
      socket.waitForReadyRead(50);
    }
    return QString::fromUtf8(socket.readLine()).trimmed();
  }

  // The wall's state dump, one line per screen and unit.
  QStringList WallState() {
    wall.write("state\n");
    QStringList lines;
    while (auto line = wallLines.Next()) {
      if (*line == u"end") return lines;
      if (!line->startsWith(u"state"_s)) lines << *line;
    }
    return lines;
  }

  QTemporaryDir home;
  QProcess wall;
  QProcess console;
  TLineReader wallLines{wall};
  QLocalSocket socket;
};

TEST_F(TypicalRequestTest, VgaOnTwoByTwoReachesTheWallAsOneFrame) {
  ASSERT_TRUE(Ask(u"choose 0"_s).startsWith(u"ok"_s));
  ASSERT_EQ(Ask(u"select 0 0 1 1"_s), u"ok"_s);
  ASSERT_EQ(Ask(u"click VGA"_s), u"ok"_s);
  ASSERT_EQ(Ask(u"idle"_s), u"ok"_s);

  // Exactly one frame, and nothing bad or unknown before it.
  const auto line = wallLines.Next();
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(*line, u"frame c8 09 01 01 02 02 20 02 f9 select-source VGA rows 1-2 cols 1-2"_s);

  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c)
      EXPECT_EQ(Ask(u"cell %1 %2"_s.arg(r).arg(c)), u"ok %1-%2 VGA"_s.arg(r + 1).arg(c + 1));
  EXPECT_EQ(Ask(u"cell 2 2"_s), u"ok 3-3"_s);

  const QStringList state = WallState();
  ASSERT_EQ(state.size(), 16);
  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 2; ++c)
      EXPECT_TRUE(
          state.contains(u"screen %1-%2 power on source VGA picture 1-1..2-2"_s.arg(r).arg(c)));
  EXPECT_TRUE(state.contains(u"screen 3-3 power on source none picture 3-3..3-3"_s));
  // The state request came after the frame: no other line slipped in.
  EXPECT_FALSE(wall.canReadLine());
}

TEST_F(TypicalRequestTest, BadCommandsAreAnsweredAndSendNothing) {
  EXPECT_TRUE(Ask(u"select 0 0 1 1"_s).startsWith(u"error no main window"_s));
  EXPECT_TRUE(Ask(u"choose 99"_s).startsWith(u"error no device type"_s));
  EXPECT_TRUE(Ask(u"choose 0 COM9"_s).startsWith(u"error no port list"_s))
      << "the wall wrote Quvial.ini, so the ports come from it";
  ASSERT_TRUE(Ask(u"choose 0"_s).startsWith(u"ok"_s));
  EXPECT_TRUE(Ask(u"select 3 3 4 4"_s).startsWith(u"error not a rectangle"_s));
  EXPECT_TRUE(Ask(u"select 1 1 0 0"_s).startsWith(u"error not a rectangle"_s));
  EXPECT_TRUE(Ask(u"select a b c d"_s).startsWith(u"error usage"_s));
  EXPECT_TRUE(Ask(u"click No Such Button"_s).startsWith(u"error no visible enabled button"_s));
  EXPECT_TRUE(Ask(u"cell 4 0"_s).startsWith(u"error no cell"_s));
  EXPECT_TRUE(Ask(u"frobnicate"_s).startsWith(u"error unknown command"_s));
  ASSERT_EQ(Ask(u"idle"_s), u"ok"_s);

  EXPECT_FALSE(wallLines.Next(500).has_value()) << "no command reached the wall";
  const QStringList state = WallState();
  ASSERT_EQ(state.size(), 16);
  EXPECT_EQ(state.filter(u"source none"_s).size(), 16);
}

}  // namespace

namespace {

// The wall's command line: bad input ends it with a reason and touches nothing.
class WallCommandLineTest : public testing::Test {
 protected:
  // Exit code and standard error of one run.
  std::pair<int, QString> Run(const QStringList& args) {
    QProcess p;
    p.start(Program(u"quvial-wallsim"_s), args);
    if (!p.waitForFinished(10000)) {
      p.kill();
      p.waitForFinished();
      return {-1, u"(still running)"_s};
    }
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
  }
  QTemporaryDir home;
};

TEST_F(WallCommandLineTest, RefusesMissingHomeAndSizesOutOfRange) {
  const auto [noHome, noHomeText] = Run({u"--headless"_s});
  EXPECT_EQ(noHome, 2);
  EXPECT_TRUE(noHomeText.contains(u"--home"_s));
  for (const QString& rows : {u"0"_s, u"31"_s, u"four"_s}) {
    const auto [rc, text] = Run({u"--headless"_s, u"--home"_s, home.path(), u"--rows"_s, rows});
    EXPECT_EQ(rc, 2) << rows.toStdString();
    EXPECT_TRUE(text.contains(u"1 to 30"_s)) << text.toStdString();
  }
  EXPECT_FALSE(QFileInfo::exists(home.filePath(u"Quvial.ini"_s)));
  EXPECT_FALSE(QFileInfo::exists(home.filePath(u"ports"_s)));
}

TEST_F(WallCommandLineTest, ReportsAPortsEntryItCannotReplace) {
  ASSERT_TRUE(QDir(home.path()).mkpath(u"ports/COM1"_s));
  const auto [rc, text] = Run({u"--headless"_s, u"--home"_s, home.path()});
  EXPECT_EQ(rc, 2);
  EXPECT_TRUE(text.contains(u"is a directory"_s)) << text.toStdString();
}

}  // namespace
