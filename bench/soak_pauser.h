#pragma once

#include <QEventLoop>
#include <QTimer>
#include <algorithm>

#include "core/pauser.h"

// The soak's pauser: every pause waits at most 1 ms, in a local event loop
// that takes no operator input, as the program's own pauser does. The soak
// looks for leaks and losses, not timing, so the 50 ms after a frame and the
// matrix and DVR delays shrink; the bytes still go to the lines and the port
// threads' notices are still delivered between the frames.
class TSoakPauser final : public Pauser {
 public:
  void Pause(int ms) override {
    if (ms <= 0) return;
    ++pauses;
    QEventLoop loop;
    QTimer::singleShot(std::min(ms, 1), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  long long pauses = 0;
};
