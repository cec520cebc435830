#include "setup/maintenance_tab_view.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>
#include <span>

#include "core/bilingual.h"
#include "core/conversion.h"
#include "link/protocol.h"
#include "setup/caption_view.h"
#include "wall/family_codes.h"
#include "widgets/rotary_switch.h"
#include "widgets/two_state_switch.h"

namespace {

constexpr int kSuperManager = 3;

// A two-state switch: object-name stem, key, designed caption, class ("on"
// sends code 0x01, "off" 0x00), captioned by a label beside it (else by its
// own caption), and reserved to the super manager.
struct TSwitchDef {
  const char16_t* stem;
  const char16_t* key;
  const char16_t* caption;
  quint8 cls;
  bool labelled;
  bool superOnly;
};
constexpr TSwitchDef kSwitches[] = {
    {u"TiModem", u"ID_SETUP_FORM_TIMODEM", u"TI-MODEM", 0x62, false, true},
    {u"PnSwap", u"ID_SETUP_FORM_PNSWAP", u"P/N交换", 0x63, false, true},
    {u"Swap", u"ID_SETUP_FORM_SWAP", u"SWAP", 0x64, false, true},
    {u"AgingMode", u"ID_SETUP_FORM_AGINGMODE", u"老化模式：", 0x75, true, false},
    {u"Flip180", u"ID_SETUP_FORM_FLIP180", u"180度翻转： ", 0x12, true, false},
    {u"BootLogo", u"ID_SETUP_FORM_BOOTLOGO", u"开机Logo", 0x15, false, true},
};
constexpr int kAgingSwitch = 3;
constexpr int kFlipSwitch = 4;

using setup_caption::TPositionDef;
constexpr TPositionDef kBitDepths[] = {
    {u"ID_SETUP_FORM_BITDEPTH_6", u"6位"},
    {u"ID_SETUP_FORM_BITDEPTH_8", u"8位"},
    {u"ID_SETUP_FORM_BITDEPTH_10", u"10位"},
};
constexpr TPositionDef kBackgrounds[] = {
    {u"ID_SETUP_FORM_BACKGROUND_BLUE", u"蓝屏开"},
    {u"ID_SETUP_FORM_BACKGROUND_BLACK", u"黑屏开"},
};

constexpr quint8 kBitDepthClass = 0x61;    // code = position
constexpr quint8 kBackgroundClass = 0x67;  // code = position: blue, black
constexpr quint8 kSetBacklightClass = 0x21;
constexpr quint8 kBacklightStepClass = 0x65;

// A whole decimal number within [low, high]; nothing otherwise.
std::optional<int> WholeNumber(const QString& text, int low, int high) {
  try {
    const int value = StrToInt(text);
    if (value < low || value > high) return std::nullopt;
    return value;
  } catch (const TConversionError&) {
    return std::nullopt;
  }
}

}  // namespace

TMaintenanceTabView::TMaintenanceTabView(const TSetupServices& services, QWidget* parent)
    : TSetupTabPage(parent), services_(services) {
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(BuildCommandColumn());
  layout->addWidget(BuildSwitchColumn());
  auto* right = new QVBoxLayout;
  right->addWidget(BuildIdGroup());
  right->addStretch();
  layout->addLayout(right);
}

QPushButton* TMaintenanceTabView::AddButton(const char16_t* name, const char16_t* caption) {
  auto* button = new QPushButton(QString::fromUtf16(caption), this);
  button->setObjectName(QString::fromUtf16(name));
  return button;
}

QWidget* TMaintenanceTabView::BuildCommandColumn() {
  auto* column = new QWidget(this);
  auto* v = new QVBoxLayout(column);
  v->setContentsMargins(0, 0, 0, 0);
  btnSystemReset_ = AddButton(u"btnSystemReset", u"系统复位");
  connect(btnSystemReset_, &QPushButton::clicked, this, [this] { Send(0x60, 0x01); });
  btnShowVersion_ = AddButton(u"btnShowVersion", u"版本显示");
  connect(btnShowVersion_, &QPushButton::clicked, this, [this] { Send(0x74, 0x01); });
  v->addWidget(btnSystemReset_);
  v->addWidget(btnShowVersion_);

  auto rotaryGroup = [&](const char16_t* stem, const char16_t* title,
                         std::span<const TPositionDef> defs, QGroupBox** group,
                         TRotarySwitch** rotary, quint8 cls) {
    *group = new QGroupBox(QString::fromUtf16(title), column);
    (*group)->setObjectName(QStringLiteral("gb") + QString::fromUtf16(stem));
    *rotary = new TRotarySwitch(*group);
    (*rotary)->setObjectName(QStringLiteral("rs") + QString::fromUtf16(stem));
    setup_caption::ApplyPositions({}, defs, *rotary);
    connect(*rotary, &TRotarySwitch::released, this,
            [this, cls](int index) { Send(cls, static_cast<quint8>(index)); });
    auto* box = new QVBoxLayout(*group);
    box->addWidget(*rotary);
    v->addWidget(*group);
  };
  rotaryGroup(u"BitDepth", u"6/8/10位设置", kBitDepths, &gbBitDepth_, &rsBitDepth_, kBitDepthClass);
  rotaryGroup(u"Background", u"黑/蓝屏设置", kBackgrounds, &gbBackground_, &rsBackground_,
              kBackgroundClass);
  v->addWidget(BuildBacklightGroup());
  v->addStretch();
  return column;
}

