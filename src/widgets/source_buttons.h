#pragma once

#include <QGroupBox>
#include <QLatin1String>
#include <QList>
#include <QVBoxLayout>
#include <functional>
#include <span>

// One input-source button of a panel: its object name, caption and the source
// number it selects.
struct TPanelButtonDef {
  const char* objectName;
  const char* caption;
  int source;
};

// Fills box with a column of Button controls, one per source from the top,
// each carrying its number in the "source" property; a click calls
// clicked(source) in context's thread. Returns the buttons in that order.
template <class Button>
QList<Button*> AddSourceButtons(QGroupBox* box, std::span<const TPanelButtonDef> defs,
                                QObject* context, const std::function<void(int)>& clicked) {
  QList<Button*> buttons;
  auto* column = new QVBoxLayout(box);
  for (const TPanelButtonDef& d : defs) {
    auto* button = new Button(QLatin1String(d.caption), box);
    button->setObjectName(QLatin1String(d.objectName));
    button->setProperty("source", d.source);
    column->addWidget(button);
    const int source = d.source;
    QObject::connect(button, &Button::clicked, context, [clicked, source] { clicked(source); });
    buttons.append(button);
  }
  column->addStretch(1);
  return buttons;
}
