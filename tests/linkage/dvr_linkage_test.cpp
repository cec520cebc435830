// The DVR linkage: the DaHua frames, the manual and automatic addresses, the
// delay, and when a frame may go out at all.

#include "linkage/dvr_linkage.h"

#include <gtest/gtest.h>

#include "core/conversion.h"
#include "core/pauser.h"
#include "link/send_path.h"
#include "support/recording_port_writer.h"
#include "support/recording_scene_recorder.h"

using namespace Qt::StringLiterals;

namespace {

class DvrLinkageTest : public testing::Test {
 protected:
  DvrLinkageTest() {
    linkage.portEnabled = [this] { return portInUse; };
    linkage.gatewayForward = [this](const QByteArray& b, int channel, int role) {
      forwarded.push_back(QByteArray::number(channel) + QByteArray::number(role) + ':' + b);
      return true;
    };
  }
  void Configure(const QString& id, bool delayOn) {
    linkage.SetSettings({u"DaHua"_s, id, delayOn, u"50"_s});
    ASSERT_TRUE(linkage.SetTicked(true));
  }

  RecordingPortWriter splicer, dvr;
  RecordingPauser pauser;
  TSendPath send{splicer, pauser};
  TDVRLinkage linkage{send, pauser, dvr};
  bool portInUse = true;
  std::vector<QByteArray> forwarded;
};

TEST_F(DvrLinkageTest, SplitFrames) {
  struct Case {
    const char* name;
    bool manual;
    const char16_t* id;
    int pictures, address;
    bool delayOn;
    const char* frames;  // each write followed by 20 (a blank in the hex)
    std::vector<int> pauses;
  };
  const Case cases[] = {
      {"manual address 5, 9 pictures",
       true,
       u"1",
       2,
       4,
       true,
       "90 01 fe 00 00 01 00 90 20 90 05 1d 01 01 00 00 b4 20",
       {50, 50}},
      {"automatic address 1, 1 picture",
       false,
       u"1",
       0,
       9,
       true,
       "90 01 fe 00 00 01 00 90 20 90 01 1b 01 01 00 00 ae 20",
       {50, 50}},
      {"delay off: back to back",
       false,
       u"$10",
       3,
       0,
       false,
       "90 01 fe 00 00 01 00 90 20 90 10 1e 01 01 00 00 c0 20",
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dvr.writes.clear();
    pauser.pauses.clear();
    Configure(QString::fromUtf16(c.id), c.delayOn);
    linkage.UpdateSplit(c.manual, {c.pictures, c.address});
    QByteArray written;
    for (const QByteArray& w : dvr.writes) written += w + ' ';
    EXPECT_EQ(written.toHex(' ').toStdString(), c.frames);
    EXPECT_EQ(pauser.pauses, c.pauses);
  }
}

TEST_F(DvrLinkageTest, WhenFramesGoOut) {
  Configure(u"one"_s, false);
  EXPECT_THROW(linkage.UpdateSplit(false, {0, 0}), TConversionError);
  portInUse = false;  // not in use and serial only: silent
  linkage.UpdateSplit(true, {0, 0});
  EXPECT_TRUE(dvr.writes.empty());
  EXPECT_TRUE(forwarded.empty());

  send.SetSendMode(1);  // network only: the gateway, codes (5, 5)
  linkage.UpdateSplit(true, {0, 0});
  EXPECT_TRUE(dvr.writes.empty());
  EXPECT_EQ(forwarded,
            (std::vector<QByteArray>{"55:" + DvrLeadFrame(), "55:" + DvrSplitFrame(1, 0)}));

  TDvrSettings s = linkage.Settings();
  s.brand = u"dahua"_s;  // compared exactly
  linkage.SetSettings(s);
  linkage.UpdateSplit(true, {0, 0});
  EXPECT_EQ(forwarded.size(), 2u);
  send.SetSendMode(0);
  EXPECT_FALSE(linkage.SetTicked(true));
  EXPECT_EQ(TDVRLinkage::RefusalText(true), u"请选选择DVR串口"_s);
}

TEST_F(DvrLinkageTest, RecordingStoresEachFrameForTheDvrAndEachDelay) {
  RecordingSceneRecorder recorder;
  linkage.SetRecorder(&recorder);
  Configure(u"1"_s, true);
  linkage.UpdateSplit(true, {2, 4});
  using Step = RecordingSceneRecorder::Step;
  ASSERT_EQ(recorder.steps.size(), 4u);
  for (int i : {0, 2}) {
    const Step& frame = recorder.steps[static_cast<std::size_t>(i)];
    EXPECT_EQ(frame.kind, Step::kMatrix);
    EXPECT_EQ(frame.subKind, TSceneRecorder::kDvrTarget);
    EXPECT_EQ(frame.bytes, dvr.writes[static_cast<std::size_t>(i / 2)]);
    const Step& delay = recorder.steps[static_cast<std::size_t>(i + 1)];
    EXPECT_EQ(delay.kind, Step::kDelay);
    EXPECT_EQ(delay.subKind, 1);
    EXPECT_EQ(delay.value, 50);
  }
}

}  // namespace
