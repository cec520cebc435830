#include "core/net_socket_event_waiter.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include "core/net_socket_poll_waiter.h"

namespace {

bool WaitFor(int fd, QSocketNotifier::Type type, int ms) {
  TPollSocketWaiter now;
  const bool ready =
      type == QSocketNotifier::Read ? now.WaitReadable(fd, 0) : now.WaitWritable(fd, 0);
  if (ready || ms <= 0) return ready;
  QEventLoop loop;
  bool fired = false;
  QSocketNotifier notifier(static_cast<qintptr>(fd), type);
  QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
    fired = true;
    loop.quit();
  });
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  timer.start(ms);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  notifier.setEnabled(false);
  // The notifier may have been outrun by the timer in the same loop turn.
  if (fired) return true;
  return type == QSocketNotifier::Read ? now.WaitReadable(fd, 0) : now.WaitWritable(fd, 0);
}

}  // namespace

bool TEventLoopSocketWaiter::WaitReadable(int fd, int ms) {
  return WaitFor(fd, QSocketNotifier::Read, ms);
}

bool TEventLoopSocketWaiter::WaitWritable(int fd, int ms) {
  return WaitFor(fd, QSocketNotifier::Write, ms);
}
