// TQuvialForm: the matrix and DVR linkage. "矩阵联动" with the matrix input
// list, its editor button and the two tip lines; "DVR联动" with the picture
// split, the manual address and its "确定"; the two setup dialogs; and the
// seams through which the wall commands call both linkages. Sends run through
// the one-action runner like every wall action.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDrag>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>

#include "app/quvial_form.h"
#include "core/bilingual.h"
#include "linkage/dvr_setup_form.h"
#include "linkage/matrix_setup_form.h"
#include "linkage/setup_channel_name_form.h"
#include "wall/addressing.h"
#include "wall/wall_grid_view.h"
#include "widgets/named.h"

namespace {

constexpr int kDvrAddresses = 128;
constexpr int kUsbSource = 6;

// Lets the input list be dragged onto the wall grid: a press that moves
// farther than the drag distance drags the list; a press released in place
// opens it as usual. The keyboard opens it as always.
class TComboDragStarter final : public QObject {
 public:
  explicit TComboDragStarter(QComboBox* box) : QObject(box), box_(box) {
    box->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != box_ || !box_->isEnabled()) return false;
    switch (event->type()) {
      case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) return false;
        pressed_ = true;
        pressAt_ = mouse->position().toPoint();
        box_->setFocus(Qt::MouseFocusReason);
        return true;
      }
      case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!pressed_ || !(mouse->buttons() & Qt::LeftButton)) return false;
        if ((mouse->position().toPoint() - pressAt_).manhattanLength() <
            QApplication::startDragDistance())
          return true;
        pressed_ = false;
        auto* drag = new QDrag(box_);
        auto* data = new QMimeData;
        data->setText(box_->currentText());
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
        return true;
      }
      case QEvent::MouseButtonRelease:
        if (!pressed_) return false;
        pressed_ = false;
        box_->showPopup();
        return true;
      default:
        return false;
    }
  }

 private:
  QComboBox* box_;
  bool pressed_ = false;
  QPoint pressAt_;
};

TPortId MatrixPort(TMatrixKind kind) {
  switch (kind) {
    case TMatrixKind::Vga:
      return TPortId::VGAMatrix;
    case TMatrixKind::Dvi:
      return TPortId::DVIMatrix;
    case TMatrixKind::Video:
      break;
  }
  return TPortId::Matrix;
}

}  // namespace

