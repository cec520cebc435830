#include "app/quvial_form.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/toolbar_images_view.h"
#include "core/bilingual.h"
#include "core/lunar_date.h"
#include "core/unsaved_setting.h"
#include "setup/setup_form.h"
#include "wall/wall_grid_view.h"

namespace {

// Source page names by family; family 7 (the mixer) has no page.
struct SourcePage {
  quint8 family;
  const char16_t* name;
};
constexpr SourcePage kSourcePages[] = {
    {0, u"QN-51"},  {1, u"QN-46_45"}, {2, u"QN-33"},   {3, u"QN-22"},
    {4, u"QN-K7"},  {5, u"QN-HV6"},   {6, u"TR-5000"}, {8, u"QN-23"},
    {9, u"QN-HV8"}, {10, u"QN-T1"},   {11, u"QN-44"},  {12, u"QN-51N"},
};

QString Str(const char16_t* s) { return QString::fromUtf16(s); }

}  // namespace

TQuvialForm::TQuvialForm(const TDeviceChoice& choice, Pauser& pauser, QWidget* parent)
    : QMainWindow(parent), pauser_(pauser) {
  setObjectName(QStringLiteral("QuvialForm"));
  setWindowTitle(QStringLiteral("大屏拼接控制系统"));
  resize(908, 626);

  // "确定" steps 3 to 6: family, device name, the splicer port from the start dialog.
  family_ = choice.family;
  deviceName_ = choice.deviceName;
  startPortName_ = choice.portListHidden ? QString() : choice.portName;
  TComm& comm = ports_.Port(TPortId::Combine);
  comm.SetCommName(startPortName_);
  comm.SetBaudRate(9600);
  comm.SetByteSize(TByteSize::_8);
  comm.SetStopBits(TStopBits::_1);
  comm.SetParity(TParity::None);
  ports_.SetEnabled(TPortId::Combine, true);

  sendPath_ = std::make_unique<TSendPath>(comm, pauser_);
  sendPath_->splicerEnabled = [this] { return ports_.Enabled(TPortId::Combine); };
  sendPath_->memo = [this](const QString& line) { memoOutput_->appendPlainText(line); };

  BuildMenus();
  BuildToolBar();
  BuildCentralArea();
  BuildStatusBar();

  // Step 7 of "确定": the mixer family has no wall grid.
  grid_->setVisible(family_ != 7);
  BuildWallCommands();
  BuildLinkage();
  BuildGateway();
  BuildSwitchers();
  BuildNetworkSplicers();

  auto* factory = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F11), this);
  factory->setContext(Qt::WindowShortcut);
  connect(factory, &QShortcut::activated, this, &TQuvialForm::TryShowFactoryMode);

  WireUsers();
  WirePortControls();
  WireScenes();
  WireLanguage();
  WireSniffRelay();
  WireFactoryAndVersion();
  WireSystemSetup();
  OrderTabChain();
  uiTimer_ = new QTimer(this);
  uiTimer_->setInterval(1000);
  connect(uiTimer_, &QTimer::timeout, this, &TQuvialForm::UiTimerTick);
  uiTimer_->start();
}

TQuvialForm::~TQuvialForm() {
  // The setup dialog's tabs use services of this window (the gateway client,
  // the searches): the dialog goes before them.
  delete setupForm_;
  setupForm_ = nullptr;
}

namespace {

// The widgets a layout holds, nested layouts included, in their order.
void LayoutOrder(QLayout* layout, QList<QWidget*>& out) {
  for (int i = 0; i < layout->count(); ++i) {
    QLayoutItem* item = layout->itemAt(i);
    if (item->widget())
      out << item->widget();
    else if (item->layout())
      LayoutOrder(item->layout(), out);
  }
}

// Depth first; each widget's children in the order its layout shows them,
// the ones outside the layout after them in the order they were made.
void ScreenOrder(QWidget* parent, QList<QWidget*>& out) {
  QList<QWidget*> children;
  if (parent->layout()) LayoutOrder(parent->layout(), children);
  children += parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  QSet<QWidget*> seen;
  for (QWidget* child : children) {
    if (child->parentWidget() != parent || seen.contains(child)) continue;
    seen.insert(child);
    out << child;
    ScreenOrder(child, out);
  }
}

}  // namespace

