#pragma once

#include <QString>
#include <QtGlobal>
#include <deque>
#include <functional>
#include <optional>

// Runs the window's actions one at a time. An action's pauses keep the window
// painting, so a timer or a port can ask for new work while one runs; that
// work waits in order until the running action ends, exactly as if the thread
// were blocked. A long action shows progress, but only once it has run for
// ProgressDelay milliseconds, so quick actions never flash an indicator. A
// failed number conversion (or any other exception) ends the action, never
// the event handler: the runner reports its text after the action is over.
// A stop asked for while an action runs ends it at its next pause (see
// TActionPauser) and is reported the same way.
class TActionRunner {
 public:
  using Clock = std::function<qint64()>;  // monotonic milliseconds

  // Without a clock the runner uses a steady clock of its own.
  explicit TActionRunner(Clock clock = {});

  bool Running() const { return running_; }
  // Runs the action now when idle; queues it behind the running one (and
  // whatever already waits) otherwise. Queued work runs before Run returns to
  // the caller that started the running action.
  void Run(std::function<void()> action);
  std::size_t Waiting() const { return waiting_.size(); }

  // Asks the running action to stop; message is what the operator is told
  // (the first one, when several lines go at once).
  // Ignored when no action runs; forgotten when the action ends.
  void RequestStop(const QString& message);
  const std::optional<QString>& StopRequest() const { return stopRequest_; }

  // The running action's progress: done (0-based) of total steps; done ==
  // total ends it. Outside an action it is ignored.
  void Progress(int done, int total);
  bool ProgressShown() const { return progressShown_; }
  void SetProgressDelay(int ms) { progressDelay_ = ms; }
  int ProgressDelay() const { return progressDelay_; }

  // Window seams (unset = nothing shown).
  std::function<void(int done, int total)> showProgress;  // first call shows, later ones update
  std::function<void()> hideProgress;
  std::function<void(const QString& text)> onError;

 private:
  void RunOne(const std::function<void()>& action);
  void HideProgress();

  Clock clock_;
  bool running_ = false;
  bool progressShown_ = false;
  qint64 startedAt_ = 0;
  int progressDelay_ = 1000;
  std::deque<std::function<void()>> waiting_;
  std::optional<QString> stopRequest_;
};
