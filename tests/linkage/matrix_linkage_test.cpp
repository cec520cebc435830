// The matrix linkage's rules: which kind code drives which matrix, the delay
// and its scene records, the send modes, the tick refusal and the trace.

#include "linkage/matrix_linkage.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include "core/conversion.h"
#include "core/pauser.h"
#include "link/send_path.h"
#include "support/recording_port_writer.h"
#include "support/recording_scene_recorder.h"

using namespace Qt::StringLiterals;

namespace {

std::string Hex(const QByteArray& b) { return b.toHex(' ').toStdString(); }

class MatrixLinkageTest : public testing::Test {
 protected:
  MatrixLinkageTest() {
    RecordingPortWriter* ports[] = {&video, &vga, &dvi};
    for (int p = 0; p < 3; ++p)
      ports[p]->onWrite = [this, p](const QByteArray& b) {
        log.push_back("port" + std::to_string(p) + " " + Hex(b));
      };
    pauser.onPause = [this](int ms) { log.push_back("pause " + std::to_string(ms)); };
    linkage.portEnabled = [this](TMatrixKind k) { return enabled[static_cast<int>(k)]; };
    linkage.gatewayForward = [this](const QByteArray& b, int channel, int role) {
      log.push_back("net " + std::to_string(channel) + std::to_string(role) + " " + Hex(b));
      return true;
    };
    linkage.SetRecorder(&recorder);
    // VIDEO and DVI: one command per screen; VGA: one for the whole rectangle.
    linkage.SetSettings({u"BRELUND"_s, u"SEEKOO"_s, u"BRELUND"_s, u"2"_s, u"3"_s, u"4"_s});
  }
  // What the encoders give for the request the linkage should have made.
  static std::vector<QByteArray> Expected(int kind) {
    return BuildMatrixCommands({static_cast<TMatrixKind>(kind),
                                kind == 1 ? u"SEEKOO"_s : u"BRELUND"_s, kind + 2, kStart, kEnd,
                                true, kColumns, kChannelIndex + 1, 0});
  }
  void Link(int code) { linkage.LinkMatrix(code, kStart, kEnd, {kChannelIndex, true, kColumns}); }
  std::string Recorded() const {
    std::string all;
    for (const auto& s : recorder.steps)
      all += std::to_string(s.itemKind) + "/" + std::to_string(s.subKind) + ":" +
             (s.itemKind == 5 ? Hex(s.bytes) : std::to_string(s.value)) + " ";
    return all;
  }

  static constexpr quint16 kStart = 0x0102, kEnd = 0x0203;  // rows 1-2, columns 2-3
  static constexpr int kColumns = 4;
  static constexpr int kChannelIndex = 6;

