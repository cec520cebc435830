// The console and the virtual wall as separate programs, the way an operator
// runs them: the console drives the wall over a pseudo-terminal, the test
// drives the console through its automation socket and reads the wall's
// report lines.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "console_process.h"
#include "wall_process.h"

namespace {

using namespace Qt::StringLiterals;
using e2e::Program;

class TypicalRequestTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home.isValid());
    ASSERT_TRUE(QFileInfo::exists(Program(u"quvial-wallsim"_s))) << "build quvial-wallsim first";
    ASSERT_TRUE(QFileInfo::exists(Program(u"quvial"_s))) << "build quvial first";
    ASSERT_EQ(wall.Start(home.path(), {u"--rows"_s, u"4"_s, u"--cols"_s, u"4"_s}), QString());
    ASSERT_EQ(console.Start(home.path()), QString());
  }

  void TearDown() override {
    for (const QString& errors : {console.Stop(), wall.Stop()})
      EXPECT_FALSE(e2e::SanitizerFault(errors)) << errors.toStdString();
  }

  QString Ask(const QString& command) { return console.Ask(command); }

  QTemporaryDir home;
  e2e::TWallProcess wall;
  e2e::TConsoleProcess console;
};

TEST_F(TypicalRequestTest, VgaOnTwoByTwoReachesTheWallAsOneFrame) {
  ASSERT_TRUE(Ask(u"choose 0"_s).startsWith(u"ok"_s));
  ASSERT_EQ(Ask(u"select 0 0 1 1"_s), u"ok"_s);
  // Where a pointer-level driver would click: a rectangle with some size.
  const QStringList where = Ask(u"where VGA"_s).split(u' ');
  ASSERT_EQ(where.size(), 5);
  EXPECT_EQ(where[0], u"ok"_s);
  EXPECT_GT(where[3].toInt(), 0);
  EXPECT_GT(where[4].toInt(), 0);
  ASSERT_EQ(Ask(u"click VGA"_s), u"ok"_s);
  ASSERT_EQ(Ask(u"idle"_s), u"ok"_s);

  // Exactly one frame, and nothing bad or unknown before it.
  const auto line = wall.Next();
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(*line, u"frame c8 09 01 01 02 02 20 02 f9 select-source VGA rows 1-2 cols 1-2"_s);

  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c)
      EXPECT_EQ(Ask(u"cell %1 %2"_s.arg(r).arg(c)), u"ok %1-%2 VGA"_s.arg(r + 1).arg(c + 1));
  EXPECT_EQ(Ask(u"cell 2 2"_s), u"ok 3-3"_s);

  QStringList before;
  const QStringList state = wall.State(&before);
  EXPECT_EQ(before, QStringList());
  ASSERT_EQ(state.size(), 16);
  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 2; ++c)
      EXPECT_TRUE(
          state.contains(u"screen %1-%2 power on source VGA picture 1-1..2-2"_s.arg(r).arg(c)));
  EXPECT_TRUE(state.contains(u"screen 3-3 power on source none picture 3-3..3-3"_s));
  // The state request came after the frame: no other line slipped in.
  EXPECT_FALSE(wall.HasLine());
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
  EXPECT_TRUE(Ask(u"where No Such Button"_s).startsWith(u"error nothing shown"_s));
  EXPECT_TRUE(Ask(u"cell 4 0"_s).startsWith(u"error no cell"_s));
  EXPECT_TRUE(Ask(u"frobnicate"_s).startsWith(u"error unknown command"_s));
  // Controls by object name: missing, of the wrong kind, or asked wrongly.
  for (const auto& [command, answer] : std::initializer_list<std::pair<QString, QString>>{
           {u"press btnNoSuch"_s, u"error no visible enabled button or menu item"_s},
           {u"tick btnPowerOn 1"_s, u"error not a check box"_s},
           {u"tick cbMatrixCMB yes"_s, u"error usage"_s},
           {u"index cbbRow 30"_s, u"error no item 30"_s},
           {u"index cbbRow"_s, u"error usage"_s},
           {u"text cbbRow 3"_s, u"error no visible enabled edit box"_s},
           {u"menu 分解/Nothing"_s, u"error no enabled entry"_s},
           {u"menu VGA"_s, u"error usage"_s}})
    EXPECT_TRUE(Ask(command).startsWith(answer)) << command.toStdString();
  ASSERT_EQ(Ask(u"idle"_s), u"ok"_s);

  EXPECT_FALSE(wall.Next(500).has_value()) << "no command reached the wall";
  const QStringList state = wall.State();
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
