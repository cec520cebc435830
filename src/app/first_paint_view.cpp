#include "app/first_paint_view.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {
class FirstPaintProbe final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!done_ && event->type() == QEvent::Paint) {
      auto* w = qobject_cast<QWidget*>(watched);
      if (w && w->window()->isVisible()) {
        done_ = true;
        // Report after this paint has been handled and flushed.
        QTimer::singleShot(0, [] {
          std::fputs("first-paint\n", stdout);
          std::fflush(stdout);
        });
      }
    }
    return false;
  }

 private:
  bool done_ = false;
};
}  // namespace

void InstallFirstPaintProbe() {
  if (qEnvironmentVariableIsEmpty("QUVIAL_FIRST_PAINT")) return;
  qApp->installEventFilter(new FirstPaintProbe(qApp));
}
