#pragma once

#include <QTimer>
#include <QWidget>
#include <algorithm>
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

  // The paints from start to end, the longest stretch without one (ms) and
  // the paints a second.
  struct TSummary {
    size_t count = 0;
    double longestWithoutPaint = 0;
    double perSecond = 0;
  };
  TSummary Between(TWireProbe::Clock::time_point start, TWireProbe::Clock::time_point end) const {
    std::vector<TWireProbe::Clock::time_point> marks{start};
    for (auto t : paints)
      if (t >= start && t <= end) marks.push_back(t);
    marks.push_back(end);
    TSummary s;
    for (size_t i = 1; i < marks.size(); ++i)
      s.longestWithoutPaint =
          std::max(s.longestWithoutPaint,
                   std::chrono::duration<double, std::milli>(marks[i] - marks[i - 1]).count());
    const double seconds = std::chrono::duration<double>(end - start).count();
    s.count = marks.size() - 2;
    s.perSecond = static_cast<double>(s.count) / seconds;
    return s;
  }

 protected:
  void paintEvent(QPaintEvent*) override { paints.push_back(TWireProbe::Clock::now()); }

 private:
  QTimer timer_;
};

inline double Ms(TWireProbe::Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}
