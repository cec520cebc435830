// The listening relay: the whole-wall frame and matrix commands, and the
// one-minute lock on a fake clock.

#include "linkage/sniff_relay.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include "core/pauser.h"
#include "link/send_path.h"
#include "linkage/matrix_linkage.h"
#include "support/recording_port_writer.h"

using namespace Qt::StringLiterals;

namespace {

std::string JoinedHex(const std::vector<QByteArray>& writes) {
  std::string all;
  for (const QByteArray& w : writes) all += (all.empty() ? "" : " | ") + w.toHex(' ').toStdString();
  return all;
}

class SniffRelayTest : public testing::Test {
 protected:
  SniffRelayTest() {
    relay.rows = [this] { return rows; };
    relay.cols = [this] { return cols; };
    send.memo = [this](const QString& line) { memo << line; };
    send.clock = [] { return QDateTime(QDate(2026, 12, 9), QTime(1, 2, 3)); };
    send.splicerEnabled = [] { return true; };
    matrix.SetSettings(
        {u"BRELUND"_s, u"SEEKOO"_s, u"BRELUND"_s, u"1"_s, u"1"_s, u"1"_s, true, u"40"_s});
  }

  qint64 now = 0;
  int rows = 2, cols = 3;
  RecordingPortWriter splicer, video, vga, dvi;
  RecordingPauser pauser;
  TSendPath send{splicer, pauser};
  TMatrixLinkage matrix{send, pauser, video, vga, dvi};
  TSniffRelay relay{send, splicer, matrix, pauser, [this] { return now; }};
  QStringList memo;
};

// The long frame in every frame mode; BRELUND's matrix command is
// F2 00 input 22 output id 00 XOR(1..6), one per screen, outputs 1 to R x C.
TEST_F(SniffRelayTest, WholeWallFramesAndMatrixCommands) {
  struct Case {
    int rows, cols, signalType;
    bool chooseMatrix;
    int channelList;
    const char* frame;
    RecordingPortWriter* matrixPort;
    const char* commands;
  };
  const Case cases[] = {
      {2, 3, 2, false, 0, "c8 09 01 01 02 03 20 02 fa", nullptr, ""},
      {1, 2, 0, true, 2, "c8 09 01 01 01 02 20 00 f6", &video,
       "f2 00 03 22 01 01 00 21 | f2 00 03 22 02 01 00 22"},
      {1, 1, 5, true, 0, "c8 09 01 01 01 01 20 06 fb", &dvi, "f2 00 01 22 01 01 00 23"},  // LC
      {30, 30, 4, false, 0, "c8 09 01 01 1e 1e 20 04 33", nullptr, ""},  // HDMI, largest wall
      {2, 2, 9, false, 0, "c8 09 01 01 02 02 20 00 f7", nullptr, ""},    // unknown type: Video 1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frame);
    for (RecordingPortWriter* p : {&splicer, &video, &vga, &dvi}) p->writes.clear();
    pauser.pauses.clear();
    rows = c.rows;
    cols = c.cols;
    now += TSniffRelay::kLockMs;
    relay.SetSettings({c.signalType, c.chooseMatrix, c.channelList});
    relay.DataReceived();
    EXPECT_EQ(JoinedHex(splicer.writes), c.frame);
    const std::size_t commands = c.matrixPort ? c.matrixPort->writes.size() : 0;
    EXPECT_EQ(c.matrixPort ? JoinedHex(c.matrixPort->writes) : "", c.commands);
    EXPECT_EQ(video.writes.size() + vga.writes.size() + dvi.writes.size(), commands);
    EXPECT_EQ(pauser.pauses, std::vector<int>(commands, 40));
  }
  EXPECT_EQ(matrix.LastCode(), 0) << "the main window's linkage state is not touched";
}

TEST_F(SniffRelayTest, OneSwitchPerMinute) {
  relay.DataReceived();
  now = 10'000;
  relay.DataReceived();
  now = 59'999;
  relay.DataReceived();
  EXPECT_EQ(splicer.writes.size(), 1u) << "locked for 60 s";
  EXPECT_TRUE(memo.isEmpty()) << "traced only for the super manager";

  send.SetAccessLevel(3);
  now = 61'000;
  relay.DataReceived();
  EXPECT_EQ(splicer.writes.size(), 2u);
  EXPECT_EQ(memo,
            QStringList{u"2026/12/9 01:02:03 : msg =  c8  09  01  01  02  03  20  00  f8 "_s});
}

}  // namespace