QGroupBox* TMaintenanceTabView::BuildBacklightGroup() {
  gbBacklight_ = new QGroupBox(QStringLiteral("背光亮度调整"), this);
  gbBacklight_->setObjectName(QStringLiteral("gbBacklight"));
  edtBacklight_ = new QLineEdit(gbBacklight_);
  edtBacklight_->setObjectName(QStringLiteral("edtBacklight"));
  btnBacklightOK_ = new QPushButton(QStringLiteral("确定"), gbBacklight_);
  btnBacklightOK_->setObjectName(QStringLiteral("btnBacklightOK"));
  btnBacklightDown_ = new QPushButton(QStringLiteral("-"), gbBacklight_);
  btnBacklightDown_->setObjectName(QStringLiteral("btnBacklightDown"));
  btnBacklightUp_ = new QPushButton(QStringLiteral("+"), gbBacklight_);
  btnBacklightUp_->setObjectName(QStringLiteral("btnBacklightUp"));
  connect(btnBacklightOK_, &QPushButton::clicked, this, &TMaintenanceTabView::SetBacklight);
  connect(edtBacklight_, &QLineEdit::returnPressed, this, &TMaintenanceTabView::SetBacklight);
  connect(btnBacklightDown_, &QPushButton::clicked, this,
          [this] { Send(kBacklightStepClass, 0x00); });
  connect(btnBacklightUp_, &QPushButton::clicked, this,
          [this] { Send(kBacklightStepClass, 0x01); });
  auto* grid = new QGridLayout(gbBacklight_);
  grid->addWidget(edtBacklight_, 0, 0);
  grid->addWidget(btnBacklightOK_, 0, 1);
  grid->addWidget(btnBacklightDown_, 1, 0);
  grid->addWidget(btnBacklightUp_, 1, 1);
  return gbBacklight_;
}

QWidget* TMaintenanceTabView::BuildSwitchColumn() {
  auto* column = new QWidget(this);
  auto* grid = new QGridLayout(column);
  grid->setContentsMargins(0, 0, 0, 0);
  int row = 0;
  for (const TSwitchDef& def : kSwitches) {
    const QString stem = QString::fromUtf16(def.stem);
    TSwitch s;
    s.sw = new TTwoStateSwitch(column);
    s.sw->setObjectName(QStringLiteral("sw") + stem);
    if (def.labelled) {
      s.label = new QLabel(QString::fromUtf16(def.caption), column);
      s.label->setObjectName(QStringLiteral("lbl") + stem);
      s.label->setBuddy(s.sw);
      grid->addWidget(s.label, row, 0);
      grid->addWidget(s.sw, row, 1);
    } else {
      s.sw->SetCaption(QString::fromUtf16(def.caption));
      grid->addWidget(s.sw, row, 0, 1, 2);
    }
    const quint8 cls = def.cls;
    // The switch still shows its old state: turning on sends "On" (0x01).
    connect(s.sw, &TTwoStateSwitch::clicked, this,
            [this, cls](bool wasOn) { Send(cls, wasOn ? 0x00 : 0x01); });
    switches_.append(s);
    ++row;
  }
  lblUsbUpgrade_ = new QLabel(QStringLiteral("USB软件升级： "), column);
  lblUsbUpgrade_->setObjectName(QStringLiteral("lblUsbUpgrade"));
  btnUsbUpgrade_ = AddButton(u"btnUsbUpgrade", u"升级");
  lblUsbUpgrade_->setBuddy(btnUsbUpgrade_);
  connect(btnUsbUpgrade_, &QPushButton::clicked, this,
          [this] { Send(0x68, 0x01, TSettingRoute::FamilyMode); });
  btnUsbLogo_ = AddButton(u"btnUsbLogo", u"USB Logo");
  connect(btnUsbLogo_, &QPushButton::clicked, this, [this] { Send(0x14, 0x01); });
  grid->addWidget(lblUsbUpgrade_, row, 0);
  grid->addWidget(btnUsbUpgrade_, row, 1);
  grid->addWidget(btnUsbLogo_, row + 1, 0, 1, 2);
  grid->setRowStretch(row + 2, 1);
  return column;
}

