#include "setup/gateway_client.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>
#include <cerrno>

#include "core/net_socket_event_waiter.h"
#include "support/fake_gateway.h"
#include "support/net_namespace.h"

namespace {

const TGatewayCodes kSplicer = GatewayCodesOf(TGatewayLine::Splicer);

// Each case runs in a network namespace of its own, so that the gateway's
// fixed port 8082 on loopback belongs to the test alone.
class GatewayClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const QString why = EnterNetNamespace({}); !why.isEmpty())
      GTEST_SKIP() << why.toStdString();
    client_.Log().appended = [this](const QString& line) { log_.append(line); };
    client_.SetTimeouts(500, 300);
    client_.SetRememberedAddress(QStringLiteral("127.0.0.1"));
  }

  TEventLoopSocketWaiter waiter_;
  TGatewayClient client_{waiter_};
  QStringList log_;
};

// The gateway answers the count and nothing else: each silent request fails
// within the reply time-out while the event loop runs on, and after the first
// silence no further request goes out on that connection, so a late reply
// can never be taken for the answer to the next one.
TEST_F(GatewayClientTest, SilentGatewayFailsWithinItsTimeOutWhileEventsRun) {
  FakeGateway gateway(kGatewayTcpPort, [](const QByteArray& request) -> std::optional<QByteArray> {
    if (request[1] != 1 || request[2] != 1) return std::nullopt;
    return request.left(4) + '\x03';
  });
  ASSERT_TRUE(gateway.Listening()) << gateway.Error();
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(10);

  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(client_.GatewayForward(kSplicer, QByteArray(7, '\x01')));
  const qint64 forwardMs = clock.restart();
  const TGatewayPortTable table = client_.ReadPortTable(QStringLiteral("127.0.0.1"));
  const qint64 readMs = clock.elapsed();

  EXPECT_GE(forwardMs, 290);
  EXPECT_LT(forwardMs + readMs, 1500);
  EXPECT_GE(ticks, 40);
  EXPECT_EQ(table.count, 3);
  EXPECT_TRUE(table.names.isEmpty());
  EXPECT_EQ(gateway.Requests().size(), 3u);  // forward, count, first read
  EXPECT_EQ(log_.count(QStringLiteral("recv() time out")), 2);
  EXPECT_FALSE(log_.contains(QStringLiteral("Send Ok")));
}

TEST_F(GatewayClientTest, PortThatFailsToReadKeepsAnEmptyRecordAndNoName) {
  FakeGateway gateway(kGatewayTcpPort, FakeGateway::Ports({"COM1", "COM2"}, {1}));
  ASSERT_TRUE(gateway.Listening()) << gateway.Error();
  const TGatewayPortTable table = client_.ReadPortTable(QStringLiteral("127.0.0.1"));
  EXPECT_EQ(table.count, 2);
  ASSERT_EQ(table.records.size(), 2u);
  EXPECT_EQ(GatewayPortName(table.records[0]), QStringLiteral("COM1"));
  EXPECT_EQ(table.records[1], TGatewayPortRecord{});
  EXPECT_EQ(table.names, QStringList{QStringLiteral("COM1")});
  const auto requests = gateway.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1], GatewayReadPortRequest(0));
  EXPECT_EQ(requests[2], GatewayReadPortRequest(1));
  EXPECT_EQ(gateway.Connections(), 1);
  EXPECT_EQ(log_, (QStringList{QStringLiteral("Com count : 2"), QStringLiteral("Send failed")}));
}

TEST_F(GatewayClientTest, ForwardsGoInPiecesOfAtMostSixtyFourBytesInOrder) {
  struct Case {
    int bytes;
    char result;  // the gateway's result byte
    bool confirmed;
    std::vector<int> pieces;
  };
  for (const Case& c :
       {Case{130, 1, true, {64, 64, 2}}, Case{9, 0, false, {9}}, Case{64, 1, true, {64}}}) {
    SCOPED_TRACE(c.bytes);
    FakeGateway gateway(kGatewayTcpPort, [&](const QByteArray& request) {
      QByteArray reply = request.left(4);
      reply += c.result;
      return std::optional<QByteArray>(reply);
    });
    ASSERT_TRUE(gateway.Listening()) << gateway.Error();
    QByteArray data;
    for (int i = 0; i < c.bytes; ++i) data += static_cast<char>(i);

    EXPECT_EQ(client_.GatewayForward(GatewayCodesOf(TGatewayLine::Dvr), data), c.confirmed);
    QByteArray joined;
    std::vector<int> pieces;
    for (const QByteArray& request : gateway.Requests()) {
      pieces.push_back(request[4]);
      joined += request.mid(6, request[4]);
    }
    EXPECT_EQ(pieces, c.pieces);
    EXPECT_EQ(joined, data);
    EXPECT_EQ(gateway.Connections(), static_cast<int>(c.pieces.size()));
  }
}

TEST_F(GatewayClientTest, UnreachableGatewayIsLoggedAndEveryRequestFails) {
  // Nobody listens on 8082; before any connection the count logs nothing.
  EXPECT_EQ(client_.ReadPortTable(QStringLiteral("127.0.0.1")).count, 0);
  client_.SetRememberedAddress(QString());  // no "确定" or "关串口" yet
  EXPECT_FALSE(client_.GatewayForward(kSplicer, QByteArray(1, '\x01')));
  EXPECT_EQ(log_, (QStringList{QStringLiteral("connect socket() error = %1").arg(ECONNREFUSED),
                               QStringLiteral("连接服务器失败"), QStringLiteral("Send failed"),
                               QStringLiteral("connect socket() error = %1").arg(EADDRNOTAVAIL)}));
}

}  // namespace
