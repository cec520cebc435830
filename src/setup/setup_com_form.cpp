#include "setup/setup_com_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <utility>

#include "core/bilingual.h"
#include "core/unsaved_setting.h"
#include "link/port_probe.h"
#include "linkage/channel_names.h"

namespace {

constexpr TPortId kAllPorts[] = {TPortId::Combine,   TPortId::Matrix, TPortId::VGAMatrix,
                                 TPortId::DVIMatrix, TPortId::DVR,    TPortId::Sniff};

// Per line: the object-name stem and the designed captions of its group and
// use box (the language table replaces them at each showing).
struct TLineDef {
  const char16_t* stem;
  const char16_t* group;
  const char16_t* use;
};
constexpr TLineDef kLineDefs[] = {
    {u"Combine", u"拼接串口设置：", u"使用拼接串口"},
    {u"Matrix", u"VIDEO矩阵串口设置：", u"使用VIDEO矩阵串口 "},
    {u"VGAMatrix", u"VGA矩阵串口设置：", u"使用VGA矩阵串口 "},
    {u"DVIMatrix", u"DVI矩阵串口设置：", u"使用DVI矩阵串口 "},
    {u"DVR", u"DVR串口设置：", u"使用DVR串口 "},
    {u"Sniff", u"侦听串口设置：", u"使用侦听串口 "},
};

// The five selectors' stems and designed label captions, the same in every line.
struct TSelectorDef {
  const char16_t* stem;
  const char16_t* label;
};
constexpr TSelectorDef kSelectorDefs[] = {
    {u"Port", u"端口："},      {u"BPS", u"波特率："},   {u"DataBit", u"数据位："},
    {u"StopBit", u"停止位："}, {u"Check", u"校验位："},
};

QString Key(const QString& stem) { return QStringLiteral("ID_SETUPCOM_FORM_") + stem; }

// The table's caption, or the designed one when there is no table.
void SetCaption(QLabel* label, const QString& text) {
  if (!text.isNull()) label->setText(text);
}
void SetCaption(QAbstractButton* button, const QString& text) {
  if (!text.isNull()) button->setText(text);
}

// The entry whose text is text; none (-1) when there is no such entry.
void SelectText(QComboBox* box, const QString& text) {
  box->setCurrentIndex(text.isEmpty() ? -1 : box->findText(text, Qt::MatchExactly));
}

void SelectIndex(QComboBox* box, int index, int fallback) {
  box->setCurrentIndex(index >= 0 && index < box->count() ? index : fallback);
}

// The chosen entry's text; empty when nothing is chosen.
QString ChosenText(const QComboBox* box) {
  return box->currentIndex() < 0 ? QString() : box->currentText();
}

}  // namespace

TSetupCOMForm::TSetupCOMForm(TChannelNames& names, TWindowTexts texts, QWidget* parent)
    : QDialog(parent), names_(names), texts_(std::move(texts)) {
  setObjectName(QStringLiteral("TSetupCOMForm"));
  setWindowTitle(QStringLiteral("通讯端口设置"));
  for (const TPortId id : kAllPorts) BuildLine(id);
  BuildLayout();
  LoadTexts();
}

TSetupCOMForm::~TSetupCOMForm() = default;

