#include "core/net_socket_udp.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>

#include "core/net_socket_waiter.h"

namespace {

sockaddr_in ToSockAddr(TIpv4Address address, quint16 port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(address.Value());
  return a;
}

int SetFlag(int fd, int level, int option, bool on) {
  const int value = on ? 1 : 0;
  return ::setsockopt(fd, level, option, &value, sizeof value) < 0 ? errno : 0;
}

}  // namespace

int TUdpSocket::Open() { return socket_.Open(SOCK_DGRAM); }

int TUdpSocket::SetBroadcast(bool on) { return SetFlag(Fd(), SOL_SOCKET, SO_BROADCAST, on); }

int TUdpSocket::SetReuseAddress(bool on) { return SetFlag(Fd(), SOL_SOCKET, SO_REUSEADDR, on); }

int TUdpSocket::Bind(TIpv4Address address, quint16 port) {
  const sockaddr_in a = ToSockAddr(address, port);
  return ::bind(Fd(), reinterpret_cast<const sockaddr*>(&a), sizeof a) < 0 ? errno : 0;
}

int TUdpSocket::SendTo(const QByteArray& payload, TIpv4Address address, quint16 port) {
  const sockaddr_in a = ToSockAddr(address, port);
  ssize_t n;
  do {
    n = ::sendto(Fd(), payload.constData(), static_cast<size_t>(payload.size()), MSG_NOSIGNAL,
                 reinterpret_cast<const sockaddr*>(&a), sizeof a);
  } while (n < 0 && errno == EINTR);
  if (n < 0) return errno;
  return n == payload.size() ? 0 : EMSGSIZE;
}

TDatagramReceipt TUdpSocket::ReceiveNow(int maxBytes) {
  TDatagramReceipt receipt;
  QByteArray buffer(maxBytes > 0 ? maxBytes : 0, '\0');
  sockaddr_in from{};
  socklen_t fromLength = sizeof from;
  ssize_t n;
  // A zero-byte buffer still takes the datagram off the queue.
  char none = 0;
  do {
    n = ::recvfrom(Fd(), buffer.isEmpty() ? &none : buffer.data(),
                   static_cast<size_t>(buffer.size()), MSG_DONTWAIT,
                   reinterpret_cast<sockaddr*>(&from), &fromLength);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    if (errno != EAGAIN && errno != EWOULDBLOCK) receipt.error = errno;
    return receipt;
  }
  buffer.truncate(static_cast<qsizetype>(n));
  receipt.arrived = true;
  receipt.datagram.payload = buffer;
  receipt.datagram.sender = TIpv4Address(ntohl(from.sin_addr.s_addr));
  receipt.datagram.senderPort = ntohs(from.sin_port);
  return receipt;
}

TDatagramReceipt TUdpSocket::Receive(int maxBytes, int ms, TSocketWaiter& waiter) {
  waiter.WaitReadable(Fd(), ms);
  return ReceiveNow(maxBytes);
}
