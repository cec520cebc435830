#pragma once

#include <QDialog>
#include <array>

#include "core/ini_params_op.h"
#include "linkage/window_texts.h"
#include "setup/port_setup.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class TChannelNames;

// The port setup dialog ("通讯端口设置"): six lines (splicer, VIDEO, VGA and
// DVI matrices, DVR, listening) each with a use box and port, baud, data bit,
// stop bit and parity selectors, the listening relay's signal type, "使用矩阵"
// and channel, and the frame length. At each showing it probes COM1..COM50
// and reads Quvial.ini; "确定" checks the port conflicts and writes the keys.
// Opening the ports is the caller's job.
class TSetupCOMForm : public QDialog {
  Q_OBJECT

 public:
  // exec() returns this when a port conflict was refused: neither OK nor
  // Cancel, and nothing was written.
  static constexpr int kConflict = 2;

  // names must outlive the dialog. The configuration is Quvial.ini in the
  // program's directory, opened at each showing.
  TSetupCOMForm(TChannelNames& names, TWindowTexts texts, QWidget* parent = nullptr);
  ~TSetupCOMForm() override;

  // The frame length list's choice, "7" or "9"; the caller sets it just
  // before showing.
  void SetFrameLength(const QString& text);

  // The controls as values (what "确定" would write).
  TPortSetupValues Values() const;

  // The port list of a line, for tests and the caller.
  QComboBox* PortList(TPortId id) const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // One line's group: the use box and the five selectors with their labels.
  struct TLine {
    QGroupBox* group = nullptr;
    QCheckBox* use = nullptr;
    std::array<QLabel*, 5> labels{};
    QComboBox* port = nullptr;
    QComboBox* bps = nullptr;
    QComboBox* dataBit = nullptr;
    QComboBox* stopBit = nullptr;
    QComboBox* check = nullptr;
  };

  void BuildLine(TPortId id);
  void BuildLayout();
  void LoadTexts();
  void FillPortLists();
  void ShowStored(const TPortSetupValues& stored);
  void ShowLine(TLine& line, const TPortChoice& stored);
  void FillChannelList(const TPortSetupValues& stored);
  void EnableLine(const TLine& line);
  void OnOK();

  TChannelNames& names_;
  TWindowTexts texts_;
  std::array<TLine, 6> lines_;
  QLabel* lblSignalType_ = nullptr;
  QComboBox* cbbSignalType_ = nullptr;
  QCheckBox* cbChooseMatrix_ = nullptr;
  QLabel* lblChannel_ = nullptr;
  QComboBox* cbbChannelList_ = nullptr;
  QLabel* lblCmdLen_ = nullptr;
  QComboBox* cbbCmdLen_ = nullptr;
  QPushButton* btnOK_ = nullptr;
  QPushButton* btnCancel_ = nullptr;
  QString frameLength_ = QStringLiteral("9");
};
