#pragma once

#include <QString>
#include <QWidget>

// A two-state (LED-style) switch: a lamp that is lit when on, with its caption
// beside it. The operator clicks it with the mouse, Space or Enter: clicked()
// is raised first, while the switch still shows (and IsOn() still reports) its
// old state, so the handler sends the command for the new state; then it
// toggles. SetOn() from the program raises nothing. A disabled switch takes
// no clicks.
class TTwoStateSwitch : public QWidget {
  Q_OBJECT

 public:
  explicit TTwoStateSwitch(QWidget* parent = nullptr);
  explicit TTwoStateSwitch(const QString& caption, QWidget* parent = nullptr);

  // The caption beside the lamp; also the accessible name until one is set
  // explicitly with setAccessibleName().
  void SetCaption(const QString& caption);
  const QString& Caption() const { return caption_; }

  bool IsOn() const { return on_; }
  // Sets the state from the program: no signal.
  void SetOn(bool on);

  // What a mouse, key or accessibility click does: clicked(IsOn()), then the
  // switch turns to the other state. Does nothing while disabled.
  void Click();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 Q_SIGNALS:
  // Raised before the switch toggles; wasOn is the state it still shows.
  void clicked(bool wasOn);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QRectF LampRect() const;

  QString caption_;
  bool on_ = false;
  bool mouseHeld_ = false;
};
