#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTimer>
#include <cerrno>
#include <chrono>

#include "core/net_socket_address.h"
#include "core/net_socket_event_waiter.h"
#include "core/net_socket_poll_waiter.h"
#include "core/net_socket_tcp.h"
#include "core/net_socket_udp.h"

namespace {

TEST(Ipv4Address, ParsesOnlyFourDottedOctets) {
  const struct {
    const char* text;
    bool valid;
    quint8 a, b, c, d;
  } cases[] = {
      {"10.0.1.21", true, 10, 0, 1, 21},
      {"255.255.255.255", true, 255, 255, 255, 255},
      {"0.0.0.0", true, 0, 0, 0, 0},
      {"10.0.1", false, 0, 0, 0, 0},
      {"10.0.1.21.5", false, 0, 0, 0, 0},
      {"10.0.1.256", false, 0, 0, 0, 0},
      {"10.0.01.21", false, 0, 0, 0, 0},
      {" 10.0.1.21", false, 0, 0, 0, 0},
      {"10..1.21", false, 0, 0, 0, 0},
      {"10.0.1.21 ", false, 0, 0, 0, 0},
      {"", false, 0, 0, 0, 0},
      {"1000.0.1.2", false, 0, 0, 0, 0},
      {"-1.0.0.0", false, 0, 0, 0, 0},
      {"10.0.1.2x", false, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const auto address = TIpv4Address::Parse(QString::fromLatin1(c.text));
    ASSERT_EQ(address.has_value(), c.valid) << c.text;
    if (!address) continue;
    EXPECT_EQ(*address, TIpv4Address(c.a, c.b, c.c, c.d)) << c.text;
    EXPECT_EQ(address->ToString(), QString::fromLatin1(c.text));
  }
}

// A listening socket on loopback that the test accepts from by hand.
class LoopbackListener {
 public:
  LoopbackListener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), length);
    ::listen(fd_, 4);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &length);
    port_ = ntohs(a.sin_port);
  }
  ~LoopbackListener() { ::close(fd_); }
  quint16 Port() const { return port_; }
  int Accept() { return ::accept(fd_, nullptr, nullptr); }
  void Close() { ::close(fd_), fd_ = -1; }

 private:
  int fd_ = -1;
  quint16 port_ = 0;
};

using Clock = std::chrono::steady_clock;

qint64 MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(TcpClient, SendsReceivesAndFailsEachWayWithItsErrorNumber) {
  TPollSocketWaiter waiter;
  LoopbackListener listener;
  TTcpClient client(waiter);
  ASSERT_EQ(client.Connect(TIpv4Address::Loopback(), listener.Port(), 1000), 0);
  const int peer = listener.Accept();
  ASSERT_GE(peer, 0);
  ASSERT_EQ(client.SendAll(QByteArray("\xC8\x09", 2), 1000), 0);
  char got[4] = {};
  ASSERT_EQ(::recv(peer, got, sizeof got, 0), 2);
  EXPECT_EQ(QByteArray(got, 2), QByteArray("\xC8\x09", 2));

  // A silent peer: the receive gives up after its time-out, not before.
  QByteArray received;
  const auto start = Clock::now();
  EXPECT_EQ(client.ReceiveOnce(&received, 100, 150), ETIMEDOUT);
  EXPECT_GE(MsSince(start), 140);
  EXPECT_LT(MsSince(start), 2000);

  // Bytes beyond the bound stay for the next receive.
  ASSERT_EQ(::send(peer, "0123456789", 10, 0), 10);
  ASSERT_EQ(client.ReceiveOnce(&received, 4, 1000), 0);
  EXPECT_EQ(received, QByteArray("0123"));

  // A peer that closes is a failure, not an empty success.
  ::close(peer);
  ASSERT_EQ(client.ReceiveOnce(&received, 100, 1000), 0);
  EXPECT_EQ(client.ReceiveOnce(&received, 100, 1000), ECONNRESET);
  EXPECT_TRUE(received.isEmpty());

  // Nobody listening: refused.
  const quint16 port = listener.Port();
  listener.Close();
  EXPECT_EQ(client.Connect(TIpv4Address::Loopback(), port, 1000), ECONNREFUSED);
  EXPECT_FALSE(client.IsConnected());
}

// While the program's waiter waits, timers and queued work still run (the
// windows paint); the wait ends as soon as the socket is ready.
TEST(EventLoopSocketWaiter, RunsEventsWhileWaitingAndWakesOnData) {
  TUdpSocket receiver, sender;
  ASSERT_EQ(receiver.Open(), 0);
  ASSERT_EQ(sender.Open(), 0);
  ASSERT_EQ(receiver.Bind(TIpv4Address::Loopback(), 0), 0);
  sockaddr_in a{};
  socklen_t length = sizeof a;
  ::getsockname(receiver.Fd(), reinterpret_cast<sockaddr*>(&a), &length);
  const quint16 port = ntohs(a.sin_port);

  int ticks = 0;
  QTimer::singleShot(20, [&] { ++ticks; });
  QTimer::singleShot(60, [&] { sender.SendTo("AUTHOK", TIpv4Address::Loopback(), port); });
  TEventLoopSocketWaiter waiter;
  const auto start = Clock::now();
  EXPECT_TRUE(waiter.WaitReadable(receiver.Fd(), 5000));
  EXPECT_LT(MsSince(start), 4000);
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(waiter.WaitReadable(sender.Fd(), 30));
}

}  // namespace
