// A short soak of automatic scene cycling: the main window, built here over
// the virtual wall program's lines, records two scenes with the matrix and
// DVR linkage on and cycles them a couple of hundred steps through the scene
// manager's own cycling. Every splicer frame, matrix and DVR command the
// console sent is decoded by the wall, nothing bad arrives, and the steps
// leave no descriptor open.
#include <dirent.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QTest>
#include <map>
#include <memory>

#include "app/quvial_form.h"
#include "scenes/scene_form.h"
#include "support/event_wait.h"
#include "support/temp_home.h"
#include "wall/wall_grid_view.h"
#include "wall_process.h"

namespace {

using namespace Qt::StringLiterals;

constexpr int kSteps = 200;
constexpr int kWarmUpSteps = 20;

int OpenFds() {
  DIR* dir = ::opendir("/proc/self/fd");
  int n = 0;
  while (const dirent* e = dir ? ::readdir(dir) : nullptr) n += e->d_name[0] != '.';
  if (dir) ::closedir(dir);
  return n;
}

class SceneCyclingSoakTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(wall.Start(home.Path(), {u"--rows"_s, u"2"_s, u"--cols"_s, u"2"_s}), QString());
    // No real waiting, but the port threads' notices are delivered at each pause.
    pauser.onPause = [](int) {
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    TDeviceChoice choice;
    choice.deviceName = u"QN-51"_s;
    choice.portListHidden = true;
    form = std::make_unique<TQuvialForm>(choice, pauser);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->UiTimerTick();
  }
  void TearDown() override {
    form.reset();
    const QString errors = wall.Stop();
    EXPECT_FALSE(e2e::SanitizerFault(errors)) << errors.toStdString();
  }
  void Click(QWidget* root, const QString& name) {
    auto* b = root->findChild<QAbstractButton*>(name);
    ASSERT_NE(b, nullptr) << name.toStdString();
    b->click();
  }
  void ClickSource(const QString& caption) {
    for (QAbstractButton* b : form->findChildren<QAbstractButton*>())
      if (b->text() == caption && b->isVisible()) return b->click();
    ADD_FAILURE() << caption.toStdString();
  }
  // The wall's counters ("frames 3 bad 0 ..."), read past the lines before them.
  std::map<QString, qint64> Counters() {
    wall.Command(u"state"_s);
    std::map<QString, qint64> counters;
    while (const std::optional<QString> line = wall.Next()) {
      if (line->startsWith(u"state "_s)) {
        const QStringList t = line->split(u' ');
        for (qsizetype i = 1; i + 1 < t.size(); i += 2) counters[t[i]] = t[i + 1].toLongLong();
      } else if (*line == u"end"_s) {
        break;
      }
    }
    return counters;
  }

  TTempHome home;
  e2e::TWallProcess wall;
  RecordingPauser pauser;
  std::unique_ptr<TQuvialForm> form;
};

TEST_F(SceneCyclingSoakTest, CyclingLosesNoFrameAndKeepsNoDescriptor) {
  Click(form.get(), u"cbMatrixCMB"_s);
  Click(form.get(), u"cbDVRCMB"_s);
  form->findChild<QAction*>(u"menuItemScene"_s)->trigger();
  TSceneForm* manager = form->SceneForm();
  ASSERT_NE(manager, nullptr);
  // Scene 1: the whole wall under VGA. Scene 2: a column under 视频1, one under DVI.
  const std::vector<std::vector<std::pair<TCellRect, QString>>> scenes = {
      {{{0, 0, 1, 1}, u"VGA"_s}}, {{{0, 0, 0, 1}, u"视频1"_s}, {{1, 0, 1, 1}, u"DVI"_s}}};
  for (int n = 1; n <= 2; ++n) {
    Click(manager, u"pnlScene%1"_s.arg(n));
    Click(manager, u"cbScene%1"_s.arg(n));
    for (const auto& [rect, source] : scenes[n - 1]) {
      form->Grid()->SelectRect(rect);
      ClickSource(source);
    }
    Click(manager, u"btnSave"_s);
  }

  // What the console sends from here on, per line, where it reports it.
  std::map<QString, qint64> sent;
  form->SendPath().SetAccessLevel(3);
  form->SendPath().memo = [&](const QString& line) {
    sent[u"frames"_s] += line.contains(u" : msg = "_s);
  };
  form->ScenePlayer().sendMatrixBytes = [&, inner = form->ScenePlayer().sendMatrixBytes](
                                            const QByteArray& bytes, quint8 kind) {
    ++sent[kind == TSceneRecorder::kDvrTarget ? u"dvr-frames"_s : u"matrix-commands"_s];
    inner(bytes, kind);
  };
  TSceneCycler& cycler = manager->Cycler();
  int played = 0;
  cycler.shown = [&played, inner = cycler.shown](int number) {
    ++played;
    inner(number);
  };
  Click(manager, u"cbAutoChange"_s);
  ASSERT_TRUE(cycler.Running());
  ProcessEventsFor(200);  // the recording's last bytes arrive
  const std::map<QString, qint64> before = Counters();

  int fdsAfterWarmUp = 0;
  while (played < kSteps) {
    cycler.Tick();  // as its timer runs it
    if (played == kWarmUpSteps) fdsAfterWarmUp = OpenFds();
  }
  EXPECT_EQ(OpenFds(), fdsAfterWarmUp);

  // The last bytes may still be on their way.
  const QStringList counted = {u"frames"_s, u"matrix-commands"_s, u"dvr-frames"_s};
  std::map<QString, qint64> after;
  ProcessEventsUntil([&] {
    after = Counters();
    for (const QString& key : counted)
      if (after.at(key) - before.at(key) < sent[key]) return false;
    return true;
  });
  for (const QString& key : counted) {
    EXPECT_GT(sent[key], kSteps / 2) << key.toStdString();
    EXPECT_EQ(after.at(key) - before.at(key), sent[key]) << key.toStdString();
  }
  for (const QString& fault :
       {u"bad"_s, u"unknown"_s, u"noise"_s, u"matrix-bad"_s, u"matrix-noise"_s, u"matrix-ignored"_s,
        u"dvr-bad"_s, u"dvr-noise"_s})
    EXPECT_EQ(after.at(fault), 0) << fault.toStdString();
}

}  // namespace
