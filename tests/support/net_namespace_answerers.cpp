#include "support/net_namespace_answerers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "support/bound_socket.h"

TNetNamespaceAnswerers::TNetNamespaceAnswerers(quint16 probePort, quint16 replyPort,
                                               std::vector<Answer> answers)
    : replyPort_(replyPort), answers_(std::move(answers)) {
  if (::pipe(stopPipe_) != 0) return;
  socket_ = BoundIpv4Socket(SOCK_DGRAM, 0xffffffffu, probePort, false);
  if (socket_ >= 0) thread_ = std::thread([this] { Serve(); });
}

TNetNamespaceAnswerers::~TNetNamespaceAnswerers() {
  if (stopPipe_[1] >= 0) (void)!::write(stopPipe_[1], "x", 1);
  if (thread_.joinable()) thread_.join();
  for (int fd : {socket_, stopPipe_[0], stopPipe_[1]})
    if (fd >= 0) ::close(fd);
}

std::vector<std::pair<QByteArray, QString>> TNetNamespaceAnswerers::Probes() const {
  std::lock_guard lock(mutex_);
  return probes_;
}

void TNetNamespaceAnswerers::Serve() {
  for (;;) {
    pollfd fds[2] = {{stopPipe_[0], POLLIN, 0}, {socket_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) continue;
    if (fds[0].revents) return;
    char buffer[2048];
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t n =
        ::recvfrom(socket_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) continue;
    char dotted[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &from.sin_addr, dotted, sizeof dotted);
    {
      std::lock_guard lock(mutex_);
      probes_.emplace_back(QByteArray(buffer, n), QString::fromLatin1(dotted));
    }
    const sockaddr_in to = Ipv4SocketAddress(ntohl(from.sin_addr.s_addr), replyPort_);
    for (const Answer& answer : answers_) {
      in_addr a{};
      ::inet_pton(AF_INET, answer.address.toLatin1().constData(), &a);
      const int fd = BoundIpv4Socket(SOCK_DGRAM, ntohl(a.s_addr), 0, false);
      if (fd < 0) continue;
      ::sendto(fd, answer.payload.constData(), static_cast<size_t>(answer.payload.size()), 0,
               reinterpret_cast<const sockaddr*>(&to), sizeof to);
      ::close(fd);
    }
  }
}
