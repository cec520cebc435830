#pragma once

#include <chrono>

// The moment a socket operation's time-out runs out, and the milliseconds
// left until then (0 once it has passed), for waits that may wake early.
class TSocketDeadline {
 public:
  explicit TSocketDeadline(int ms) : end_(Clock::now() + std::chrono::milliseconds(ms)) {}

  int MsLeft() const {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end_ - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
  }

 private:
  using Clock = std::chrono::steady_clock;
  Clock::time_point end_;
};
