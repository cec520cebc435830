#include "widgets/knob.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QStyleOptionFocusRect>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "widgets/accessible_factory.h"
#include "widgets/dial_math.h"
#include "widgets/value_accessible.h"

namespace {

constexpr double kArc = 270.0;             // degrees from the minimum to the maximum
constexpr double kFaceShare = 0.78;        // the face's share of the scale's radius
constexpr double kDeadCentreShare = 0.15;  // presses this close to the centre point nowhere
constexpr int kWheelNotch = 120;           // eighths of a degree per wheel notch
constexpr int kMaxWholeTicks = 40;         // beyond this many steps the scale gets fewer ticks
constexpr int kFewTicks = 24;
constexpr double kGridTolerance = 1e-9;  // a value this close to a step stands on it

QPointF Direction(double degrees) {
  const double a = Radians(degrees);
  return {std::sin(a), -std::cos(a)};
}

// The knob as assistive tools see it: a dial with a value they can read and set.
class TKnobAccessible : public TValueAccessible<TKnob> {
 public:
  explicit TKnobAccessible(TKnob* knob) : TValueAccessible(knob, QAccessible::Dial) {}

  void setCurrentValue(const QVariant& value) override {
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (ok && Shown()->isEnabled()) Shown()->Operate(v);
  }
  QVariant minimumStepSize() const override { return 1.0; }
};

}  // namespace

TKnob::TKnob(QWidget* parent) : QWidget(parent) {
  InstallWidgetAccessible<TKnob, TKnobAccessible>();
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  wheelSettle_.setSingleShot(true);
  wheelSettle_.setInterval(kDefaultWheelSettleMs);
  connect(&wheelSettle_, &QTimer::timeout, this, [this] {
    // A button or key still held will raise the one release itself.
    if (!mouseHeld_ && heldKey_ == 0) LetGo();
  });
}

void TKnob::SetRange(double minimum, double maximum) {
  if (!std::isfinite(minimum) || !std::isfinite(maximum)) return;
  minimum_ = std::min(minimum, maximum);
  maximum_ = std::max(minimum, maximum);
  update();
  Turn(value_);
}

void TKnob::SetValue(double value) {
  if (std::isnan(value)) return;
  Turn(value);
}

void TKnob::Operate(double value) {
  if (std::isnan(value) || !isEnabled()) return;
  Turn(value);
  LetGo();
}

void TKnob::SetCaption(const QString& caption) {
  if (accessibleName().isEmpty() || accessibleName() == caption_) setAccessibleName(caption);
  caption_ = caption;
  updateGeometry();
  update();
}

void TKnob::Turn(double value) {
  value = std::clamp(value, minimum_, maximum_);
  if (value == value_) return;
  value_ = value;
  update();
  AnnounceValue(this, value_);
  Q_EMIT valueChanged(value_);
}

void TKnob::LetGo() {
  wheelSettle_.stop();
  wheelAngle_ = 0;
  Q_EMIT released(value_);
}

double TKnob::Stepped(int steps) const {
  const double k = value_ - minimum_;
  const double base = steps > 0 ? std::floor(k + kGridTolerance) : std::ceil(k - kGridTolerance);
  return std::clamp(minimum_ + base + steps, minimum_, maximum_);
}

QRectF TKnob::DialRect() const {
  const double captionHeight = caption_.isEmpty() ? 0.0 : fontMetrics().height() + 2.0;
  return QRectF(0, 0, width(), std::max(0.0, height() - captionHeight));
}

QPointF TKnob::Centre() const { return DialRect().center(); }

double TKnob::Radius() const {
  const QRectF dial = DialRect();
  // Room is kept round the scale for the numbers at its ends.
  return std::max(6.0, std::min(dial.width(), dial.height()) / 2.0 - fontMetrics().height());
}

double TKnob::ValueAngle(double value) const {
  const double span = maximum_ - minimum_;
  if (span <= 0.0) return -kArc / 2.0;
  return -kArc / 2.0 + kArc * (std::clamp(value, minimum_, maximum_) - minimum_) / span;
}

QPoint TKnob::ValuePoint(double value) const {
  return (Centre() + Direction(ValueAngle(value)) * (Radius() * kFaceShare * 0.8)).toPoint();
}

bool TKnob::ValueAt(const QPointF& point, double* value) const {
  const QPointF v = point - Centre();
  if (std::hypot(v.x(), v.y()) < Radius() * kDeadCentreShare) return false;
  const double angle = std::atan2(v.x(), -v.y()) * 180.0 / std::numbers::pi;
  if (std::fabs(angle) > kArc / 2.0) {
    // In the gap below the scale the knob stays at the end it is nearer to,
    // so that a drag across the gap never flips from one end to the other.
    *value = value_ - minimum_ > (maximum_ - minimum_) / 2.0 ? maximum_ : minimum_;
    return true;
  }
  *value = minimum_ + (angle + kArc / 2.0) / kArc * (maximum_ - minimum_);
  return true;
}

QSize TKnob::sizeHint() const {
  const int caption = caption_.isEmpty() ? 0 : fontMetrics().height() + 2;
  return {std::max(120, fontMetrics().horizontalAdvance(caption_) + 8), 120 + caption};
}

QSize TKnob::minimumSizeHint() const {
  const int side = 2 * fontMetrics().height() + 24;
  return {side, side + (caption_.isEmpty() ? 0 : fontMetrics().height() + 2)};
}

