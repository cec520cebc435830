// A scene recorded through the windows and recalled from "场景管理" after the
// console was restarted: the virtual wall receives the same bytes on the
// splicer, matrix and DVR lines, in the same order and with the same pauses
// between them, and ends in the state the recording left it in.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "console_process.h"
#include "core/ini_params_op.h"
#include "link/send_path.h"
#include "linkage/matrix_commands.h"
#include "wall_process.h"

namespace {

using namespace Qt::StringLiterals;

// How far two runs of the same pause may differ on a loaded machine: less
// than the frame pause and the DVR delay, so that a lost one shows. A step's
// span adds its pauses up, so that lost or doubled matrix delays (shorter
// than the tolerance) show there. Now and then a loaded machine stretches
// one pause by far more; only the wait at a step's end allows for that.
constexpr qint64 kToleranceMs = 40;
constexpr qint64 kSpanToleranceMs = 80;
constexpr qint64 kStretchMs = 100;
constexpr int kMatrixDelayMs = 20;
constexpr int kDvrDelayMs = 60;
constexpr int kPowerOnDelayS = 1;

// The wall's stamps are of the same clock (CLOCK_MONOTONIC).
qint64 MonotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// One line of the stamped wall: when it arrived and what it was.
struct TArrival {
  qint64 at = -1;
  QString text;
};

std::vector<TArrival> Arrivals(const QStringList& lines) {
  std::vector<TArrival> out;
  for (const QString& line : lines) {
    bool ok = false;
    const qint64 at = line.startsWith(u'@') ? line.section(u' ', 0, 0).mid(1).toLongLong(&ok) : -1;
    out.push_back({ok ? at : -1, ok ? line.section(u' ', 1) : line});
  }
  return out;
}

QStringList Texts(const std::vector<TArrival>& arrivals) {
  QStringList texts;
  for (const TArrival& a : arrivals) texts << a.text;
  return texts;
}

// One operator step: when its first command went out, when the console was
// idle again, and the pause its action ended with.
struct TStep {
  qint64 startedAt = 0;
  qint64 endedAt = 0;
  int finalPauseMs = 0;
};

class SceneRecallTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home.isValid());
    ASSERT_TRUE(QFileInfo::exists(e2e::Program(u"quvial-wallsim"_s)));
    ASSERT_TRUE(QFileInfo::exists(e2e::Program(u"quvial"_s)));
    // A wall of 2 x 3 (rows and columns differ, so a swap shows); a VGA
    // matrix with a checksummed byte format and one command per screen,
    // a delay after each; the DVR with a delay after each frame.
    TIniParamsOp ini(QDir(home.path()).filePath(u"Quvial.ini"_s));
    ini.WriteWallSize(2, 3);
    ini.WriteVgaIndex(static_cast<int>(MatrixBrands(TMatrixKind::Vga).indexOf(u"HOPETIDE"_s)));
    ini.WriteMChoosed(1);
    ini.WriteMDelayValue(kMatrixDelayMs);
    ini.WriteDvrChoosed(1);
    ini.WriteDvrDelayValue(kDvrDelayMs);
    ASSERT_EQ(wall.Start(home.path(), {u"--wire-ports"_s, u"--stamp"_s}), QString());
    ASSERT_EQ(console.Start(home.path()), QString());
  }

  void TearDown() override {
    for (const QString& errors : {console.Stop(), wall.Stop()})
      EXPECT_FALSE(e2e::SanitizerFault(errors)) << errors.toStdString();
  }

  // Runs the commands in order and waits until the action they started ended.
  TStep Step(const QStringList& commands, int finalPauseMs = 0) {
    TStep step{MonotonicMs(), 0, finalPauseMs};
    for (const QString& command : commands)
      EXPECT_EQ(console.Ask(command), u"ok"_s) << command.toStdString();
    EXPECT_EQ(console.Ask(u"idle"_s), u"ok"_s);
    step.endedAt = MonotonicMs();
    return step;
  }

  // The main window up and the scene manager open.
  void OpenSceneManager() {
    ASSERT_TRUE(console.Ask(u"choose 0"_s).startsWith(u"ok"_s));
    // "场景管理" is enabled once the console saw its lines connected.
    ASSERT_EQ(console.AskUntilOk(u"press menuItemScene"_s), u"ok"_s);
  }

  QTemporaryDir home;
  e2e::TWallProcess wall;
  e2e::TConsoleProcess console;
};

