#include "widgets/two_state_switch.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QRadialGradient>
#include <QStyleOptionFocusRect>
#include <algorithm>

#include "widgets/accessible_factory.h"

namespace {

constexpr double kLampShare = 1.5;  // the lamp's diameter in text lines at most
constexpr double kMargin = 2.0;
const QColor kLit(40, 210, 60);
const QColor kDim(70, 90, 70);

// The switch as assistive tools see it: a check box they can toggle, through
// the same click an operator makes.
class TTwoStateSwitchAccessible : public QAccessibleWidget {
 public:
  explicit TTwoStateSwitchAccessible(TTwoStateSwitch* sw)
      : QAccessibleWidget(sw, QAccessible::CheckBox) {}

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = Switch()->IsOn();
    return s;
  }
  QStringList actionNames() const override {
    return QStringList{toggleAction(), pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& name) override {
    if (name == toggleAction() || name == pressAction())
      Switch()->Click();
    else
      QAccessibleWidget::doAction(name);
  }

 private:
  TTwoStateSwitch* Switch() const { return static_cast<TTwoStateSwitch*>(widget()); }
};

}  // namespace

TTwoStateSwitch::TTwoStateSwitch(QWidget* parent) : QWidget(parent) {
  InstallWidgetAccessible<TTwoStateSwitch, TTwoStateSwitchAccessible>();
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

TTwoStateSwitch::TTwoStateSwitch(const QString& caption, QWidget* parent)
    : TTwoStateSwitch(parent) {
  SetCaption(caption);
}

void TTwoStateSwitch::SetCaption(const QString& caption) {
  if (accessibleName().isEmpty() || accessibleName() == caption_) setAccessibleName(caption);
  caption_ = caption;
  updateGeometry();
  update();
}

void TTwoStateSwitch::SetOn(bool on) {
  if (on == on_) return;
  on_ = on;
  update();
  QAccessible::State changed;
  changed.checked = true;
  QAccessibleStateChangeEvent event(this, changed);
  QAccessible::updateAccessibility(&event);
}

void TTwoStateSwitch::Click() {
  if (!isEnabled()) return;
  const bool wasOn = on_;
  // The handler may close the window that owns the switch.
  const QPointer<TTwoStateSwitch> self(this);
  Q_EMIT clicked(wasOn);
  // The click always ends in the other state than the one the handler saw.
  if (self) SetOn(!wasOn);
}

QRectF TTwoStateSwitch::LampRect() const {
  const double d =
      std::max(4.0, std::min(height() - 2 * kMargin, fontMetrics().height() * kLampShare));
  return {kMargin, (height() - d) / 2.0, d, d};
}

QSize TTwoStateSwitch::sizeHint() const {
  const QFontMetrics fm = fontMetrics();
  const int lamp = static_cast<int>(fm.height() * kLampShare);
  const int text = caption_.isEmpty() ? 0 : fm.horizontalAdvance(caption_) + fm.height() / 2;
  return {lamp + text + 4 * static_cast<int>(kMargin), lamp + 2 * static_cast<int>(kMargin)};
}

QSize TTwoStateSwitch::minimumSizeHint() const { return sizeHint(); }

void TTwoStateSwitch::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF lamp = LampRect();
  QColor glow = on_ ? kLit : kDim;
  if (!isEnabled()) glow = QColor::fromHsv(glow.hue(), glow.saturation() / 4, glow.value());
  QRadialGradient shade(lamp.center() - QPointF(lamp.width(), lamp.height()) * 0.15,
                        lamp.width() * 0.6);
  shade.setColorAt(0.0, glow.lighter(on_ ? 160 : 120));
  shade.setColorAt(1.0, glow);
  p.setPen(QPen(palette().color(QPalette::Dark), std::max(1.0, lamp.width() / 14)));
  p.setBrush(shade);
  p.drawEllipse(lamp);

  const QRectF text(lamp.right() + fontMetrics().height() / 3.0, 0,
                    width() - lamp.right() - fontMetrics().height() / 3.0, height());
  p.setPen(palette().color(QPalette::WindowText));
  p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, caption_);

  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(0, 0, -1, -1);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
  }
}

void TTwoStateSwitch::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  mouseHeld_ = true;
  event->accept();
}

void TTwoStateSwitch::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !mouseHeld_) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  mouseHeld_ = false;
  // Like a button: letting go outside the switch takes the click back.
  if (rect().contains(event->position().toPoint())) Click();
}

void TTwoStateSwitch::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter) {
    QWidget::keyPressEvent(event);
    return;
  }
  // A held key would flicker the switch on and off.
  if (!event->isAutoRepeat()) Click();
  event->accept();
}

void TTwoStateSwitch::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) mouseHeld_ = false;
  QWidget::changeEvent(event);
}
