#pragma once

#include <QList>

#include "setup/setup_form.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TRotarySwitch;
class TTwoStateSwitch;

// The maintenance tab "系统控制" of the system setup dialog: reset, version
// display, bit depth, blue or black background, backlight, the panel
// switches, USB upgrade and logo, and the machine ID group that gives a
// screen its wall position ("ID设置", read-ID, "自动注册"). Every command goes
// to the selected screens by the setting path; the ID frames go straight to
// the send path. Super-manager controls follow the level at each showing.
class TMaintenanceTabView : public TSetupTabPage {
  Q_OBJECT

 public:
  // services must outlive the tab.
  explicit TMaintenanceTabView(const TSetupServices& services, QWidget* parent = nullptr);

  void Showing() override;
  void LoadTexts() override;

 Q_SIGNALS:
  void autoRegisterRequested();

 private:
  struct TSwitch {
    QLabel* label = nullptr;  // only the switches captioned by a label beside them
    TTwoStateSwitch* sw = nullptr;
  };

  QWidget* BuildCommandColumn();
  QWidget* BuildSwitchColumn();
  QGroupBox* BuildBacklightGroup();
  QGroupBox* BuildIdGroup();
  QPushButton* AddButton(const char16_t* name, const char16_t* caption);
  void Send(quint8 cls, quint8 code, TSettingRoute route = TSettingRoute::Settings);
  void SetBacklight();
  void SetCellId();
  void ReadId();
  void Refuse(const QString& message);
  void EnableIdButton();
  bool Chinese() const { return services_.texts.Chinese(); }

  const TSetupServices& services_;
  QPushButton* btnSystemReset_ = nullptr;
  QPushButton* btnShowVersion_ = nullptr;
  QGroupBox* gbBitDepth_ = nullptr;
  TRotarySwitch* rsBitDepth_ = nullptr;
  QGroupBox* gbBackground_ = nullptr;
  TRotarySwitch* rsBackground_ = nullptr;
  QGroupBox* gbBacklight_ = nullptr;
  QLineEdit* edtBacklight_ = nullptr;
  QPushButton* btnBacklightOK_ = nullptr;
  QPushButton* btnBacklightDown_ = nullptr;
  QPushButton* btnBacklightUp_ = nullptr;
  QList<TSwitch> switches_;
  QLabel* lblUsbUpgrade_ = nullptr;
  QPushButton* btnUsbUpgrade_ = nullptr;
  QPushButton* btnUsbLogo_ = nullptr;
  QGroupBox* gbID_ = nullptr;
  QLabel* lblMachineNo_ = nullptr;
  QLineEdit* edtMachineNo_ = nullptr;
  QLabel* lblRow_ = nullptr;
  QComboBox* cbbRow_ = nullptr;
  QLabel* lblCol_ = nullptr;
  QComboBox* cbbCol_ = nullptr;
  QPushButton* btnIDOK_ = nullptr;
  QPushButton* btnReadID_ = nullptr;
  QPushButton* btnAutoRegister_ = nullptr;
  bool idRowsEnabled_ = false;  // the row, column and "确定" may be enabled
};
