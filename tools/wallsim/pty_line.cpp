#include "pty_line.h"

#include <termios.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstring>

#include "core/raw_pty.h"

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
  TRawPty pty;
  if (!OpenRawPty(&pty)) {
    if (error)
      *error = QStringLiteral("cannot create a pseudo-terminal: ") +
               QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  master_ = pty.master;
  slave_ = pty.slave;
  slavePath_ = pty.slavePath;
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
