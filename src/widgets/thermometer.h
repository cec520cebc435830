#pragma once

#include <QString>
#include <QWidget>

// A thermometer: a glass tube with a bulb whose mercury column rises to a real
// value on a scale between a minimum and a maximum, with ticks and numbers
// beside it. Read-only and never takes the focus.
class TThermometer : public QWidget {
  Q_OBJECT

 public:
  explicit TThermometer(QWidget* parent = nullptr);

  // Sets the scale (a reversed pair is put in order); the value is held inside.
  void SetRange(double minimum, double maximum);
  double Minimum() const { return minimum_; }
  double Maximum() const { return maximum_; }

  double Value() const { return value_; }
  // Shows a value, held within the scale; a value that is not a number is
  // ignored.
  void SetValue(double value);

  // The caption drawn under the bulb; also the accessible name until one is
  // set explicitly with setAccessibleName().
  void SetCaption(const QString& caption);
  const QString& Caption() const { return caption_; }

  // The height in widget coordinates of the mercury's top for a value.
  double LevelY(double value) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRectF TubeRect() const;
  double BulbRadius() const;
  double CaptionHeight() const;

  QString caption_;
  double minimum_ = 0.0;
  double maximum_ = 100.0;
  double value_ = 0.0;
};