QGroupBox* TMaintenanceTabView::BuildIdGroup() {
  gbID_ = new QGroupBox(QStringLiteral("ID设置"), this);
  gbID_->setObjectName(QStringLiteral("gbID"));
  lblMachineNo_ = new QLabel(QStringLiteral("机器号："), gbID_);
  lblMachineNo_->setObjectName(QStringLiteral("lblMachineNo"));
  edtMachineNo_ = new QLineEdit(gbID_);
  edtMachineNo_->setObjectName(QStringLiteral("edtMachineNo"));
  lblMachineNo_->setBuddy(edtMachineNo_);
  lblRow_ = new QLabel(QStringLiteral("行"), gbID_);
  lblRow_->setObjectName(QStringLiteral("lblRow"));
  cbbRow_ = new QComboBox(gbID_);
  cbbRow_->setObjectName(QStringLiteral("cbbRow"));
  lblRow_->setBuddy(cbbRow_);
  lblCol_ = new QLabel(QStringLiteral("列"), gbID_);
  lblCol_->setObjectName(QStringLiteral("lblCol"));
  cbbCol_ = new QComboBox(gbID_);
  cbbCol_->setObjectName(QStringLiteral("cbbCol"));
  lblCol_->setBuddy(cbbCol_);
  btnIDOK_ = new QPushButton(QStringLiteral("确定"), gbID_);
  btnIDOK_->setObjectName(QStringLiteral("btnIDOK"));
  btnReadID_ = new QPushButton(QStringLiteral("读取机器号"), gbID_);
  btnReadID_->setObjectName(QStringLiteral("btnReadID"));
  btnAutoRegister_ = new QPushButton(QStringLiteral("自动注册"), gbID_);
  btnAutoRegister_->setObjectName(QStringLiteral("btnAutoRegister"));
  connect(edtMachineNo_, &QLineEdit::textChanged, this, &TMaintenanceTabView::EnableIdButton);
  connect(edtMachineNo_, &QLineEdit::returnPressed, this, [this] {
    if (btnIDOK_->isEnabled()) SetCellId();
  });
  connect(btnIDOK_, &QPushButton::clicked, this, &TMaintenanceTabView::SetCellId);
  connect(btnReadID_, &QPushButton::clicked, this, &TMaintenanceTabView::ReadId);
  connect(btnAutoRegister_, &QPushButton::clicked, this,
          &TMaintenanceTabView::autoRegisterRequested);
  auto* grid = new QGridLayout(gbID_);
  grid->addWidget(lblMachineNo_, 0, 0);
  grid->addWidget(edtMachineNo_, 0, 1);
  grid->addWidget(lblRow_, 1, 0);
  grid->addWidget(cbbRow_, 1, 1);
  grid->addWidget(lblCol_, 2, 0);
  grid->addWidget(cbbCol_, 2, 1);
  grid->addWidget(btnIDOK_, 3, 1);
  grid->addWidget(btnReadID_, 4, 0, 1, 2);
  grid->addWidget(btnAutoRegister_, 5, 0, 1, 2);
  return gbID_;
}

void TMaintenanceTabView::Send(quint8 cls, quint8 code, TSettingRoute route) {
  if (services_.setting) services_.setting(cls, code, route);
}

void TMaintenanceTabView::Refuse(const QString& message) {
  QMessageBox::warning(this, Bilingual(Chinese(), u"错误", u"Error"), message);
}

void TMaintenanceTabView::SetBacklight() {
  // The value is one code byte: a number that does not fit is refused, never cut.
  const std::optional<int> value = WholeNumber(edtBacklight_->text(), 0, 255);
  if (!value) {
    Refuse(Bilingual(Chinese(), u"错误的背光亮度值（应为0到255的整数）",
                     u"Invalid backlight value (a whole number from 0 to 255)"));
    return;
  }
  Send(kSetBacklightClass, static_cast<quint8>(*value));
}

void TMaintenanceTabView::SetCellId() {
  const std::optional<int> machine =
      WholeNumber(edtMachineNo_->text(), 0, std::numeric_limits<quint16>::max());
  if (!machine) {
    Refuse(Bilingual(Chinese(), u"错误的机器号", u"Invalid machine number (0 to 65535)"));
    return;
  }
  const int row = cbbRow_->currentIndex() + 1;
  const int col = cbbCol_->currentIndex() + 1;
  if (row < 1 || col < 1 || !services_.protocol || !services_.send) return;
  quint8 frame[TProtocol::kBufferSize] = {};
  const int length = services_.protocol->SetCellId(static_cast<quint16>(row * 256 + col),
                                                   static_cast<quint16>(*machine), frame);
  services_.send(QByteArray(reinterpret_cast<const char*>(frame), length), false);
}

