#pragma once

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QString>
#include <QStringList>
#include <span>

#include "linkage/window_texts.h"
#include "widgets/rotary_switch.h"

// Captions of the setup tabs from the language table. Without any table the
// designed caption stays; with one, a missing key leaves the control without
// a caption. The accessible name follows the caption shown.
namespace setup_caption {

inline QString Lookup(const TWindowTexts& texts, const char16_t* key) {
  return texts.Caption(QString::fromUtf16(key));
}

inline void Apply(const TWindowTexts& texts, const char16_t* key, QLabel* label) {
  const QString text = Lookup(texts, key);
  if (!text.isNull()) label->setText(text);
  label->setAccessibleName(label->text());
  if (label->buddy()) label->buddy()->setAccessibleName(label->text());
}

inline void Apply(const TWindowTexts& texts, const char16_t* key, QAbstractButton* button) {
  const QString text = Lookup(texts, key);
  if (!text.isNull()) button->setText(text);
  button->setAccessibleName(button->text());
}

inline void Apply(const TWindowTexts& texts, const char16_t* key, QGroupBox* group) {
  const QString text = Lookup(texts, key);
  if (!text.isNull()) group->setTitle(text);
  group->setAccessibleName(group->title());
}

// Controls with SetCaption (the instrument widgets).
template <typename T>
void ApplyWidget(const TWindowTexts& texts, const char16_t* key, T* widget) {
  const QString text = Lookup(texts, key);
  if (!text.isNull()) widget->SetCaption(text);
  widget->setAccessibleName(widget->Caption());
}

// A rotary switch position: its key and designed caption.
struct TPositionDef {
  const char16_t* key;
  const char16_t* caption;
};

// The positions' captions; the switch keeps its position through a
// language switch. An empty texts gives the designed captions.
inline void ApplyPositions(const TWindowTexts& texts, std::span<const TPositionDef> defs,
                           TRotarySwitch* rotary) {
  QStringList captions;
  for (const TPositionDef& def : defs) {
    const QString text = Lookup(texts, def.key);
    captions << (text.isNull() ? QString::fromUtf16(def.caption) : text);
  }
  if (captions == rotary->Positions()) return;
  const int index = rotary->Index();
  rotary->SetPositions(captions);
  rotary->SetIndex(index);
}

}  // namespace setup_caption
