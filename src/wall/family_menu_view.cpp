#include "wall/family_menu_view.h"

TFamilyMenuView::TFamilyMenuView(const std::vector<TMenuSectionDef>& sections, QWidget* parent)
    : QMenu(parent), sections_(sections) {
  setObjectName(QStringLiteral("pmWall"));
  for (std::size_t s = 0; s < sections_.size(); ++s) {
    const TMenuSectionDef& section = sections_[s];
    QMenu* into = this;
    if (!section.caption.isEmpty()) {
      into = addMenu(section.caption);
      into->setObjectName(QStringLiteral("pmWall") + QString::number(s));
      // A section without entries is shown, as designed, but cannot open.
      into->menuAction()->setEnabled(!section.entries.empty());
    }
    for (std::size_t e = 0; e < section.entries.size(); ++e) {
      const TMenuEntryDef& entry = section.entries[e];
      QAction* action = into->addAction(entry.caption);
      action->setVisible(!entry.hidden);
      // The entry carries the caption the operator sees now, in the current
      // language, so that the grid and a recorded scene show what was clicked.
      connect(action, &QAction::triggered, this, [this, s, e, action] {
        TMenuEntryDef chosen = sections_[s].entries[e];
        chosen.caption = action->text();
        Q_EMIT entryChosen(chosen);
      });
    }
  }
}

bool TFamilyMenuView::Empty() const {
  for (const TMenuSectionDef& section : sections_) {
    if (!section.caption.isEmpty()) return false;
    for (const TMenuEntryDef& entry : section.entries)
      if (!entry.hidden) return false;
  }
  return true;
}

QAction* TFamilyMenuView::EntryAction(const QString& section, const QString& caption) const {
  const QMenu* in = this;
  if (!section.isEmpty()) {
    in = nullptr;
    for (QAction* a : actions())
      if (a->menu() && a->text() == section) in = a->menu();
    if (!in) return nullptr;
  }
  for (QAction* a : in->actions())
    if (!a->menu() && a->text() == caption) return a;
  return nullptr;
}
