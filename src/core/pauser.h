#pragma once

#include <functional>
#include <vector>

// Every wait of the program (the 50 ms after a frame, matrix and DVR delays,
// delayed power-on, scene pauses) goes through a Pauser, so that tests can
// record the waits instead of sleeping.
class Pauser {
 public:
  virtual ~Pauser() = default;
  virtual void Pause(int ms) = 0;
};

// Waits in a local event loop that keeps the windows painting and queued
// port events flowing, but takes no operator input during the wait.
class EventLoopPauser final : public Pauser {
 public:
  void Pause(int ms) override;
};

// Records the pauses without waiting. An optional hook runs at each pause,
// for tests that need to look at the state between two frames.
class RecordingPauser final : public Pauser {
 public:
  void Pause(int ms) override;
  int Total() const;

  std::vector<int> pauses;
  std::function<void(int)> onPause;
};
