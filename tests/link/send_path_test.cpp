#include "link/send_path.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <vector>

#include "core/conversion.h"
#include "core/pauser.h"
#include "support/recording_port_writer.h"
#include "support/recording_scene_recorder.h"

namespace {

using Step = RecordingSceneRecorder::Step;

// C8 09 03 04 03 04 10 01 F0: power on for row 3, column 4.
const std::vector<quint8> kLongFrame = {0xC8, 0x09, 0x03, 0x04, 0x03, 0x04, 0x10, 0x01, 0xF0};

QByteArray FrameBytes(const std::vector<quint8>& bytes, int count = -1) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                    count < 0 ? static_cast<int>(bytes.size()) : count);
}

class SendPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_.splicerEnabled = [this] { return enabled_; };
    path_.gatewayForward = [this](const QByteArray& data) {
      forwarded_.push_back(data);
      return networkUp_;
    };
    path_.memo = [this](const QString& line) { memo_.append(line); };
    path_.clock = [] { return QDateTime(QDate(2024, 3, 5), QTime(9, 7, 5)); };
  }

  RecordingPortWriter port_;
  RecordingPauser pauser_;
  TSendPath path_{port_, pauser_};
  RecordingSceneRecorder recorder_;
  bool enabled_ = true;
  bool networkUp_ = true;
  std::vector<QByteArray> forwarded_;
  QStringList memo_;
};

// ---- SendFrame -----------------------------------------------------------

TEST_F(SendPathTest, FrameIsWrittenThenPaced) {
  std::vector<size_t> writesAtPause;
  pauser_.onPause = [&](int) { writesAtPause.push_back(port_.writes.size()); };
  EXPECT_TRUE(path_.SendFrame(kLongFrame.data()));
  EXPECT_TRUE(path_.SendFrame(kLongFrame.data()));
  ASSERT_EQ(port_.writes.size(), 2u);
  EXPECT_EQ(port_.writes[0], FrameBytes(kLongFrame));
  EXPECT_EQ(pauser_.pauses, (std::vector<int>{50, 50}));
  EXPECT_EQ(writesAtPause, (std::vector<size_t>{1, 2}));
  EXPECT_TRUE(forwarded_.empty());
  EXPECT_TRUE(memo_.isEmpty());  // operator level: no trace
}

TEST_F(SendPathTest, ShortFrameSendsSevenBytes) {
  const std::vector<quint8> buffer = {0xC8, 0x07, 0x34, 0x34, 0x10, 0x01, 0x48, 0xEE, 0xEE};
  path_.SendFrame(buffer.data());
  ASSERT_EQ(port_.writes.size(), 1u);
  EXPECT_EQ(port_.writes[0], FrameBytes(buffer, 7));
}

TEST_F(SendPathTest, DisabledPortIsSkippedButStillPaced) {
  enabled_ = false;
  path_.SetAccessLevel(3);
  path_.SendFrame(kLongFrame.data());
  EXPECT_TRUE(port_.writes.empty());
  EXPECT_EQ(pauser_.pauses, (std::vector<int>{50}));
  EXPECT_TRUE(memo_.isEmpty());  // no trace while the splicer port is off
}

TEST_F(SendPathTest, NetworkOnlyForwardsEvenWithThePortClosed) {
  enabled_ = false;
  path_.SetSendMode(1);
  path_.SendFrame(kLongFrame.data());
  networkUp_ = false;
  path_.SendFrame(kLongFrame.data());
  EXPECT_TRUE(port_.writes.empty());
  ASSERT_EQ(forwarded_.size(), 2u);
  EXPECT_EQ(forwarded_[0], FrameBytes(kLongFrame));
  EXPECT_EQ(memo_,
            (QStringList{QStringLiteral("send to net ok"), QStringLiteral("send to net error")}));
}

TEST_F(SendPathTest, NetworkOnlyWithoutGatewayReportsError) {
  path_.gatewayForward = nullptr;
  path_.SetSendMode(1);
  path_.SendFrame(kLongFrame.data());
  EXPECT_EQ(memo_, QStringList{QStringLiteral("send to net error")});
  EXPECT_TRUE(port_.writes.empty());
}

TEST_F(SendPathTest, BothModeUsesPortAndNetwork) {
  path_.SetSendMode(2);
  path_.SendFrame(kLongFrame.data());
  EXPECT_EQ(port_.writes.size(), 1u);
  EXPECT_EQ(forwarded_.size(), 1u);
}

TEST_F(SendPathTest, UnknownSendModeIsIgnored) {
  path_.SetSendMode(1);
  path_.SetSendMode(3);
  path_.SetSendMode(-1);
  EXPECT_EQ(path_.SendMode(), 1);
}

TEST_F(SendPathTest, SuperManagerTraceFollowsThePause) {
  path_.SetAccessLevel(3);
  bool tracedBeforePause = true;
  pauser_.onPause = [&](int) { tracedBeforePause = !memo_.isEmpty(); };
  path_.SendFrame(kLongFrame.data());
  EXPECT_FALSE(tracedBeforePause);
  EXPECT_EQ(memo_, QStringList{QStringLiteral(
                       "2024/3/5 09:07:05 : msg =  c8  09  03  04  03  04  10  01  f0 ")});
}