// Tab runs through the wall area and then the right panel, each from top to
// bottom, whichever construction step added a control.
void TQuvialForm::OrderTabChain() {
  QWidget* central = centralWidget();
  auto inner = [central](const QWidget* w) {  // part of a composite control
    for (const QWidget* p = w->parentWidget(); p && p != central; p = p->parentWidget())
      if (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSpinBox*>(p) ||
          qobject_cast<const QAbstractScrollArea*>(p) || qobject_cast<const QTabBar*>(p))
        return true;
    return false;
  };
  QList<QWidget*> widgets;
  ScreenOrder(central, widgets);
  QWidget* previous = nullptr;
  for (QWidget* w : widgets) {
    if (auto* tabs = qobject_cast<QTabWidget*>(w))
      w = tabs->tabBar();  // the tabs before the page
    else if (qobject_cast<QTabBar*>(w) || w->focusProxy())
      continue;
    if ((!(w->focusPolicy() & Qt::TabFocus) && !qobject_cast<QAbstractButton*>(w)) || inner(w))
      continue;
    if (previous) setTabOrder(previous, w);
    previous = w;
  }
}

void TQuvialForm::BuildMenus() {
  menuFile_ = menuBar()->addMenu(QStringLiteral("文件"));
  menuFile_->setObjectName(QStringLiteral("menuFile"));
  menuItemScene_ = menuFile_->addAction(QStringLiteral("场景管理"));
  menuItemScene_->setObjectName(QStringLiteral("menuItemScene"));
  menuItemExit_ = menuFile_->addAction(QStringLiteral("退出"));
  menuItemExit_->setObjectName(QStringLiteral("menuItemExit"));
  // Ends the program at once: no close query, no close steps.
  connect(menuItemExit_, &QAction::triggered, this, &TQuvialForm::quitRequested);

  QMenu* setup = menuBar()->addMenu(QStringLiteral("设置"));
  setup->setObjectName(QStringLiteral("menuSetup"));
  menuItemManager_ = setup->addAction(QStringLiteral("管理员"));
  menuItemManager_->setObjectName(QStringLiteral("menuItemManager"));
  menuItemSuperManager_ = setup->addAction(QStringLiteral("超级管理员"));
  menuItemSuperManager_->setObjectName(QStringLiteral("menuItemSuperManager"));
  menuItemSystemSetup_ = setup->addAction(QStringLiteral("系统设置"));
  menuItemSystemSetup_->setObjectName(QStringLiteral("menuItemSystemSetup"));
  menuItemMatrixSetup_ = setup->addAction(QStringLiteral("矩阵设置"));
  menuItemMatrixSetup_->setObjectName(QStringLiteral("menuItemMatrixSetup"));
  menuItemFactoryMode_ = setup->addAction(QStringLiteral("工厂模式"));
  menuItemFactoryMode_->setObjectName(QStringLiteral("menuItemFactoryMode"));
  menuItemFactoryMode_->setVisible(false);
  menuItemDVRSetup_ = setup->addAction(QStringLiteral("DVR设置"));
  menuItemDVRSetup_->setObjectName(QStringLiteral("menuItemDVRSetup"));
  menuItemSystemSetup_->setEnabled(false);
  menuItemDVRSetup_->setEnabled(false);

  QMenu* operate = menuBar()->addMenu(QStringLiteral("操作"));
  operate->setObjectName(QStringLiteral("menuOperate"));
  menuItemSetupCOM_ = operate->addAction(QStringLiteral("设置通讯端口"));
  menuItemSetupCOM_->setObjectName(QStringLiteral("menuItemSetupCOM"));
  QMenu* language = operate->addMenu(QStringLiteral("语言选择"));
  language->setObjectName(QStringLiteral("menuItemLanguage"));
  menuItemEnglish_ = language->addAction(QStringLiteral("English"));
  menuItemEnglish_->setObjectName(QStringLiteral("menuItemEnglish"));
  menuItemChinese_ = language->addAction(QStringLiteral("中文"));
  menuItemChinese_->setObjectName(QStringLiteral("menuItemChinese"));
  for (QAction* a : {menuItemEnglish_, menuItemChinese_}) a->setCheckable(true);

  QMenu* help = menuBar()->addMenu(QStringLiteral("帮助"));
  help->setObjectName(QStringLiteral("menuHelp"));
  menuItemAbout_ = help->addAction(QStringLiteral("关于本软件"));
  menuItemAbout_->setObjectName(QStringLiteral("menuItemAbout"));
}

