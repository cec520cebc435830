#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <set>

#include "net_splicer_module.h"
#include "net_test_client.h"
#include "support/net_namespace.h"
#include "virtual_wall.h"

namespace {

using namespace Qt::StringLiterals;
using net_test::TClient;

// A splicer frame from its bytes before the sum.
QByteArray Framed(QByteArray bytes) {
  quint8 sum = 0;
  for (char b : bytes) sum = quint8(sum + quint8(b));
  return bytes + char(sum);
}

// The console's SetCellId for the module at `address`: the machine number
// it addresses is the address's last octet, then its third.
QByteArray SetCellId(const QString& address, int row, int col, bool longFrame = true) {
  const quint32 ip = QHostAddress(address).toIPv4Address();
  const char high = char(ip & 0xFF), low = char((ip >> 8) & 0xFF);
  if (longFrame)
    return Framed(QByteArray("\xc8\x09", 2) + char(row) + char(col) + high + low + "\x66\x01");
  return Framed(QByteArray("\xc8\x07", 2) + high + low + '\x66' + char(row << 4 | col));
}

const QByteArray kPositionQuery = QByteArray::fromHex("c809000000001303e7");

class NetModulesTest : public testing::Test {
 protected:
  void Start(int count, int delayMs) {
    TNetDevices::TOptions options;
    QString error;
    ASSERT_TRUE(TNetDevices::ParseModules(u"%1@%2"_s.arg(count).arg(net_test::Address(21)), 2, 2,
                                          &options, &error));
    options.moduleDelayMs = delayMs;
    ASSERT_TRUE(wall.StartNet(options, &error)) << error.toStdString();
  }
  QByteArray Ask(int last, const QByteArray& frame, int timeoutMs = 3000) {
    TClient console(net_test::Address(last), TNetSplicerModule::kPort);
    EXPECT_TRUE(console.Send(frame));
    return console.Receive(4, timeoutMs);
  }

  QTemporaryDir home;
  TVirtualWall wall{{home.path(), 2, 2, false, {}}};
};

TEST_F(NetModulesTest, EachModuleAnswersTheProbeAndItsPlace) {
  Start(5, 0);  // one more than the wall has screens
  const struct {
    int last, row, col;
  } cases[] = {{21, 0, 0}, {22, 0, 1}, {23, 1, 0}, {24, 1, 1}, {25, 2, 0}};
  const int fd = net_test::UdpSocket({}, 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.last);
    const QByteArray place = Ask(c.last, kPositionQuery);
    ASSERT_GE(place.size(), 4);
    EXPECT_EQ(int(place[2]), c.row);
    EXPECT_EQ(int(place[3]), c.col);

    net_test::SendTo(fd, "HF-A11ASSISTHREAD", net_test::Address(c.last), 48899);
    ASSERT_TRUE(net_test::WaitReadable(fd));
    EXPECT_EQ(net_test::ReceiveFrom(fd).second, net_test::Address(c.last));
  }
  ::close(fd);
}

TEST_F(NetModulesTest, AModuleTakesTheIdAddressedToIt) {
  Start(4, 0);
  const auto& modules = wall.Net()->Modules();
  // A frame that is not answered, and the count it should move.
  const auto tell = [&](int last, const QByteArray& frame, auto count) {
    const TNetSplicerModule& m = *modules[size_t(last - 21)];
    const int before = (m.*count)();
    TClient(net_test::Address(last), TNetSplicerModule::kPort).Send(frame);
    return ProcessEventsUntil([&] { return (m.*count)() == before + 1; });
  };
  const auto id = [&](int last) { return Ask(last, kPositionQuery).mid(4, 2).toHex(); };
  ASSERT_TRUE(tell(21, SetCellId(net_test::Address(21), 1, 1), &TNetSplicerModule::IdsTaken));
  ASSERT_TRUE(
      tell(24, SetCellId(net_test::Address(24), 2, 2, false), &TNetSplicerModule::IdsTaken));
  // Another module's number: not for this one.
  ASSERT_TRUE(tell(22, SetCellId(net_test::Address(23), 1, 2), &TNetSplicerModule::Bad));
  EXPECT_EQ(id(21), "0101");
  EXPECT_EQ(id(24), "0202");
  EXPECT_NE(id(22), "0102");
  // Registered again under its new number, as a second registration would.
  ASSERT_TRUE(tell(21, Framed(QByteArray::fromHex("c80902010101") + "\x66\x01"),
                   &TNetSplicerModule::IdsTaken));
  EXPECT_EQ(id(21), "0201");
  EXPECT_TRUE(wall.StateLines().contains(
      u"module %1 place 1-1 id 0x0201 probes 0 queries 2 ids 2 bad 0"_s.arg(
          net_test::Address(21))));
}

TEST_F(NetModulesTest, ALateModuleAnswersAfterItsDelay) {
  Start(1, 150);
  TClient console(net_test::Address(21), TNetSplicerModule::kPort);
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(console.Send(kPositionQuery));
  EXPECT_EQ(console.Receive(4).size(), 9);
  EXPECT_GE(clock.elapsed(), 150);
}

TEST_F(NetModulesTest, OtherFramesGoOnToTheWall) {
  Start(1, 0);
  TClient console(net_test::Address(21), TNetSplicerModule::kPort);
  ASSERT_TRUE(console.Send(QByteArray::fromHex("c809010102022002f9")));
  ASSERT_TRUE(ProcessEventsUntil([&] { return wall.Splicers().Frames() == 1; }));
  EXPECT_EQ(wall.Splicers().State().Screen(1, 2).source, 3);  // VGA
}

// Last: the process stays in the namespace it enters.
TEST(NetModulesBroadcast, EveryModuleAnswersABroadcastProbeFromItsOwnAddress) {
  const QStringList addresses = {u"10.0.1.10"_s, u"10.0.1.21"_s, u"10.0.1.22"_s, u"10.0.1.23"_s};
  if (const QString why = EnterNetNamespace(addresses); !why.isEmpty())
    GTEST_SKIP() << why.toStdString();
  QTemporaryDir home;
  TVirtualWall wall{{home.path(), 1, 3, false, {}}};
  TNetDevices::TOptions options;
  QString error;
  ASSERT_TRUE(TNetDevices::ParseModules(u"10.0.1.21"_s, 1, 3, &options, &error));
  ASSERT_TRUE(wall.StartNet(options, &error)) << error.toStdString();

  const int fd = net_test::UdpSocket(u"10.0.1.10"_s, 48899);
  ASSERT_TRUE(net_test::SendTo(fd, "HF-A11ASSISTHREAD", u"255.255.255.255"_s, 48899));
  std::set<QString> answered;
  ProcessEventsUntil([&] {
    for (auto [bytes, from] = net_test::ReceiveFrom(fd); !from.isEmpty();
         std::tie(bytes, from) = net_test::ReceiveFrom(fd))
      answered.insert(from);
    return answered.size() >= 3;
  });
  ::close(fd);
  EXPECT_EQ(answered, (std::set<QString>{u"10.0.1.21"_s, u"10.0.1.22"_s, u"10.0.1.23"_s}));
}

}  // namespace
