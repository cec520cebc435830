#pragma once

#include <QMainWindow>
#include <memory>

#include "app/choose_form.h"
#include "app/port_set.h"
#include "core/ini_params_op.h"
#include "core/pauser.h"
#include "link/protocol.h"
#include "link/send_path.h"
#include "wall/wall_model.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QTimer;
class QToolButton;
class TWallGridView;

// The main window: the composition root that owns the services (configuration
// store, frame builder, send path, the six ports, the wall) and wires the
// operator's controls to them. Handlers read controls into values and call the
// subsystems; no state is kept twice.
class TQuvialForm : public QMainWindow {
  Q_OBJECT

 public:
  // The pauser is the program's or a test's; it must outlive the window.
  TQuvialForm(const TDeviceChoice& choice, Pauser& pauser, QWidget* parent = nullptr);
  ~TQuvialForm() override;

  quint8 Family() const { return family_; }
  const QString& DeviceName() const { return deviceName_; }
  bool Connected() const { return connected_; }
  int AccessLevel() const { return accessLevel_; }
  bool ChineseInterface() const { return chinese_; }
  bool Ready() const { return ready_; }
  bool SceneRecording() const { return sceneRecording_; }
  void SetSceneRecording(bool on) { sceneRecording_ = on; }

  TIniParamsOp* Ini() { return ini_.get(); }
  TProtocol& Protocol() { return protocol_; }
  TSendPath& SendPath() { return *sendPath_; }
  TPortSet& Ports() { return ports_; }
  TWallModel& Wall() { return wall_; }
  TWallGridView* Grid() { return grid_; }

  // "应用": the wall size from the two lists; saved only when the operator
  // pressed the button (a scene replay runs the same steps without saving).
  void ApplyWallSize(bool pressedByOperator);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolBar();
  void BuildCentralArea();
  QWidget* BuildRightPanel();
  void BuildStatusBar();
  void RunShowSteps();
  void FillRowColLists();
  void SetRowColPositions(int rows, int cols);
  void PressToolButton(QToolButton* button);
  void OpenPortsAtShow(bool configured);
  void CloseEnabledPorts();
  void TryShowFactoryMode();

  // services
  Pauser& pauser_;
  TPortSet ports_;
  TProtocol protocol_;
  std::unique_ptr<TSendPath> sendPath_;
  std::unique_ptr<TIniParamsOp> ini_;
  TWallModel wall_;

  // state of the run
  quint8 family_ = 0;
  QString deviceName_;
  QString startPortName_;
  bool connected_ = false;
  int accessLevel_ = 2;
  bool chinese_ = true;
  bool ready_ = false;
  bool shown_ = false;
  bool sceneRecording_ = false;
  QString homePage_;

  // controls
  QMenu* menuFile_ = nullptr;
  QAction* menuItemScene_ = nullptr;
  QAction* menuItemExit_ = nullptr;
  QAction* menuItemManager_ = nullptr;
  QAction* menuItemSuperManager_ = nullptr;
  QAction* menuItemSystemSetup_ = nullptr;
  QAction* menuItemMatrixSetup_ = nullptr;
  QAction* menuItemFactoryMode_ = nullptr;
  QAction* menuItemDVRSetup_ = nullptr;
  QAction* menuItemSetupCOM_ = nullptr;
  QAction* menuItemEnglish_ = nullptr;
  QAction* menuItemChinese_ = nullptr;
  QAction* menuItemAbout_ = nullptr;

  QToolButton* btnConnect_ = nullptr;
  QToolButton* btnUserManager_ = nullptr;
  QToolButton* btnSystemSetup_ = nullptr;
  QToolButton* btnUSBChannel_ = nullptr;
  QToolButton* btnStillPicture_ = nullptr;
  QToolButton* btnScene_ = nullptr;
  QToolButton* btnSetupCOM_ = nullptr;
  QToolButton* btnVersion_ = nullptr;
  QToolButton* btnHelp_ = nullptr;

  TWallGridView* grid_ = nullptr;
  QTabWidget* tabOutput_ = nullptr;
  QPlainTextEdit* memoOutput_ = nullptr;

  QGroupBox* gbArray_ = nullptr;
  QComboBox* cbbRow_ = nullptr;
  QComboBox* cbbCol_ = nullptr;
  QPushButton* btnRowColSet_ = nullptr;
  QStackedWidget* pcSource_ = nullptr;
  QGroupBox* gbReshow_ = nullptr;
  QCheckBox* cbReshow_ = nullptr;
  QGroupBox* gbLinkage_ = nullptr;
  QCheckBox* cbMatrix_ = nullptr;
  QCheckBox* cbDVR_ = nullptr;
  QCheckBox* cbMixerSwitch_ = nullptr;
  QLabel* lblSwitcherName_ = nullptr;
  QLabel* lblSwitcherAddress_ = nullptr;
  QComboBox* cbbSwitcherAddress_ = nullptr;
  QLabel* lblSwitcherChannel_ = nullptr;
  QComboBox* cbbSwitcherChannel_ = nullptr;
  QGroupBox* gbPower_ = nullptr;
  QCheckBox* cbDelayPowerOn_ = nullptr;
  QLineEdit* edtDelay_ = nullptr;
  QLabel* lblSeconds_ = nullptr;
  QPushButton* btnPowerOn_ = nullptr;
  QPushButton* btnPowerOff_ = nullptr;
  QLabel* lblLunar_ = nullptr;
  QLabel* lblDevice_ = nullptr;

  QLabel* statusPorts_ = nullptr;
  QLabel* statusLevel_ = nullptr;
  QLabel* statusTime_ = nullptr;
  QTimer* uiTimer_ = nullptr;
};
