#pragma once

#include <QTimer>
#include <QWidget>
#include <chrono>
#include <vector>

#include "wire_probe.h"

// Asks for a repaint every 20 ms and notes when each paint happened: a
// window that keeps painting during a long action paints it ~50 times a
// second.
class TPaintProbe : public QWidget {
 public:
  explicit TPaintProbe(QWidget* parent) : QWidget(parent) {
    setFixedSize(8, 8);
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    timer_.start();
  }
  std::vector<TWireProbe::Clock::time_point> paints;

 protected:
  void paintEvent(QPaintEvent*) override { paints.push_back(TWireProbe::Clock::now()); }

 private:
  QTimer timer_;
};

inline double Ms(TWireProbe::Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}
