#pragma once

#include <QWidget>

class TWallSimulator;

// Draws the virtual wall: each combined picture as one framed rectangle
// labelled with its source, powered-off screens dark, frozen or rotated
// screens marked, the addressed fixed units in a strip below, and the frame
// counters. Repaints are requested through update(), so that a burst of
// frames costs one paint.
class TWallView : public QWidget {
  Q_OBJECT

 public:
  explicit TWallView(const TWallSimulator& sim, QWidget* parent = nullptr);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TWallSimulator& sim_;
};
