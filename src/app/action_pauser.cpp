#include "app/action_pauser.h"

#include "app/action_runner.h"
#include "app/action_stopped.h"

void TActionPauser::Pause(int ms) {
  // Before as well as after: a stop asked for elsewhere (a message box shown
  // by the action) must not wait out another pause first.
  StopIfAsked();
  inner_.Pause(ms);
  StopIfAsked();
}

void TActionPauser::StopIfAsked() const {
  if (runner_ && runner_->StopRequest()) throw TActionStopped(*runner_->StopRequest());
}
