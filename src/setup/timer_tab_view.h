#pragma once

#include "setup/setup_form.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QTimeEdit;

// The timer tab "定时开关机" of the system setup dialog: power-on and
// power-off times for Monday to Friday and for Saturday and Sunday, and the
// two buttons that send the timer frame, to set or to cancel the timer, raw
// to the splicer line (no selection, no address).
class TTimerTabView : public TSetupTabPage {
  Q_OBJECT

 public:
  // services must outlive the tab.
  explicit TTimerTabView(const TSetupServices& services, QWidget* parent = nullptr);

  void LoadTexts() override;

 private:
  struct TDayGroup {
    QGroupBox* group = nullptr;
    QLabel* onLabel = nullptr;
    QTimeEdit* on = nullptr;
    QLabel* offLabel = nullptr;
    QTimeEdit* off = nullptr;
  };

  TDayGroup BuildGroup(const char16_t* stem, const char16_t* title, int onHour, int offHour);
  void SendTimer(bool set);

  const TSetupServices& services_;
  TDayGroup weekday_;
  TDayGroup weekend_;
  QPushButton* btnTimerSet_ = nullptr;
  QPushButton* btnTimerCancel_ = nullptr;
};
