#pragma once

#include <chrono>
#include <vector>

#include "core/pauser.h"

// The program's event-loop pauser, timed: notes how long each pause really
// took, so that a benchmark can tell the pause's own overshoot from the work
// between two pauses.
class TTimedPauser final : public Pauser {
 public:
  void Pause(int ms) override {
    const auto start = std::chrono::steady_clock::now();
    inner_.Pause(ms);
    durations.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::vector<double> durations;

 private:
  EventLoopPauser inner_;
};
