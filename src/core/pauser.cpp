#include "core/pauser.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <numeric>

void EventLoopPauser::Pause(int ms) {
  if (ms <= 0) return;
  QDeadlineTimer deadline(ms, Qt::PreciseTimer);
  QEventLoop loop;
  QTimer timer;
  timer.setTimerType(Qt::PreciseTimer);
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  // A timer can fire a hair early; keep waiting until the full time has passed.
  while (!deadline.hasExpired()) {
    timer.start(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
}

void RecordingPauser::Pause(int ms) {
  pauses.push_back(ms);
  if (onPause) onPause(ms);
}

int RecordingPauser::Total() const { return std::accumulate(pauses.begin(), pauses.end(), 0); }
