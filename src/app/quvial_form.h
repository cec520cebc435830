#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

#include "app/action_pauser.h"
#include "app/action_runner.h"
#include "app/choose_form.h"
#include "app/port_set.h"
#include "core/ini_params_op.h"
#include "core/net_socket_waiter.h"
#include "core/pauser.h"
#include "link/protocol.h"
#include "link/send_path.h"
#include "linkage/channel_names.h"
#include "linkage/dvr_linkage.h"
#include "linkage/matrix_linkage.h"
#include "linkage/sniff_relay.h"
#include "linkage/switcher_control.h"
#include "linkage/window_texts.h"
#include "scenes/scene.h"
#include "scenes/scene_player.h"
#include "setup/broadcast_search.h"
#include "setup/gateway_client.h"
#include "setup/network_splicer_link.h"
#include "setup/network_splicers.h"
#include "wall/addressing.h"
#include "wall/family_menus.h"
#include "wall/wall_commands.h"
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
class QUrl;
class QProgressBar;
class TFamilyMenuView;
class TDVRSetupForm;
class TLangTable;
class TMatrixSetupForm;
class TQNT1Form;
class TSourcePagesView;
class TWallGridView;
enum class TSettingRoute;

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
  bool SceneRecording() const { return scene_ && scene_->Recording(); }
  void SetSceneRecording(bool on);
  TScene* Scenes() { return scene_.get(); }

  TIniParamsOp* Ini() { return ini_.get(); }
  TProtocol& Protocol() { return protocol_; }
  TSendPath& SendPath() { return *sendPath_; }
  TPortSet& Ports() { return ports_; }
  TWallModel& Wall() { return wall_; }
  TWallGridView* Grid() { return grid_; }

  // "应用": the wall size from the two lists; saved only when the operator
  // pressed the button (a scene replay runs the same steps without saving).
  void ApplyWallSize(bool pressedByOperator);

 Q_SIGNALS:
  // The operator ended the program ("退出", or the window closed): the
  // composition root ends the event loop.
  void quitRequested();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // --- wall commands (quvial_form_wall.cpp): source pages, context menus, power,
  // re-display rate, still picture, the QN-T1 panel, long-action progress
 public:
  // The USB-remote flag: set by the last source selection when it was USB.
  bool UsbRemote() const;
  // True while a wall action (or work queued behind one) runs.
  bool ActionRunning() const;
  // Runs work now when no action runs, else after the running one ends, in
  // order: timers and ports use it so that actions never interleave.
  void RunWhenIdle(std::function<void()> work);
  TWallCommands& WallCommands() { return *wallCommands_; }
  // How long an action runs before its progress shows (1000 ms); for tests.
  void SetProgressDelay(int ms);
  // The wall grid's context menu (nullptr for families with an empty one).
  TFamilyMenuView* WallMenu() const { return pmWall_; }
  TQNT1Form* QNT1Panel() const { return qnt1_; }
  QProgressBar* ActionProgress() const { return pbAction_; }

 private:
  void BuildWallCommands();
  void BuildReshowControls();
  void WireWallControls();
  TWallContext WallContext() const;
  // Every wall action goes through here: one at a time, progress, errors shown.
  void RunAction(std::function<void()> action);
  void ShowActionProgress(int done, int total);
  void RunMenuEntry(const TMenuEntryDef& entry);
  void SendReshowClicked();
  void ReshowToggled(bool on);

  std::unique_ptr<TWallCommands> wallCommands_;
  std::unique_ptr<TActionRunner> actionRunner_;
  TSourcePagesView* sourcePages_ = nullptr;
  TFamilyMenuView* pmWall_ = nullptr;
  TQNT1Form* qnt1_ = nullptr;
  QProgressBar* pbAction_ = nullptr;
  QLabel* lblReshowH_ = nullptr;
  QLineEdit* edtReshowH_ = nullptr;
  QLabel* lblReshowV_ = nullptr;
  QLineEdit* edtReshowV_ = nullptr;
  QPushButton* btnReshowOK_ = nullptr;
  // (end of wall commands)

  // --- users and levels (quvial_form_users.cpp): log-in, log-out, what the
  // level opens
  // Creates the user manager and connects "管理员", "用户管理" and "超级管理员".
  void WireUsers();
  // "管理员" and "用户管理": log-in at level 2, log-out at level 1, nothing at 3.
  void OpenManagerPages();
  // "超级管理员": log-out at level 3, log-in otherwise.
  void OpenSuperManagerPages();
  // The level a log-in or log-out leaves: the send path's trace follows it at
  // once; entering or leaving level 3 shows or hides the output tab and lays
  // the grid out again with wide lines. Menus follow at the next timer tick.
  void ChangeAccessLevel(int level);

  // The user manager, a child that lives as long as this window.
  class TUserManagerForm* userManagerForm_ = nullptr;
  // (end of users and levels)

  // --- language (quvial_form_lang.cpp): the main window's captions from the
  // language table and the switch between Chinese and English
 public:
  // Puts the captions and hints of the current language's section into the
  // controls, found by object name, then rebuilds the row and column lists in
  // that language keeping their positions. Without any table the designed
  // captions stay; with one, a missing key leaves its control captionless.
  void LoadTexts();
  // "中文" (true) or "English" (false): ticks the item, writes "LANG" at once,
  // sets the interface language and reloads the texts of the main window and
  // of the other windows that follow a switch.
  void SwitchLanguage(bool chinese);

 private:
  void WireLanguage();
  void LoadMenuTexts(const TLangTable& table);
  void LoadPanelTexts(const TLangTable& table);
  void LoadWallMenuTexts(const TLangTable& table);
  // (end of language)

  // --- ports and status (quvial_form_ports.cpp): connect toggle, port setup,
  // the one-second user-interface timer
 public:
  // One tick of the user-interface timer: port status, enabling by link
  // state, date and time, access level, toolbar pictures, and for the network
  // splicer the cell table. The timer calls it every second; tests call it.
  void UiTimerTick();
  // Closes all six ports, reads caption, help address and version, opens the
  // configured ports (the first failure ends the sequence silently) and, when
  // all opened, reads the frame mode.
  void OpenPortsFromConfiguration();
  // The port setup dialog, shown modally; true when it closed with OK. The
  // window sets it to its own TSetupCOMForm; tests may replace it. While
  // unset the port setup action shows the button's press and changes nothing.
  // PortSetupFrameLength() holds what its frame length list is to show.
  std::function<bool()> portSetupDialog;
  // The port setup dialog, created at its first showing; nullptr before.
  class TSetupCOMForm* PortSetupForm() const {
    return setupCOMForm_;
  }
  // The matrix inputs' names (chname.ini) for the channel lists and their editor.
  TChannelNames& ChannelNames() { return channelNames_; }
  // The interface language and language-table captions, for the dialogs of
  // the other rooms.
  TWindowTexts WindowTexts();
  // Opens the help address; while unset the system's handler opens it.
  std::function<void(const QUrl&)> openUrl;
  // "9" for long frames, "7" for short ones, set before the dialog shows.
  const QString& PortSetupFrameLength() const { return portSetupFrameLength_; }
  const QString& HomePage() const { return homePage_; }
  const QString& VersionText() const { return version_; }
  // The network splicer's registered mark per cell, row by row; sized to the
  // wall with every cell unregistered at show and at "应用".
  std::vector<bool>& RegisteredCells() { return networkSplicers_->Table().Marks(); }

 private:
  void WirePortControls();
  void ToggleConnection();
  void SetupPorts(bool fromToolbar);
  // A port's line hung up and the port was closed: the running action stops
  // with a message, and with no port left open the window is disconnected.
  void PortLineLost(TPortId id);
  // At each tick: a line whose device stopped taking bytes is noted in the
  // output log (and again when it takes them again) and stops the running
  // action with a message, as a lost line does.
  void CheckStalledLines();
  bool ShowPortSetupForm();
  void OpenHelp();
  void SizeCellTable();
  void EnableLinkedControls(bool on);
  void ShowToolbarBevels();

  QString portSetupFrameLength_;
  QString version_;
  TChannelNames channelNames_;
  class TSetupCOMForm* setupCOMForm_ = nullptr;
  std::array<bool, TPortSet::kCount> stalledNoted_{};
  // (end of ports and status)

  // --- scenes (quvial_form_scenes.cpp): the scene manager, playback and
  // automatic cycling
 public:
  // The scene manager, created when first opened; nullptr before.
  class TSceneForm* SceneForm() const {
    return sceneForm_;
  }
  TScenePlayer& ScenePlayer() { return *scenePlayer_; }
  // Makes the scene current and plays it back; runs inside an action.
  void PlayScene(int number);

 private:
  void WireScenes();
  void OpenSceneForm(bool fromToolbar);

  std::unique_ptr<TScenePlayer> scenePlayer_;
  class TSceneForm* sceneForm_ = nullptr;
  // (end of scenes)

  // --- matrix and DVR linkage (quvial_form_linkage.cpp): "矩阵联动" with the
  // input list and its tips, "DVR联动" with the split controls, the two setup
  // dialogs, re-linking on a channel change or a drop on the grid
 public:
  TMatrixLinkage& MatrixLinkage() { return *matrixLinkage_; }
  TDVRLinkage& DvrLinkage() { return *dvrLinkage_; }
  TMatrixSetupForm* MatrixSetupForm() const { return matrixSetupForm_; }
  TDVRSetupForm* DvrSetupForm() const { return dvrSetupForm_; }

 private:
  void BuildLinkage();       // construction: controls, linkages, dialogs, seams
  void ShowLinkageAtShow();  // on show: settings, input list, DVR addresses, last code
  void LoadLinkageTexts();   // at a language switch: the matrix dialog and the tips
  void MatrixTicked(bool on);
  void DvrTicked(bool on);
  void ShowMatrixTips();
  void FillChannelList();
  void SetupChannelNames();
  // A channel change or a drop: the last linkage again, for the selection.
  void Relink();
  TMatrixControls MatrixControls(bool longFrames) const;
  TDvrControls DvrControls() const;

  std::unique_ptr<TMatrixLinkage> matrixLinkage_;
  std::unique_ptr<TDVRLinkage> dvrLinkage_;
  TMatrixSetupForm* matrixSetupForm_ = nullptr;
  TDVRSetupForm* dvrSetupForm_ = nullptr;
  QLabel* lblChannel_ = nullptr;
  QComboBox* cbbChannel_ = nullptr;
  QPushButton* btnSetupChannelName_ = nullptr;
  QLabel* lblMatrixTip_ = nullptr;
  QLabel* lblMatrixTip2_ = nullptr;
  QLabel* lblDVRChannel_ = nullptr;
  QComboBox* cbbPics_ = nullptr;
  QLabel* lblDVR_ = nullptr;
  QComboBox* cbbDVRAddress_ = nullptr;
  QPushButton* btnDVRManult_ = nullptr;
  // (end of matrix and DVR linkage)

  // --- mixer and switchers (quvial_form_switchers.cpp): the switcher group,
  // the mixer family's panel, the QN-23 page's switcher sources and the USB
  // channel remote
 public:
  TSwitcherControl& Switchers() { return *switchers_; }
  // The mixer family's panel (nullptr for the other families).
  class TMixerTR38Form* MixerPanel() const {
    return mixerPanel_;
  }
  class TUSBChannelForm* UsbChannelForm() const {
    return usbChannelForm_;
  }

 private:
  void BuildSwitchers();  // construction: the group's defaults, panels, remote, seams
  void ShowSwitcherGroup(bool on);
  void MixerSwitchToggled(bool on);
  void ApplySwitcherModel();  // the matrix setup's model into the label and the lists
  void SwitcherChannelActivated(int index);
  void SwitcherLinkage();  // after a DVI or HDMI selection with the box ticked
  void SwitcherSourceClicked(int kind);
  TSettingsAddressInput SwitcherSettingsInput() const;
  void SendUsbKey(int code);
  void OpenUsbChannelForm();
  void LoadUsbRemoteTexts();   // at a language switch
  void LoadMixerPanelTexts();  // at a language switch

  std::unique_ptr<TSwitcherControl> switchers_;
  class TMixerTR38Form* mixerPanel_ = nullptr;
  class TUSBChannelForm* usbChannelForm_ = nullptr;
  class TSwitcherSourcesView* switcherSources_ = nullptr;
  // (end of mixer and switchers)

  // --- listening relay (quvial_form_sniff.cpp): any data on the listening
  // line switches the whole wall, once a minute at most
 public:
  TSniffRelay& SniffRelay() { return *sniffRelay_; }

 private:
  void WireSniffRelay();
  // The relay's settings from the configuration, whenever the ports open.
  void LoadSniffSettings();

  std::unique_ptr<TSniffRelay> sniffRelay_;
  // (end of listening relay)

  // --- factory number, version and about (quvial_form_factory.cpp)
 public:
  class TFactoryNumberForm* FactoryNumberForm() const {
    return factoryNumberForm_;
  }
  class TVersionForm* VersionForm() const {
    return versionForm_;
  }

 private:
  void WireFactoryAndVersion();
  void OpenFactoryNumberForm();
  void OpenVersionForm();
  void SendShowVersion();

  class TFactoryNumberForm* factoryNumberForm_ = nullptr;
  class TVersionForm* versionForm_ = nullptr;
  // (end of factory number, version and about)

  // --- system setup (quvial_form_setup.cpp): the "系统设置" dialog, its
  // setting path and the automatic registration it asks for
 public:
  // The system setup dialog, created at its first opening; nullptr before.
  class TSetupForm* SetupForm() const {
    return setupForm_;
  }
  // Shows the system setup dialog (non-modal: the operator selects screens
  // in the grid while it is open), creating it the first time.
  void OpenSetupForm(bool fromToolbar);
  // "自动注册" of the setup dialog; unset = nothing happens.
  std::function<void()> autoRegistration;

 private:
  void WireSystemSetup();
  // The setup dialog's one setting path: one catalogue command to the
  // selection by the route, through the one-action runner.
  void SendSetting(quint8 cls, quint8 code, TSettingRoute route);
  // A frame the dialog built (ID, read-ID, timer), sent as one action.
  void SendBuiltFrame(const QByteArray& bytes, bool raw);

  class TSetupForm* setupForm_ = nullptr;
  // (end of system setup)

  // --- COM gateway (quvial_form_gateway.cpp): the gateway client that the
  // send path and the matrix and DVR linkages forward through, and the
  // setup dialog's "网络控制" tab
 public:
  TGatewayClient& Gateway() { return *gateway_; }
  // The one broadcast search that the gateway and subtitle searches share.
  TBroadcastSearch& BroadcastSearch() { return *broadcastSearch_; }
  // The network-control tab, installed when the setup dialog is created.
  class TNetworkTabView* NetworkTab() const {
    return networkTab_;
  }

 private:
  void BuildGateway();       // construction: waiter, client, search, forward seams
  void InstallNetworkTab();  // into the setup dialog just created
  // Every forward to the gateway. Once one fails in an action, the rest of
  // that action's forwards are skipped instead of each waiting out its
  // time-out; with the network as the only path the action stops.
  bool ForwardToGateway(quint8 channel, quint8 role, const QByteArray& bytes);

  std::unique_ptr<TSocketWaiter> gatewayWaiter_;
  bool gatewayFailedInAction_ = false;
  std::unique_ptr<TGatewayClient> gateway_;
  std::unique_ptr<TBroadcastSearch> broadcastSearch_;
  class TNetworkTabView* networkTab_ = nullptr;
  // (end of COM gateway)

  // --- network splicers (quvial_form_netsearch.cpp): the QN-51N cell address
  // table, the grid menu's "网络搜索设备" and the automatic registration
 public:
  TNetworkSplicers& NetworkSplicers() { return *networkSplicers_; }
  TNetworkSplicerLink& NetworkSplicerLink() { return *networkSplicerLink_; }
  // "网络搜索设备": asks every module for its cell, as an action.
  void SearchNetworkSplicers();
  // main() asks for the QN-51N search once the window has shown; windows
  // that tests build probe the network only when they ask for it.
  void SetStartupNetworkSearch(bool on) { startupNetworkSearch_ = on; }

 private:
  void BuildNetworkSplicers();  // construction: waiter, link, controller, seams
  void StartNetworkSearchAtShow();
  // Registration itself; the setup dialog runs it as an action.
  void RegisterNetworkSplicers();
  void PrepareNetworkSplicers();  // language and scene store of the moment

  std::unique_ptr<TSocketWaiter> networkSplicerWaiter_;
  std::unique_ptr<TNetworkSplicerLink> networkSplicerLink_;
  std::unique_ptr<TNetworkSplicers> networkSplicers_;
  bool startupNetworkSearch_ = false;
  // (end of network splicers)

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
  void CreateSceneStore();
  void CloseEnabledPorts();
  void TryShowFactoryMode();
  void OrderTabChain();

  // services
  // The program's pauser, through which a lost line stops the running action.
  TActionPauser pauser_;
  TPortSet ports_;
  TProtocol protocol_;
  std::unique_ptr<TSendPath> sendPath_;
  std::unique_ptr<TIniParamsOp> ini_;
  std::unique_ptr<TScene> scene_;  // created at show, after the ports
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
  QCheckBox* cbMatrixCMB_ = nullptr;
  QCheckBox* cbDVRCMB_ = nullptr;
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
