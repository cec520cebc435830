#include "core/pauser.h"

#include <sys/prctl.h>

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <numeric>
#include <thread>

void EventLoopPauser::Pause(int ms) {
  if (ms <= 0) return;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  auto left = [&end] {
    return std::chrono::duration_cast<std::chrono::microseconds>(end -
                                                                 std::chrono::steady_clock::now());
  };
  QEventLoop loop;
  loops_.push_back(&loop);
  const quint64 interruptions = interruptions_;
  const auto interrupted = [&] { return interruptions_ != interruptions; };
  QTimer timer;
  timer.setTimerType(Qt::PreciseTimer);
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  // Qt's timers round to whole milliseconds and may wake late: run the event
  // loop until about 2 ms remain, then sleep out the rest exactly, so that a
  // 50 ms pause is 50 ms and not 51.
  constexpr auto kSpin = std::chrono::microseconds(2000);
  for (auto rest = left(); rest > kSpin && !interrupted(); rest = left()) {
    timer.start(static_cast<int>((rest - kSpin).count() / 1000) + 1);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  loops_.pop_back();
  if (interrupted()) return;
  if (left().count() <= 0) return;
  // The thread's timer slack (50 us by default) would be added to every
  // pause: frames 50 ms apart are then 50.1 ms apart and a 100-screen
  // dissolve takes 10 ms longer. Only this last sleep is made exact.
  const int slack = ::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
  (void)::prctl(PR_SET_TIMERSLACK, 1, 0, 0, 0);
  std::this_thread::sleep_until(end);
  if (slack > 0) (void)::prctl(PR_SET_TIMERSLACK, slack, 0, 0, 0);
}

void EventLoopPauser::Interrupt() {
  ++interruptions_;
  for (QEventLoop* loop : loops_) loop->quit();
}

void RecordingPauser::Pause(int ms) {
  pauses.push_back(ms);
  if (onPause) onPause(ms);
}

int RecordingPauser::Total() const { return std::accumulate(pauses.begin(), pauses.end(), 0); }
