#pragma once

#include "setup/setup_form.h"

class QGroupBox;
class QLabel;
class TKnob;
class TRotarySwitch;
class TThermometer;

// The fan tab "风扇控制" of the system setup dialog: the fan state switch
// ("自动", "常开", "常关") and, for the automatic state, the knob that sets the
// temperature (30 to 40 degrees) at which the fan starts, with a thermometer
// showing the same. Commands go to the selection's own address.
class TFanTabView : public TSetupTabPage {
  Q_OBJECT

 public:
  // services must outlive the tab.
  explicit TFanTabView(const TSetupServices& services, QWidget* parent = nullptr);

  void Showing() override;
  void LoadTexts() override;

  // The whole degrees a knob position stands for: the fraction is dropped.
  static int Degrees(double position);

 private:
  void StateReleased(int index);
  void KnobTurned(double value);
  void KnobReleased(double value);
  void EnableAutomatic();
  void ShowTemperatureLabel();

  const TSetupServices& services_;
  QGroupBox* gbFanState_ = nullptr;
  TRotarySwitch* rsFanState_ = nullptr;
  QGroupBox* gbFanAuto_ = nullptr;
  TKnob* kbFanTemp_ = nullptr;
  QLabel* lblFanTemp_ = nullptr;
  TThermometer* thFanTemp_ = nullptr;
  QString labelFormat_;
  bool familyHasFan_ = false;
};