void TQuvialForm::BuildLinkage() {
  matrixLinkage_ = std::make_unique<TMatrixLinkage>(
      *sendPath_, pauser_, ports_.Port(TPortId::Matrix), ports_.Port(TPortId::VGAMatrix),
      ports_.Port(TPortId::DVIMatrix));
  matrixLinkage_->portEnabled = [this](TMatrixKind kind) {
    return ports_.Enabled(MatrixPort(kind));
  };
  dvrLinkage_ = std::make_unique<TDVRLinkage>(*sendPath_, pauser_, ports_.Port(TPortId::DVR));
  dvrLinkage_->portEnabled = [this] { return ports_.Enabled(TPortId::DVR); };

  // The controls go below the check boxes and the switcher rows of the group.
  auto* link = qobject_cast<QGridLayout*>(gbLinkage_->layout());
  const int row = link->rowCount();
  lblChannel_ = Named(new QLabel(QStringLiteral("输入："), gbLinkage_), u"lblChannel");
  cbbChannel_ = Named(new QComboBox(gbLinkage_), u"cbbChannel");
  cbbChannel_->setMaxVisibleItems(20);
  cbbChannel_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbbChannel_->setMinimumContentsLength(8);
  new TComboDragStarter(cbbChannel_);
  btnSetupChannelName_ =
      Named(new QPushButton(QStringLiteral("..."), gbLinkage_), u"btnSetupChannelName");
  btnSetupChannelName_->setFixedWidth(28);
  lblMatrixTip_ = Named(new QLabel(gbLinkage_), u"lblMatrixTip");
  lblMatrixTip2_ = Named(new QLabel(gbLinkage_), u"lblMatrixTip2");
  // The two brands rarely fit the narrow panel on one line.
  lblMatrixTip_->setWordWrap(true);
  lblMatrixTip_->setMinimumHeight(2 * lblMatrixTip_->fontMetrics().lineSpacing());
  lblDVRChannel_ = Named(new QLabel(QStringLiteral("画面分割显示"), gbLinkage_), u"lblDVRChannel");
  cbbPics_ = Named(new QComboBox(gbLinkage_), u"cbbPics");
  cbbPics_->addItems(
      {QStringLiteral("1"), QStringLiteral("4"), QStringLiteral("9"), QStringLiteral("16")});
  lblDVR_ = Named(new QLabel(gbLinkage_), u"lblDVR");
  cbbDVRAddress_ = Named(new QComboBox(gbLinkage_), u"cbbDVRAddress");
  btnDVRManult_ = Named(new QPushButton(QStringLiteral("确定"), gbLinkage_), u"btnDVRManult");
  lblChannel_->setBuddy(cbbChannel_);
  lblDVRChannel_->setBuddy(cbbPics_);
  lblDVR_->setBuddy(cbbDVRAddress_);
  // The switcher rows' lists are named by their labels too.
  lblSwitcherAddress_->setBuddy(cbbSwitcherAddress_);
  lblSwitcherChannel_->setBuddy(cbbSwitcherChannel_);

  auto* channel = new QHBoxLayout;
  channel->addWidget(cbbChannel_, 1);
  channel->addWidget(btnSetupChannelName_);
  link->addWidget(lblChannel_, row, 0);
  link->addLayout(channel, row, 1);
  link->addWidget(lblMatrixTip_, row + 1, 0, 1, 2);
  link->addWidget(lblMatrixTip2_, row + 2, 0, 1, 2);
  link->addWidget(lblDVRChannel_, row + 3, 0);
  link->addWidget(cbbPics_, row + 3, 1);
  auto* dvr = new QHBoxLayout;
  dvr->addWidget(cbbDVRAddress_, 1);
  dvr->addWidget(btnDVRManult_);
  link->addWidget(lblDVR_, row + 4, 0);
  link->addLayout(dvr, row + 4, 1);
  // Tab order as laid out: after the switcher rows, before the power group.
  setTabOrder(cbbSwitcherChannel_, cbbChannel_);
  setTabOrder(cbbChannel_, btnSetupChannelName_);
  setTabOrder(btnSetupChannelName_, cbbPics_);
  setTabOrder(cbbPics_, cbbDVRAddress_);
  setTabOrder(cbbDVRAddress_, btnDVRManult_);
  MatrixTicked(false);
  DvrTicked(false);

  matrixSetupForm_ = new TMatrixSetupForm(*matrixLinkage_, WindowTexts(), this);
  matrixSetupForm_->accepted = [this] {
    if (matrixLinkage_->Ticked()) ShowMatrixTips();
    if (cbMixerSwitch_->isChecked()) lblSwitcherName_->setText(matrixSetupForm_->MixerModel());
  };
  dvrSetupForm_ = new TDVRSetupForm(*dvrLinkage_, WindowTexts(), this);
  dvrSetupForm_->accepted = [this] {
    if (dvrLinkage_->Ticked()) lblDVR_->setText(dvrLinkage_->BrandLabel());
  };
  for (const auto& [item, dialog] :
       {std::pair<QAction*, QDialog*>{menuItemMatrixSetup_, matrixSetupForm_},
        {menuItemDVRSetup_, dvrSetupForm_}}) {
    connect(item, &QAction::triggered, dialog, [dialog] {
      dialog->show();
      dialog->raise();
      dialog->activateWindow();
    });
  }

  connect(cbMatrixCMB_, &QCheckBox::toggled, this, &TQuvialForm::MatrixTicked);
  connect(cbDVRCMB_, &QCheckBox::toggled, this, &TQuvialForm::DvrTicked);
  connect(cbbChannel_, &QComboBox::activated, this, &TQuvialForm::Relink);
  connect(btnSetupChannelName_, &QPushButton::clicked, this, &TQuvialForm::SetupChannelNames);
  connect(btnDVRManult_, &QPushButton::clicked, this,
          [this] { RunAction([this] { dvrLinkage_->UpdateSplit(true, DvrControls()); }); });

  // The wall commands call both linkages after each linked selection's frame.
  wallCommands_->matrixLinkage = [this](int code, quint16 start, quint16 end) {
    matrixLinkage_->LinkMatrix(code, start, end, MatrixControls(protocol_.LongFrames()));
  };
  wallCommands_->dvrLinkage = [this] { dvrLinkage_->UpdateSplit(false, DvrControls()); };
  grid_->canAcceptDrop = [this](QObject* source) {
    return source == cbbChannel_ && matrixLinkage_->LastCode() != 0;
  };
  grid_->onDrop = [this] { Relink(); };
}

