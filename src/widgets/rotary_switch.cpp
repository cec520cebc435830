#include "widgets/rotary_switch.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "widgets/dial_math.h"

namespace {

constexpr double kMaxStep = 90.0;   // degrees between two positions at most
constexpr double kMaxArc = 270.0;   // the positions never spread wider than this
constexpr int kCaptionRoom = 30;    // pixels kept around the plate for the captions
constexpr double kHubShare = 0.25;  // the hub's share of the plate's radius

}  // namespace

TRotarySwitch::TRotarySwitch(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TRotarySwitch::SetPositions(const QStringList& captions) {
  captions_ = captions;
  const int index = captions_.isEmpty() ? -1 : 0;
  const bool changed = index != index_;
  index_ = index;
  setAccessibleDescription(captions_.join(u' '));
  update();
  if (changed) Q_EMIT indexChanged(index_);
}

void TRotarySwitch::SetIndex(int index) {
  if (captions_.isEmpty()) return;
  Turn(std::clamp(index, 0, static_cast<int>(captions_.size()) - 1));
}

double TRotarySwitch::PositionAngle(int index) const {
  const int n = static_cast<int>(captions_.size());
  if (n <= 1) return 0.0;
  const double step = std::min(kMaxStep, kMaxArc / (n - 1));
  return -step * (n - 1) / 2.0 + step * index;
}

QPointF TRotarySwitch::Centre() const { return QRectF(rect()).center(); }

double TRotarySwitch::Radius() const {
  return std::max(4.0, std::min(width(), height()) / 2.0 - kCaptionRoom);
}

QPoint TRotarySwitch::PositionPoint(int index) const {
  const double a = Radians(PositionAngle(index));
  const double r = Radius() * 0.8;
  return (Centre() + QPointF(std::sin(a) * r, -std::cos(a) * r)).toPoint();
}

int TRotarySwitch::PositionAt(const QPointF& point) const {
  if (captions_.isEmpty()) return -1;
  const QPointF v = point - Centre();
  if (std::hypot(v.x(), v.y()) < Radius() * kHubShare) return -1;
  const double angle = std::atan2(v.x(), -v.y()) * 180.0 / std::numbers::pi;
  int best = 0;
  double bestDistance = 1e9;
  for (int i = 0; i < captions_.size(); ++i) {
    double d = std::fabs(std::remainder(angle - PositionAngle(i), 360.0));
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

void TRotarySwitch::Turn(int index) {
  if (index == index_) return;
  index_ = index;
  update();
  Q_EMIT indexChanged(index_);
}

QSize TRotarySwitch::sizeHint() const { return {160, 160}; }
QSize TRotarySwitch::minimumSizeHint() const {
  return {2 * kCaptionRoom + 24, 2 * kCaptionRoom + 24};
}

void TRotarySwitch::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF c = Centre();
  const double r = Radius();

  p.setPen(QPen(palette().color(QPalette::Dark), 2));
  p.setBrush(palette().color(isEnabled() ? QPalette::Button : QPalette::Window));
  p.drawEllipse(c, r, r);

  const QFontMetrics fm = fontMetrics();
  for (int i = 0; i < captions_.size(); ++i) {
    const double a = Radians(PositionAngle(i));
    const QPointF dir(std::sin(a), -std::cos(a));
    p.setPen(QPen(palette().color(QPalette::Dark), 1));
    p.drawLine(c + dir * (r * 0.85), c + dir * r);
    const QPointF at = c + dir * (r + kCaptionRoom / 2.0);
    const QRectF box(at.x() - fm.horizontalAdvance(captions_[i]) / 2.0 - 2,
                     at.y() - fm.height() / 2.0, fm.horizontalAdvance(captions_[i]) + 4,
                     fm.height());
    p.setPen(palette().color(i == index_ ? QPalette::Highlight : QPalette::WindowText));
    p.drawText(box, Qt::AlignCenter, captions_[i]);
  }

  if (index_ >= 0) {
    const double a = Radians(PositionAngle(index_));
    const QPointF dir(std::sin(a), -std::cos(a));
    p.setPen(QPen(palette().color(QPalette::Highlight), std::max(3.0, r / 10), Qt::SolidLine,
                  Qt::RoundCap));
    p.drawLine(c, c + dir * (r * 0.8));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(palette().color(QPalette::Dark));
  p.drawEllipse(c, r * kHubShare, r * kHubShare);

  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(1, 1, -1, -1);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
  }
}

void TRotarySwitch::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || captions_.isEmpty()) {
    QWidget::mousePressEvent(event);
    return;
  }
  mouseHeld_ = true;
  movedWhileHeld_ = false;
  const int at = PositionAt(event->position());
  if (at >= 0) {
    movedWhileHeld_ = true;
    Turn(at);
  }
  event->accept();
}

void TRotarySwitch::mouseMoveEvent(QMouseEvent* event) {
  if (!mouseHeld_) return;
  const int at = PositionAt(event->position());
  if (at >= 0) {
    movedWhileHeld_ = true;
    Turn(at);
  }
}

void TRotarySwitch::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !mouseHeld_) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  mouseHeld_ = false;
  // A click on the hub, without turning, steps to the next position.
  if (!movedWhileHeld_) Turn((index_ + 1) % static_cast<int>(captions_.size()));
  Q_EMIT released(index_);
}

void TRotarySwitch::keyPressEvent(QKeyEvent* event) {
  const int n = static_cast<int>(captions_.size());
  int target = -1;
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
      target = std::max(0, index_ - 1);
      break;
    case Qt::Key_Right:
    case Qt::Key_Up:
      target = std::min(n - 1, index_ + 1);
      break;
    case Qt::Key_Home:
      target = 0;
      break;
    case Qt::Key_End:
      target = n - 1;
      break;
    case Qt::Key_Space:
      target = n > 0 ? (index_ + 1) % n : -1;
      break;
    default:
      break;
  }
  if (n == 0 || target < 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  // Auto-repeat of a held Space would spin the switch round; only arrows repeat.
  if (!(event->isAutoRepeat() && event->key() == Qt::Key_Space)) Turn(target);
  heldKey_ = event->key();
  event->accept();
}

void TRotarySwitch::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat() || heldKey_ == 0 || event->key() != heldKey_) {
    QWidget::keyReleaseEvent(event);
    return;
  }
  heldKey_ = 0;
  Q_EMIT released(index_);
}

void TRotarySwitch::focusOutEvent(QFocusEvent* event) {
  // A key or button held while the focus leaves never sees its release; the
  // operator has let go all the same.
  const bool held = heldKey_ != 0 || mouseHeld_;
  heldKey_ = 0;
  mouseHeld_ = false;
  QWidget::focusOutEvent(event);
  if (held) Q_EMIT released(index_);
}
