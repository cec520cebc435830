#include "setup/network_tab_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <exception>

#include "core/bilingual.h"
#include "core/net_socket_address.h"
#include "core/net_socket_event_waiter.h"
#include "setup/broadcast_search.h"
#include "setup/caption_view.h"
#include "setup/gateway_client.h"

namespace {

// Per role tab, in the order of the lines: object name suffix, key, caption.
struct TRoleDef {
  const char16_t* suffix;
  const char16_t* key;
  const char16_t* caption;
};
constexpr TRoleDef kRoles[kGatewayLineCount] = {
    {u"Splicer", u"ID_SETUP_FORM_NET_TAB_SPLICER", u"拼接串口"},
    {u"Video", u"ID_SETUP_FORM_NET_TAB_VIDEO", u"Video串口"},
    {u"VGA", u"ID_SETUP_FORM_NET_TAB_VGA", u"VGA串口"},
    {u"DVI", u"ID_SETUP_FORM_NET_TAB_DVI", u"DVI串口"},
    {u"DVR", u"ID_SETUP_FORM_NET_TAB_DVR", u"DVR串口"},
};

// The selector captions of every role tab: object name prefix, key, caption.
constexpr TRoleDef kSelectorLabels[5] = {
    {u"lblPort", u"ID_SETUP_FORM_NET_PORT", u"通讯端口："},
    {u"lblBaud", u"ID_SETUP_FORM_NET_BAUD", u"波特率："},
    {u"lblDataBits", u"ID_SETUP_FORM_NET_DATA_BITS", u"数据位："},
    {u"lblStopBits", u"ID_SETUP_FORM_NET_STOP_BITS", u"停止位："},
    {u"lblParity", u"ID_SETUP_FORM_NET_PARITY", u"奇偶校验："},
};

QString Str(const char16_t* s) { return QString::fromUtf16(s); }

void Fill(QComboBox* box, const QStringList& items, int selected) {
  box->clear();
  box->addItems(items);
  box->setCurrentIndex(selected);
}

QPushButton* Button(const char16_t* name, const char16_t* caption, QWidget* parent) {
  auto* button = new QPushButton(Str(caption), parent);
  button->setObjectName(Str(name));
  button->setAccessibleName(button->text());
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TNetworkTabView::TNetworkTabView(TNetworkTabServices services, QWidget* parent)
    : TSetupTabPage(parent), services_(std::move(services)), client_(*services_.client) {
  setObjectName(QStringLiteral("tsNetwork"));
  search_ = services_.search;
  if (!search_) {
    TSocketWaiter* waiter = services_.waiter;
    if (!waiter) {
      ownWaiter_ = std::make_unique<TEventLoopSocketWaiter>();
      waiter = ownWaiter_.get();
    }
    ownSearch_ = std::make_unique<TBroadcastSearch>(*waiter);
    search_ = ownSearch_.get();
  }
  auto* layout = new QVBoxLayout(this);
  BuildSearchRows();
  BuildPortGroup();
  BuildSendModeGroup();
  auto* ports = new QHBoxLayout;
  ports->addWidget(gbPortSetup_, 1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(btnPortSetOK_);
  buttons->addWidget(btnClosePort_);
  buttons->addStretch();
  ports->addLayout(buttons);
  auto* search = new QHBoxLayout;
  search->addWidget(btnSearchGateway_);
  search->addWidget(pbSearchGateway_, 1);
  auto* address = new QHBoxLayout;
  address->addWidget(lblGatewayIP_);
  address->addWidget(cbbGatewayIP_, 1);
  address->addWidget(btnGetGatewayParams_);
  layout->addLayout(search);
  layout->addLayout(address);
  layout->addWidget(memoGateway_, 1);
  layout->addLayout(ports);
  layout->addWidget(gbSendMode_);

  // The log lives in the client; the memo shows it and follows it.
  memoGateway_->setPlainText(client_.Log().Lines().join(u'\n'));
  client_.Log().appended = [this](const QString& line) { memoGateway_->appendPlainText(line); };
  client_.Log().cleared = [this] { memoGateway_->clear(); };

  ResetSelectors();
  btnPortSetOK_->setEnabled(false);
  FillSendModeChoices();
  LoadTexts();
}

TNetworkTabView::~TNetworkTabView() {
  client_.Log().appended = nullptr;
  client_.Log().cleared = nullptr;
}

void TNetworkTabView::BuildSearchRows() {
  btnSearchGateway_ = Button(u"btnSearchGateway", u"搜索服务器", this);
  pbSearchGateway_ = new QProgressBar(this);
  pbSearchGateway_->setObjectName(QStringLiteral("pbSearchGateway"));
  pbSearchGateway_->setRange(0, 100);
  pbSearchGateway_->setVisible(false);
  lblGatewayIP_ = new QLabel(QStringLiteral("服务器IP："), this);
  lblGatewayIP_->setObjectName(QStringLiteral("lblGatewayIP"));
  cbbGatewayIP_ = new QComboBox(this);
  cbbGatewayIP_->setObjectName(QStringLiteral("cbbGatewayIP"));
  cbbGatewayIP_->setEditable(true);
  lblGatewayIP_->setBuddy(cbbGatewayIP_);
  btnGetGatewayParams_ = Button(u"btnGetGatewayParams", u"获取服务器参数", this);
  memoGateway_ = new QPlainTextEdit(this);
  memoGateway_->setObjectName(QStringLiteral("memoGateway"));
  memoGateway_->setReadOnly(true);
  memoGateway_->setTabChangesFocus(true);
  memoGateway_->setMaximumBlockCount(TGatewayLog::kMaxLines);
  connect(btnSearchGateway_, &QPushButton::clicked, this,
          [this] { RunOnce([this] { SearchGateways(); }); });
  connect(btnGetGatewayParams_, &QPushButton::clicked, this,
          [this] { RunOnce([this] { ReadGatewayPorts(); }); });
}

void TNetworkTabView::BuildPortGroup() {
  gbPortSetup_ = new QGroupBox(QStringLiteral("串口设置"), this);
  gbPortSetup_->setObjectName(QStringLiteral("gbPortSetup"));
  pcPortSetup_ = new QTabWidget(gbPortSetup_);
  pcPortSetup_->setObjectName(QStringLiteral("pcPortSetup"));
  (new QVBoxLayout(gbPortSetup_))->addWidget(pcPortSetup_);
  for (int line = 0; line < kGatewayLineCount; ++line) {
    roles_[static_cast<std::size_t>(line)] = BuildRolePage(line);
    pcPortSetup_->addTab(roles_[static_cast<std::size_t>(line)].page, Str(kRoles[line].caption));
  }
  btnPortSetOK_ = Button(u"btnPortSetOK", u"确定", this);
  btnClosePort_ = Button(u"btnClosePort", u"关串口", this);
  connect(btnPortSetOK_, &QPushButton::clicked, this,
          [this] { RunOnce([this] { ApplyPortSettings(); }); });
  connect(btnClosePort_, &QPushButton::clicked, this, [this] { RunOnce([this] { ClosePort(); }); });
}

TNetworkTabView::TRolePage TNetworkTabView::BuildRolePage(int line) {
  const QString suffix = Str(kRoles[line].suffix);
  TRolePage role;
  role.page = new QWidget(pcPortSetup_);
  role.page->setObjectName(QStringLiteral("ts%1Port").arg(suffix));
  auto* grid = new QGridLayout(role.page);
  role.use = new QCheckBox(QStringLiteral("使用串口"), role.page);
  role.use->setObjectName(QStringLiteral("cbUse%1Port").arg(suffix));
  grid->addWidget(role.use, 0, 0, 1, 2);
  const std::array<QComboBox**, 5> boxes = {&role.port, &role.baud, &role.dataBits, &role.stopBits,
                                            &role.parity};
  const std::array<const char16_t*, 5> boxNames = {u"cbbPort", u"cbbBaud", u"cbbDataBits",
                                                   u"cbbStopBits", u"cbbParity"};
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    auto* label = new QLabel(Str(kSelectorLabels[i].caption), role.page);
    label->setObjectName(Str(kSelectorLabels[i].suffix) + suffix);
    auto* box = new QComboBox(role.page);
    box->setObjectName(Str(boxNames[i]) + suffix);
    box->setEnabled(false);
    label->setBuddy(box);
    grid->addWidget(label, static_cast<int>(i) + 1, 0);
    grid->addWidget(box, static_cast<int>(i) + 1, 1);
    role.labels[i] = label;
    *boxes[i] = box;
  }
  connect(role.use, &QCheckBox::toggled, this, [this, line](bool on) {
    const TRolePage& r = roles_[static_cast<std::size_t>(line)];
    for (QComboBox* box : {r.port, r.baud, r.dataBits, r.stopBits, r.parity}) box->setEnabled(on);
  });
  return role;
}

void TNetworkTabView::BuildSendModeGroup() {
  gbSendMode_ = new QGroupBox(QStringLiteral("通讯方式设置"), this);
  gbSendMode_->setObjectName(QStringLiteral("gbSendMode"));
  rbNoNetSend_ = new QRadioButton(QStringLiteral("不使用网络发送"), gbSendMode_);
  rbNoNetSend_->setObjectName(QStringLiteral("rbNoNetSend"));
  rbNoNetSend_->setChecked(true);
  rbNetSend_ = new QRadioButton(QStringLiteral("使用网络发送"), gbSendMode_);
  rbNetSend_->setObjectName(QStringLiteral("rbNetSend"));
  cbbNetSendMode_ = new QComboBox(gbSendMode_);
  cbbNetSendMode_->setObjectName(QStringLiteral("cbbNetSendMode"));
  btnSendModeOK_ = Button(u"btnSendModeOK", u"确定", gbSendMode_);
  auto* row = new QHBoxLayout(gbSendMode_);
  row->addWidget(rbNoNetSend_);
  row->addWidget(rbNetSend_);
  row->addWidget(cbbNetSendMode_, 1);
  row->addWidget(btnSendModeOK_);
  connect(btnSendModeOK_, &QPushButton::clicked, this,
          [this] { RunOnce([this] { ApplySendMode(); }); });
}

void TNetworkTabView::Showing() {
  if (!listsFilled_) ResetSelectors();
  FillSendModeChoices();
}

void TNetworkTabView::LoadTexts() {
  using setup_caption::Apply;
  const TWindowTexts& t = services_.texts;
  Apply(t, u"ID_SETUP_FORM_NET_SEARCH", btnSearchGateway_);
  Apply(t, u"ID_SETUP_FORM_NET_ADDRESS", lblGatewayIP_);
  Apply(t, u"ID_SETUP_FORM_NET_GET_PARAMS", btnGetGatewayParams_);
  Apply(t, u"ID_SETUP_FORM_NET_PORT_GROUP", gbPortSetup_);
  Apply(t, u"ID_SETUP_FORM_NET_PORT_OK", btnPortSetOK_);
  Apply(t, u"ID_SETUP_FORM_NET_CLOSE_PORT", btnClosePort_);
  Apply(t, u"ID_SETUP_FORM_NET_MODE_GROUP", gbSendMode_);
  Apply(t, u"ID_SETUP_FORM_NET_NO_NET", rbNoNetSend_);
  Apply(t, u"ID_SETUP_FORM_NET_USE_NET", rbNetSend_);
  Apply(t, u"ID_SETUP_FORM_NET_MODE_OK", btnSendModeOK_);
  for (int line = 0; line < kGatewayLineCount; ++line) {
    TRolePage& role = roles_[static_cast<std::size_t>(line)];
    const QString tab = setup_caption::Lookup(t, kRoles[line].key);
    if (!tab.isNull()) pcPortSetup_->setTabText(line, tab);
    role.page->setAccessibleName(pcPortSetup_->tabText(line));
    Apply(t, u"ID_SETUP_FORM_NET_USE_PORT", role.use);
    for (std::size_t i = 0; i < role.labels.size(); ++i)
      Apply(t, kSelectorLabels[i].key, role.labels[i]);
  }
  cbbNetSendMode_->setAccessibleName(rbNetSend_->text());
  // The log has no caption of its own on the tab; a screen reader names it.
  const QString log = setup_caption::Lookup(t, u"ID_SETUP_FORM_NET_LOG");
  memoGateway_->setAccessibleName(log.isNull() ? QStringLiteral("服务器日志") : log);
  pbSearchGateway_->setAccessibleName(btnSearchGateway_->text());
}

void TNetworkTabView::ResetSelectors() {
  for (TRolePage& role : roles_) {
    role.port->clear();
    Fill(role.baud, {QStringLiteral("600"), QStringLiteral("9600"), QStringLiteral("115200")}, 1);
    Fill(role.dataBits,
         {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")}, 3);
    Fill(role.stopBits, {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")}, 0);
    Fill(role.parity, {QStringLiteral("Odd"), QStringLiteral("Even"), QStringLiteral("None")}, 2);
  }
}

void TNetworkTabView::FillSendModeChoices() {
  const bool chinese = Chinese();
  Fill(cbbNetSendMode_,
       {Bilingual(chinese, u"只使用网络发送", u"Only Use net"),
        Bilingual(chinese, u"网络和串口同时发送", u"Both net and com")},
       0);
}

void TNetworkTabView::RunOnce(const std::function<void()>& operation) {
  // A click that arrives while an operation waits on the network is ignored:
  // the operations share the gateway connection and the lists.
  if (busy_) return;
  busy_ = true;
  try {
    operation();
  } catch (const std::exception& error) {
    Message(QString::fromLocal8Bit(error.what()));
  }
  busy_ = false;
}

void TNetworkTabView::SearchGateways() {
  TBroadcastSearchRequest request;
  request.probePort = services_.probePort;
  request.replyPort = services_.replyPort;
  request.clearLog = [this] {
    client_.Log().Clear();
    btnPortSetOK_->setEnabled(false);
    cbbGatewayIP_->clear();
  };
  request.log = [this](const QString& line) { client_.Log().Append(line); };
  request.showProgress = [this](int percent) {
    pbSearchGateway_->setValue(percent);
    pbSearchGateway_->setVisible(true);
  };
  request.hideProgress = [this] { pbSearchGateway_->setVisible(false); };
  request.found = [this](const QString& address) { cbbGatewayIP_->addItem(address); };
  request.afterPasses = [this] {
    if (cbbGatewayIP_->count() == 0) return;
    cbbGatewayIP_->setCurrentIndex(0);
    ReadPorts(cbbGatewayIP_->itemText(0));
  };
  if (search_->Run(request)) listsFilled_ = true;
}

void TNetworkTabView::ReadGatewayPorts() {
  ResetSelectors();
  const QString address = cbbGatewayIP_->currentText();
  if (cbbGatewayIP_->count() == 0 && address.isEmpty()) return;
  if (!AddressValid(address)) return;
  ReadPorts(address);
  listsFilled_ = true;
}

void TNetworkTabView::ReadPorts(const QString& address) {
  const TGatewayPortTable table = client_.ReadPortTable(address);
  portTable_ = table.records;
  if (table.count > 0) btnPortSetOK_->setEnabled(true);
  for (TRolePage& role : roles_) {
    role.port->clear();
    role.port->addItems(table.names);
  }
}

void TNetworkTabView::ApplyPortSettings() {
  const QString address = cbbGatewayIP_->currentText();
  if (!AddressValid(address)) return;
  client_.SetRememberedAddress(address);
  std::vector<TGatewayPortSettings> settings;
  for (int line = 0; line < kGatewayLineCount; ++line) {
    const TRolePage& role = roles_[static_cast<std::size_t>(line)];
    if (!role.use->isChecked()) continue;
    settings.push_back({role.port->currentIndex(), static_cast<TGatewayLine>(line),
                        role.baud->currentIndex(), role.dataBits->currentIndex(),
                        role.parity->currentIndex()});
  }
  const bool chinese = Chinese();
  for (std::size_t i = 0, n = client_.SetPorts(address, settings).size(); i < n; ++i)
    Message(Bilingual(chinese, u"设置参数失败", u"Setting the port parameters failed"));
  Message(Bilingual(chinese, u"设置参数完成!", u"Port parameters set!"));
}

void TNetworkTabView::ClosePort() {
  const QString address = cbbGatewayIP_->currentText();
  if (!AddressValid(address)) return;
  client_.SetRememberedAddress(address);
  const bool closed = client_.ClosePorts(address);
  const bool chinese = Chinese();
  Message(closed ? Bilingual(chinese, u"关闭成功", u"Port closed")
                 : Bilingual(chinese, u"关闭失败", u"Closing the port failed"));
}

void TNetworkTabView::ApplySendMode() {
  const int mode = rbNoNetSend_->isChecked() ? 0 : (cbbNetSendMode_->currentIndex() == 1 ? 2 : 1);
  if (services_.setSendMode) services_.setSendMode(mode);
  Message(Bilingual(Chinese(), u"操作完成", u"Operate ok"));
}

bool TNetworkTabView::AddressValid(const QString& address) const {
  // A typing error would otherwise only show as a connect error in the log,
  // and would become the address every forward goes to.
  if (TIpv4Address::Parse(address.trimmed())) return true;
  Message(
      Bilingual(Chinese(), u"服务器IP地址错误", u"The gateway address is not a valid IP address"));
  return false;
}

void TNetworkTabView::Message(const QString& text) const {
  if (services_.message) {
    services_.message(text);
    return;
  }
  QMessageBox::information(const_cast<TNetworkTabView*>(this), window()->windowTitle(), text);
}
