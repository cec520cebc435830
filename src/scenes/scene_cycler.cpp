#include "scenes/scene_cycler.h"

#include "core/bilingual.h"

namespace {

QString IntervalRefusal(bool chinese) {
  return Bilingual(chinese, u"切换时间须为5至2147483之间的整数秒。",
                   u"The interval must be a whole number of seconds from 5 to 2147483.");
}

}  // namespace

TSceneCycler::TSceneCycler() {
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
}

std::optional<int> TSceneCycler::ParseSeconds(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return std::nullopt;
  for (const QChar c : t)
    if (c < u'0' || c > u'9') return std::nullopt;
  bool ok = false;
  const qlonglong seconds = t.toLongLong(&ok);
  if (!ok || seconds < kMinSeconds || seconds > kMaxSeconds) return std::nullopt;
  return static_cast<int>(seconds);
}

QString TSceneCycler::LabelText(bool chinese, const QString& caption) {
  return Bilingual(chinese, u"当前场景：", u"Current Scene：") + caption;
}

std::optional<QString> TSceneCycler::Start(const QString& intervalText, bool chinese) {
  Stop();
  bool any = false;
  for (int n = 1; n <= kSceneCount && !any; ++n) any = ticked && ticked(n);
  if (!any) return Bilingual(chinese, u"请选择要切换的场景", u"Please Choose Scene");
  const std::optional<int> seconds = ParseSeconds(intervalText);
  if (!seconds) return IntervalRefusal(chinese);
  seconds_ = *seconds;
  position_ = 1;
  running_ = true;
  timer_.start(kFirstStepMs);
  return std::nullopt;
}

void TSceneCycler::Stop() {
  timer_.stop();
  running_ = false;
  ++generation_;
}

std::optional<QString> TSceneCycler::SetInterval(const QString& intervalText, bool chinese) {
  const std::optional<int> seconds = ParseSeconds(intervalText);
  if (!seconds) return IntervalRefusal(chinese);
  seconds_ = *seconds;
  return std::nullopt;
}

void TSceneCycler::Tick() {
  timer_.stop();
  if (!running_) return;
  const unsigned generation = generation_;
  if (runWhenIdle)
    runWhenIdle([this, generation] { Step(generation); });
  else
    Step(generation);
}

void TSceneCycler::Step(unsigned generation) {
  if (!running_ || generation != generation_) return;
  // The next step is timed from the end of this one, even when its playback
  // fails: a failed scene must not stop the cycle.
  struct Restart {
    TSceneCycler* self;
    unsigned generation;
    ~Restart() {
      if (self->running_ && generation == self->generation_)
        self->timer_.start(self->seconds_ * 1000);
    }
  } restart{this, generation};

  const int number = NextMarked();
  // With every box unticked meanwhile, nothing plays until one is ticked again.
  if (number == 0) return;
  position_ = number % kSceneCount + 1;
  if (play) play(number);
  if (shown) shown(number);
}

int TSceneCycler::NextMarked() const {
  if (!ticked) return 0;
  for (int i = 0; i < kSceneCount; ++i) {
    const int n = (position_ - 1 + i) % kSceneCount + 1;
    if (ticked(n)) return n;
  }
  return 0;
}
