#include "setup/network_splicers.h"

#include <gtest/gtest.h>

#include "core/net_socket_poll_waiter.h"
#include "core/pauser.h"
#include "link/protocol.h"
#include "setup/local_addresses.h"
#include "setup/network_splicer_link.h"
#include "support/net_namespace.h"
#include "support/net_namespace_modules.h"
#include "support/recording_scene_recorder.h"
#include "support/test_bytes.h"

using namespace Qt::StringLiterals;

namespace {

QString Module(int last) { return u"10.0.1.%1"_s.arg(last); }

// A network of its own: the console at 10.0.1.10 and 10.0.1.11, modules at
// 10.0.1.21 and up. The probe listens 300 ms per local address.
class NetworkSplicersTest : public testing::Test {
 protected:
  void SetUp() override {
    QStringList addresses{u"10.0.1.10"_s, u"10.0.1.11"_s};
    for (int i = 21; i <= 26; ++i) addresses << Module(i);
    if (const QString why = EnterNetNamespace(addresses); !why.isEmpty())
      GTEST_SKIP() << why.toStdString();
    link.localAddresses = [] { return QStringList{u"10.0.1.10"_s}; };
    link.SetProbeMs(300);
    link.SetReplyMs(700);
    splicers.message = [this](const QString& text) { messages << text; };
    splicers.memo = [this](const QString& line) { memo << line; };
    splicers.listsFilled = [this] { ++listsFilled; };
    splicers.SetRecorder(&recorder);
  }

  TPollSocketWaiter waiter;
  TNetworkSplicerLink link{waiter};
  TProtocol protocol;
  RecordingPauser pauser;
  RecordingSceneRecorder recorder;
  TNetworkSplicers splicers{link, protocol, pauser};
  QStringList messages, memo;
  int listsFilled = 0;
};

// Four modules on a 2 x 2 wall, answering in this order: each gets the ID of
// its cell, addressed by its current machine number (last octet high, the
// one before it low).
TEST_F(NetworkSplicersTest, RegistrationGivesEachModuleTheIdOfItsCell) {
  TNetNamespaceModules modules({{Module(21)}, {Module(22)}, {Module(23)}, {Module(24)}});
  ASSERT_TRUE(modules.IsValid());
  splicers.Table().Resize(2, 2);
  splicers.traceOn = [] { return true; };

  EXPECT_EQ(splicers.Register(), 4);

  const struct {
    QString address;
    int row, column;
    QByteArray frame;  // SetCellId: new ID, then the machine number
  } golden[] = {
      {Module(21), 0, 0, Bytes({0xC8, 0x09, 0x01, 0x01, 0x15, 0x01, 0x66, 0x01, 0x50})},
      {Module(22), 0, 1, Bytes({0xC8, 0x09, 0x01, 0x02, 0x16, 0x01, 0x66, 0x01, 0x52})},
      {Module(23), 1, 0, Bytes({0xC8, 0x09, 0x02, 0x01, 0x17, 0x01, 0x66, 0x01, 0x53})},
      {Module(24), 1, 1, Bytes({0xC8, 0x09, 0x02, 0x02, 0x18, 0x01, 0x66, 0x01, 0x55})},
  };
  ASSERT_TRUE(modules.WaitForFrames(std::size(golden)));
  const auto frames = modules.Frames();
  ASSERT_EQ(frames.size(), std::size(golden));
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const auto& g = golden[i];
    EXPECT_EQ(frames[i].first, g.address);
    EXPECT_EQ(frames[i].second.toHex(' '), g.frame.toHex(' ')) << i;
    EXPECT_EQ(splicers.Table().Address(g.row, g.column), g.address);
    EXPECT_TRUE(splicers.Table().Registered(g.row, g.column));
    // Recorded into the scene as a command step, then traced.
    EXPECT_EQ(recorder.steps.at(2 * i + 1).bytes, g.frame);
    // The trace sets each byte off by blanks: " c8  09 ... ".
    const QString traced =
        u" "_s + QString::fromLatin1(g.frame.toHex(' ')).replace(u" "_s, u"  "_s) + u" "_s;
    EXPECT_TRUE(memo.value(static_cast<qsizetype>(i)).endsWith(u" : msg = "_s + traced))
        << memo.value(static_cast<qsizetype>(i)).toStdString();
  }
  EXPECT_EQ(modules.Probes().size(), 1u);
  EXPECT_EQ(modules.Probes()[0].first, QByteArray("HF-A11ASSISTHREAD"));
  EXPECT_EQ(pauser.pauses, std::vector<int>(4, 50));
  EXPECT_EQ(listsFilled, 1);
  EXPECT_EQ(messages, QStringList{u"自动注册完成。注册设备数量：4。"_s});
}

