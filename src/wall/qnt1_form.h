#pragma once

#include <QWidget>

class QGroupBox;
class QPushButton;
class TRotarySwitch;

// The rotating-output model's panel: it takes the place of the wall grid and
// offers the unit's five inputs and its output rotation. It only reports what
// the operator chose; the main window sends the commands.
class TQNT1Form : public QWidget {
  Q_OBJECT

 public:
  explicit TQNT1Form(QWidget* parent = nullptr);

  TRotarySwitch* RotarySwitch() const { return rsRotate_; }
  // The input button for a source number (1, 2, 3, 4, 6), nullptr otherwise.
  QPushButton* InputButton(int source) const;
  // The group captions in the interface language (the table has no keys).
  void LoadTexts(bool chinese);

 Q_SIGNALS:
  // An input button: the source number (1 Video 1, 2 Video 2, 3 VGA, 4 DVI, 6 USB).
  void sourceClicked(int source);
  // The operator let go of the rotary switch: 0 no rotation, 1 90°.
  void rotationReleased(int index);

 private:
  QGroupBox* gbInput_ = nullptr;
  QGroupBox* gbRotate_ = nullptr;
  TRotarySwitch* rsRotate_ = nullptr;
};