void TKnob::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF c = Centre();
  const double r = Radius();
  const double face = r * kFaceShare;
  const QColor dark = palette().color(QPalette::Dark);
  const QColor highlight = palette().color(isEnabled() ? QPalette::Highlight : QPalette::Mid);

  // The scale: a tick per step, longer at the ends, and the ends' numbers.
  const double span = maximum_ - minimum_;
  const int whole = static_cast<int>(std::floor(span + kGridTolerance));
  const int ticks = whole >= 1 && whole <= kMaxWholeTicks ? whole : kFewTicks;
  const double tickStep = whole >= 1 && whole <= kMaxWholeTicks ? 1.0 : span / kFewTicks;
  p.setPen(QPen(palette().color(QPalette::WindowText), std::max(1.0, r / 60)));
  for (int i = 0; i <= ticks && span > 0.0; ++i) {
    const QPointF dir = Direction(ValueAngle(minimum_ + i * tickStep));
    const bool end = i == 0 || i == ticks;
    p.drawLine(c + dir * (end ? r * 0.84 : r * 0.9), c + dir * r);
  }
  const QFontMetricsF fm(font());
  p.setPen(palette().color(QPalette::WindowText));
  for (const double v : {minimum_, maximum_}) {
    const QString text = QString::number(v);
    const QPointF at = c + Direction(ValueAngle(v)) * (r + fm.height() * 0.6);
    const double w = fm.horizontalAdvance(text) + 4;
    p.drawText(QRectF(at.x() - w / 2, at.y() - fm.height() / 2, w, fm.height()), Qt::AlignCenter,
               text);
  }

  // How far the knob is turned, as an arc just inside the ticks.
  if (span > 0.0) {
    const double arcRadius = r * 0.84;
    p.setPen(QPen(highlight, std::max(2.0, r / 20), Qt::SolidLine, Qt::FlatCap));
    const QRectF arcBox(c.x() - arcRadius, c.y() - arcRadius, 2 * arcRadius, 2 * arcRadius);
    // The painter counts sixteenths of a degree anticlockwise from three o'clock.
    const double start = 90.0 + kArc / 2.0;
    const double sweep = ValueAngle(value_) + kArc / 2.0;
    p.drawArc(arcBox, static_cast<int>(std::lround(start * 16)),
              -static_cast<int>(std::lround(sweep * 16)));
  }

  QRadialGradient shade(c - QPointF(face, face) * 0.35, face * 1.6);
  shade.setColorAt(0.0, palette().color(QPalette::Light));
  shade.setColorAt(1.0, palette().color(isEnabled() ? QPalette::Button : QPalette::Window));
  p.setPen(QPen(dark, std::max(1.0, r / 40)));
  p.setBrush(shade);
  p.drawEllipse(c, face, face);

  const QPointF dir = Direction(ValueAngle(value_));
  p.setPen(QPen(highlight, std::max(2.0, face / 9), Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + dir * (face * 0.25), c + dir * (face * 0.88));

  if (!caption_.isEmpty()) {
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRectF(0, DialRect().bottom(), width(), height() - DialRect().bottom()),
               Qt::AlignCenter, caption_);
  }

  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(1, 1, -1, -1);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
  }
}

void TKnob::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  mouseHeld_ = true;
  double value = 0.0;
  if (ValueAt(event->position(), &value)) Turn(value);
  event->accept();
}

void TKnob::mouseMoveEvent(QMouseEvent* event) {
  double value = 0.0;
  if (mouseHeld_ && ValueAt(event->position(), &value)) Turn(value);
}

void TKnob::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !mouseHeld_) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  mouseHeld_ = false;
  LetGo();
}

void TKnob::wheelEvent(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  // High-resolution wheels send fractions of a notch; they add up to a step.
  wheelAngle_ += delta.y() != 0 ? delta.y() : delta.x();
  const int steps = wheelAngle_ / kWheelNotch;
  wheelAngle_ %= kWheelNotch;
  if (steps != 0) {
    Turn(Stepped(steps));
    wheelSettle_.start();
  }
  event->accept();
}

void TKnob::keyPressEvent(QKeyEvent* event) {
  double target = 0.0;
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
      target = Stepped(-1);
      break;
    case Qt::Key_Right:
    case Qt::Key_Up:
      target = Stepped(1);
      break;
    case Qt::Key_PageDown:
      target = Stepped(-kPageSteps);
      break;
    case Qt::Key_PageUp:
      target = Stepped(kPageSteps);
      break;
    case Qt::Key_Home:
      target = minimum_;
      break;
    case Qt::Key_End:
      target = maximum_;
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  Turn(target);
  heldKey_ = event->key();
  event->accept();
}

void TKnob::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat() || heldKey_ == 0 || event->key() != heldKey_) {
    QWidget::keyReleaseEvent(event);
    return;
  }
  heldKey_ = 0;
  LetGo();
}

void TKnob::focusOutEvent(QFocusEvent* event) {
  // A key or button held while the focus leaves never sees its release, and a
  // resting wheel is done with; the operator has let go all the same. (A
  // knob losing the focus because it was disabled sends nothing.)
  const bool held = isEnabled() && (heldKey_ != 0 || mouseHeld_ || wheelSettle_.isActive());
  heldKey_ = 0;
  mouseHeld_ = false;
  QWidget::focusOutEvent(event);
  if (held) LetGo();
}

void TKnob::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  // The pointer leaving after a wheel turn ends that turn without the wait.
  if (wheelSettle_.isActive() && !mouseHeld_ && heldKey_ == 0) LetGo();
}

void TKnob::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && !isEnabled()) {
    // A knob disabled mid-turn sends nothing more: what disabled it decided
    // that its value no longer applies.
    heldKey_ = 0;
    mouseHeld_ = false;
    wheelAngle_ = 0;
    wheelSettle_.stop();
  }
  QWidget::changeEvent(event);
}
