#include "core/net_socket_tcp.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>

#include "core/net_socket_deadline.h"
#include "core/net_socket_waiter.h"

int TTcpClient::Connect(TIpv4Address address, quint16 port, int timeoutMs) {
  Close();
  TSocket socket;
  if (const int error = socket.Open(SOCK_STREAM)) return error;
  if (const int error = socket.SetNonBlocking()) return error;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(address.Value());
  if (::connect(socket.Fd(), reinterpret_cast<const sockaddr*>(&a), sizeof a) < 0) {
    if (errno != EINPROGRESS && errno != EINTR) return errno;
    if (!waiter_.WaitWritable(socket.Fd(), timeoutMs)) return ETIMEDOUT;
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(socket.Fd(), SOL_SOCKET, SO_ERROR, &error, &length) < 0) return errno;
    if (error != 0) return error;
  }
  socket_ = std::move(socket);
  return 0;
}

int TTcpClient::SendAll(const QByteArray& bytes, int timeoutMs) {
  if (!socket_.IsOpen()) return ENOTCONN;
  const TSocketDeadline deadline(timeoutMs);
  qsizetype sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(socket_.Fd(), bytes.constData() + sent,
                             static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
    if (n > 0) {
      sent += n;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return errno;
    if (!waiter_.WaitWritable(socket_.Fd(), deadline.MsLeft())) return ETIMEDOUT;
  }
  return 0;
}

int TTcpClient::ReceiveOnce(QByteArray* received, int maxBytes, int timeoutMs) {
  received->clear();
  if (!socket_.IsOpen()) return ENOTCONN;
  if (maxBytes <= 0) return EINVAL;
  const TSocketDeadline deadline(timeoutMs);
  QByteArray buffer(maxBytes, '\0');
  for (;;) {
    const ssize_t n = ::recv(socket_.Fd(), buffer.data(), static_cast<size_t>(maxBytes), 0);
    if (n > 0) {
      buffer.truncate(static_cast<qsizetype>(n));
      *received = buffer;
      return 0;
    }
    if (n == 0) return ECONNRESET;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return errno;
    // A wake-up without data (a spurious one) waits again for the rest.
    const int left = deadline.MsLeft();
    if (left <= 0 || !waiter_.WaitReadable(socket_.Fd(), left)) return ETIMEDOUT;
  }
}

void TTcpClient::Close() {
  socket_.Shutdown();
  socket_.Close();
}
