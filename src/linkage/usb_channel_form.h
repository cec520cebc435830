#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "linkage/window_texts.h"

class QPushButton;

// "USB通道": the remote control of the splicers' USB player, with direction,
// transport and volume keys. Not modal. Each key only reports its code
// (0x00 up ... 0x0C volume down); the main window sends it. The keys are
// reached by Tab and by the arrow keys, which move to the nearest key in
// that direction.
class TUSBChannelForm : public QDialog {
  Q_OBJECT

 public:
  explicit TUSBChannelForm(TWindowTexts texts, QWidget* parent = nullptr);

  // Asked at each showing: whether the volume keys are offered.
  std::function<bool()> volumeKeysShown;

  // The captions of the interface language; at each showing and at a switch.
  void LoadTexts();
  QPushButton* Key(int code) const;

 Q_SIGNALS:
  void keyClicked(int code);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The nearest shown key from `from` in the arrow's direction, or nullptr.
  QPushButton* Neighbour(const QPushButton* from, int arrowKey) const;

  TWindowTexts texts_;
  std::vector<QPushButton*> keys_;  // by code
};