void TQuvialForm::ShowLinkageAtShow() {
  matrixSetupForm_->SetIni(ini_.get());
  matrixSetupForm_->LoadSettings(*ini_);
  matrixSetupForm_->LoadTexts();
  dvrSetupForm_->SetIni(ini_.get());
  dvrSetupForm_->LoadSettings(*ini_);
  matrixLinkage_->SetRecorder(scene_.get());
  dvrLinkage_->SetRecorder(scene_.get());
  FillChannelList();
  cbbDVRAddress_->clear();
  for (int i = 1; i <= kDvrAddresses; ++i) cbbDVRAddress_->addItem(QString::number(i));
  cbbDVRAddress_->setCurrentIndex(0);
  matrixLinkage_->ClearLastCode();
  LoadLinkageTexts();
}

void TQuvialForm::LoadLinkageTexts() {
  matrixSetupForm_->LoadTexts();
  if (matrixLinkage_->Ticked()) ShowMatrixTips();
  const QString names = Bilingual(chinese_, u"通道名称设置", u"Channel Names");
  btnSetupChannelName_->setToolTip(names);
  btnSetupChannelName_->setAccessibleName(names);
}

void TQuvialForm::MatrixTicked(bool on) {
  if (on && !matrixLinkage_->SetTicked(true)) {
    const QSignalBlocker block(cbMatrixCMB_);
    cbMatrixCMB_->setChecked(false);
    on = false;
    QMessageBox::warning(this, windowTitle(), TMatrixLinkage::RefusalText(chinese_));
  }
  if (!on) matrixLinkage_->SetTicked(false);
  lblChannel_->setEnabled(on);
  cbbChannel_->setEnabled(on);
  lblMatrixTip_->setVisible(on);
  lblMatrixTip2_->setVisible(on);
  if (on) ShowMatrixTips();
}

void TQuvialForm::DvrTicked(bool on) {
  if (on && !dvrLinkage_->SetTicked(true)) {
    const QSignalBlocker block(cbDVRCMB_);
    cbDVRCMB_->setChecked(false);
    on = false;
    QMessageBox::warning(this, windowTitle(), TDVRLinkage::RefusalText(chinese_));
  }
  if (!on) dvrLinkage_->SetTicked(false);
  for (QWidget* w :
       std::initializer_list<QWidget*>{lblDVRChannel_, cbbPics_, cbbDVRAddress_, btnDVRManult_})
    w->setEnabled(on);
  lblDVR_->setText(dvrLinkage_->BrandLabel());
  lblDVR_->setVisible(on);
}

void TQuvialForm::ShowMatrixTips() {
  lblMatrixTip_->setText(matrixLinkage_->TipLine(chinese_));
  lblMatrixTip2_->setText(matrixLinkage_->TipLine2(chinese_));
}

void TQuvialForm::FillChannelList() {
  const QSignalBlocker block(cbbChannel_);
  cbbChannel_->clear();
  cbbChannel_->addItems(channelNames_.Entries());
  cbbChannel_->setCurrentIndex(0);
}

void TQuvialForm::SetupChannelNames() {
  TSetupChannelNameForm dialog(channelNames_, WindowTexts(), this);
  dialog.exec();
  FillChannelList();  // input 1 again, as after the start
}

void TQuvialForm::Relink() {
  RunAction([this] {
    const int code = matrixLinkage_->LastCode();
    // Also puts the selection into the frame builder, as a selection would.
    if (code == 0 || !SelectionAddress(grid_->Selection(), protocol_)) return;
    if (UsbRemote()) matrixLinkage_->SetLatestSource(kUsbSource);
    matrixLinkage_->Relink(protocol_.StartAddress(), protocol_.EndAddress(), MatrixControls(true));
  });
}

TMatrixControls TQuvialForm::MatrixControls(bool longFrames) const {
  return {cbbChannel_->currentIndex(), longFrames, wall_.Cols()};
}

TDvrControls TQuvialForm::DvrControls() const {
  return {cbbPics_->currentIndex(), cbbDVRAddress_->currentIndex()};
}
