// TQuvialForm: the wall commands. The source pages, the grid's context menu,
// the power and re-display controls, the still-picture button and the QN-T1
// panel read the window into a TWallContext and run a TWallCommands operation
// through the one-action-at-a-time runner.

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/quvial_form.h"
#include "core/bilingual.h"
#include "wall/family_menu_view.h"
#include "wall/qnt1_form.h"
#include "wall/source_pages_view.h"
#include "wall/wall_grid_view.h"

namespace {

const QString kAppTitle = QStringLiteral("大屏拼接控制系统");

}  // namespace

bool TQuvialForm::UsbRemote() const { return wallCommands_ && wallCommands_->UsbRemote(); }

bool TQuvialForm::ActionRunning() const { return actionRunner_ && actionRunner_->Running(); }

void TQuvialForm::RunWhenIdle(std::function<void()> work) { RunAction(std::move(work)); }

void TQuvialForm::SetProgressDelay(int ms) { actionRunner_->SetProgressDelay(ms); }

void TQuvialForm::BuildWallCommands() {
  wallCommands_ = std::make_unique<TWallCommands>(protocol_, *sendPath_, wall_, pauser_);
  actionRunner_ = std::make_unique<TActionRunner>();

  // Long actions show their progress in the status bar; the pauses' local
  // event loop keeps it painting.
  pbAction_ = new QProgressBar(this);
  pbAction_->setObjectName(QStringLiteral("pbAction"));
  pbAction_->setMaximumWidth(160);
  pbAction_->setTextVisible(true);
  pbAction_->setVisible(false);
  statusBar()->addPermanentWidget(pbAction_);
  actionRunner_->showProgress = [this](int done, int total) { ShowActionProgress(done, total); };
  actionRunner_->hideProgress = [this] { pbAction_->setVisible(false); };
  actionRunner_->onError = [this](const QString& text) {
    QMessageBox::warning(this, kAppTitle, text);
  };
  wallCommands_->progress = [this](int done, int total) { actionRunner_->Progress(done, total); };

  // The source notebook takes the place of the empty pages built with the panel.
  QWidget* panel = pcSource_->parentWidget();
  sourcePages_ = new TSourcePagesView(panel);
  delete panel->layout()->replaceWidget(pcSource_, sourcePages_);
  delete pcSource_;
  pcSource_ = sourcePages_;
  sourcePages_->ShowFamily(family_);

  BuildReshowControls();

  // Ticking "延时开机" opens its seconds box and unit.
  edtDelay_->setEnabled(false);
  lblSeconds_->setEnabled(false);
  connect(cbDelayPowerOn_, &QCheckBox::toggled, this, [this](bool on) {
    edtDelay_->setEnabled(on);
    lblSeconds_->setEnabled(on);
  });

  // The family's menu replaces the grid's general one; an empty menu is not shown.
  pmWall_ = new TFamilyMenuView(FamilyMenu(family_), this);
  if (pmWall_->Empty()) {
    delete pmWall_;
    pmWall_ = nullptr;
  } else {
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto popup = [this](const QPoint& at) { pmWall_->popup(grid_->viewport()->mapToGlobal(at)); };
    connect(grid_, &QWidget::customContextMenuRequested, this, popup);
    // The toolkit turns no key into a context menu here: the Menu key and
    // Shift+F10 open it at the current cell.
    for (const QKeySequence& key :
         {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
      auto* shortcut = new QShortcut(key, grid_, nullptr, nullptr, Qt::WidgetShortcut);
      connect(shortcut, &QShortcut::activated, this,
              [this, popup] { popup(grid_->visualRect(grid_->currentIndex()).center()); });
    }
  }

  // The rotating model's panel fills the wall area in place of the grid.
  if (family_ == 10) {
    auto* wallArea = qobject_cast<QSplitter*>(grid_->parentWidget());
    qnt1_ = new TQNT1Form(wallArea);
    if (wallArea) wallArea->insertWidget(wallArea->indexOf(grid_), qnt1_);
    grid_->setVisible(false);
  }

  WireWallControls();
}

void TQuvialForm::BuildReshowControls() {
  auto* rates = new QGridLayout;
  lblReshowH_ = new QLabel(QStringLiteral("水平  "), gbReshow_);
  lblReshowH_->setObjectName(QStringLiteral("lblReshowH"));
  edtReshowH_ = new QLineEdit(gbReshow_);
  edtReshowH_->setObjectName(QStringLiteral("edtReshowH"));
  lblReshowV_ = new QLabel(QStringLiteral("垂直  "), gbReshow_);
  lblReshowV_->setObjectName(QStringLiteral("lblReshowV"));
  edtReshowV_ = new QLineEdit(gbReshow_);
  edtReshowV_->setObjectName(QStringLiteral("edtReshowV"));
  btnReshowOK_ = new QPushButton(QStringLiteral("确定"), gbReshow_);
  btnReshowOK_->setObjectName(QStringLiteral("btnReshowOK"));
  lblReshowH_->setBuddy(edtReshowH_);  // the boxes are named by their captions
  lblReshowV_->setBuddy(edtReshowV_);
  rates->addWidget(lblReshowH_, 0, 0);
  rates->addWidget(edtReshowH_, 0, 1);
  rates->addWidget(lblReshowV_, 1, 0);
  rates->addWidget(edtReshowV_, 1, 1);
  rates->addWidget(btnReshowOK_, 0, 2, 2, 1);
  if (auto* box = qobject_cast<QVBoxLayout*>(gbReshow_->layout())) box->addLayout(rates);
  for (QWidget* w : std::initializer_list<QWidget*>{lblReshowH_, edtReshowH_, lblReshowV_,
                                                    edtReshowV_, btnReshowOK_})
    w->setEnabled(false);
}

void TQuvialForm::WireWallControls() {
  connect(sourcePages_, &TSourcePagesView::sourceClicked, this,
          [this](const QString& caption, int source) {
            RunAction([this, caption, source] {
              wallCommands_->SourceButton(caption, source, WallContext());
            });
          });
  connect(sourcePages_, &TSourcePagesView::publicChannelClicked, this, [this](int which) {
    RunAction([this, which] { wallCommands_->PublicChannelButton(which, WallContext()); });
  });
  if (QCheckBox* box = sourcePages_->PublicChannelBox())
    connect(box, &QCheckBox::toggled, this, [this](bool on) {
      if (!on) RunAction([this] { wallCommands_->PublicChannelUnticked(); });
    });
  if (pmWall_) connect(pmWall_, &TFamilyMenuView::entryChosen, this, &TQuvialForm::RunMenuEntry);

  connect(btnPowerOn_, &QPushButton::clicked, this, [this] {
    RunAction([this] {
      wallCommands_->PowerOnWall(TWallCommands::PowerButtonTag(family_),
                                 cbDelayPowerOn_->isChecked(), edtDelay_->text(), WallContext());
    });
  });
  connect(btnPowerOff_, &QPushButton::clicked, this, [this] {
    RunAction([this] {
      wallCommands_->PowerOffWall(TWallCommands::PowerButtonTag(family_), WallContext());
    });
  });

  connect(cbReshow_, &QCheckBox::toggled, this, &TQuvialForm::ReshowToggled);
  connect(btnReshowOK_, &QPushButton::clicked, this, &TQuvialForm::SendReshowClicked);

  connect(btnStillPicture_, &QToolButton::clicked, this, [this] {
    if (btnStillPicture_->isDown()) return;  // still shown pressed
    PressToolButton(btnStillPicture_);
    RunAction([this] { wallCommands_->StillPictureWall(WallContext()); });
  });

  if (qnt1_) {
    // The panel addresses the unit itself; the grid is not touched.
    connect(qnt1_, &TQNT1Form::sourceClicked, this, [this](int source) {
      RunAction(
          [this, source] { wallCommands_->SelectSource(source, false, true, WallContext()); });
    });
    connect(qnt1_, &TQNT1Form::rotationReleased, this, [this](int index) {
      RunAction([this, index] { wallCommands_->RotateOutput(index); });
    });
  }
}

TWallContext TQuvialForm::WallContext() const {
  TWallContext ctx;
  ctx.family = family_;
  ctx.selection = grid_->Selection();
  ctx.publicChannel = sourcePages_->PublicChannel();
  ctx.mixerSwitchTicked = cbMixerSwitch_->isChecked();
  ctx.switcherLabel = lblSwitcherName_->text();
  ctx.switcherAddressIndex = cbbSwitcherAddress_->currentIndex();
  return ctx;
}

void TQuvialForm::RunAction(std::function<void()> action) {
  // Messages follow the language at the moment the action runs.
  actionRunner_->Run([this, action = std::move(action)] {
    wallCommands_->SetChinese(chinese_);
    gatewayFailedInAction_ = false;
    action();
  });
}

void TQuvialForm::ShowActionProgress(int done, int total) {
  // A progress bar repaints itself at once on each new percentage. Here that
  // would sit between two frames on the line and stretch their gap: the
  // repaint is left to the pause after the frame, whose event loop paints.
  pbAction_->setUpdatesEnabled(false);
  pbAction_->setRange(0, total);
  pbAction_->setValue(done);
  pbAction_->setUpdatesEnabled(true);  // asks for the repaint
  pbAction_->setVisible(true);
}

void TQuvialForm::RunMenuEntry(const TMenuEntryDef& entry) {
  switch (entry.action) {
    case TMenuAction::Combine:
      RunAction([this, entry] {
        const QString name = entry.gridName.isEmpty() ? entry.caption : entry.gridName;
        if (entry.tag)
          wallCommands_->CombineEntry(name, entry.source, *entry.tag, WallContext());
        else
          wallCommands_->SourceButton(name, entry.source, WallContext());
      });
      break;
    case TMenuAction::Dissolve:
      RunAction([this, entry] { wallCommands_->Dissolve(entry.source, entry.tag, WallContext()); });
      break;
    case TMenuAction::PowerOn:
      RunAction([this, entry] {
        wallCommands_->PowerOnWall(entry.tag, cbDelayPowerOn_->isChecked(), edtDelay_->text(),
                                   WallContext());
      });
      break;
    case TMenuAction::PowerOff:
      RunAction([this, entry] { wallCommands_->PowerOffWall(entry.tag, WallContext()); });
      break;
    case TMenuAction::NetworkSearch:
      SearchNetworkSplicers();
      break;
    case TMenuAction::NoAction:
      break;
  }
}

void TQuvialForm::SendReshowClicked() {
  RunAction([this] {
    const TReshowResult result =
        wallCommands_->SendReshow(edtReshowH_->text(), edtReshowV_->text(), WallContext());
    // Shown inside the action: queued work waits until the operator has read it.
    if (!result.message.isEmpty())
      QMessageBox::information(this, Bilingual(chinese_, u"提示", u"Information"), result.message);
  });
}

void TQuvialForm::ReshowToggled(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{lblReshowH_, edtReshowH_, lblReshowV_,
                                                    edtReshowV_, btnReshowOK_})
    w->setEnabled(on);
  if (!on) RunAction([this] { wallCommands_->ReshowUnticked(WallContext()); });
}
