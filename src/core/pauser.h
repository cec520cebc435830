#pragma once

#include <QtGlobal>
#include <functional>
#include <vector>

class QEventLoop;

// Every wait of the program (the 50 ms after a frame, matrix and DVR delays,
// delayed power-on, scene pauses) goes through a Pauser, so that tests can
// record the waits instead of sleeping.
class Pauser {
 public:
  virtual ~Pauser() = default;
  virtual void Pause(int ms) = 0;
  // Ends the pause that runs now (if any) at once, so that an action that
  // must stop does not first wait out a long delay. Nothing by default.
  virtual void Interrupt() {}
};

// Waits in a local event loop that keeps the windows painting and queued
// port events flowing, but takes no operator input during the wait.
class EventLoopPauser final : public Pauser {
 public:
  void Pause(int ms) override;
  void Interrupt() override;

 private:
  quint64 interruptions_ = 0;
  std::vector<QEventLoop*> loops_;  // of the pauses running now, innermost last
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
