#include "support/net_namespace_modules.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "support/bound_socket.h"

namespace {

constexpr quint16 kProbePort = 48899;
constexpr quint16 kCommandPort = 8899;

quint32 Parse(const QString& dotted) {
  in_addr a{};
  ::inet_pton(AF_INET, dotted.toLatin1().constData(), &a);
  return ntohl(a.s_addr);
}

QString Dotted(quint32 hostOrder) {
  return QStringLiteral("%1.%2.%3.%4")
      .arg(hostOrder >> 24)
      .arg((hostOrder >> 16) & 0xff)
      .arg((hostOrder >> 8) & 0xff)
      .arg(hostOrder & 0xff);
}

}  // namespace

TNetNamespaceModules::TNetNamespaceModules(std::vector<Module> modules)
    : modules_(std::move(modules)) {
  if (::pipe(stopPipe_) != 0) return;
  // Bound to the broadcast address: hears the probe and nothing else, so the
  // console's own socket on the same port does not clash with it.
  probeSocket_ = BoundIpv4Socket(SOCK_DGRAM, 0xffffffffu, kProbePort, true);
  valid_ = probeSocket_ >= 0;
  for (const Module& m : modules_) {
    int fd = -1;
    if (m.listens) {
      fd = BoundIpv4Socket(SOCK_STREAM, Parse(m.address), kCommandPort, true);
      if (fd < 0 || ::listen(fd, 8) != 0) valid_ = false;
    }
    listeners_.push_back(fd);
  }
  if (valid_) thread_ = std::thread([this] { Serve(); });
}

TNetNamespaceModules::~TNetNamespaceModules() {
  if (stopPipe_[1] >= 0) (void)!::write(stopPipe_[1], "x", 1);
  if (thread_.joinable()) thread_.join();
  for (int fd : listeners_)
    if (fd >= 0) ::close(fd);
  for (int fd : {probeSocket_, stopPipe_[0], stopPipe_[1]})
    if (fd >= 0) ::close(fd);
}

std::vector<std::pair<QByteArray, QString>> TNetNamespaceModules::Probes() const {
  std::lock_guard lock(mutex_);
  return probes_;
}

std::vector<std::pair<QString, QByteArray>> TNetNamespaceModules::Frames() const {
  std::lock_guard lock(mutex_);
  return frames_;
}

bool TNetNamespaceModules::WaitForFrames(std::size_t count, int timeoutMs) const {
  std::unique_lock lock(mutex_);
  return framesChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [&] { return frames_.size() >= count; });
}

void TNetNamespaceModules::Serve() {
  for (;;) {
    std::vector<pollfd> fds{{stopPipe_[0], POLLIN, 0}, {probeSocket_, POLLIN, 0}};
    // A module that does not listen polls nothing (a negative descriptor).
    for (int fd : listeners_) fds.push_back({fd, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), -1) < 0) continue;
    if (fds[0].revents) return;
    if (fds[1].revents) {
      char buffer[2048];
      sockaddr_in from{};
      socklen_t length = sizeof from;
      const ssize_t n = ::recvfrom(probeSocket_, buffer, sizeof buffer, 0,
                                   reinterpret_cast<sockaddr*>(&from), &length);
      if (n >= 0)
        AnswerProbe(QByteArray(buffer, n), ntohl(from.sin_addr.s_addr), ntohs(from.sin_port));
    }
    for (std::size_t i = 0; i < listeners_.size(); ++i)
      if (fds[i + 2].revents) Accept(i);
  }
}

void TNetNamespaceModules::AnswerProbe(const QByteArray& payload, quint32 sender,
                                       quint16 senderPort) {
  {
    std::lock_guard lock(mutex_);
    probes_.emplace_back(payload, Dotted(sender));
  }
  std::vector<quint32> from;
  for (const Module& m : modules_) {
    from.push_back(Parse(m.address));
    if (answerTwice) from.push_back(Parse(m.address));
  }
  if (echoFromProber) from.push_back(sender);
  const sockaddr_in to = Ipv4SocketAddress(sender, senderPort);
  for (quint32 address : from) {
    const int fd = BoundIpv4Socket(SOCK_DGRAM, address, 0, true);
    if (fd < 0) continue;
    ::sendto(fd, "HF-A11ASSISTHREAD-ACK", 21, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    ::close(fd);
  }
}

void TNetNamespaceModules::Accept(std::size_t module) {
  const int fd = ::accept4(listeners_[module], nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return;
  // A frame is at most nine bytes; read until the sender stops or closes.
  QByteArray received;
  char buffer[64];
  pollfd p{fd, POLLIN, 0};
  while (received.size() < 9 && ::poll(&p, 1, 300) > 0) {
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    received.append(buffer, n);
  }
  {
    std::lock_guard lock(mutex_);
    frames_.emplace_back(modules_[module].address, received);
  }
  framesChanged_.notify_all();
  const Module& m = modules_[module];
  const bool query = received.size() >= 7 && static_cast<quint8>(received[6]) == 0x13;
  if (query && !m.positionReply.isEmpty()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(m.replyDelayMs));
    ::send(fd, m.positionReply.constData(), static_cast<size_t>(m.positionReply.size()),
           MSG_NOSIGNAL);
  }
  ::close(fd);
}
