#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <utility>

#include "support/event_wait.h"

// The console's side of a network device of the virtual wall, on real
// sockets: the device runs on the test's own event loop, so every wait for
// its answer keeps that loop turning.
namespace net_test {

// A loopback network of its own per test process (127.A.B.0/24), so that
// tests running at once, or a demo, do not share addresses.
inline QString Address(int last) {
  const int pid = int(::getpid());
  return QStringLiteral("127.%1.%2.%3").arg(100 + pid % 100).arg(1 + (pid / 100) % 250).arg(last);
}

inline sockaddr_in SocketAddress(const QString& dotted, quint16 port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(QHostAddress(dotted).toIPv4Address());
  return a;
}

// True once fd has something to read (or was closed by the peer).
inline bool WaitReadable(int fd, int timeoutMs = 3000) {
  return ProcessEventsUntil(
      [fd] {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
      },
      timeoutMs);
}

// Whatever is waiting on fd, without blocking.
inline QByteArray ReadNow(int fd) {
  QByteArray all;
  char buffer[4096];
  ssize_t n;
  while ((n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) all.append(buffer, n);
  return all;
}

// A UDP socket bound to address:port (any address when empty), able to
// broadcast; -1 when it cannot bind.
inline int UdpSocket(const QString& address, quint16 port) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  const sockaddr_in here =
      SocketAddress(address.isEmpty() ? QStringLiteral("0.0.0.0") : address, port);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&here), sizeof here) == 0) return fd;
  ::close(fd);
  return -1;
}

inline bool SendTo(int fd, const QByteArray& bytes, const QString& address, quint16 port) {
  const sockaddr_in to = SocketAddress(address, port);
  return ::sendto(fd, bytes.constData(), size_t(bytes.size()), 0,
                  reinterpret_cast<const sockaddr*>(&to), sizeof to) == bytes.size();
}

// The next datagram waiting on fd and its sender's address; empty sender
// when none is waiting.
inline std::pair<QByteArray, QString> ReceiveFrom(int fd) {
  sockaddr_in from{};
  socklen_t length = sizeof from;
  char buffer[2048];
  const ssize_t n = ::recvfrom(fd, buffer, sizeof buffer, MSG_DONTWAIT,
                               reinterpret_cast<sockaddr*>(&from), &length);
  if (n < 0) return {};
  return {QByteArray(buffer, int(n)), QHostAddress(ntohl(from.sin_addr.s_addr)).toString()};
}

// One TCP connection, closed with the object.
class TClient {
 public:
  TClient(const QString& address, quint16 port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    const sockaddr_in a = SocketAddress(address, port);
    // The kernel completes the handshake for a listening socket: no loop needed.
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~TClient() {
    if (fd_ >= 0) ::close(fd_);
  }
  TClient(const TClient&) = delete;
  TClient& operator=(const TClient&) = delete;

  int Fd() const { return fd_; }
  bool Send(const QByteArray& bytes) const {
    return fd_ >= 0 &&
           ::send(fd_, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
  }
  // Waits for an answer of at least `size` bytes; what came, possibly less.
  QByteArray Receive(qsizetype size, int timeoutMs = 3000) const {
    QByteArray all;
    while (all.size() < size && WaitReadable(fd_, timeoutMs)) {
      const QByteArray more = ReadNow(fd_);
      if (more.isEmpty()) break;  // closed
      all += more;
    }
    return all;
  }

 private:
  int fd_;
};

}  // namespace net_test
