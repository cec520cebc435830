#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

// A knob: a dial whose pointer stands for a real value between a minimum and
// a maximum, spread over a 270° arc. Dragging the pointer moves the value
// continuously (35.7 stays 35.7); the arrow keys, PageUp/PageDown, Home/End
// and the mouse wheel move it in whole steps of 1 from the minimum.
// valueChanged() follows every change; the command behind the knob belongs to
// released(), raised exactly once each time the operator lets go: the mouse
// button, the key, or — for the wheel, which has no release — once the wheel
// has rested for WheelSettleInterval() ms (or the pointer leaves the knob or
// the focus moves away first). SetValue() from the program raises
// valueChanged() only.
class TKnob : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kDefaultWheelSettleMs = 300;
  static constexpr int kPageSteps = 5;  // steps of 1 per PageUp/PageDown

  explicit TKnob(QWidget* parent = nullptr);

  // Sets the range (a reversed pair is put in order); the value is pulled
  // inside it, raising valueChanged() when that moves it.
  void SetRange(double minimum, double maximum);
  double Minimum() const { return minimum_; }
  double Maximum() const { return maximum_; }

  double Value() const { return value_; }
  // Sets the value from the program, held within the range: valueChanged()
  // when it moves, never released(). A value that is not a number is ignored.
  void SetValue(double value);
  // Turns the knob to value as the operator would and lets go at once:
  // valueChanged() when it moves, then released(). For assistive tools.
  void Operate(double value);

  // The caption drawn under the dial; also the accessible name until one is
  // set explicitly with setAccessibleName().
  void SetCaption(const QString& caption);
  const QString& Caption() const { return caption_; }

  // How long the wheel must rest before its turning counts as let go.
  void SetWheelSettleInterval(int ms) { wheelSettle_.setInterval(ms); }
  int WheelSettleInterval() const { return wheelSettle_.interval(); }

  // Where the pointer's tip stands for a value, in widget coordinates;
  // pressing there (or anywhere along that direction) turns the knob to it.
  QPoint ValuePoint(double value) const;
  // Where a value points, in degrees clockwise from straight up.
  double ValueAngle(double value) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 Q_SIGNALS:
  void valueChanged(double value);
  void released(double value);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QRectF DialRect() const;
  QPointF Centre() const;
  double Radius() const;
  // The value the pointer would show if turned towards point; false on the hub.
  bool ValueAt(const QPointF& point, double* value) const;
  // Moves the value by whole steps on the grid of 1 from the minimum: a value
  // between two steps first goes to the neighbouring one.
  double Stepped(int steps) const;
  void Turn(double value);
  void LetGo();

  QString caption_;
  double minimum_ = 0.0;
  double maximum_ = 100.0;
  double value_ = 0.0;
  bool mouseHeld_ = false;
  int heldKey_ = 0;     // the key that turned the knob and is still down
  int wheelAngle_ = 0;  // eighths of a degree not yet turned into a step
  QTimer wheelSettle_;
};
