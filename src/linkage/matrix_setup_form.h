#pragma once

#include <QDialog>
#include <functional>
#include <initializer_list>

#include "linkage/window_texts.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TIniParamsOp;
class TMatrixLinkage;

// "矩阵设置": the brand and address of the VIDEO, VGA and DVI matrices, the
// mixer/switcher model and the per-command delay. Shown without blocking the
// main window. Every change reaches the matrix linkage at once (it reads the
// dialog's values as they are); OK stores them in Quvial.ini, Cancel (or Esc,
// or closing) puts back the values the dialog had when it was shown.
class TMatrixSetupForm : public QDialog {
  Q_OBJECT

 public:
  // linkage must outlive the dialog.
  TMatrixSetupForm(TMatrixLinkage& linkage, TWindowTexts texts, QWidget* parent = nullptr);
  ~TMatrixSetupForm() override;

  // Program start: the stored settings into the controls. A brand index that
  // is not in its list selects the list's first entry; the file keeps it
  // until the operator presses OK.
  void LoadSettings(const TIniParamsOp& ini);
  // Where OK stores (nullptr: nowhere). Must outlive the dialog's use.
  void SetIni(TIniParamsOp* ini) { ini_ = ini; }
  // The captions of the interface language (designed ones without a table).
  void LoadTexts();
  QString MixerModel() const;  // the mixer/switcher model's text

  // After OK stored the settings and closed the dialog.
  std::function<void()> accepted;

  void accept() override;  // OK: store when every number converts
  // True when every box holds a whole number; otherwise shows which text does
  // not convert (in the interface language), puts the cursor in that box and
  // returns false. Shared with the DVR setup dialog.
  static bool WholeNumbers(QWidget* parent, bool chinese, std::initializer_list<QLineEdit*> boxes);
  void reject() override;  // Cancel: restore the values remembered at show

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct TValues {
    int video = 0, vga = 0, dvi = 0, mixer = 0;
    QString videoId, vgaId, dviId;
    bool delayOn = true;
    QString delayText;
  };
  TValues Values() const;
  void SetValues(const TValues& values);
  void PushToLinkage();

  TMatrixLinkage& linkage_;
  TWindowTexts texts_;
  TIniParamsOp* ini_ = nullptr;
  TValues remembered_;
  QGroupBox* gbBox_ = nullptr;
  QLabel* lblVideo_ = nullptr;
  QLabel* lblVGA_ = nullptr;
  QLabel* lblDVI_ = nullptr;
  QLabel* lblMixerSwitcher_ = nullptr;
  QComboBox* cbbVideo_ = nullptr;
  QComboBox* cbbVGA_ = nullptr;
  QComboBox* cbbDVI_ = nullptr;
  QComboBox* cbbMixerSwitcher_ = nullptr;
  QLineEdit* edtVideoID_ = nullptr;
  QLineEdit* edtVGAId_ = nullptr;
  QLineEdit* edtDVIId_ = nullptr;
  QCheckBox* cbMatrixDelay_ = nullptr;
  QLineEdit* edtMatrixDelay_ = nullptr;
  QPushButton* btnok_ = nullptr;
  QPushButton* btnCancel_ = nullptr;
};