void TSetupCOMForm::BuildLine(TPortId id) {
  const auto index = static_cast<std::size_t>(id);
  const TLineDef& def = kLineDefs[index];
  const QString stem = QString::fromUtf16(def.stem);
  TLine& line = lines_[index];
  line.group = new QGroupBox(QString::fromUtf16(def.group), this);
  line.group->setObjectName(QStringLiteral("gb") + stem);
  line.use = new QCheckBox(QString::fromUtf16(def.use), line.group);
  line.use->setObjectName(QStringLiteral("cb") + stem);
  auto* grid = new QGridLayout(line.group);
  grid->addWidget(line.use, 0, 0, 1, 2);
  std::array<QComboBox**, 5> boxes{&line.port, &line.bps, &line.dataBit, &line.stopBit,
                                   &line.check};
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const QString selector = QString::fromUtf16(kSelectorDefs[i].stem);
    auto* label = new QLabel(QString::fromUtf16(kSelectorDefs[i].label), line.group);
    label->setObjectName(QStringLiteral("lbl") + stem + selector);
    auto* box = new QComboBox(line.group);
    box->setObjectName(QStringLiteral("cbb") + stem + selector);
    box->setMinimumWidth(120);
    label->setBuddy(box);
    grid->addWidget(label, static_cast<int>(i) + 1, 0);
    grid->addWidget(box, static_cast<int>(i) + 1, 1);
    line.labels[i] = label;
    *boxes[i] = box;
  }
  line.bps->addItems(PortSetup::BaudRates(id));
  line.dataBit->addItems(PortSetup::DataBits());
  line.stopBit->addItems(PortSetup::StopBits());
  SelectText(line.bps, PortSetup::DefaultBaud(id));
  SelectText(line.dataBit, PortSetup::DefaultDataBit(id));
  SelectText(line.stopBit, PortSetup::DefaultStopBit(id));
  line.port->setCurrentIndex(-1);
  connect(line.use, &QCheckBox::toggled, this, [this, index] { EnableLine(lines_[index]); });
  EnableLine(line);

  if (id != TPortId::Sniff) return;
  // The listening relay's own controls stay enabled whatever the use box says.
  lblSignalType_ = new QLabel(QStringLiteral("信源类型："), line.group);
  lblSignalType_->setObjectName(QStringLiteral("lblSignalType"));
  cbbSignalType_ = new QComboBox(line.group);
  cbbSignalType_->setObjectName(QStringLiteral("cbbSignalType"));
  cbbSignalType_->addItems(PortSetup::SignalTypes());
  lblSignalType_->setBuddy(cbbSignalType_);
  cbChooseMatrix_ = new QCheckBox(QStringLiteral("使用矩阵"), line.group);
  cbChooseMatrix_->setObjectName(QStringLiteral("cbChooseMatrix"));
  lblChannel_ = new QLabel(QStringLiteral("通道："), line.group);
  lblChannel_->setObjectName(QStringLiteral("lblChannel"));
  cbbChannelList_ = new QComboBox(line.group);
  cbbChannelList_->setObjectName(QStringLiteral("cbbChannelList"));
  cbbChannelList_->setMaxVisibleItems(20);
  lblChannel_->setBuddy(cbbChannelList_);
  grid->addWidget(lblSignalType_, 6, 0);
  grid->addWidget(cbbSignalType_, 6, 1);
  grid->addWidget(cbChooseMatrix_, 7, 0, 1, 2);
  grid->addWidget(lblChannel_, 8, 0);
  grid->addWidget(cbbChannelList_, 8, 1);
}

void TSetupCOMForm::BuildLayout() {
  lblCmdLen_ = new QLabel(QStringLiteral("帧长度："), this);
  lblCmdLen_->setObjectName(QStringLiteral("lblCmdLen"));
  cbbCmdLen_ = new QComboBox(this);
  cbbCmdLen_->setObjectName(QStringLiteral("cbbCmdLen"));
  cbbCmdLen_->addItems(PortSetup::FrameLengths());
  lblCmdLen_->setBuddy(cbbCmdLen_);
  btnOK_ = new QPushButton(QStringLiteral("确定"), this);
  btnOK_->setObjectName(QStringLiteral("btnOK"));
  btnOK_->setDefault(true);
  btnCancel_ = new QPushButton(QStringLiteral("取消"), this);
  btnCancel_->setObjectName(QStringLiteral("btnCancel"));
  connect(btnOK_, &QPushButton::clicked, this, &TSetupCOMForm::OnOK);
  connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);

  auto* groups = new QGridLayout;
  for (std::size_t i = 0; i < lines_.size(); ++i)
    groups->addWidget(lines_[i].group, static_cast<int>(i / 2), static_cast<int>(i % 2),
                      Qt::AlignTop);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(lblCmdLen_);
  bottom->addWidget(cbbCmdLen_);
  bottom->addStretch(1);
  bottom->addWidget(btnOK_);
  bottom->addWidget(btnCancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addLayout(bottom);
}

void TSetupCOMForm::SetFrameLength(const QString& text) { frameLength_ = text; }

QComboBox* TSetupCOMForm::PortList(TPortId id) const {
  return lines_[static_cast<std::size_t>(id)].port;
}

void TSetupCOMForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // restored from minimised: nothing new to load
  LoadTexts();
  FillPortLists();
  const TIniParamsOp ini(TIniParamsOp::DefaultPath());
  ShowStored(PortSetup::Read(ini));
  SelectIndex(cbbCmdLen_, static_cast<int>(PortSetup::FrameLengths().indexOf(frameLength_)), 1);
  btnOK_->setFocus();
}

void TSetupCOMForm::LoadTexts() {
  auto caption = [this](const QString& stem) { return texts_.Caption(Key(stem)); };
  if (const QString title = caption(QStringLiteral("CAPTION")); !title.isNull())
    setWindowTitle(title);
  setAccessibleName(windowTitle());
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    TLine& line = lines_[i];
    const QString stem = QString::fromUtf16(kLineDefs[i].stem);
    if (const QString title = caption(QStringLiteral("gb") + stem); !title.isNull())
      line.group->setTitle(title);
    SetCaption(line.use, caption(QStringLiteral("cb") + stem));
    line.group->setAccessibleName(line.group->title().trimmed());
    line.use->setAccessibleName(line.use->text().trimmed());
    for (std::size_t s = 0; s < line.labels.size(); ++s) {
      QLabel* label = line.labels[s];
      SetCaption(label, caption(QStringLiteral("lbl") + QString::fromUtf16(kSelectorDefs[s].stem)));
      label->setAccessibleName(label->text().trimmed());
      // Six boxes share each label text; the group's title tells them apart.
      label->buddy()->setAccessibleName(line.group->accessibleName() + u' ' +
                                        label->accessibleName());
    }
    // The parity texts follow the language; refilling clears the choice.
    line.check->clear();
    line.check->addItems(PortSetup::ParityTexts(texts_.Chinese()));
    line.check->setCurrentIndex(-1);
  }
  for (QLabel* label : {lblSignalType_, lblChannel_, lblCmdLen_}) {
    SetCaption(label, caption(label->objectName()));
    label->setAccessibleName(label->text().trimmed());
    label->buddy()->setAccessibleName(label->accessibleName());
  }
  for (QAbstractButton* button :
       std::initializer_list<QAbstractButton*>{cbChooseMatrix_, btnOK_, btnCancel_}) {
    SetCaption(button, caption(button->objectName()));
    button->setAccessibleName(button->text().trimmed());
  }
}