void TMaintenanceTabView::ReadId() {
  // Addressed to row 0, column 0 whatever is selected.
  if (!services_.protocol || !services_.send) return;
  quint8 frame[TProtocol::kBufferSize] = {};
  const int length = services_.protocol->RequestFactoryNumber(frame);
  services_.send(QByteArray(reinterpret_cast<const char*>(frame), length), false);
}

void TMaintenanceTabView::EnableIdButton() {
  btnIDOK_->setEnabled(idRowsEnabled_ && !edtMachineNo_->text().isEmpty());
}

void TMaintenanceTabView::Showing() {
  const bool super = services_.accessLevel && services_.accessLevel() == kSuperManager;
  const int selected = services_.selectedCells ? services_.selectedCells() : 0;

  auto copyList = [](QComboBox* box, const std::function<QStringList()>& items) {
    box->clear();
    if (items) box->addItems(items());
    box->setCurrentIndex(box->count() > 0 ? 0 : -1);
  };
  copyList(cbbRow_, services_.rowItems);
  copyList(cbbCol_, services_.colItems);

  gbBitDepth_->setEnabled(super);
  for (qsizetype i = 0; i < switches_.size(); ++i) {
    if (kSwitches[i].superOnly) switches_[i].sw->setEnabled(super);
  }
  switches_[kAgingSwitch].label->setVisible(super);
  switches_[kAgingSwitch].sw->setVisible(super);
  const bool flip = services_.family != kQnT1Family;
  switches_[kFlipSwitch].label->setEnabled(flip);
  switches_[kFlipSwitch].sw->setEnabled(flip);
  btnUsbUpgrade_->setEnabled(super);
  btnUsbLogo_->setEnabled(super);

  gbID_->setEnabled(super);
  idRowsEnabled_ = super && selected <= 1;
  cbbRow_->setEnabled(idRowsEnabled_);
  cbbCol_->setEnabled(idRowsEnabled_);
  btnReadID_->setEnabled(super);
  btnAutoRegister_->setEnabled(super);
  btnAutoRegister_->setVisible(services_.family == kNetworkSplicerFamily);
  // "确定" starts disabled at each showing and follows the box's text after.
  btnIDOK_->setEnabled(false);
}

void TMaintenanceTabView::LoadTexts() {
  const TWindowTexts& t = services_.texts;
  using setup_caption::Apply;
  Apply(t, u"ID_SETUP_FORM_SYSTEMRESET", btnSystemReset_);
  Apply(t, u"ID_SETUP_FORM_SHOWVERSION", btnShowVersion_);
  Apply(t, u"ID_SETUP_FORM_BITDEPTH", gbBitDepth_);
  rsBitDepth_->setAccessibleName(gbBitDepth_->title());
  setup_caption::ApplyPositions(t, kBitDepths, rsBitDepth_);
  Apply(t, u"ID_SETUP_FORM_BACKGROUND", gbBackground_);
  rsBackground_->setAccessibleName(gbBackground_->title());
  setup_caption::ApplyPositions(t, kBackgrounds, rsBackground_);
  Apply(t, u"ID_SETUP_FORM_BACKLIGHT", gbBacklight_);
  edtBacklight_->setAccessibleName(gbBacklight_->title());
  Apply(t, u"ID_SETUP_FORM_BACKLIGHT_OK", btnBacklightOK_);
  btnBacklightDown_->setAccessibleName(gbBacklight_->title() + QStringLiteral(" -"));
  btnBacklightUp_->setAccessibleName(gbBacklight_->title() + QStringLiteral(" +"));
  for (qsizetype i = 0; i < switches_.size(); ++i) {
    const TSwitchDef& def = kSwitches[i];
    if (switches_[i].label) {
      Apply(t, def.key, switches_[i].label);
    } else {
      setup_caption::ApplyWidget(t, def.key, switches_[i].sw);
    }
  }
  Apply(t, u"ID_SETUP_FORM_USBUPGRADE", lblUsbUpgrade_);
  Apply(t, u"ID_SETUP_FORM_USBUPGRADE_BUTTON", btnUsbUpgrade_);
  Apply(t, u"ID_SETUP_FORM_USBLOGO", btnUsbLogo_);
  Apply(t, u"ID_SETUP_FORM_IDSETUP", gbID_);
  Apply(t, u"ID_GET_MACID", lblMachineNo_);
  Apply(t, u"ID_SETUP_FORM_ID_ROW", lblRow_);
  Apply(t, u"ID_SETUP_FORM_ID_COL", lblCol_);
  Apply(t, u"ID_SETUP_FORM_ID_OK", btnIDOK_);
  Apply(t, u"ID_Get_SETUP_FACTORYNUMBER", btnReadID_);
  Apply(t, u"ID_SETUP_FORM_AUTOREGISTER", btnAutoRegister_);
}