TEST_F(SendPathTest, ManagerLevelsWriteNoTrace) {
  for (int level : {1, 2}) {
    path_.SetAccessLevel(level);
    path_.SendFrame(kLongFrame.data());
    path_.SendRawFrame(kLongFrame.data());
    path_.SendSwitcherFrame(kLongFrame.data(), 9);
  }
  EXPECT_TRUE(memo_.isEmpty());
}

TEST_F(SendPathTest, CorruptLengthNeverReadsPastTheFrame) {
  std::vector<quint8> frame = kLongFrame;  // exactly 9 bytes: a sanitizer sees any over-read
  frame[1] = 0xFF;
  path_.SendFrame(frame.data());
  ASSERT_EQ(port_.writes.size(), 1u);
  EXPECT_EQ(port_.writes[0].size(), 9);

  frame[1] = 0;
  path_.SetRecorder(&recorder_);
  path_.SendFrame(frame.data());
  EXPECT_EQ(port_.writes.size(), 1u);
  EXPECT_EQ(pauser_.pauses.size(), 1u);
  EXPECT_TRUE(recorder_.steps.empty());
}

TEST_F(SendPathTest, RecordsTheFrameWhileRecording) {
  path_.SetRecorder(&recorder_);
  path_.SendFrame(kLongFrame.data());
  recorder_.recording = false;
  path_.SendFrame(kLongFrame.data());
  ASSERT_EQ(recorder_.steps.size(), 1u);
  EXPECT_EQ(recorder_.steps[0].kind, Step::kFrame);
  EXPECT_EQ(recorder_.steps[0].bytes, FrameBytes(kLongFrame));
}

// ---- SendSwitcherFrame ---------------------------------------------------

TEST_F(SendPathTest, SwitcherFrameIgnoresThePortFlagAndDoesNotPause) {
  enabled_ = false;
  path_.SetAccessLevel(3);
  path_.SendSwitcherFrame(kLongFrame.data());
  ASSERT_EQ(port_.writes.size(), 1u);
  EXPECT_EQ(port_.writes[0], FrameBytes(kLongFrame));
  EXPECT_TRUE(pauser_.pauses.empty());
  ASSERT_EQ(memo_.size(), 1);
  EXPECT_TRUE(memo_[0].startsWith(QStringLiteral("2024/3/5 09:07:05 : msg =  c8 ")));
}

TEST_F(SendPathTest, SwitcherFrameWithCountIsLabelledAndRecordedWithIt) {
  path_.SetAccessLevel(3);
  path_.SetRecorder(&recorder_);
  path_.SendSwitcherFrame(kLongFrame.data(), 5);
  ASSERT_EQ(port_.writes.size(), 1u);
  EXPECT_EQ(port_.writes[0], FrameBytes(kLongFrame, 5));
  EXPECT_EQ(memo_,
            QStringList{QStringLiteral("2024/3/5 09:07:05 : switch msg =  c8  09  03  04  03 ")});
  ASSERT_EQ(recorder_.steps.size(), 1u);
  EXPECT_EQ(recorder_.steps[0].kind, Step::kSwitcherFrame);
  EXPECT_EQ(recorder_.steps[0].value, 5);
  EXPECT_EQ(recorder_.steps[0].bytes, FrameBytes(kLongFrame, 5));
}

TEST_F(SendPathTest, MatrixDelayComesBeforeTheFrame) {
  path_.SetSendMode(2);
  path_.SetRecorder(&recorder_);
  path_.matrixDelay = [] { return std::optional<int>(120); };
  size_t writesAtPause = 99;
  size_t forwardsAtPause = 99;
  pauser_.onPause = [&](int) {
    writesAtPause = port_.writes.size();
    forwardsAtPause = forwarded_.size();
  };
  path_.SendSwitcherFrame(kLongFrame.data());
  EXPECT_EQ(pauser_.pauses, (std::vector<int>{120}));
  EXPECT_EQ(writesAtPause, 0u);
  EXPECT_EQ(forwardsAtPause, 0u);
  EXPECT_EQ(port_.writes.size(), 1u);
  EXPECT_EQ(forwarded_.size(), 1u);
  ASSERT_EQ(recorder_.steps.size(), 2u);
  EXPECT_EQ(recorder_.steps[0].kind, Step::kSwitcherFrame);
  EXPECT_EQ(recorder_.steps[0].value, 9);
  EXPECT_EQ(recorder_.steps[1].kind, Step::kDelay);
  EXPECT_EQ(recorder_.steps[1].value, 120);
  EXPECT_EQ(recorder_.steps[1].subKind, 1) << "a matrix delay";
}

