#pragma once

#include <QMenu>
#include <vector>

#include "wall/family_menus.h"

// The wall grid's context menu, built from a family's menu data: one submenu
// per captioned section ("拼接", "分解", "开关控制"), top-level entries for a
// section without caption. It only reports the chosen entry; the main window
// runs it.
class TFamilyMenuView : public QMenu {
  Q_OBJECT

 public:
  TFamilyMenuView(const std::vector<TMenuSectionDef>& sections, QWidget* parent = nullptr);

  // True when the menu has nothing the operator could choose (then it is not shown).
  bool Empty() const;
  // The entry action under a section caption (empty: top level), nullptr if none.
  QAction* EntryAction(const QString& section, const QString& caption) const;

 Q_SIGNALS:
  void entryChosen(const TMenuEntryDef& entry);

 private:
  std::vector<TMenuSectionDef> sections_;  // the actions point into this copy
};
