#pragma once

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QRadioButton;

// The QN-23 family's source buttons on its source page: the switcher's seven
// inputs, sent either to the wall selection or, with cb210Addr ticked, to the
// unit chosen in cbbSwitcherSignalAddress. The view only reports the choice.
class TSwitcherSourcesView : public QGroupBox {
  Q_OBJECT

 public:
  explicit TSwitcherSourcesView(QWidget* parent = nullptr);

  bool UnitAddressTicked() const;
  int UnitIndex() const;  // 0 is unit 1
  QRadioButton* KindButton(int kind) const;
  // The address box's caption (the language table has no key for it).
  void LoadTexts(bool chinese);

 Q_SIGNALS:
  // An input: kind 0..6 in the order of the QN-23 channel list.
  void kindClicked(int kind);

 private:
  QCheckBox* cb210Addr_ = nullptr;
  QComboBox* cbbSwitcherSignalAddress_ = nullptr;
};
