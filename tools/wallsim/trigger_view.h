#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class TTriggerLine;

// The wall window's control for the listening line: "Send trigger" writes a
// message into the console's listening port; the label counts what went out.
class TTriggerView : public QWidget {
  Q_OBJECT

 public:
  explicit TTriggerView(TTriggerLine& line, QWidget* parent = nullptr);

 private:
  void ShowCount(int count, bool failed);

  TTriggerLine& line_;
  QPushButton* btnTrigger_ = nullptr;
  QLabel* lblTriggers_ = nullptr;
};
