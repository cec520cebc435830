#include "support/pty_pair.h"

#include <QDeadlineTimer>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

TPtyPair::TPtyPair() {
  termios raw{};
  ::cfmakeraw(&raw);
  raw.c_cflag |= CLOCAL | CREAD;
  ::cfsetispeed(&raw, B9600);
  ::cfsetospeed(&raw, B9600);
  char name[256] = {};
  if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
    master_ = slave_ = -1;
    return;
  }
  slavePath_ = QString::fromLocal8Bit(name);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  ::fcntl(master_, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
}

TPtyPair::~TPtyPair() {
  CloseMaster();
  if (slave_ >= 0) ::close(slave_);
}

bool TPtyPair::Write(const QByteArray& bytes, int timeoutMs) {
  if (master_ < 0) return false;
  QDeadlineTimer deadline(timeoutMs);
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
    if (n > 0) {
      done += n;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    pollfd fd{master_, POLLOUT, 0};
    if (::poll(&fd, 1, int(deadline.remainingTime())) <= 0) return false;
  }
  return true;
}

QByteArray TPtyPair::Read(qsizetype count, int timeoutMs) {
  QByteArray got;
  if (master_ < 0) return got;
  QDeadlineTimer deadline(timeoutMs);
  char buffer[4096];
  while (got.size() < count) {
    const ssize_t n = ::read(master_, buffer, size_t(std::min<qsizetype>(sizeof buffer, count - got.size())));
    if (n > 0) {
      got.append(buffer, n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 || errno != EAGAIN) break;
    pollfd fd{master_, POLLIN, 0};
    if (::poll(&fd, 1, int(deadline.remainingTime())) <= 0) break;
  }
  return got;
}

QByteArray TPtyPair::ReadUntilQuiet(int quietMs) {
  QByteArray got;
  while (master_ >= 0) {
    pollfd fd{master_, POLLIN, 0};
    if (::poll(&fd, 1, quietMs) <= 0) break;
    char buffer[4096];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) break;
    got.append(buffer, n);
  }
  return got;
}

void TPtyPair::CloseMaster() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}
