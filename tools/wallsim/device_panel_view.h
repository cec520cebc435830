#pragma once

#include <QWidget>

class TVirtualWall;

// The panel beside the wall: one box per matrix with its brand, counters and
// the input each switched output carries ("3 ← 2"), and one for the DVR with
// its picture split and address. Repaints merge like the wall's.
class TDevicePanel : public QWidget {
  Q_OBJECT

 public:
  explicit TDevicePanel(const TVirtualWall& wall, QWidget* parent = nullptr);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TVirtualWall& wall_;
};
