#include "widgets/thermometer.h"

#include <QAccessible>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "widgets/accessible_factory.h"
#include "widgets/value_accessible.h"

namespace {

const QColor kMercury(205, 30, 30);
constexpr double kTickSpacing = 4.0;  // pixels between two ticks at least
constexpr double kLabelLines = 1.6;   // text lines between two numbers at least

// The smallest of 1, 2, 5, 10, 20, 50 ... that cuts span into at most count parts.
double NiceStep(double span, double count) {
  if (span <= 0.0 || count < 1.0) return span > 0.0 ? span : 1.0;
  const double raw = span / count;
  const double decade = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double m : {1.0, 2.0, 5.0, 10.0})
    if (m * decade >= raw) return m * decade;
  return 10.0 * decade;
}

// The thermometer as assistive tools see it: a value they can read, not set.
class TThermometerAccessible : public TValueAccessible<TThermometer> {
 public:
  explicit TThermometerAccessible(TThermometer* t)
      : TValueAccessible(t, QAccessible::ProgressBar) {}

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    return s;
  }
  void setCurrentValue(const QVariant&) override {}  // it only shows
  QVariant minimumStepSize() const override { return 0.0; }
};

}  // namespace

TThermometer::TThermometer(QWidget* parent) : QWidget(parent) {
  InstallWidgetAccessible<TThermometer, TThermometerAccessible>();
  setFocusPolicy(Qt::NoFocus);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
}

void TThermometer::SetRange(double minimum, double maximum) {
  if (!std::isfinite(minimum) || !std::isfinite(maximum)) return;
  minimum_ = std::min(minimum, maximum);
  maximum_ = std::max(minimum, maximum);
  value_ = std::clamp(value_, minimum_, maximum_);
  update();
}

void TThermometer::SetValue(double value) {
  if (std::isnan(value)) return;
  value = std::clamp(value, minimum_, maximum_);
  if (value == value_) return;
  value_ = value;
  update();
  AnnounceValue(this, value_);
}

void TThermometer::SetCaption(const QString& caption) {
  if (accessibleName().isEmpty() || accessibleName() == caption_) setAccessibleName(caption);
  caption_ = caption;
  updateGeometry();
  update();
}

double TThermometer::CaptionHeight() const {
  return caption_.isEmpty() ? 0.0 : fontMetrics().height() + 2.0;
}

double TThermometer::BulbRadius() const {
  const double h = height() - CaptionHeight();
  return std::max(3.0, std::min(width() * 0.14, h * 0.1));
}

QRectF TThermometer::TubeRect() const {
  const double r = BulbRadius();
  const double tube = r;  // the tube is half as wide as the bulb
  // The scale's numbers keep their room on the right in a narrow widget.
  const double numbers = std::max(fontMetrics().horizontalAdvance(QString::number(minimum_)),
                                  fontMetrics().horizontalAdvance(QString::number(maximum_)));
  const double scale = tube / 2.0 + std::max(1.0, r / 8) + 4.0 + std::max(4.0, r * 0.9) + numbers;
  const double cx = std::max(r + 2.0, std::min(width() * 0.3, width() - scale));
  const double top = fontMetrics().height() / 2.0 + 1.0;
  const double bulbCentre = height() - CaptionHeight() - r - 2.0;
  return {cx - tube / 2.0, top, tube, std::max(0.0, bulbCentre - top)};
}

double TThermometer::LevelY(double value) const {
  const QRectF tube = TubeRect();
  // The scale runs from just above the bulb to half a tube-width below the top.
  const double low = tube.bottom() - BulbRadius() * 1.3;
  const double high = tube.top() + tube.width() / 2.0;
  const double span = maximum_ - minimum_;
  const double share = span > 0.0 ? (std::clamp(value, minimum_, maximum_) - minimum_) / span : 0.0;
  return low - share * (low - high);
}

QSize TThermometer::sizeHint() const {
  const QFontMetrics fm = fontMetrics();
  const int numbers = std::max(fm.horizontalAdvance(QString::number(minimum_)),
                               fm.horizontalAdvance(QString::number(maximum_)));
  return {std::max({60, numbers + 40, fm.horizontalAdvance(caption_) + 4}),
          200 + static_cast<int>(CaptionHeight())};
}

QSize TThermometer::minimumSizeHint() const {
  return {30, 6 * fontMetrics().height() + static_cast<int>(CaptionHeight())};
}

void TThermometer::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF tube = TubeRect();
  const double r = BulbRadius();
  const QPointF bulb(tube.center().x(), tube.bottom());
  const double pen = std::max(1.0, r / 8);
  QColor mercury = kMercury;
  if (!isEnabled()) mercury = QColor::fromHsv(mercury.hue(), mercury.saturation() / 3, 160);

  // The glass: tube and bulb in one outline.
  QPainterPath glass;
  glass.addRoundedRect(tube.adjusted(0, 0, 0, -r * 0.5), tube.width() / 2, tube.width() / 2);
  glass.addEllipse(bulb, r, r);
  p.setPen(QPen(palette().color(QPalette::Dark), pen));
  p.setBrush(palette().color(QPalette::Base));
  p.drawPath(glass.simplified());

  // The mercury: a column from the bulb up to the value, lit from the left.
  const double column = tube.width() * 0.5;
  const QRectF mercuryRect(bulb.x() - column / 2, LevelY(value_), column,
                           bulb.y() - LevelY(value_));
  QLinearGradient shine(mercuryRect.topLeft(), mercuryRect.topRight());
  shine.setColorAt(0.0, mercury.lighter(140));
  shine.setColorAt(1.0, mercury);
  p.setPen(Qt::NoPen);
  p.setBrush(shine);
  p.drawRect(mercuryRect);
  p.setBrush(mercury);
  p.drawEllipse(bulb, r * 0.72, r * 0.72);

  p.setPen(palette().color(QPalette::WindowText));
  if (!caption_.isEmpty())
    p.drawText(QRectF(0, height() - CaptionHeight(), width(), CaptionHeight()), Qt::AlignCenter,
               caption_);

  // The scale beside the tube: ticks every NiceStep, longer with a number.
  const QFontMetricsF fm(font());
  const double span = maximum_ - minimum_;
  const double pixels = LevelY(minimum_) - LevelY(maximum_);
  if (span <= 0.0 || pixels <= 0.0) return;
  const double tickStep = NiceStep(span, pixels / kTickSpacing);
  const double labelStep = std::max(tickStep, NiceStep(span, pixels / (fm.height() * kLabelLines)));
  const double x0 = tube.right() + pen + 2.0;
  const double longTick = std::max(4.0, r * 0.9);
  p.setPen(QPen(palette().color(QPalette::WindowText), std::max(1.0, r / 12)));
  const double first = std::ceil(minimum_ / tickStep - 1e-9);
  const double last = std::floor(maximum_ / tickStep + 1e-9);
  // Counted in whole ticks, bounded by the room, so huge scales end too.
  const int count = static_cast<int>(std::min(last - first, pixels / kTickSpacing + 1.0));
  for (int n = 0; n <= count; ++n) {
    const double v = (first + n) * tickStep;
    const double y = LevelY(v);
    const double ratio = v / labelStep;
    const bool labelled = std::fabs(ratio - std::round(ratio)) < 1e-6;
    p.drawLine(QPointF(x0, y), QPointF(x0 + (labelled ? longTick : longTick / 2), y));
    if (labelled)
      p.drawText(QRectF(x0 + longTick + 2, y - fm.height() / 2, width(), fm.height()),
                 Qt::AlignLeft | Qt::AlignVCenter, QString::number(v));
  }
}
