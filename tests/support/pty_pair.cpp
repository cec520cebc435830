#include "support/pty_pair.h"

#include <poll.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <algorithm>
#include <cerrno>

#include "core/raw_pty.h"

TPtyPair::TPtyPair() {
  TRawPty pty;
  if (!OpenRawPty(&pty)) return;
  master_ = pty.master;
  slave_ = pty.slave;
  slavePath_ = pty.slavePath;
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
    const ssize_t n =
        ::read(master_, buffer, size_t(std::min<qsizetype>(sizeof buffer, count - got.size())));
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