TEST_F(SendPathTest, UntickedMatrixDelayWaitsNothing) {
  path_.SetRecorder(&recorder_);
  path_.matrixDelay = [] { return std::optional<int>(); };
  path_.SendSwitcherFrame(kLongFrame.data());
  EXPECT_TRUE(pauser_.pauses.empty());
  ASSERT_EQ(recorder_.steps.size(), 1u);
  EXPECT_EQ(port_.writes.size(), 1u);
}

TEST_F(SendPathTest, MatrixDelayThatDoesNotConvertStopsBeforeSending) {
  path_.SetSendMode(2);
  path_.SetAccessLevel(3);
  path_.SetRecorder(&recorder_);
  path_.matrixDelay = []() -> std::optional<int> { return StrToInt(QStringLiteral("5O")); };
  EXPECT_THROW(path_.SendSwitcherFrame(kLongFrame.data()), TConversionError);
  EXPECT_TRUE(port_.writes.empty());
  EXPECT_TRUE(forwarded_.empty());
  EXPECT_TRUE(memo_.isEmpty());
  EXPECT_TRUE(pauser_.pauses.empty());
  // The frame was recorded before the delay was read.
  ASSERT_EQ(recorder_.steps.size(), 1u);
  EXPECT_EQ(recorder_.steps[0].kind, Step::kSwitcherFrame);
}

TEST_F(SendPathTest, SwitcherCountIsCappedAtTheBufferContract) {
  std::vector<quint8> buffer(TSendPath::kMaxRawBytes, 0x5A);
  path_.SendSwitcherFrame(buffer.data(), 1000);
  ASSERT_EQ(port_.writes.size(), 1u);
  EXPECT_EQ(port_.writes[0].size(), 32);

  std::vector<quint8> frame = kLongFrame;
  frame[1] = 0xC8;  // corrupt length byte of a 9-byte frame buffer
  path_.SendSwitcherFrame(frame.data());
  ASSERT_EQ(port_.writes.size(), 2u);
  EXPECT_EQ(port_.writes[1].size(), 9);

  path_.SendSwitcherFrame(frame.data(), -4);
  frame[1] = 0;
  path_.SendSwitcherFrame(frame.data());
  EXPECT_EQ(port_.writes.size(), 2u);
}

// ---- SendRawFrame --------------------------------------------------------

TEST_F(SendPathTest, RawFrameIsWrittenPacedAndTraced) {
  enabled_ = false;  // the raw path does not look at the flag
  path_.SetAccessLevel(3);
  path_.SetRecorder(&recorder_);
  std::vector<quint8> timer(24);
  for (int i = 0; i < 24; ++i) timer[i] = static_cast<quint8>(0xA0 + i);
  path_.SendRawFrame(timer.data(), 24);
  ASSERT_EQ(port_.writes.size(), 1u);
  EXPECT_EQ(port_.writes[0], FrameBytes(timer));
  EXPECT_EQ(pauser_.pauses, (std::vector<int>{50}));
  ASSERT_EQ(memo_.size(), 1);
  EXPECT_TRUE(memo_[0].startsWith(QStringLiteral("2024/3/5 09:07:05 : msg =  a0  a1 ")));
  EXPECT_TRUE(memo_[0].endsWith(QStringLiteral(" b6  b7 ")));
  ASSERT_EQ(recorder_.steps.size(), 1u);
  EXPECT_EQ(recorder_.steps[0].kind, Step::kFrame);
  EXPECT_EQ(recorder_.steps[0].bytes.size(), 24);
}

TEST_F(SendPathTest, RawFrameCountFromByteOneIsCapped) {
  std::vector<quint8> buffer(TSendPath::kMaxRawBytes, 0x11);
  buffer[1] = 0xF0;
  path_.SendRawFrame(buffer.data());
  buffer[1] = 12;
  path_.SendRawFrame(buffer.data());
  ASSERT_EQ(port_.writes.size(), 2u);
  EXPECT_EQ(port_.writes[0].size(), 32);
  EXPECT_EQ(port_.writes[1].size(), 12);
}

TEST_F(SendPathTest, RawFrameOverNetworkOnly) {
  path_.SetSendMode(1);
  path_.SendRawFrame(kLongFrame.data(), 4);
  EXPECT_TRUE(port_.writes.empty());
  ASSERT_EQ(forwarded_.size(), 1u);
  EXPECT_EQ(forwarded_[0], FrameBytes(kLongFrame, 4));
  EXPECT_EQ(memo_, QStringList{QStringLiteral("send to net ok")});
}

// ---- trace line ----------------------------------------------------------

TEST(TraceLineTest, LayoutOfDateLabelAndBytes) {
  const QDateTime when(QDate(2023, 12, 31), QTime(23, 59, 9));
  const quint8 bytes[] = {0x00, 0x0F, 0xFF};
  EXPECT_EQ(TSendPath::TraceLine(when, QStringLiteral(" : msg = "), bytes, 3),
            QStringLiteral("2023/12/31 23:59:09 : msg =  00  0f  ff "));
  EXPECT_EQ(TSendPath::TraceLine(when, QStringLiteral(" : switch msg = "), bytes, 0),
            QStringLiteral("2023/12/31 23:59:09 : switch msg = "));
}

}  // namespace
