#pragma once

#include <QWidget>

class QTimer;
class TNetDevices;

// The panel of the network devices: the COM gateway with its ports and
// roles, the subtitle server with its running text drawn in the colour, face
// and style it was sent (scrolling the way it was told to), and the network
// modules with their places and IDs. Repaints merge like the wall's.
class TNetDevicesPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TNetDevicesPanel(const TNetDevices& net, QWidget* parent = nullptr);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Tick();

  const TNetDevices& net_;
  QTimer* scroll_ = nullptr;
  int offset_ = 0;
};
