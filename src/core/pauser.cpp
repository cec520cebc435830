#include "core/pauser.h"

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
  if (const auto rest = left(); rest.count() > 0) std::this_thread::sleep_for(rest);
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
