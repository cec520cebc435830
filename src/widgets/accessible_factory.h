#pragma once

#include <QAccessible>
#include <QLatin1String>
#include <QObject>
#include <QString>

// Hands assistive tools the interface written for one of our widget classes.
// Qt asks the factory with each class name in the object's inheritance chain.
template <class Widget, class Interface>
QAccessibleInterface* MakeWidgetAccessible(const QString& key, QObject* object) {
  if (key == QLatin1String(Widget::staticMetaObject.className()) && object &&
      object->isWidgetType())
    return new Interface(static_cast<Widget*>(object));
  return nullptr;
}

// Installs that factory once per widget class, when the first such widget is made.
template <class Widget, class Interface>
void InstallWidgetAccessible() {
  static const bool installed = [] {
    QAccessible::installFactory(&MakeWidgetAccessible<Widget, Interface>);
    return true;
  }();
  Q_UNUSED(installed);
}
