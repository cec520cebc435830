#include "setup/broadcast_search.h"

#include <gtest/gtest.h>

#include "core/net_socket_poll_waiter.h"
#include "core/net_socket_udp.h"
#include "support/net_namespace.h"
#include "support/net_namespace_answerers.h"

using namespace Qt::StringLiterals;

namespace {

// The search in a network of its own: the console at 10.0.1.10, devices at
// 10.0.1.21 and up. Passes are shortened; the replies come at once.
class BroadcastSearchTest : public testing::Test {
 protected:
  void SetUp() override {
    QStringList addresses{u"10.0.1.10"_s};
    for (int i = 21; i <= 26; ++i) addresses << u"10.0.1.%1"_s.arg(i);
    if (const QString why = EnterNetNamespace(addresses); !why.isEmpty())
      GTEST_SKIP() << why.toStdString();
    search.SetPassMs(100);
  }

  // Every hook writes what it saw into events, in order.
  TBroadcastSearchRequest Request(quint16 probe, quint16 reply) {
    TBroadcastSearchRequest r;
    r.probePort = probe;
    r.replyPort = reply;
    r.clearLog = [this] { events << u"clear"_s; };
    r.log = [this](const QString& line) { events << u"log:"_s + line; };
    r.beforePasses = [this] { events << u"before"_s; };
    r.showProgress = [this](int percent) { progress << percent; };
    r.hideProgress = [this] { events << u"hide"_s; };
    r.found = [this](const QString& address) { events << u"found:"_s + address; };
    r.afterDatagram = [this] { ++datagrams; };
    r.afterPasses = [this] { events << u"after"_s; };
    return r;
  }

  TPollSocketWaiter waiter;
  TBroadcastSearch search{waiter};
  QStringList events;
  QList<int> progress;
  int datagrams = 0;
};

TEST_F(BroadcastSearchTest, ListsEveryAuthOkSenderAndLogsEveryReply) {
  std::vector<TNetNamespaceAnswerers::Answer> answers;
  for (int i = 21; i <= 25; ++i) answers.push_back({u"10.0.1.%1"_s.arg(i), "AUTHOK"});
  answers.push_back({u"10.0.1.26"_s, "BUSY"});
  answers.push_back({u"10.0.1.22"_s, QByteArray("AUTHOK\0\0", 8)});  // the same device again
  TNetNamespaceAnswerers servers(80, 1235, answers);
  ASSERT_TRUE(servers.IsValid());

  ASSERT_TRUE(search.Run(Request(80, 1235)));

  ASSERT_EQ(servers.Probes().size(), 1u);
  EXPECT_EQ(servers.Probes()[0].first, QByteArray("BRELUND"));
  const QStringList expected{u"10.0.1.21"_s, u"10.0.1.22"_s, u"10.0.1.23"_s,
                             u"10.0.1.24"_s, u"10.0.1.25"_s, u"10.0.1.22"_s};
  EXPECT_EQ(search.Found(), expected);
  EXPECT_EQ(datagrams, 7);
  EXPECT_EQ(progress, (QList<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
  QStringList want{u"clear"_s, u"log:start network..."_s, u"log:send() over."_s, u"before"_s};
  for (int i = 21; i <= 26; ++i) {
    want << u"log:recvfrom : ip=10.0.1.%1"_s.arg(i);
    if (i <= 25) want << u"found:10.0.1.%1"_s.arg(i);
  }
  want << u"log:recvfrom : ip=10.0.1.22"_s << u"found:10.0.1.22"_s << u"hide"_s << u"after"_s
       << u"log:shutdown()."_s << u"log:closeSocket()."_s;
  EXPECT_EQ(events, want);
}

TEST_F(BroadcastSearchTest, RefusesASecondStartWhileOneRunsAndBindFailureStops) {
  TNetNamespaceAnswerers servers(8080, 8081, {{u"10.0.1.21"_s, "AUTHOK"}});
  ASSERT_TRUE(servers.IsValid());
  TBroadcastSearchRequest request = Request(8080, 8081);
  int refused = 0;
  request.afterDatagram = [&] { refused += search.Run(Request(8080, 8081)) ? 0 : 1; };
  ASSERT_TRUE(search.Run(request));
  EXPECT_EQ(refused, 1);
  EXPECT_EQ(search.Found(), QStringList{u"10.0.1.21"_s});
  EXPECT_FALSE(search.Running());

  // The reply port is taken: the search says so and ends before probing.
  TUdpSocket taken;
  ASSERT_EQ(taken.Open(), 0);
  ASSERT_EQ(taken.Bind(TIpv4Address::Any(), 8081), 0);
  events.clear();
  ASSERT_TRUE(search.Run(Request(8080, 8081)));
  EXPECT_EQ(events, (QStringList{u"clear"_s, u"log:start network..."_s,
                                 u"log:bind socket() error = %1"_s.arg(EADDRINUSE)}));
  EXPECT_EQ(servers.Probes().size(), 1u);
}

}  // namespace
