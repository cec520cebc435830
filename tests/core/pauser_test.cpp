#include "core/pauser.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

namespace {

// The real pause: exact enough that frames are paced at 50 ms and not 51,
// and the thread's queued work (painting, port events) goes on meanwhile.
TEST(EventLoopPauserTest, WaitsTheFullTimeAndKeepsTheQueueMoving) {
  EventLoopPauser pauser;
  int ticks = 0;
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start();

  std::vector<qint64> took;
  for (int i = 0; i < 5; ++i) {
    QElapsedTimer clock;
    clock.start();
    pauser.Pause(50);
    took.push_back(clock.nsecsElapsed());
  }
  for (qint64 ns : took) EXPECT_GE(ns, 50'000'000);
  std::sort(took.begin(), took.end());
  EXPECT_LT(took[2], 50'000'000 + 20'000'000) << "median far beyond 50 ms";
  EXPECT_GT(ticks, 10) << "queued work must run during a pause";
}

TEST(EventLoopPauserTest, LeavesTheThreadsTimerSlackAsItFoundIt) {
  // The pause sleeps its last stretch with the slack made exact; the
  // window's thread must get its own setting back.
  const int before = ::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
  EventLoopPauser pauser;
  pauser.Pause(5);
  EXPECT_EQ(::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0), before);
}

TEST(EventLoopPauserTest, NothingToWaitForReturnsAtOnce) {
  EventLoopPauser pauser;
  QElapsedTimer clock;
  clock.start();
  pauser.Pause(0);
  pauser.Pause(-5);
  EXPECT_LT(clock.elapsed(), 20);
}

TEST(EventLoopPauserTest, InterruptEndsTheRunningPauseAtOnce) {
  EventLoopPauser pauser;
  QTimer::singleShot(20, [&] { pauser.Interrupt(); });  // as a hang-up handled meanwhile
  QElapsedTimer clock;
  clock.start();
  pauser.Pause(60'000);
  EXPECT_LT(clock.elapsed(), 5'000);
  clock.restart();
  pauser.Pause(30);  // the next pause waits again
  EXPECT_GE(clock.nsecsElapsed(), 30'000'000);
}

TEST(RecordingPauserTest, RecordsWithoutWaitingAndCallsItsHook) {
  RecordingPauser pauser;
  std::vector<int> seen;
  pauser.onPause = [&](int ms) { seen.push_back(ms); };
  QElapsedTimer clock;
  clock.start();
  pauser.Pause(3000);
  pauser.Pause(50);
  EXPECT_LT(clock.elapsed(), 100);
  EXPECT_EQ(pauser.pauses, (std::vector<int>{3000, 50}));
  EXPECT_EQ(seen, pauser.pauses);
  EXPECT_EQ(pauser.Total(), 3050);
}

}  // namespace