TEST_F(SceneRecallTest, RecalledAfterARestartTheWallGetsTheSameBytesPausesAndState) {
  OpenSceneManager();
  // Pressing scene 3 plays it (still empty: a 2 x 2 wall); the wall is set
  // back to 2 x 3 before its box starts the recording.
  Step({u"press pnlScene3"_s});
  Step({u"index cbbRow 1"_s, u"index cbbCol 2"_s, u"press btnRowColSet"_s});
  Step({u"tick cbMatrixCMB 1"_s, u"tick cbDVRCMB 1"_s, u"index cbbChannel 1"_s,
        u"tick cbScene3 1"_s});

  std::vector<TStep> steps;
  // The whole wall combined under VGA: the splicer frame, a matrix command
  // per screen, the DVR's lead and split.
  steps.push_back(Step({u"select 0 0 2 1"_s, u"click VGA"_s}, kDvrDelayMs));
  // One screen powered on, with the delay after it.
  steps.push_back(Step({u"tick cbDelayPowerOn 1"_s, u"text edtDelay %1"_s.arg(kPowerOnDelayS),
                        u"select 2 0 2 0"_s, u"press btnPowerOn"_s},
                       TSendPath::kFramePause + kPowerOnDelayS * 1000));
  // The second row dissolved from the grid's menu: a frame per screen.
  steps.push_back(Step({u"select 0 1 2 1"_s, u"menu 分解/VGA"_s}, TSendPath::kFramePause));
  Step({u"press btnSave"_s});

  QStringList recordedLines;
  const QStringList recordedState = wall.State(&recordedLines);
  const std::vector<TArrival> recorded = Arrivals(recordedLines);

  // Not recorded: another input and split over the whole wall, and the
  // delayed screen off, so that the recall has something to restore.
  Step({u"index cbbChannel 2"_s, u"index cbbPics 1"_s, u"select 0 0 2 1"_s, u"click VGA"_s,
        u"select 2 0 2 0"_s, u"press btnPowerOff"_s});
  const QStringList disturbedState = wall.State();
  ASSERT_NE(disturbedState, recordedState) << "the disturbance changed nothing";

  // The console ends as the operator ends it and starts again on the same
  // directory; the wall and its lines stay as they are.
  ASSERT_EQ(console.Ask(u"press menuItemExit"_s), u"ok"_s);
  ASSERT_TRUE(console.WaitEnded());
  EXPECT_EQ(console.ExitCode(), 0);
  const QString firstRunErrors = console.Stop();
  EXPECT_FALSE(e2e::SanitizerFault(firstRunErrors)) << firstRunErrors.toStdString();
  ASSERT_EQ(console.Start(home.path()), QString());
  OpenSceneManager();
  const TStep recall = Step({u"press pnlScene3"_s});

  QStringList recalledLines;
  const QStringList recalledState = wall.State(&recalledLines);
  const std::vector<TArrival> recalled = Arrivals(recalledLines);

  // Every line of the recording belongs to the step it arrived in.
  ASSERT_FALSE(recorded.empty());
  std::vector<std::size_t> stepOf;
  for (const TArrival& a : recorded) {
    ASSERT_GE(a.at, steps.front().startedAt) << a.text.toStdString();
    std::size_t s = 0;
    while (s + 1 < steps.size() && steps[s + 1].startedAt <= a.at) ++s;
    stepOf.push_back(s);
  }
  for (std::size_t s = 0; s < steps.size(); ++s)
    EXPECT_NE(std::count(stepOf.begin(), stepOf.end(), s), 0) << "step " << s << " sent nothing";
  const QString all = Texts(recorded).join(u'\n');
  for (const QString& kind : {u"frame "_s, u"matrix VGA command "_s, u"dvr command "_s})
    EXPECT_TRUE(all.contains(kind)) << kind.toStdString() << "is missing from\n"
                                    << all.toStdString();
  for (const QString& fault : {u"bad "_s, u"unknown "_s, u"noise "_s, u"ignored "_s})
    EXPECT_FALSE(all.contains(fault)) << all.toStdString();

  // The same bytes to the same lines in the same order.
  ASSERT_EQ(Texts(recalled).join(u'\n'), all);

  // The same pause before each line within a step, and the same span from
  // the step's first line. At a step's end the recording waited the step's
  // last pause before the console was idle (and then the test took its
  // time); the recall waits that pause, not much longer than the recording
  // did, and goes on at once.
  std::size_t first = 0;  // the step's first line
  for (std::size_t i = 1; i < recorded.size(); ++i) {
    SCOPED_TRACE("before line " + std::to_string(i) + ": " + recorded[i].text.toStdString());
    if (stepOf[i] != stepOf[i - 1]) {
      const TStep& ended = steps[stepOf[i - 1]];
      const qint64 recordedWait = ended.endedAt - recorded[i - 1].at;
      const qint64 recalledWait = recalled[i].at - recalled[i - 1].at;
      EXPECT_GE(recordedWait, ended.finalPauseMs - kToleranceMs);
      EXPECT_GE(recalledWait, ended.finalPauseMs - kToleranceMs);
      EXPECT_LE(recalledWait, recordedWait + kStretchMs);
      first = i;
      continue;
    }
    EXPECT_NEAR(recalled[i].at - recalled[i - 1].at, recorded[i].at - recorded[i - 1].at,
                kToleranceMs);
    EXPECT_NEAR(recalled[i].at - recalled[first].at, recorded[i].at - recorded[first].at,
                kSpanToleranceMs);
  }
  // After the last line both waited the last step's pause; the recall's end
  // too is known only as late as the console said idle.
  EXPECT_GE(steps.back().endedAt - recorded.back().at, steps.back().finalPauseMs - kToleranceMs);
  EXPECT_GE(recall.endedAt - recalled.back().at, steps.back().finalPauseMs - kToleranceMs);

  EXPECT_EQ(recalledState, recordedState);
}

}  // namespace