void TQuvialForm::BuildToolBar() {
  QToolBar* bar = addToolBar(QStringLiteral("toolbar"));
  bar->setObjectName(QStringLiteral("tbMain"));
  bar->setMovable(false);
  bar->setIconSize(QSize(32, 32));
  struct Button {
    QToolButton** slot;
    const char* name;
    const char16_t* hint;
    const char* image;
  };
  const Button buttons[] = {
      {&btnConnect_, "btnConnect", u"通讯端口", "connect_dis"},
      {&btnUserManager_, "btnUserManager", u"用户管理", "passwd"},
      {&btnSystemSetup_, "btnSystemSetup", u"系统设置", "setup_dis"},
      {&btnUSBChannel_, "btnUSBChannel", u"USB通道", "remote_dis"},
      {&btnStillPicture_, "btnStillPicture", u"静像", "pic_dis"},
      {&btnScene_, "btnScene", u"场景管理", "scene"},
      {&btnSetupCOM_, "btnSetupCOM", u"通讯端口设置", "comSetup"},
      {&btnVersion_, "btnVersion", u"版本", "versions"},
      {&btnHelp_, "btnHelp", u"帮助", "help"},
  };
  for (const Button& b : buttons) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QLatin1String(b.name));
    button->setToolTip(Str(b.hint));
    button->setAccessibleName(Str(b.hint));
    button->setIcon(ToolbarImage(QLatin1String(b.image)));
    button->setFixedSize(50, 44);
    button->setAutoRaise(true);
    bar->addWidget(button);
    *b.slot = button;
  }
}

// The toolbar shows a click before acting: lowered, repainted, 100 ms, raised.
void TQuvialForm::PressToolButton(QToolButton* button) {
  button->setDown(true);
  button->repaint();
  pauser_.Pause(100);
  button->setDown(false);
}

void TQuvialForm::BuildCentralArea() {
  auto* central = new QWidget(this);
  auto* layout = new QHBoxLayout(central);
  layout->setContentsMargins(4, 4, 4, 4);

  auto* wallArea = new QSplitter(Qt::Vertical, central);
  wallArea->setObjectName(QStringLiteral("splWall"));
  grid_ = new TWallGridView(wallArea);
  grid_->setObjectName(QStringLiteral("sgWall"));
  grid_->SetWallModel(&wall_);
  tabOutput_ = new QTabWidget(wallArea);
  tabOutput_->setObjectName(QStringLiteral("pcOutput"));
  memoOutput_ = new QPlainTextEdit(tabOutput_);
  memoOutput_->setObjectName(QStringLiteral("memoOutput"));
  memoOutput_->setReadOnly(true);
  memoOutput_->setMaximumBlockCount(5000);
  memoOutput_->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* clear = new QAction(QStringLiteral("清除所有内容"), memoOutput_);
  clear->setObjectName(QStringLiteral("menuItemClearOutput"));
  connect(clear, &QAction::triggered, memoOutput_, &QPlainTextEdit::clear);
  memoOutput_->addAction(clear);
  tabOutput_->addTab(memoOutput_, QStringLiteral("输出信息"));
  wallArea->setStretchFactor(0, 4);
  wallArea->setStretchFactor(1, 1);
  layout->addWidget(wallArea, 1);
  // The panel's groups need more height than a 768- or 1080-line screen leaves
  // beside the grid on some families: it scrolls instead of pushing the window
  // past the screen.
  auto* rightScroll = new QScrollArea(central);
  rightScroll->setObjectName(QStringLiteral("sbRight"));
  rightScroll->setFrameShape(QFrame::NoFrame);
  rightScroll->setFocusPolicy(Qt::NoFocus);  // the controls inside take the focus
  rightScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  rightScroll->setWidgetResizable(true);
  QWidget* right = BuildRightPanel();
  rightScroll->setWidget(right);
  rightScroll->setFixedWidth(right->width() + rightScroll->verticalScrollBar()->sizeHint().width());
  layout->addWidget(rightScroll);
  setCentralWidget(central);
}

