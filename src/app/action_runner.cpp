#include "app/action_runner.h"

#include <QElapsedTimer>
#include <exception>
#include <memory>
#include <utility>

#include "app/action_stopped.h"
#include "core/conversion.h"

TActionRunner::TActionRunner(Clock clock) : clock_(std::move(clock)) {
  if (!clock_) {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    clock_ = [timer] { return timer->elapsed(); };
  }
}

void TActionRunner::Run(std::function<void()> action) {
  if (!action) return;
  waiting_.push_back(std::move(action));
  if (running_) return;  // the running action's caller drains the queue
  while (!waiting_.empty()) {
    std::function<void()> next = std::move(waiting_.front());
    waiting_.pop_front();
    RunOne(next);
  }
}

void TActionRunner::RunOne(const std::function<void()>& action) {
  running_ = true;
  stopRequest_.reset();
  startedAt_ = clock_();
  QString error;
  try {
    action();
  } catch (const TActionStopped& e) {
    error = e.Text();
  } catch (const TConversionError& e) {
    error = e.Text();
  } catch (const std::exception& e) {
    error = QString::fromLocal8Bit(e.what());
  } catch (...) {
    error = QStringLiteral("Unknown error");
  }
  running_ = false;
  stopRequest_.reset();
  HideProgress();
  if (!error.isEmpty() && onError) onError(error);
}

void TActionRunner::RequestStop(const QString& message) {
  if (running_ && !stopRequest_) stopRequest_ = message;  // the first reason counts
}

void TActionRunner::Progress(int done, int total) {
  if (!running_ || total <= 0) return;
  if (done >= total) {
    HideProgress();
    return;
  }
  if (!progressShown_ && clock_() - startedAt_ < progressDelay_) return;
  progressShown_ = true;
  if (showProgress) showProgress(done, total);
}

void TActionRunner::HideProgress() {
  if (!progressShown_) return;
  progressShown_ = false;
  if (hideProgress) hideProgress();
}
