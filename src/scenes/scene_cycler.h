#pragma once

#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

// Automatic scene cycling: a timer that, at each step, plays the next
// scene marked for cycling after the cycling position (1 to 16, wrapping
// from 16 to 1) and moves the position past it. The first step comes one
// second after the start, each further one the cycling time after the
// previous step ended, so a scene with pauses lengthens the cycle by them.
//
// A step runs through runWhenIdle, so that it never interleaves with a
// running action: it waits until the action ends. The timer is stopped
// while a step waits or runs. The cycling time is a whole number of seconds
// from kMinSeconds; anything else is refused with a message and changes
// nothing, so a running cycle never stops on a bad entry.
class TSceneCycler {
 public:
  static constexpr int kSceneCount = 16;
  static constexpr int kFirstStepMs = 1000;
  static constexpr int kMinSeconds = 5;
  static constexpr int kMaxSeconds = 2147483;  // its milliseconds fit the timer's int

  TSceneCycler();

  // Whether scene 1 to 16 is marked for cycling (its check box).
  std::function<bool(int number)> ticked;
  // Runs the step now when idle, else after the running action; unset = now.
  std::function<void(std::function<void()>)> runWhenIdle;
  // Makes the scene current and plays it back.
  std::function<void(int number)> play;
  // The step played this scene (after its playback): the label follows.
  std::function<void(int number)> shown;

  // Starts cycling from scene 1, the first step in one second. Refused, with
  // the text to show, when no scene is marked or the time is not valid.
  std::optional<QString> Start(const QString& intervalText, bool chinese);
  void Stop();
  bool Running() const { return running_; }

  // The cycling time was edited: a valid time counts from the next step on;
  // an invalid one is refused with the text to show and the time stays.
  std::optional<QString> SetInterval(const QString& intervalText, bool chinese);
  int IntervalSeconds() const { return seconds_; }

  // One step, as the timer runs it.
  void Tick();

  int Position() const { return position_; }
  bool TimerActive() const { return timer_.isActive(); }
  int TimerInterval() const { return timer_.interval(); }

  // A whole number of seconds from kMinSeconds to kMaxSeconds; none otherwise.
  static std::optional<int> ParseSeconds(const QString& text);
  // "当前场景：" / "Current Scene：" followed by the scene's caption.
  static QString LabelText(bool chinese, const QString& caption);

 private:
  void Step(unsigned generation);
  // The first marked scene from the position on, wrapping; 0 when none.
  int NextMarked() const;

  QTimer timer_;
  bool running_ = false;
  unsigned generation_ = 0;  // a step queued before a stop or restart is stale
  int position_ = 1;
  int seconds_ = 6;
};
