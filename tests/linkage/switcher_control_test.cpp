// The switcher and mixer frames: each model's unit addresses and channels,
// the "ALL" runs, the QN-23 family's source buttons, the mixer's output
// resolution and the USB remote's keys, as bytes on the splicer line.

#include "linkage/switcher_control.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/pauser.h"
#include "link/protocol.h"
#include "link/send_path.h"
#include "support/recording_port_writer.h"
#include "support/recording_scene_recorder.h"
#include "wall/addressing.h"

using namespace Qt::StringLiterals;

namespace {

class SwitcherControlTest : public testing::Test {
 protected:
  SwitcherControlTest() {
    send.splicerEnabled = [] { return true; };
  }
  std::vector<std::string> Written() const {
    std::vector<std::string> hex;
    for (const QByteArray& w : splicer.writes) hex.push_back(w.toHex(' ').toStdString());
    return hex;
  }

  RecordingPortWriter splicer;
  RecordingPauser pauser;
  TProtocol protocol;
  TSendPath send{splicer, pauser};
  TSwitcherControl control{protocol, send, pauser};
};

constexpr auto kPl39 = TSwitcherModel::PL39;
constexpr auto kQn23 = TSwitcherModel::QN23;
constexpr auto kQnt1 = TSwitcherModel::QNT1;

TSettingsAddressInput Settings(quint8 family, const QString& ticked, TCellRect selection) {
  TSettingsAddressInput in;
  in.family = family;
  in.mixerSwitchTicked = !ticked.isEmpty();
  in.switcherLabel = ticked;
  in.selection = selection;
  return in;
}

TEST_F(SwitcherControlTest, FramesOnTheSplicerLine) {
  const TCellRect two{0, 0, 1, 1};
  struct Case {
    const char* name;
    std::function<void(TSwitcherControl&, TProtocol&)> act;
    std::vector<std::string> frames;  // each followed by a 50 ms pause
  };
  // clang-format off
  const Case cases[] = {
      {"PL-39, ALL, VGA: the nine units", [](auto& c, auto&) { c.Switch(kPl39, 0, 4); },
       {"c8 09 1e 1e 1e 1e 20 02 6b", "c8 09 1d 1e 1d 1e 20 02 69", "c8 09 1c 1e 1c 1e 20 02 67",
        "c8 09 1e 1d 1e 1d 20 02 69", "c8 09 1d 1d 1d 1d 20 02 67", "c8 09 1c 1d 1c 1d 20 02 65",
        "c8 09 1e 1c 1e 1c 20 02 67", "c8 09 1d 1c 1d 1c 20 02 65", "c8 09 1c 1c 1c 1c 20 02 63"}},
      {"PL-39 DVI: the mixer's code", [](auto& c, auto&) { c.Switch(kPl39, 1, 5); },
       {"c8 09 1e 1e 1e 1e 20 04 6d"}},
      {"QN-T1 DVI: the plain code", [](auto& c, auto&) { c.Switch(kQnt1, 2, 3); },
       {"c8 09 1d 02 1d 02 20 03 32"}},
      {"QN-23 unit 20, short frame",
       [](auto& c, auto& p) { p.SetFrameMode(0), c.Switch(kQn23, 20, 0); },
       {"c8 07 14 14 20 00 17"}},
      {"the wall's broadcast stays off the unit's frame",
       [](auto& c, auto& p) {
         p.SetAddressMode(3, 1);
         c.Switch(kPl39, 1, 0);
         EXPECT_TRUE(p.Broadcast()) << "the wall's mode is kept";
       },
       {"c8 09 1e 1e 1e 1e 20 00 69"}},
      {"QN-23 ALL with the all-units flag",
       [](auto& c, auto&) { c.Switch(kQn23, 0, 0, true); }, {}},
      {"QN-23 page: HDMI to unit 3", [](auto& c, auto&) { c.PanelSend(2, 4, true, {}); },
       {"c8 09 1e 03 1e 03 20 04 37"}},
      {"QN-23 page without a selection", [](auto& c, auto&) { c.PanelSend(0, 0, false, {}); }, {}},
      {"mixer output VGA 1600x1200", [](auto& c, auto&) { c.SetMixerOutputResolution(3); },
       {"c8 09 1e 1e 1e 1e 78 03 c4"}},
      {"USB OK with PL-39 in use",
       [two](auto& c, auto&) { c.SendUsbKey(0x0A, {two}, Settings(1, u"PL-39"_s, two)); },
       {"c8 09 1e 1e 1e 1e 72 0a c5"}},
      {"USB up on QN-22's public channel",
       [two](auto& c, auto&) { c.SendUsbKey(0x00, {two, true, true}, Settings(3, {}, two)); },
       {"c8 09 ff ff ff ff 72 00 3f"}},
      {"USB key without a selection",
       [](auto& c, auto&) { c.SendUsbKey(0x04, {}, Settings(7, {}, {})); }, {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    splicer.writes.clear();
    pauser.pauses.clear();
    protocol.SetFrameMode(1);
    protocol.SetAddressMode(0, 0);
    c.act(control, protocol);
    EXPECT_EQ(Written(), c.frames);
    EXPECT_EQ(pauser.pauses, std::vector<int>(c.frames.size(), 50));
  }
}

TEST_F(SwitcherControlTest, AllUnitsReportProgressUnitByUnit) {
  std::vector<std::pair<int, int>> steps;
  control.progress = [&](int done, int total) {
    steps.emplace_back(done, total);
    EXPECT_EQ(static_cast<int>(splicer.writes.size()), done) << "reported before each unit";
  };
  EXPECT_EQ(control.Switch(kQnt1, 0, 4), 20);
  ASSERT_EQ(steps.size(), 21u);
  EXPECT_EQ(steps.back(), std::make_pair(20, 20));
  EXPECT_EQ(splicer.writes.back().toHex(' '), "c8 09 1d 14 1d 14 20 05 58");
}

TEST_F(SwitcherControlTest, MatrixDelayWhileRecordingLeavesTheFrameThenTheDelay) {
  RecordingSceneRecorder recorder;
  send.SetRecorder(&recorder);
  control.SetRecorder(&recorder);
  send.matrixDelay = [] { return std::optional<int>(50); };
  control.Switch(kQn23, 1, 6);
  ASSERT_EQ(recorder.steps.size(), 2u);
  EXPECT_EQ(recorder.steps[0].kind, RecordingSceneRecorder::Step::kSwitcherFrame);
  EXPECT_EQ(recorder.steps[0].bytes.toHex(' '), "c8 09 1e 01 1e 01 20 0a 39");
  EXPECT_EQ(recorder.steps[0].value, 9);
  EXPECT_EQ(recorder.steps[1].kind, RecordingSceneRecorder::Step::kDelay);
  EXPECT_EQ(recorder.steps[1].value, 50);
  EXPECT_EQ(pauser.pauses, (std::vector<int>{50, 50})) << "the delay, then the unit's pause";
}

}  // namespace
