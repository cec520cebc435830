#pragma once

#include <QDialog>
#include <functional>

#include "linkage/window_texts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TDVRLinkage;
class TIniParamsOp;

// "DVR设置": the DVR brand, the address for automatic split updates and the
// delay after each frame. Shown without blocking the main window; its
// captions follow the interface language each time it is shown. Changes
// reach the DVR linkage at once; OK stores them, Cancel (Esc, closing) puts
// back the values it had when shown.
class TDVRSetupForm : public QDialog {
  Q_OBJECT

 public:
  // linkage must outlive the dialog.
  TDVRSetupForm(TDVRLinkage& linkage, TWindowTexts texts, QWidget* parent = nullptr);
  ~TDVRSetupForm() override;

  // Program start: the stored settings into the controls; an unknown brand
  // index selects "DaHua" and the file keeps it until OK.
  void LoadSettings(const TIniParamsOp& ini);
  void SetIni(TIniParamsOp* ini) { ini_ = ini; }  // where OK stores (nullptr: nowhere)
  void LoadTexts();

  std::function<void()> accepted;  // after OK stored and closed

  void accept() override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct TValues {
    int brand = 0;
    QString id;
    bool delayOn = true;
    QString delayText;
  };
  TValues Values() const;
  void SetValues(const TValues& values);
  void PushToLinkage();

  TDVRLinkage& linkage_;
  TWindowTexts texts_;
  TIniParamsOp* ini_ = nullptr;
  TValues remembered_;
  QLabel* lblDVRBrand_ = nullptr;
  QComboBox* cbbDVR_ = nullptr;
  QLabel* lblDVRID_ = nullptr;
  QLineEdit* edtDVRID_ = nullptr;
  QCheckBox* cbDVRDelay_ = nullptr;
  QLineEdit* edtDVRDelay_ = nullptr;
  QPushButton* btnok_ = nullptr;
  QPushButton* btnCancel_ = nullptr;
};
