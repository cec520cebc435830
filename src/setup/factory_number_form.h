#pragma once

#include <QDialog>
#include <functional>

#include "linkage/window_texts.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TProtocol;

// The factory-number dialog: the factory gives the screens on the line their
// machine number, counting up. OK reads the box as a decimal number, refuses
// one the current frame mode cannot carry, sends the SetFactoryNumber frame,
// stores the next number ("MACID" = n + 1) and shows it; Cancel sends and
// stores nothing. Shown modally by the main window's factory-mode item.
class TFactoryNumberForm : public QDialog {
  Q_OBJECT

 public:
  // The protocol builds the frame in its current frame mode; it must outlive
  // the dialog.
  TFactoryNumberForm(TProtocol& protocol, TWindowTexts texts, QWidget* parent = nullptr);
  ~TFactoryNumberForm() override;

  // Sends a finished frame (the main window's send path); unset: nothing sent.
  std::function<void(const quint8* frame)> sendFrame;
  // Stores the next number as "MACID"; unset: nothing stored.
  std::function<void(int next)> storeNext;

  // The number box, filled by the opener with the stored "MACID".
  void SetNumberText(const QString& text);
  QString NumberText() const;
  // The captions of the interface language; run at every showing.
  void LoadTexts();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnOK();

  TProtocol& protocol_;
  TWindowTexts texts_;
  QLabel* lblName_ = nullptr;
  QLineEdit* edtMACID_ = nullptr;
  QPushButton* btnOK_ = nullptr;
  QPushButton* btnCancel_ = nullptr;
};
