#pragma once

#include <QProcess>
#include <QRect>
#include <QString>
#include <chrono>
#include <vector>

// The operator's hand and eye for black-box benchmarks: an X display (an
// Xvfb of its own on a free display number, or the one DISPLAY names), mouse
// input through the XTEST extension, and the damage (drawing) that a chosen
// top-level window receives, through the DAMAGE extension.
class TXDriver {
 public:
  using Clock = std::chrono::steady_clock;

  // ownServer: start an Xvfb even when DISPLAY is set.
  explicit TXDriver(bool ownServer);
  ~TXDriver();
  TXDriver(const TXDriver&) = delete;
  TXDriver& operator=(const TXDriver&) = delete;

  bool IsReady() const { return display_ != nullptr; }
  const QString& Error() const { return error_; }
  // ":N", for the programs started on it.
  const QString& DisplayName() const { return name_; }

  void MoveTo(QPoint at);
  // Button 1 or 3 pressed (down) or released, sent at once.
  void Button(int button, bool down);

  // Starts watching the drawing into the top-level window under the given
  // point (the pointer is moved there); false when there is none.
  bool WatchWindowAt(QPoint at);
  // Takes the damage reported so far: each entry is a moment at which the
  // watched window had been drawn into since the previous one.
  void CollectDamage();
  const std::vector<Clock::time_point>& Damage() const { return damage_; }

 private:
  bool StartServer();

  QProcess server_;
  QString name_;
  QString error_;
  struct _XDisplay* display_ = nullptr;
  unsigned long damageHandle_ = 0;
  int damageEventBase_ = 0;
  std::vector<Clock::time_point> damage_;
};
