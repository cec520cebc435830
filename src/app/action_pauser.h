#pragma once

#include "core/pauser.h"

class TActionRunner;

// The pauser the main window's actions wait through. Each pause goes to the
// program's pauser; a stop that the runner was asked for (a line hung up
// while the action waited) ends the action there, at its next pause, before
// any further frame is sent. While a pause runs the hang-up can be noticed
// only inside it, since the window's thread does nothing else then, so no
// frame can slip out between the notice and the stop.
class TActionPauser final : public Pauser {
 public:
  explicit TActionPauser(Pauser& inner) : inner_(inner) {}

  // Until it is set, pauses only pass through.
  void SetRunner(const TActionRunner* runner) { runner_ = runner; }
  // Throws TActionStopped when the running action is to stop.
  void Pause(int ms) override;
  void Interrupt() override { inner_.Interrupt(); }

 private:
  void StopIfAsked() const;

  Pauser& inner_;
  const TActionRunner* runner_ = nullptr;
};