QWidget* TQuvialForm::BuildRightPanel() {
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("pnlRight"));
  panel->setFixedWidth(254);
  auto* v = new QVBoxLayout(panel);
  v->setContentsMargins(0, 0, 0, 0);

  gbArray_ = new QGroupBox(QStringLiteral("拼接阵列"), panel);
  gbArray_->setObjectName(QStringLiteral("gbArray"));
  auto* arr = new QHBoxLayout(gbArray_);
  cbbRow_ = new QComboBox(gbArray_);
  cbbRow_->setObjectName(QStringLiteral("cbbRow"));
  cbbCol_ = new QComboBox(gbArray_);
  cbbCol_->setObjectName(QStringLiteral("cbbCol"));
  btnRowColSet_ = new QPushButton(QStringLiteral("应用"), gbArray_);
  btnRowColSet_->setObjectName(QStringLiteral("btnRowColSet"));
  arr->addWidget(cbbRow_);
  arr->addWidget(cbbCol_);
  arr->addWidget(btnRowColSet_);
  connect(btnRowColSet_, &QPushButton::clicked, this, [this] { ApplyWallSize(true); });
  v->addWidget(gbArray_);

  pcSource_ = new QStackedWidget(panel);
  pcSource_->setObjectName(QStringLiteral("pcSource"));
  for (const SourcePage& p : kSourcePages) {
    auto* page = new QWidget(pcSource_);
    page->setObjectName(Str(p.name));
    page->setProperty("family", p.family);
    pcSource_->addWidget(page);
  }
  v->addWidget(pcSource_, 1);

  gbReshow_ = new QGroupBox(QStringLiteral("重显率"), panel);
  gbReshow_->setObjectName(QStringLiteral("gbReshow"));
  auto* reshow = new QVBoxLayout(gbReshow_);
  cbReshow_ = new QCheckBox(QStringLiteral("设置重显率"), gbReshow_);
  cbReshow_->setObjectName(QStringLiteral("cbReshow"));
  reshow->addWidget(cbReshow_);
  v->addWidget(gbReshow_);

  gbLinkage_ = new QGroupBox(panel);
  gbLinkage_->setObjectName(QStringLiteral("gbLinkage"));
  auto* link = new QGridLayout(gbLinkage_);
  cbMatrixCMB_ = new QCheckBox(QStringLiteral("矩阵联动"), gbLinkage_);
  cbMatrixCMB_->setObjectName(QStringLiteral("cbMatrixCMB"));
  cbDVRCMB_ = new QCheckBox(QStringLiteral("DVR联动"), gbLinkage_);
  cbDVRCMB_->setObjectName(QStringLiteral("cbDVRCMB"));
  cbMixerSwitch_ = new QCheckBox(QStringLiteral("混合切换器"), gbLinkage_);
  cbMixerSwitch_->setObjectName(QStringLiteral("cbMixerSwitch"));
  lblSwitcherName_ = new QLabel(gbLinkage_);
  lblSwitcherName_->setObjectName(QStringLiteral("lblSwitcherName"));
  lblSwitcherAddress_ = new QLabel(QStringLiteral("地址"), gbLinkage_);
  lblSwitcherAddress_->setObjectName(QStringLiteral("lblSwitcherAddress"));
  cbbSwitcherAddress_ = new QComboBox(gbLinkage_);
  cbbSwitcherAddress_->setObjectName(QStringLiteral("cbbSwitcherAddress"));
  lblSwitcherChannel_ = new QLabel(QStringLiteral("通道"), gbLinkage_);
  lblSwitcherChannel_->setObjectName(QStringLiteral("lblSwitcherChannel"));
  cbbSwitcherChannel_ = new QComboBox(gbLinkage_);
  cbbSwitcherChannel_->setObjectName(QStringLiteral("cbbSwitcherChannel"));
  link->addWidget(cbMatrixCMB_, 0, 0);
  link->addWidget(cbDVRCMB_, 0, 1);
  link->addWidget(cbMixerSwitch_, 1, 0);
  link->addWidget(lblSwitcherName_, 1, 1);
  link->addWidget(lblSwitcherAddress_, 2, 0);
  link->addWidget(cbbSwitcherAddress_, 2, 1);
  link->addWidget(lblSwitcherChannel_, 3, 0);
  link->addWidget(cbbSwitcherChannel_, 3, 1);
  v->addWidget(gbLinkage_);

  gbPower_ = new QGroupBox(panel);
  gbPower_->setObjectName(QStringLiteral("gbPower"));
  auto* power = new QGridLayout(gbPower_);
  cbDelayPowerOn_ = new QCheckBox(QStringLiteral("延时开机"), gbPower_);
  cbDelayPowerOn_->setObjectName(QStringLiteral("cbDelayPowerOn"));
  edtDelay_ = new QLineEdit(QStringLiteral("3"), gbPower_);
  edtDelay_->setObjectName(QStringLiteral("edtDelay"));
  edtDelay_->setMaximumWidth(48);
  lblSeconds_ = new QLabel(QStringLiteral("秒"), gbPower_);
  lblSeconds_->setObjectName(QStringLiteral("lblSeconds"));
  btnPowerOn_ = new QPushButton(QStringLiteral("开机"), gbPower_);
  btnPowerOn_->setObjectName(QStringLiteral("btnPowerOn"));
  btnPowerOff_ = new QPushButton(QStringLiteral("关机"), gbPower_);
  btnPowerOff_->setObjectName(QStringLiteral("btnPowerOff"));
  power->addWidget(cbDelayPowerOn_, 0, 0);
  power->addWidget(edtDelay_, 0, 1);
  power->addWidget(lblSeconds_, 0, 2);
  power->addWidget(btnPowerOn_, 1, 0);
  power->addWidget(btnPowerOff_, 1, 1, 1, 2);
  v->addWidget(gbPower_);

  lblLunar_ = new QLabel(panel);
  lblLunar_->setObjectName(QStringLiteral("lblLunar"));
  lblDevice_ = new QLabel(panel);
  lblDevice_->setObjectName(QStringLiteral("lblDevice"));
  v->addWidget(lblLunar_);
  v->addWidget(lblDevice_);
  return panel;
}

