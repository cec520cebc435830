#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

namespace Ui {
class TChooseForm;
}
class TSetupTypeForm;

// What the operator chose in the start dialog.
struct TDeviceChoice {
  int position = 0;             // list position, 0..12 (-1: none)
  quint8 family = 0;            // device family index for the whole run
  QString deviceName;           // the list text at the moment of the choice
  QString portName;             // splicer port; empty when the list is hidden
  bool portListHidden = false;  // Quvial.ini existed: ports come from the file
};

// The start dialog, the application's first window: the operator picks the
// device type and, on a first start (no Quvial.ini), the splicer port.
class TChooseForm : public QDialog {
  Q_OBJECT
 public:
  explicit TChooseForm(QWidget* parent = nullptr);
  ~TChooseForm() override;

  // Lists the serial ports that open; defaults to ProbeSerialPorts().
  std::function<QStringList()> probePorts;
  // "确定": the dialog is hidden first, then this creates the main window.
  std::function<void(const TDeviceChoice&)> onChosen;

 protected:
  // The on-show steps: logo, texts, device types, port list.
  void showEvent(QShowEvent* event) override;

 private:
  void LoadLogo();
  void LoadTexts();
  void LoadDeviceTypes();
  void LoadPorts();
  void OnSetupType();
  void OnChoose();

  std::unique_ptr<Ui::TChooseForm> ui_;
  TSetupTypeForm* setupTypeForm_ = nullptr;  // child, lives as long as this dialog
  bool portListHidden_ = false;
};
