#pragma once

#include <QFont>
#include <QString>

class QPainter;
class QWidget;

// How the virtual wall's side panels paint: a dark ground, then titled boxes
// stacked from the top, each as wide as the panel inside its margins.
class TPanelBoxes {
 public:
  static constexpr int kMargin = 8;
  static constexpr int kLine = 16;

  // Paints widget's ground with p; the first box starts at the top margin.
  TPanelBoxes(QPainter& p, const QWidget& widget);

  // A titled box whose body is bodyHeight pixels high, below what came
  // before; returns the body's top.
  int Box(const QString& title, int bodyHeight);

  // Where the next box starts; Skip leaves room for lines of the panel's own.
  int Top() const { return y_; }
  void Skip(int pixels) { y_ += pixels; }

  const QFont& Font() const { return font_; }
  // The boxes' width.
  int Width() const { return width_; }

 private:
  QPainter& p_;
  QFont font_;
  QFont bold_;
  int width_;
  int y_ = kMargin;
};