void TQuvialForm::BuildStatusBar() {
  statusPorts_ = new QLabel(this);
  statusPorts_->setObjectName(QStringLiteral("stPorts"));
  // 670 pixels as designed, but never wider than the window leaves room for.
  statusPorts_->setMaximumWidth(670);
  statusPorts_->setMinimumWidth(100);
  statusLevel_ = new QLabel(this);
  statusLevel_->setObjectName(QStringLiteral("stLevel"));
  statusLevel_->setFixedWidth(80);
  statusLevel_->setAlignment(Qt::AlignCenter);
  statusTime_ = new QLabel(this);
  statusTime_->setObjectName(QStringLiteral("stTime"));
  statusTime_->setFixedWidth(180);
  statusBar()->addWidget(statusPorts_, 1);
  statusBar()->addWidget(statusLevel_);
  statusBar()->addWidget(statusTime_);
}

void TQuvialForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  RunShowSteps();
  StartNetworkSearchAtShow();
}

void TQuvialForm::RunShowSteps() {
  // Centred on the screen where it opens.
  if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());

  lblLunar_->setText(LunarDateText(QDate::currentDate()));
  accessLevel_ = 2;
  sendPath_->SetAccessLevel(accessLevel_);
  tabOutput_->setVisible(false);

  for (int i = 0; i < pcSource_->count(); ++i)
    if (pcSource_->widget(i)->property("family").toInt() == family_) pcSource_->setCurrentIndex(i);
  pcSource_->setVisible(family_ != 7);
  lblDevice_->setText(deviceName_);
  connected_ = false;

  ini_ = std::make_unique<TIniParamsOp>(TIniParamsOp::DefaultPath());
  const bool configured = ini_->Exists();

  const int lang = ini_->ReadLang();
  chinese_ = lang != 2;
  menuItemChinese_->setChecked(lang == 1);
  menuItemEnglish_->setChecked(lang == 2);
  LoadTexts();

  int rows = 2, cols = 2;
  ini_->ReadWallSize(rows, cols);
  rows = std::clamp(rows, 1, 30);
  cols = std::clamp(cols, 1, 30);
  FillRowColLists();
  SetRowColPositions(rows, cols);
  wall_.LayOut(rows, cols);
  grid_->LayOutCells();
  if (family_ == 12) SizeCellTable();

  protocol_.SetFrameMode(ini_->ReadCmdLen());
  OpenPortsAtShow(configured);

  wall_.ResetColourCounter();
  CreateSceneStore();
  sendPath_->SetSendMode(0);
  ShowLinkageAtShow();

  if (family_ == 7) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             gbArray_, pcSource_, cbMixerSwitch_, lblSwitcherName_, lblSwitcherAddress_,
             cbbSwitcherAddress_, lblSwitcherChannel_, cbbSwitcherChannel_, gbReshow_,
             cbDelayPowerOn_, edtDelay_, lblSeconds_})
      w->setVisible(false);
  } else if (family_ == 10) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{gbArray_, pcSource_, lblSwitcherName_, gbReshow_,
                                         cbDelayPowerOn_, edtDelay_, lblSeconds_})
      w->setVisible(false);
    for (QWidget* w :
         std::initializer_list<QWidget*>{cbMixerSwitch_, lblSwitcherAddress_, cbbSwitcherAddress_,
                                         lblSwitcherChannel_, cbbSwitcherChannel_})
      w->setVisible(true);
  }
  ready_ = true;
}

