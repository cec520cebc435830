#include "support/fake_gateway.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr int kFrame = 70;

// Waits up to 50 ms for fd to be readable, so the stop flag is seen soon.
bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, 50) > 0;
}

}  // namespace

FakeGateway::FakeGateway(quint16 port, Script script) : script_(std::move(script)) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_ANY);  // inside the test's own namespace
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 8) != 0) {
    error_ = errno;
    ::close(fd);
    return;
  }
  listenFd_ = fd;
  thread_ = std::thread([this] { Serve(); });
}

FakeGateway::~FakeGateway() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listenFd_ >= 0) ::close(listenFd_);
}

std::vector<QByteArray> FakeGateway::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void FakeGateway::Serve() {
  while (!stop_) {
    if (!Readable(listenFd_)) continue;
    const int fd = ::accept(listenFd_, nullptr, nullptr);
    if (fd < 0) continue;
    ++connections_;
    ServeConnection(fd);
    ::close(fd);
  }
}

void FakeGateway::ServeConnection(int fd) {
  QByteArray pending;
  while (!stop_) {
    if (!Readable(fd)) continue;
    char buffer[256];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return;  // the console closed the connection
    pending.append(buffer, n);
    while (pending.size() >= kFrame) {
      const QByteArray request = pending.left(kFrame);
      pending.remove(0, kFrame);
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
      }
      if (const std::optional<QByteArray> reply = script_(request))
        ::send(fd, reply->constData(), static_cast<size_t>(reply->size()), MSG_NOSIGNAL);
    }
  }
}

FakeGateway::Script FakeGateway::Ports(const std::vector<QByteArray>& names,
                                       std::vector<int> failReads) {
  return [names, failReads](const QByteArray& request) -> std::optional<QByteArray> {
    QByteArray reply(kFrame, '\0');
    reply[0] = request[0];
    reply[1] = request[1];
    reply[2] = request[2];
    const auto command = static_cast<quint8>(request[2]);
    if (request[1] == 2 || command == 3 || command == 5) {
      reply[4] = 1;  // confirmed
    } else if (command == 1) {
      reply[4] = static_cast<char>(names.size());
    } else if (command == 2) {
      const int index = static_cast<quint8>(request[4]);
      if (std::find(failReads.begin(), failReads.end(), index) != failReads.end())
        reply[2] = 0x7f;
      else if (index < static_cast<int>(names.size()))
        reply.replace(4, names[static_cast<std::size_t>(index)].size(),
                      names[static_cast<std::size_t>(index)]);
    }
    return reply;
  };
}
