#pragma once

#include <QList>

#include "setup/setup_form.h"

class QLabel;
class QPushButton;
class TRotarySwitch;

// A picture tab of the system setup dialog: "视频控制" (video input) or
// "VGA控制" (VGA input). Every row is a caption with a "-" and a "+" button
// that nudge one picture value of the selected screens one step down or up;
// the video tab adds the rotary switches "降噪" and "显示比例", the VGA tab
// the two automatic adjustments. The splicer keeps the values, the tab none.
class TPictureTabView : public TSetupTabPage {
  Q_OBJECT

 public:
  enum TInput { VideoInput, VgaInput };

  // services must outlive the tab.
  TPictureTabView(TInput input, const TSetupServices& services, QWidget* parent = nullptr);

  void Showing() override;
  void LoadTexts() override;

 private:
  struct TRow {
    QLabel* label = nullptr;
    QPushButton* down = nullptr;
    QPushButton* up = nullptr;
  };

  void BuildRows();
  void BuildVideoSwitches();
  void BuildVgaButtons();
  void Send(quint8 cls, quint8 code);

  TInput input_;
  const TSetupServices& services_;
  QList<TRow> rows_;
  QList<QPushButton*> singles_;
  TRotarySwitch* rsNoiseReduction_ = nullptr;
  TRotarySwitch* rsDisplayScale_ = nullptr;
  QLabel* lblNoiseReduction_ = nullptr;
  QLabel* lblDisplayScale_ = nullptr;
};