// The scene store loads the sixteen scene files; recording is off until the
// scene manager switches it on. Every sender records through it.
void TQuvialForm::CreateSceneStore() {
  scene_ = std::make_unique<TScene>();
  sendPath_->SetRecorder(scene_.get());
  wallCommands_->SetRecorder(scene_.get());
  switchers_->SetRecorder(scene_.get());
  scene_->onFull = [this] {
    QMessageBox::warning(
        this, Bilingual(chinese_, u"提示", u"Scene"),
        Bilingual(chinese_, u"场景已满255步，后面的操作不再录制。",
                  u"The scene holds 255 steps; further actions are not recorded."));
  };
  scene_->onTooLong = [this](int count) {
    QMessageBox::warning(
        this, Bilingual(chinese_, u"提示", u"Scene"),
        Bilingual(chinese_, u"命令过长（%1字节），此步未录入场景。",
                  u"The command is too long (%1 bytes) to be recorded in the scene.")
            .arg(count));
  };
}

void TQuvialForm::SetSceneRecording(bool on) {
  if (scene_) scene_->SetRecording(on);
}

void TQuvialForm::OpenPortsAtShow(bool configured) {
  if (configured) {
    OpenPortsFromConfiguration();
    return;
  }
  // First start: the splicer port alone, with the start dialog's settings. A
  // failure is not reported; the window stays disconnected but fully usable.
  try {
    ports_.Port(TPortId::Combine).StartComm();
    connected_ = true;
  } catch (const ECommsError&) {
  }
}

void TQuvialForm::FillRowColLists() {
  const int row = cbbRow_->currentIndex();
  const int col = cbbCol_->currentIndex();
  cbbRow_->clear();
  cbbCol_->clear();
  for (int i = 1; i <= 30; ++i) {
    cbbRow_->addItem(chinese_ ? QStringLiteral("%1 行").arg(i) : QStringLiteral("%1 row").arg(i));
    cbbCol_->addItem(chinese_ ? QStringLiteral("%1 列").arg(i) : QStringLiteral("%1 col").arg(i));
  }
  if (row >= 0) cbbRow_->setCurrentIndex(row);
  if (col >= 0) cbbCol_->setCurrentIndex(col);
}

void TQuvialForm::SetRowColPositions(int rows, int cols) {
  cbbRow_->setCurrentIndex(rows - 1);
  cbbCol_->setCurrentIndex(cols - 1);
}

void TQuvialForm::ApplyWallSize(bool pressedByOperator) {
  const int rows = cbbRow_->currentIndex() + 1;
  const int cols = cbbCol_->currentIndex() + 1;
  wall_.LayOut(rows, cols);
  grid_->SetLineWidth(2);
  grid_->LayOutCells();
  // The new size holds for this run even when Quvial.ini cannot take it.
  if (pressedByOperator && ini_ && !ini_->WriteWallSize(rows, cols))
    QMessageBox::warning(this, windowTitle(),
                         UnsavedSettingText(QStringLiteral("Quvial.ini"), chinese_));
  if (family_ == 12) SizeCellTable();
  // A new size while recording starts the current scene again.
  if (SceneRecording()) scene_->StartRecording(rows, cols);
  wall_.ResetColourCounter();
}

void TQuvialForm::closeEvent(QCloseEvent* event) {
  if (SceneRecording()) {
    const auto answer =
        QMessageBox::question(this, Bilingual(chinese_, u"提示", u"Confirm"),
                              Bilingual(chinese_, u"您有录制的场景未保存，是否退出？",
                                        u"A recorded scene has not been saved. Exit anyway?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) {
      event->ignore();
      return;
    }
  }
  CloseEnabledPorts();
  event->accept();
  Q_EMIT quitRequested();
}

void TQuvialForm::CloseEnabledPorts() { ports_.CloseEnabled(); }

// The factory-mode item appears for the rest of the run when Ctrl+Shift+F11
// is pressed with only the cell in row 3, column 3 selected.
void TQuvialForm::TryShowFactoryMode() {
  if (grid_->Selection() == TCellRect{2, 2, 2, 2}) menuItemFactoryMode_->setVisible(true);
}
