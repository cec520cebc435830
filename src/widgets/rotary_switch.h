#pragma once

#include <QStringList>
#include <QWidget>

// A rotary switch: a knob whose pointer stops at one of a fixed list of
// captioned positions spread over an arc. The operator turns it by dragging
// the pointer, clicking towards a caption, or with the arrow, Home and End
// keys; a click on the knob's hub steps to the next position. The command
// behind the switch belongs to released(): it is raised exactly once each
// time the operator lets go (mouse button or key), never while turning.
class TRotarySwitch : public QWidget {
  Q_OBJECT

 public:
  explicit TRotarySwitch(QWidget* parent = nullptr);

  // Replaces the positions; the index goes back to 0 (or -1 without any).
  void SetPositions(const QStringList& captions);
  const QStringList& Positions() const { return captions_; }

  // Position index from 0; -1 when the switch has no positions.
  int Index() const { return index_; }
  // Sets the position from the program: indexChanged, but no released().
  void SetIndex(int index);

  // Where position index points, in degrees clockwise from straight up.
  double PositionAngle(int index) const;
  // The point at the tip of the pointer for a position, in widget coordinates;
  // pressing there (or anywhere along that direction) picks that position.
  QPoint PositionPoint(int index) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 Q_SIGNALS:
  void indexChanged(int index);
  void released(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QPointF Centre() const;
  double Radius() const;
  // The nearest position to a point, or -1 when the point is on the hub.
  int PositionAt(const QPointF& point) const;
  void Turn(int index);

  QStringList captions_;
  int index_ = -1;
  bool mouseHeld_ = false;
  bool movedWhileHeld_ = false;
  int heldKey_ = 0;  // the key that turned the switch and is still down
};
