#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TSetupTypeForm;
}

// The device type editor: renames the first twelve entries of the start
// dialog's device type list. Each rename is written to Quvial.ini at once;
// the position, not the name, still decides the device family.
class TSetupTypeForm : public QDialog {
  Q_OBJECT
 public:
  explicit TSetupTypeForm(QWidget* parent = nullptr);
  ~TSetupTypeForm() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void LoadTexts();
  void OnEntryChosen(int row);
  void OnEdit();

  std::unique_ptr<Ui::TSetupTypeForm> ui_;
  int editRow_ = 0;  // 0-based; written as "tvtype" + (editRow_ + 1)
};
