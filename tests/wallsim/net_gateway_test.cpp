#include "net_gateway.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "net_test_client.h"
#include "virtual_wall.h"

namespace {

using namespace Qt::StringLiterals;
using net_test::TClient;

// A 70-byte gateway frame: the given bytes (hex, blanks for the eye), then zeros.
QByteArray Frame(const char* hex) {
  QByteArray f = QByteArray::fromHex(hex);
  f.resize(TGatewayDevice::kFrameSize, '\0');
  return f;
}

// Port records: the splicers on COM1, the DVR on COM5, both 9600 8N1.
const char* const kSplicersOnCom1 = "a5010300 00010103 0000000000000000 02";
const char* const kDvrOnCom5 = "a5010300 04050103 0000000000000000 02";

class NetGatewayTest : public testing::Test {
 protected:
  void SetUp() override {
    TNetDevices::TOptions options;
    options.gateway = QHostAddress(address);
    QString error;
    ASSERT_TRUE(wall.StartNet(options, &error)) << error.toStdString();
  }
  // One request on its own connection, as the console makes them.
  QByteArray Ask(const char* request) {
    TClient client(address, TNetGateway::kPort);
    EXPECT_TRUE(client.Send(Frame(request)));
    return client.Receive(TGatewayDevice::kFrameSize);
  }
  bool StateHas(const QString& line) const { return wall.StateLines().contains(line); }

  QString address = net_test::Address(82);
  QTemporaryDir home;
  TVirtualWall wall{{home.path(), 2, 2, false, {}}};
};

TEST_F(NetGatewayTest, AnswersTheManagementRequests) {
  const struct {
    const char* request;
    const char* reply;  // its first bytes; the rest of the 70 are zero
  } cases[] = {
      {"a50101", "a5010100 05"},
      {"a5010200 00", "a5010200 434f4d31"},  // "COM1"
      {"a5010200 04", "a5010200 434f4d35"},  // "COM5"
      {"a5010200 05", "a50182"},             // no such port
      // The Video tab on the second port at 115200, 8 data bits, no parity.
      {"a5010300 01020203 0000000000000000 020000", "a5010300 01"},
      {"a5010300 00090103", "a5010300 00"},  // no role 9
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request);
    EXPECT_EQ(Ask(c.request).toHex(), Frame(c.reply).toHex());
  }
  EXPECT_TRUE(StateHas(u"gateway port COM2 role VIDEO baud 115200 data 8 parity None"_s));
  // Closing names no port: all are closed.
  EXPECT_EQ(Ask("a50105").toHex(), Frame("a5010500 01").toHex());
  EXPECT_FALSE(wall.StateLines().join(u'\n').contains(u"gateway port"_s));
}

TEST_F(NetGatewayTest, AForwardReachesTheDeviceLineOfItsRole) {
  Ask(kSplicersOnCom1);
  // VideoContrastUp for screen 1-1, as the console forwards it.
  EXPECT_EQ(Ask("a5020100 09 01 c80901010101300106").toHex(), Frame("a5020100 01").toHex());
  EXPECT_EQ(wall.Splicers().Frames(), 1);

  // A source selection torn in two by the network still makes one frame.
  TClient client(address, TNetGateway::kPort);
  const QByteArray forward = Frame("a5020100 09 01 c809010102022002f9");
  ASSERT_TRUE(client.Send(forward.left(11)));
  EXPECT_TRUE(client.Receive(1, 50).isEmpty());  // half a frame is no request
  ASSERT_TRUE(client.Send(forward.mid(11)));
  EXPECT_EQ(client.Receive(TGatewayDevice::kFrameSize).left(5).toHex(), "a502010001");
  EXPECT_EQ(wall.Splicers().State().Screen(2, 2).source, 3);  // VGA
}

TEST_F(NetGatewayTest, ForwardsItCannotDeliverAreRefusedAndFeedNothing) {
  const char* const dvrSplit = "a5020500 10 05 9001fe00000100909005 1d01010000b4";
  const struct {
    const char* request;
    const char* reply;
  } cases[] = {
      {dvrSplit, "a502050000"},                             // no port carries the DVR
      {"a5020100 00 01", "a502010000"},                     // no bytes
      {"a5020100 41 01 c809010102022002f9", "a502010000"},  // 65 bytes
      {"a5020300 03 03 0c5605", "a502030000"},              // the VGA role is channel 2's
  };
  Ask(kSplicersOnCom1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request);
    EXPECT_EQ(Ask(c.request).left(5).toHex(), c.reply);
  }
  EXPECT_EQ(wall.Splicers().Frames(), 0);
  EXPECT_EQ(wall.Dvr().Frames() + wall.Matrix(TMatrixKind::Vga).IgnoredBytes(), 0);

  // Once a port carries the DVR, the same split frame arrives.
  Ask(kDvrOnCom5);
  EXPECT_EQ(Ask(dvrSplit).left(5).toHex(), "a502050001");
  EXPECT_TRUE(StateHas(u"dvr split 9 address 5"_s));
}

TEST(NetGatewayModes, ASilentGatewayNeverAnswersAndAGarbledOneAnswersNoFrame) {
  const struct {
    TNetGateway::TMode mode;
    int replyBytes;
    bool framed;
  } cases[] = {{TNetGateway::TMode::Normal, 70, true},
               {TNetGateway::TMode::Garbage, 70, false},
               {TNetGateway::TMode::Silent, 0, false}};
  int last = 90;
  for (const auto& c : cases) {
    const QString address = net_test::Address(++last);
    TNetGateway gateway(QHostAddress(address), c.mode);
    QString error;
    ASSERT_TRUE(gateway.Start(&error)) << error.toStdString();
    TClient client(address, TNetGateway::kPort);
    ASSERT_TRUE(client.Send(Frame("a50101")));
    ASSERT_TRUE(ProcessEventsUntil([&] { return gateway.Requests() == 1; }));
    const QByteArray reply = client.Receive(70, 100);
    EXPECT_EQ(reply.size(), c.replyBytes) << int(c.mode);
    EXPECT_EQ(reply.startsWith("\xa5\x01\x01"), c.framed) << int(c.mode);
  }
}

}  // namespace