void TSetupCOMForm::FillPortLists() {
  // The caller has closed the program's own ports, so they are listed too.
  const QStringList ports =
      ProbeSerialPorts(PortSetup::kFirstProbedPort, PortSetup::kLastProbedPort);
  for (TLine& line : lines_) {
    line.port->clear();
    for (const QString& name : ports) line.port->addItem(name, name);
    line.port->setCurrentIndex(-1);
  }
}

void TSetupCOMForm::ShowStored(const TPortSetupValues& stored) {
  for (const TPortId id : kAllPorts) {
    TLine& line = lines_[static_cast<std::size_t>(id)];
    if (stored.Port(id).used)
      ShowLine(line, stored.Port(id));
    else
      line.use->setChecked(false);  // the selectors keep what they show
    EnableLine(line);
  }
  FillChannelList(stored);
}

void TSetupCOMForm::ShowLine(TLine& line, const TPortChoice& stored) {
  line.use->setChecked(true);
  if (!stored.name.isEmpty()) {
    int index = line.port->findData(stored.name);
    if (index < 0) {
      // Unplugged for now: keep the setting selectable rather than lose it.
      line.port->addItem(stored.name + Bilingual(texts_.Chinese(), u" (不在)", u" (absent)"),
                         stored.name);
      index = line.port->count() - 1;
    }
    line.port->setCurrentIndex(index);
  }
  SelectText(line.bps, stored.bps);
  SelectText(line.dataBit, stored.dataBit);
  SelectText(line.stopBit, stored.stopBit);
  SelectIndex(line.check, stored.check, -1);
}

void TSetupCOMForm::FillChannelList(const TPortSetupValues& stored) {
  const int previous = cbbChannelList_->currentIndex();
  cbbChannelList_->clear();
  cbbChannelList_->addItems(names_.Entries());
  if (!stored.Port(TPortId::Sniff).used) {
    SelectIndex(cbbChannelList_, previous, 0);
    return;
  }
  SelectIndex(cbbSignalType_, stored.signalType, 0);
  cbChooseMatrix_->setChecked(stored.chooseMatrix);
  SelectIndex(cbbChannelList_, stored.chooseMatrix ? stored.channelList : 0, 0);
}

void TSetupCOMForm::EnableLine(const TLine& line) {
  const bool on = line.use->isChecked();
  for (QLabel* label : line.labels) label->setEnabled(on);
  for (QComboBox* box : {line.port, line.bps, line.dataBit, line.stopBit, line.check})
    box->setEnabled(on);
}

TPortSetupValues TSetupCOMForm::Values() const {
  TPortSetupValues v;
  for (const TPortId id : kAllPorts) {
    const TLine& line = lines_[static_cast<std::size_t>(id)];
    TPortChoice& choice = v.Port(id);
    choice.used = line.use->isChecked();
    choice.name = line.port->currentIndex() < 0 ? QString() : line.port->currentData().toString();
    choice.bps = ChosenText(line.bps);
    choice.dataBit = ChosenText(line.dataBit);
    choice.stopBit = ChosenText(line.stopBit);
    choice.check = line.check->currentIndex();
  }
  v.signalType = std::max(0, cbbSignalType_->currentIndex());
  v.chooseMatrix = cbChooseMatrix_->isChecked();
  v.channelList = std::max(0, cbbChannelList_->currentIndex());
  v.cmdLen = cbbCmdLen_->currentIndex() < 0 ? 1 : cbbCmdLen_->currentIndex();
  return v;
}

void TSetupCOMForm::OnOK() {
  const TPortSetupValues values = Values();
  if (const auto conflict = PortSetup::FindConflict(values)) {
    QMessageBox::warning(this, windowTitle(),
                         PortSetup::ConflictMessage(*conflict, texts_.Chinese()));
    done(kConflict);
    return;
  }
  TIniParamsOp ini(TIniParamsOp::DefaultPath());
  if (!PortSetup::Write(ini, values))
    QMessageBox::warning(this, windowTitle(),
                         UnsavedSettingText(QStringLiteral("Quvial.ini"), texts_.Chinese()));
  accept();
}
