#include "setup/subtitle_tab_view.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <span>

#include "core/bilingual.h"
#include "core/gbk.h"
#include "core/net_socket_event_waiter.h"
#include "core/net_socket_tcp.h"
#include "setup/broadcast_search.h"
#include "setup/caption_view.h"
#include "setup/subtitle_settings.h"
#include "widgets/named.h"

namespace {

// A radio button: object name, language key, designed caption, packet value.
struct TRadioDef {
  const char16_t* name;
  const char16_t* key;
  const char16_t* caption;
  int value;
};

constexpr TRadioDef kSinglePositions[] = {
    {u"rbTop", u"ID_SETUP_FORM_OSD_TOP", u"上", 0},
    {u"rbMiddle", u"ID_SETUP_FORM_OSD_MIDDLE", u"中", 1},
    {u"rbBottom", u"ID_SETUP_FORM_OSD_BOTTOM", u"下", 2},
};
constexpr TRadioDef kSingleMotions[] = {
    {u"rbLeftToRight", u"ID_SETUP_FORM_OSD_L2R", u"左->右", 0},
    {u"rbRightToLeft", u"ID_SETUP_FORM_OSD_R2L", u"右->左", 1},
    {u"rbLeftRightLeft", u"ID_SETUP_FORM_OSD_L2R2L", u"左->右->左", 2},
    {u"rbSingleStatic", u"ID_SETUP_FORM_OSD_STATIC", u"静态居中", 3},
};
constexpr TRadioDef kMultiPositions[] = {
    {u"rbLeft", u"ID_SETUP_FORM_OSD_LEFT", u"左", 3},
    {u"rbCenter", u"ID_SETUP_FORM_OSD_CENTER", u"中", 4},
    {u"rbRight", u"ID_SETUP_FORM_OSD_RIGHT", u"右", 5},
};
constexpr TRadioDef kMultiMotions[] = {
    {u"rbTopToBottom", u"ID_SETUP_FORM_OSD_T2B", u"上->下", 4},
    {u"rbBottomToTop", u"ID_SETUP_FORM_OSD_B2T", u"下->上", 5},
    {u"rbMultiStatic", u"ID_SETUP_FORM_OSD_STATIC", u"静态居中", 6},
};
// Every radio button in the order the tab adds them.
constexpr std::span<const TRadioDef> kRadioGroups[] = {kSinglePositions, kSingleMotions,
                                                       kMultiPositions, kMultiMotions};

constexpr int kConnectMs = 3000;
constexpr int kSendMs = 3000;

// What a failed connect means to the operator, after the error number.
QString ConnectFailure(int error, const QString& server, bool chinese) {
  switch (error) {
    case ECONNREFUSED:
      return Bilingual(chinese, u"字幕服务器 %1 拒绝连接：它的字幕服务没有运行。",
                       u"The subtitle server %1 refused the connection: its subtitle service "
                       u"is not running.")
          .arg(server);
    case ETIMEDOUT:
      return Bilingual(chinese, u"字幕服务器 %1 在 %2 秒内没有应答。",
                       u"The subtitle server %1 did not answer within %2 s.")
          .arg(server)
          .arg(kConnectMs / 1000);
    default:
      return Bilingual(chinese, u"无法连接字幕服务器 %1。", u"Cannot reach the subtitle server %1.")
          .arg(server);
  }
}
// The sample label shows at most this pixel height; the packet keeps the value.
constexpr int kMaxSamplePixels = 160;

// One radio button per entry, below each other in box; the id in group is
// the packet value.
QList<QRadioButton*> AddRadios(QButtonGroup* group, QGroupBox* box,
                               std::span<const TRadioDef> defs) {
  QList<QRadioButton*> radios;
  auto* column = new QVBoxLayout(box);
  for (const TRadioDef& def : defs) {
    auto* radio = Named(new QRadioButton(QString::fromUtf16(def.caption), box), def.name);
    group->addButton(radio, def.value);
    column->addWidget(radio);
    radios << radio;
  }
  return radios;
}

QColor ToColor(quint32 bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

quint32 FromColor(const QColor& c) {
  return static_cast<quint32>(c.red()) | static_cast<quint32>(c.green()) << 8 |
         static_cast<quint32>(c.blue()) << 16;
}

// The font as the sample label shows it: a negative height is the pixel
// height; a positive one (cell height) is near enough for a sample.
QFont ToSampleFont(const TSubtitleFont& f) {
  QFont font(f.face);
  font.setPixelSize(std::clamp(f.height == 0 ? 12 : std::abs(f.height), 1, kMaxSamplePixels));
  font.setBold(f.bold);
  font.setItalic(f.italic);
  font.setUnderline(f.underline);
  font.setStrikeOut(f.strikeOut);
  return font;
}

// The dialog's choice; the colour is not the font dialog's business.
TSubtitleFont FromDialogFont(const QFont& font, TSubtitleFont f) {
  f.face = font.family();
  if (font.pointSize() > 0)
    f.SetSize(font.pointSize());
  else if (font.pixelSize() > 0)
    f.SetHeight(-font.pixelSize());
  f.bold = font.bold();
  f.italic = font.italic();
  f.underline = font.underline();
  f.strikeOut = font.strikeOut();
  return f;
}

}  // namespace

TSubtitleTabView::TSubtitleTabView(TSubtitleTabServices services, QWidget* parent)
    : TSetupTabPage(parent), services_(std::move(services)) {
  waiter_ = services_.waiter;
  if (!waiter_) {
    ownWaiter_ = std::make_unique<TEventLoopSocketWaiter>();
    waiter_ = ownWaiter_.get();
  }
  search_ = services_.search;
  if (!search_) {
    ownSearch_ = std::make_unique<TBroadcastSearch>(*waiter_);
    search_ = ownSearch_.get();
  }
  BuildServerRow();
  BuildLayoutPages();
  BuildLayout();
  SetTabOrder();
  TSubtitleSettings defaults;
  defaults.lines = TSubtitleSettings::DefaultLines();
  ShowValues(defaults);
  // Until a search answered or the operator typed an address, there is
  // nowhere to send to.
  EnableSend(false);
  LoadTexts();
}

TSubtitleTabView::~TSubtitleTabView() = default;

void TSubtitleTabView::BuildServerRow() {
  lblServerIP_ = Named(new QLabel(QStringLiteral("服务器IP"), this), u"lblServerIP");
  cbbServerIP_ = Named(new QComboBox(this), u"cbbServerIP");
  cbbServerIP_->setEditable(true);
  cbbServerIP_->setInsertPolicy(QComboBox::NoInsert);
  lblServerIP_->setBuddy(cbbServerIP_);
  btnSearchServer_ = Named(new QPushButton(QStringLiteral("搜索服务器"), this), u"btnSearchServer");
  pbSearch_ = Named(new QProgressBar(this), u"pbSearch");
  pbSearch_->setRange(0, 100);
  pbSearch_->hide();
  btnStartOSD_ = Named(new QPushButton(QStringLiteral("启动字幕"), this), u"btnStartOSD");
  btnStopOSD_ = Named(new QPushButton(QStringLiteral("关闭字幕"), this), u"btnStopOSD");
  lblScreen_ = Named(new QLabel(QStringLiteral("选择屏幕"), this), u"lblScreen");
  cbbScreen_ = Named(new QComboBox(this), u"cbbScreen");
  lblScreen_->setBuddy(cbbScreen_);

  // Only the operator's own typing or choice enables sending, never the
  // search refilling the list.
  connect(cbbServerIP_->lineEdit(), &QLineEdit::textEdited, this, [this] { EnableSend(true); });
  connect(cbbServerIP_, &QComboBox::activated, this, [this] { EnableSend(true); });
  connect(btnSearchServer_, &QPushButton::clicked, this, &TSubtitleTabView::Search);
  connect(btnStartOSD_, &QPushButton::clicked, this, &TSubtitleTabView::Start);
  connect(btnStopOSD_, &QPushButton::clicked, this, &TSubtitleTabView::Stop);
}

QGroupBox* TSubtitleTabView::BuildSpeedGroup() {
  gbSpeed_ = Named(new QGroupBox(QStringLiteral("滚动速度"), this), u"gbSpeed");
  lblSlow_ = Named(new QLabel(QStringLiteral("慢"), gbSpeed_), u"lblSlow");
  tbSpeed_ = Named(new QSlider(Qt::Horizontal, gbSpeed_), u"tbSpeed");
  tbSpeed_->setRange(0, 100);
  tbSpeed_->setPageStep(10);
  lblFast_ = Named(new QLabel(QStringLiteral("快"), gbSpeed_), u"lblFast");
  auto* row = new QHBoxLayout(gbSpeed_);
  row->addWidget(lblSlow_);
  row->addWidget(tbSpeed_, 1);
  row->addWidget(lblFast_);
  return gbSpeed_;
}

QGroupBox* TSubtitleTabView::BuildFontGroup() {
  gbFont_ = Named(new QGroupBox(QStringLiteral("字体"), this), u"gbFont");
  lblSample_ = Named(new QLabel(QStringLiteral("例子"), gbFont_), u"lblSample");
  lblSample_->setAlignment(Qt::AlignCenter);
  btnChooseFont_ = Named(new QPushButton(QStringLiteral("选择字体"), gbFont_), u"btnChooseFont");
  btnFontColor_ = Named(new QPushButton(QStringLiteral("字体颜色"), gbFont_), u"btnFontColor");
  connect(btnChooseFont_, &QPushButton::clicked, this, &TSubtitleTabView::ChooseFont);
  connect(btnFontColor_, &QPushButton::clicked, this, &TSubtitleTabView::ChooseColor);
  auto* box = new QHBoxLayout(gbFont_);
  box->addWidget(lblSample_, 1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(btnChooseFont_);
  buttons->addWidget(btnFontColor_);
  buttons->addStretch();
  box->addLayout(buttons);
  return gbFont_;
}

void TSubtitleTabView::BuildLayoutPages() {
  pcLayout_ = Named(new QTabWidget(this), u"pcLayout");
  auto build = [this](TLayoutPage& p, const char16_t* name, const char16_t* caption,
                      std::span<const TRadioDef> positions, std::span<const TRadioDef> motions) {
    p.page = Named(new QWidget(pcLayout_), name);
    p.position = new QGroupBox(QStringLiteral("位置"), p.page);
    p.position->setObjectName(p.page->objectName() + QStringLiteral("Position"));
    p.motion = new QGroupBox(QStringLiteral("移动方向"), p.page);
    p.motion->setObjectName(p.page->objectName() + QStringLiteral("Motion"));
    p.positions = new QButtonGroup(p.page);
    p.motions = new QButtonGroup(p.page);
    radios_ << AddRadios(p.positions, p.position, positions)
            << AddRadios(p.motions, p.motion, motions);
    auto* row = new QHBoxLayout(p.page);
    row->addWidget(p.position);
    row->addWidget(p.motion);
    pcLayout_->addTab(p.page, QString::fromUtf16(caption));
  };
  // The same order as kRadioGroups, which LoadTexts walks.
  build(single_, u"tsSingleLine", u"单行滚动显示", kSinglePositions, kSingleMotions);
  build(multi_, u"tsMultiLine", u"多行滚动显示", kMultiPositions, kMultiMotions);
}

void TSubtitleTabView::BuildLayout() {
  gbOSDText_ = Named(new QGroupBox(QStringLiteral("滚动文字"), this), u"gbOSDText");
  mmOSDText_ = Named(new QPlainTextEdit(gbOSDText_), u"mmOSDText");
  mmOSDText_->setTabChangesFocus(true);
  (new QVBoxLayout(gbOSDText_))->addWidget(mmOSDText_);
  gbStatus_ = Named(new QGroupBox(QStringLiteral("状态"), this), u"gbStatus");
  mmStatus_ = Named(new QPlainTextEdit(gbStatus_), u"mmStatus");
  mmStatus_->setReadOnly(true);
  mmStatus_->setTabChangesFocus(true);
  (new QVBoxLayout(gbStatus_))->addWidget(mmStatus_);

  auto* grid = new QGridLayout(this);
  auto* server = new QHBoxLayout;
  server->addWidget(lblServerIP_);
  server->addWidget(cbbServerIP_, 1);
  server->addWidget(btnSearchServer_);
  server->addWidget(pbSearch_);
  grid->addLayout(server, 0, 0, 1, 2);
  auto* send = new QHBoxLayout;
  send->addWidget(lblScreen_);
  send->addWidget(cbbScreen_, 1);
  send->addWidget(btnStartOSD_);
  send->addWidget(btnStopOSD_);
  grid->addLayout(send, 1, 0, 1, 2);
  grid->addWidget(BuildSpeedGroup(), 2, 0);
  grid->addWidget(BuildFontGroup(), 3, 0);
  grid->addWidget(pcLayout_, 4, 0);
  grid->addWidget(gbOSDText_, 2, 1, 3, 1);
  grid->addWidget(gbStatus_, 5, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(4, 1);
  mmStatus_->setMaximumHeight(mmStatus_->fontMetrics().lineSpacing() * 8);
}

void TSubtitleTabView::SetTabOrder() {
  QList<QWidget*> order = {cbbServerIP_, btnSearchServer_, cbbScreen_,    btnStartOSD_, btnStopOSD_,
                           tbSpeed_,     btnChooseFont_,   btnFontColor_, pcLayout_};
  for (QRadioButton* radio : radios_) order << radio;
  order << mmOSDText_ << mmStatus_;
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void TSubtitleTabView::LoadTexts() {
  const TWindowTexts& t = services_.texts;
  setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_SERVERIP", lblServerIP_);
  setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_SEARCH", btnSearchServer_);
  setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_START", btnStartOSD_);
  setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_STOP", btnStopOSD_);
  setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_SCREEN", lblScreen_);
  setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_SPEED", gbSpeed_);
  setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_SLOW", lblSlow_);
  setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_FAST", lblFast_);
  setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_FONT_GROUP", gbFont_);
  setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_SAMPLE", lblSample_);
  setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_FONT", btnChooseFont_);
  setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_COLOR", btnFontColor_);
  setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_TEXT", gbOSDText_);
  setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_STATUS", gbStatus_);
  for (TLayoutPage* p : {&single_, &multi_}) {
    setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_POSITION", p->position);
    setup_caption::Apply(t, u"ID_SETUP_FORM_OSD_MOTION", p->motion);
  }
  const char16_t* pageKeys[] = {u"ID_SETUP_FORM_OSD_SINGLE", u"ID_SETUP_FORM_OSD_MULTI"};
  for (int tab = 0; tab < 2; ++tab) {
    const QString text = setup_caption::Lookup(t, pageKeys[tab]);
    if (!text.isNull()) pcLayout_->setTabText(tab, text);
    pcLayout_->widget(tab)->setAccessibleName(pcLayout_->tabText(tab));
  }
  qsizetype i = 0;
  for (std::span<const TRadioDef> defs : kRadioGroups)
    for (const TRadioDef& def : defs) setup_caption::Apply(t, def.key, radios_[i++]);
  cbbServerIP_->setAccessibleName(lblServerIP_->text());
  cbbScreen_->setAccessibleName(lblScreen_->text());
  tbSpeed_->setAccessibleName(gbSpeed_->title());
  mmOSDText_->setAccessibleName(gbOSDText_->title());
  mmStatus_->setAccessibleName(gbStatus_->title());
  pbSearch_->setAccessibleName(btnSearchServer_->text());
  pcLayout_->setAccessibleName(pcLayout_->tabText(0) + QStringLiteral(" / ") +
                               pcLayout_->tabText(1));
}

void TSubtitleTabView::Showing() {
  const bool chinese = Chinese();
  cbbScreen_->clear();
  cbbScreen_->addItems({Bilingual(chinese, u"主显示器", u"Master Monitor"),
                        Bilingual(chinese, u"副显示器", u"Slave Monitor"),
                        Bilingual(chinese, u"主+副显示器", u"M & S Monitor")});
  cbbScreen_->setCurrentIndex(0);
  TSubtitleSettings settings = Values();
  for (const QString& note : TSubtitleSettingsFile::InProgramDir().Load(settings, chinese))
    Log(note);
  ShowValues(settings);
}

TSubtitleSettings TSubtitleTabView::Values() const {
  TSubtitleSettings s;
  s.screen = std::max(0, cbbScreen_->currentIndex());
  s.layout = pcLayout_->currentIndex() == 1 ? 1 : 0;
  s.singlePosition = single_.positions->checkedId();
  s.singleMotion = single_.motions->checkedId();
  s.multiPosition = multi_.positions->checkedId();
  s.multiMotion = multi_.motions->checkedId();
  s.speed = tbSpeed_->value();
  s.font = font_;
  const QString text = mmOSDText_->toPlainText();
  // Every line the memo shows counts, an ending empty one too.
  if (!text.isEmpty()) s.lines = text.split(u'\n');
  return s;
}

void TSubtitleTabView::ShowValues(const TSubtitleSettings& s) {
  pcLayout_->setCurrentIndex(s.layout == 1 ? 1 : 0);
  auto check = [](QButtonGroup* group, int id) {
    if (QAbstractButton* b = group->button(id)) b->setChecked(true);
  };
  check(single_.positions, s.singlePosition);
  check(single_.motions, s.singleMotion);
  check(multi_.positions, s.multiPosition);
  check(multi_.motions, s.multiMotion);
  tbSpeed_->setValue(s.speed);
  font_ = s.font;
  ShowFont();
  mmOSDText_->setPlainText(s.lines.join(u'\n'));
}

void TSubtitleTabView::ShowFont() {
  lblSample_->setFont(ToSampleFont(font_));
  QPalette palette = lblSample_->palette();
  palette.setColor(QPalette::WindowText, ToColor(font_.color));
  lblSample_->setPalette(palette);
}

void TSubtitleTabView::EnableSend(bool on) {
  btnStartOSD_->setEnabled(on);
  btnStopOSD_->setEnabled(on);
}

void TSubtitleTabView::Search() {
  TBroadcastSearchRequest request;
  request.probePort = 80;
  request.replyPort = 1235;
  request.clearLog = [this] { mmStatus_->clear(); };
  request.log = [this](const QString& line) { Log(line); };
  request.beforePasses = [this] { cbbServerIP_->clear(); };
  request.showProgress = [this](int percent) {
    pbSearch_->setValue(percent);
    pbSearch_->show();
  };
  request.hideProgress = [this] { pbSearch_->hide(); };
  request.found = [this](const QString& address) { cbbServerIP_->addItem(address); };
  request.afterDatagram = [this] {
    if (cbbServerIP_->count() > 0) cbbServerIP_->setCurrentIndex(0);
    EnableSend(true);
  };
  if (sending_ || !search_->Run(request))
    Log(Bilingual(Chinese(), u"另一个网络操作正在进行，请稍后再试。",
                  u"Another network operation is running; please try again later."));
}

void TSubtitleTabView::ChooseFont() {
  QFont preset = ToSampleFont(font_);
  if (font_.size > 0) preset.setPointSize(font_.size);
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, preset, this, btnChooseFont_->text());
  if (!ok) return;
  const TSubtitleFont candidate = FromDialogFont(chosen, font_);
  if (Gbk::Encode(candidate.face).size() > SubtitlePacket::kFaceBytes) {
    Refuse(SubtitlePacket::RefusalMessage(TSubtitleRefusal::FaceTooLong, Chinese()));
    return;
  }
  font_ = candidate;
  ShowFont();
}

void TSubtitleTabView::ChooseColor() {
  const QColor chosen = QColorDialog::getColor(ToColor(font_.color), this, btnFontColor_->text());
  if (!chosen.isValid()) return;
  font_.color = FromColor(chosen);
  ShowFont();
}

std::optional<TIpv4Address> TSubtitleTabView::ServerAddress() {
  const QString text = cbbServerIP_->currentText().trimmed();
  if (text.isEmpty()) {
    RefuseEmptyAddress();
    return std::nullopt;
  }
  const auto address = TIpv4Address::Parse(text);
  if (!address)
    Refuse(Bilingual(Chinese(), u"服务器IP地址无效：请输入如 192.168.1.100 的地址。",
                     u"The server IP address is not valid: enter one like 192.168.1.100."));
  return address;
}

void TSubtitleTabView::Start() {
  if (sending_ || search_->Running()) return;
  if (cbbServerIP_->currentText().trimmed().isEmpty()) {
    RefuseEmptyAddress();
    return;
  }
  if (mmOSDText_->toPlainText().isEmpty()) {
    Refuse(Bilingual(Chinese(), u"请输入移动文字", u"Please enter the subtitle text."));
    return;
  }
  const auto address = ServerAddress();
  if (!address) return;
  const TSubtitleSettings settings = Values();
  if (const auto refusal = SubtitlePacket::Check(settings)) {
    Refuse(SubtitlePacket::RefusalMessage(*refusal, Chinese()));
    return;
  }
  const bool saved = TSubtitleSettingsFile::InProgramDir().Save(settings);
  mmStatus_->clear();
  Log(QStringLiteral("ready for send..."));
  if (!saved)
    Log(Bilingual(Chinese(), u"字幕设置未能保存（netosd.ini / osdtext.txt）。",
                  u"The subtitle settings could not be saved (netosd.ini / osdtext.txt)."));
  SendPacket(*address, SubtitlePacket::BuildStart(settings), QStringLiteral("Send OK."));
}

void TSubtitleTabView::Stop() {
  if (sending_ || search_->Running()) return;
  const auto address = ServerAddress();
  if (!address) return;
  mmStatus_->clear();
  Log(QStringLiteral("ready for send..."));
  SendPacket(*address, SubtitlePacket::BuildStop(), QStringLiteral("Send Ok"));
}

void TSubtitleTabView::SendPacket(TIpv4Address address, const QByteArray& packet,
                                  const QString& okLine) {
  // The waits keep the window painting; no second send may start meanwhile.
  sending_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{sending_};
  TTcpClient client(*waiter_);
  if (const int error = client.Connect(address, services_.serverPort, kConnectMs)) {
    Log(QStringLiteral("connect socket() error = %1").arg(error));
    Log(ConnectFailure(error, address.ToString(), Chinese()));
    return;
  }
  if (const int error = client.SendAll(packet, kSendMs)) {
    Log(QStringLiteral("send() error = %1").arg(error));
    return;
  }
  client.Close();
  Log(okLine);
}

void TSubtitleTabView::RefuseEmptyAddress() {
  Refuse(Bilingual(Chinese(), u"请输入IP", u"Please enter the server's IP address."));
}

void TSubtitleTabView::Refuse(const QString& message) {
  QMessageBox::warning(this, Bilingual(Chinese(), u"提示", u"Notice"), message);
}

void TSubtitleTabView::Log(const QString& line) { mmStatus_->appendPlainText(line); }
