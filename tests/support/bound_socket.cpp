#include "support/bound_socket.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

sockaddr_in Ipv4SocketAddress(quint32 hostOrder, quint16 port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(hostOrder);
  return a;
}

int BoundIpv4Socket(int type, quint32 hostOrder, quint16 port, bool reuseAddress) {
  const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (reuseAddress) {
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  }
  const sockaddr_in a = Ipv4SocketAddress(hostOrder, port);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) < 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}