TEST_F(NetworkSplicersTest, FewerModulesThanCellsSendsNoId) {
  TNetNamespaceModules modules({{Module(21)}, {Module(22)}, {Module(23)}});
  ASSERT_TRUE(modules.IsValid());
  splicers.Table().Resize(2, 2);
  EXPECT_EQ(splicers.Register(), -1);
  EXPECT_EQ(messages, QStringList{u"搜索设备失败：计划搜索数量4个，实际搜索数量3个"_s});
  splicers.SetChinese(false);
  EXPECT_EQ(splicers.Search(), -1);
  EXPECT_EQ(messages.value(1), u"Device search failed: 4 planned, 3 found."_s);
  EXPECT_TRUE(modules.Frames().empty());
  EXPECT_EQ(splicers.Table().Marks(), std::vector<bool>(4, false));
  EXPECT_EQ(listsFilled, 0);
}

// From two local addresses the probe goes out twice; a module answering
// twice, or from both probes, is one module; the host's own echo is not one.
TEST_F(NetworkSplicersTest, ProbeCountsEachModuleOnceAndNeverTheHost) {
  TNetNamespaceModules modules({{Module(21)}, {Module(22)}});
  ASSERT_TRUE(modules.IsValid());
  modules.answerTwice = true;
  modules.echoFromProber = true;
  link.localAddresses = [] { return QStringList{u"10.0.1.10"_s, u"10.0.1.11"_s}; };

  const auto found = link.ProbeNetworkSplicers();
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(*found, (QStringList{Module(21), Module(22)}));
  const auto probes = modules.Probes();
  ASSERT_EQ(probes.size(), 2u);
  EXPECT_EQ(probes[0].second, u"10.0.1.10"_s);
  EXPECT_EQ(probes[1].second, u"10.0.1.11"_s);
}

// The main window's search on a 2 x 3 wall: a module answering late (within
// the time-out) is located; a short reply and row 200 are ignored and
// counted; a silent module and one that refuses the connection locate nothing.
TEST_F(NetworkSplicersTest, SearchLocatesModulesAndIgnoresBadReplies) {
  TNetNamespaceModules modules({
      {Module(21), Bytes({0xC8, 0x09, 1, 0}), 250},
      {Module(22), Bytes({0xC8, 0x09, 0, 2, 0, 0, 0x13, 0x03})},
      {Module(23), Bytes({0xC8, 0x09, 1})},
      {Module(24), Bytes({0xC8, 0x09, 200, 1})},
      {Module(25), QByteArray()},
      {Module(26), QByteArray(), 0, false},
  });
  ASSERT_TRUE(modules.IsValid());
  splicers.Table().Resize(2, 3);
  int cleared = 0;
  splicers.clearStatus = [&] { ++cleared; };

  EXPECT_EQ(splicers.Search(), 2);

  EXPECT_EQ(cleared, 1);
  EXPECT_EQ(splicers.Table().Address(1, 0), Module(21));
  EXPECT_EQ(splicers.Table().Address(0, 2), Module(22));
  for (auto [r, c] : {std::pair{0, 0}, {0, 1}, {1, 1}, {1, 2}})
    EXPECT_TRUE(splicers.Table().Address(r, c).isEmpty()) << r << c;
  EXPECT_EQ(splicers.Table().Marks(), std::vector<bool>(6, false));
  EXPECT_EQ(splicers.InvalidReplies(), 2);
  EXPECT_EQ(messages, QStringList{u"connect socket() error = %1"_s.arg(ECONNREFUSED)});
  ASSERT_EQ(memo.size(), 1);
  EXPECT_TRUE(memo[0].startsWith(u"2 "_s));
  for (const auto& [address, bytes] : modules.Frames())
    EXPECT_EQ(bytes, Bytes({0xC8, 0x09, 0, 0, 0, 0, 0x13, 0x03, 0xE7})) << address.toStdString();
  EXPECT_EQ(modules.Frames().size(), 5u);
}

TEST_F(NetworkSplicersTest, LocalAddressesAreTheInterfacesOrTheOverride) {
  qunsetenv("QUVIAL_LOCAL_ADDRESSES");
  const QStringList interfaces = ListLocalAddresses();
  EXPECT_EQ(interfaces.mid(0, 3), (QStringList{u"10.0.1.10"_s, u"10.0.1.11"_s, Module(21)}));
  EXPECT_FALSE(interfaces.contains(u"127.0.0.1"_s));
  qputenv("QUVIAL_LOCAL_ADDRESSES", "10.0.1.11, junk,10.0.1.10");
  EXPECT_EQ(ListLocalAddresses(), (QStringList{u"10.0.1.11"_s, u"10.0.1.10"_s}));
  qunsetenv("QUVIAL_LOCAL_ADDRESSES");
}

}  // namespace
