#include "pty_line.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstring>

TPtyLine::TPtyLine(QObject* parent) : QObject(parent) {}

TPtyLine::~TPtyLine() { Unplug(); }

void TPtyLine::Unplug() {
  delete notifier_;
  notifier_ = nullptr;
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
  master_ = slave_ = -1;
  stalled_ = false;
}

bool TPtyLine::Stall(bool on) {
  if (!IsOpen()) return false;
  // Suspending the slave's output is what makes the console's writes block
  // at once; merely not reading would let it fill the tty buffers first.
  if (::tcflow(slave_, on ? TCOOFF : TCOON) != 0) return false;
  // What waited is read once the loop sees the notifier again, after the
  // caller has said that the line resumed.
  notifier_->setEnabled(!on);
  stalled_ = on;
  return true;
}

bool TPtyLine::Open(QString* error) {
  if (IsOpen()) return true;
  // Raw from the start: no output processing could turn a 0x0A or 0x09 of a
  // frame into something else before the console sets its own line up.
  termios raw{};
  ::cfmakeraw(&raw);
  raw.c_cflag |= CLOCAL | CREAD;
  ::cfsetispeed(&raw, B9600);
  ::cfsetospeed(&raw, B9600);
  char name[256] = {};
  if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
    if (error)
      *error = QStringLiteral("cannot create a pseudo-terminal: ") +
               QString::fromLocal8Bit(std::strerror(errno));
    master_ = slave_ = -1;
    return false;
  }
  slavePath_ = QString::fromLocal8Bit(name);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  ::fcntl(master_, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
  notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TPtyLine::ReadAvailable);
  return true;
}

void TPtyLine::ReadAvailable() {
  QByteArray bytes;
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::read(master_, chunk, sizeof chunk);
    if (n > 0) {
      bytes.append(chunk, n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    // EAGAIN: drained. EIO cannot happen while our own slave descriptor is
    // open; should it anyway, stop listening rather than spin.
    if (n < 0 && errno != EAGAIN) notifier_->setEnabled(false);
    break;
  }
  if (!bytes.isEmpty()) Q_EMIT bytesReceived(bytes);
}
