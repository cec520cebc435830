#pragma once

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QString>
#include <QVariant>
#include <QWidget>

// A widget showing a value between a minimum and a maximum, as assistive tools
// see it: its value as text and through the value interface. The widget class
// has Value(), Minimum() and Maximum(); setting the value and the step size
// are each widget's own.
template <class Widget>
class TValueAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  TValueAccessible(Widget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return QString::number(Shown()->Value());
    return QAccessibleWidget::text(t);
  }
  QVariant currentValue() const override { return Shown()->Value(); }
  QVariant maximumValue() const override { return Shown()->Maximum(); }
  QVariant minimumValue() const override { return Shown()->Minimum(); }

 protected:
  Widget* Shown() const { return static_cast<Widget*>(widget()); }
};

// Tells assistive tools that widget now shows value.
inline void AnnounceValue(QWidget* widget, double value) {
  QAccessibleValueChangeEvent event(widget, value);
  QAccessible::updateAccessibility(&event);
}
