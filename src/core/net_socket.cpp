#include "core/net_socket.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

TSocket& TSocket::operator=(TSocket&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.Release();
  }
  return *this;
}

int TSocket::Open(int type) {
  Close();
  // Close-on-exec: a helper program started later must not inherit it.
  const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
  if (fd < 0) return errno;
  fd_ = fd;
  return 0;
}

int TSocket::Release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

int TSocket::SetNonBlocking() {
  const int flags = ::fcntl(fd_, F_GETFL, 0);
  if (flags < 0 || ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK) < 0) return errno;
  return 0;
}

void TSocket::Shutdown() {
  if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
}

void TSocket::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}