  RecordingPortWriter splicer, video, vga, dvi;
  RecordingPauser pauser;
  TSendPath send{splicer, pauser};
  TMatrixLinkage linkage{send, pauser, video, vga, dvi};
  RecordingSceneRecorder recorder;
  bool enabled[3] = {true, true, true};
  std::vector<std::string> log;  // port writes, gateway forwards and pauses in order
};

TEST_F(MatrixLinkageTest, LinkageRules) {
  struct Case {
    const char* name;
    int code, sendMode;
    bool ticked, delayOn;
    const char16_t* delay;
    int kind;             // 0 VIDEO, 1 VGA, 2 DVI, -1 none
    const char* gateway;  // channel and role codes
  };
  const Case cases[] = {
      {"Video 1", 1, 0, true, true, u"50", 0, ""},
      {"Video 2, delay 0", 2, 0, true, true, u"0", 0, ""},
      {"Video 3, delay off", 10, 0, true, false, u"50", 0, ""},
      {"VGA", 3, 0, true, true, u"20", 1, ""},
      {"DVI", 4, 0, true, true, u"50", 2, ""},
      {"HDMI network only", 5, 1, true, true, u"50", 2, "44"},
      {"LC both", 7, 2, true, true, u"50", 2, "44"},
      {"VGA both", 3, 2, true, true, u"50", 1, "23"},
      {"Video network only", 1, 1, true, false, u"50", 0, "32"},
      {"YUV stores but sends nothing", 9, 0, true, true, u"50", -1, ""},
      {"linkage off", 3, 0, false, true, u"50", -1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.clear();
    recorder.steps.clear();
    linkage.ClearLastCode();
    send.SetSendMode(c.sendMode);
    TMatrixSettings s = linkage.Settings();
    s.delayOn = c.delayOn;
    s.delayText = QString::fromUtf16(c.delay);
    linkage.SetSettings(s);
    ASSERT_TRUE(linkage.SetTicked(c.ticked));

    Link(c.code);

    const int delay = c.delayOn ? StrToInt(s.delayText) : 0;
    std::vector<std::string> sent;
    std::string recorded;
    for (const QByteArray& command : c.kind < 0 ? std::vector<QByteArray>{} : Expected(c.kind)) {
      if (c.sendMode != 1) sent.push_back("port" + std::to_string(c.kind) + " " + Hex(command));
      if (c.sendMode != 0) sent.push_back("net " + std::string(c.gateway) + " " + Hex(command));
      recorded += "5/" + std::to_string(c.kind) + ":" + Hex(command) + " ";
      if (delay == 0) continue;
      sent.push_back("pause " + std::to_string(delay));
      recorded += "4/1:" + std::to_string(delay) + " ";
    }
    EXPECT_EQ(c.kind < 0, sent.empty());
    EXPECT_EQ(log, sent);
    EXPECT_EQ(Recorded(), recorded);
    EXPECT_EQ(linkage.LastCode(), c.ticked ? c.code : 0);
    if (c.kind >= 0) {
      EXPECT_EQ(linkage.CurrentKind(), static_cast<TMatrixKind>(c.kind));
    }
  }
  // A channel change repeats the last linkage: YUV again sends nothing.
  linkage.Relink(kStart, kEnd, {kChannelIndex, true, kColumns});
  EXPECT_TRUE(log.empty());
}

TEST_F(MatrixLinkageTest, TickingAndTextsThatAreNotNumbers) {
  // Ticking needs a matrix port in use, or the send mode network only.
  enabled[0] = enabled[1] = enabled[2] = false;
  EXPECT_FALSE(linkage.SetTicked(true));
  EXPECT_EQ(TMatrixLinkage::RefusalText(false), u"Please Setup Matrix COM Port"_s);
  send.SetSendMode(1);
  ASSERT_TRUE(linkage.SetTicked(true));
  EXPECT_EQ(linkage.TipLine2(false), u"DVI Matrix: BRELUND"_s);
  // A bad address or delay stops the linkage before anything is sent.
  for (const auto& [id, delay] : {std::pair{u"x1"_s, u"50"_s}, std::pair{u"1"_s, u"5O"_s}}) {
    TMatrixSettings s = linkage.Settings();
    s.videoId = id;
    s.delayText = delay;
    linkage.SetSettings(s);
    EXPECT_THROW(Link(1), TConversionError);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(recorder.steps.empty());
    EXPECT_EQ(linkage.LastCode(), 0);
  }
}

TEST_F(MatrixLinkageTest, LongCommandsGoOutWholeAndAreTracedAtLevelThree) {
  QByteArray command(200, '\0');
  for (int i = 0; i < command.size(); ++i) command[i] = static_cast<char>(i + 0x30);
  std::vector<QString> memo;
  send.memo = [&](const QString& line) { memo.push_back(line); };
  send.clock = [] { return QDateTime(QDate(2024, 3, 5), QTime(9, 7, 5)); };
  send.SetSendMode(2);
  send.SetAccessLevel(3);

  linkage.SendMatrixBytes(command, TMatrixKind::Dvi);
  linkage.SendMatrixBytes(QByteArray::fromHex("0a41ff"), TMatrixKind::Video);

  EXPECT_EQ(dvi.writes, std::vector<QByteArray>{command});
  // The gateway takes 64 bytes a frame.
  ASSERT_EQ(log.size(), 7u);
  EXPECT_EQ(log[1] + log[2] + log[3] + log[4],
            "net 44 " + Hex(command.left(64)) + "net 44 " + Hex(command.mid(64, 64)) + "net 44 " +
                Hex(command.mid(128, 64)) + "net 44 " + Hex(command.mid(192)));
  ASSERT_EQ(memo.size(), 4u);
  EXPECT_EQ(memo[2], u"2024/3/5 09:07:05 : matrix msg =  0a  41  ff "_s);
  EXPECT_EQ(memo[3], u" Matrix Chars :  . A ."_s);
  EXPECT_TRUE(memo[0].startsWith(u"2024/3/5 09:07:05 : matrix msg =  30  31 "_s));
  EXPECT_EQ(memo[0].size() - memo[2].size(), 4 * (200 - 3));  // every byte of the command
  EXPECT_EQ(linkage.CurrentKind(), TMatrixKind::Video);       // sending never changes it
}

}  // namespace
