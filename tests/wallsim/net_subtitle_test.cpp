#include <gtest/gtest.h>

#include <QtEndian>

#include "core/gbk.h"
#include "net_subtitle_server.h"
#include "net_test_client.h"

namespace {

using namespace Qt::StringLiterals;
using net_test::TClient;

// A start packet as the console fills it, byte by byte.
QByteArray StartPacket(int screen, int layout, int position, int speed, int motion,
                       const QStringList& lines) {
  QByteArray p(TSubtitlePacket::kSize, '\0');
  p[1] = char(screen);
  p[3] = char(layout);
  p[4] = char(position);
  p[5] = char(speed);
  p[6] = char(motion);
  qToLittleEndian<quint32>(0x000000FF, p.data() + 8);  // red
  qToLittleEndian<qint32>(-64, p.data() + 12);
  const QByteArray face = Gbk::Encode(u"宋体"_s);
  p.replace(17, face.size(), face);
  qToLittleEndian<qint32>(48, p.data() + 36);
  p[41] = 1;  // italic
  p[44] = char(lines.size());
  QByteArray text;
  for (const QString& line : lines) text += Gbk::Encode(line) + "\r\n";
  qToLittleEndian<quint16>(quint16(text.size()), p.data() + 46);
  p.replace(48, text.size(), text);
  return p;
}

const QStringList kWelcome = {u"某某单位"_s, u"热烈欢迎各位领导"_s, u"莅临参观指导工作！"_s};

TEST(SubtitlePacket, DecodesWhatTheConsoleSends) {
  QByteArray stop(TSubtitlePacket::kSize, '\0');
  stop[2] = 1;
  QByteArray tooLong = StartPacket(0, 0, 0, 30, 0, kWelcome);
  qToLittleEndian<quint16>(2049, tooLong.data() + 46);
  QByteArray badCommand = StartPacket(0, 0, 0, 30, 0, kWelcome);
  badCommand[2] = 2;
  const struct {
    const char* name;
    QByteArray bytes;
    QString text;  // empty: refused
    QStringList lines;
  } cases[] = {
      {"defaults", StartPacket(0, 0, 0, 30, 0, kWelcome),
       u"start screen main layout one-line position top speed 30 motion left-right colour "
       "0x000000ff height -64 face 宋体 size 48 style italic lines 3 text 48 bytes"_s,
       kWelcome},
      {"several lines right, bottom to top",
       StartPacket(2, 1, 5, 100, 5, {u"A"_s, u""_s}),
       u"start screen both layout lines position right speed 100 motion bottom-top colour "
       "0x000000ff height -64 face 宋体 size 48 style italic lines 2 text 5 bytes"_s,
       {u"A"_s, u""_s}},
      {"stop", stop, u"stop"_s, {}},
      {"short", StartPacket(0, 0, 0, 30, 0, kWelcome).left(2095), {}, {}},
      {"text past its field", tooLong, {}, {}},
      {"command 2", badCommand, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QString error;
    const std::optional<TSubtitlePacket> p = DecodeSubtitlePacket(c.bytes, &error);
    ASSERT_EQ(p.has_value(), !c.text.isEmpty()) << error.toStdString();
    if (!p) continue;
    EXPECT_EQ(p->Text().toStdString(), c.text.toStdString());
    EXPECT_EQ(p->lines, c.lines);
  }
}

TEST(SubtitleServer, ShowsTheRunningTextUntilStoppedAndSurvivesATornPacket) {
  const QString address = net_test::Address(36);
  TNetSubtitleServer server{QHostAddress(address)};
  QString error;
  ASSERT_TRUE(server.Start(&error)) << error.toStdString();
  {
    TClient console(address, TNetSubtitleServer::kPort);
    const QByteArray packet = StartPacket(0, 0, 1, 30, 1, kWelcome);
    ASSERT_TRUE(console.Send(packet.left(1000)));  // TCP may deliver it in pieces
    ASSERT_TRUE(console.Send(packet.mid(1000)));
  }
  ASSERT_TRUE(ProcessEventsUntil([&] { return server.Packets() == 1; }));
  EXPECT_TRUE(server.Running());
  const QStringList shown = server.Dump();
  EXPECT_EQ(shown.first(), u"subtitle %1 packets 1 bad 0 running yes"_s.arg(address));
  EXPECT_EQ(shown.mid(2),
            (QStringList{u"subtitle line 某某单位"_s, u"subtitle line 热烈欢迎各位领导"_s,
                         u"subtitle line 莅临参观指导工作！"_s}));

  { TClient(address, TNetSubtitleServer::kPort).Send(QByteArray(100, 'x')); }
  ASSERT_TRUE(ProcessEventsUntil([&] { return server.Bad() == 1; }));
  EXPECT_TRUE(server.Running());
  QByteArray stop(TSubtitlePacket::kSize, '\0');
  stop[2] = 1;
  { TClient(address, TNetSubtitleServer::kPort).Send(stop); }
  ASSERT_TRUE(ProcessEventsUntil([&] { return server.Packets() == 2; }));
  EXPECT_FALSE(server.Running());
}

TEST(SubtitleServer, AnswersTheSearchOnTheReplyPort) {
  const QString address = net_test::Address(37), console = net_test::Address(1);
  TNetSubtitleServer server{QHostAddress(address)};
  QString error;
  ASSERT_TRUE(server.Start(&error)) << error.toStdString();
  const int fd = net_test::UdpSocket(console, TNetSubtitleServer::kReplyPort);
  ASSERT_GE(fd, 0);
  for (const char* probe : {"BRELUNDX", "BRELUND"})
    net_test::SendTo(fd, probe, address, TNetSubtitleServer::kProbePort);
  ASSERT_TRUE(net_test::WaitReadable(fd));
  EXPECT_EQ(net_test::ReceiveFrom(fd), std::pair(QByteArray("AUTHOK"), address));
  EXPECT_TRUE(net_test::ReadNow(fd).isEmpty());  // the wrong probe got nothing
  ::close(fd);
}

}  // namespace
