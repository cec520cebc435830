#include "scenes/scene_form.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/bilingual.h"
#include "scenes/scene.h"

namespace {

constexpr int kColumns = 4;

// The designed captions, shown while there is no language table.
struct Text {
  const char16_t* key;
  const char16_t* designed;
};
constexpr Text kCaption{u"ID_SCENE_FORM_CAPTION", u"场景管理"};
constexpr Text kGbOpt{u"ID_SCENE_FORM_GBOPT", u"操作"};
constexpr Text kAutoChange{u"ID_SCENE_FORM_CBAUTOCHANGE", u"自动切换场景 "};
constexpr Text kChangeTime{u"ID_SCENE_FORM_LBLCHANGETIME", u"切换时间："};
constexpr Text kSec{u"ID_SCENE_FORM_LBLSEC", u"秒 (>5秒）"};
constexpr Text kSaveCurScene{u"ID_SCENE_FORM_BTNSAVECURSCENE", u"修改当前场景名称"};
constexpr Text kSave{u"ID_SCENE_FORM_BTNSAVE", u"保存场景"};

QString Str(const char16_t* s) { return QString::fromUtf16(s); }

}  // namespace

TSceneForm::TSceneForm(TScene& scenes, TSceneFormHost host, QWidget* parent)
    : QDialog(parent), scenes_(scenes), host_(std::move(host)) {
  setObjectName(QStringLiteral("SceneForm"));
  setModal(false);
  BuildControls();
  WireControls();
  LoadTexts();
}

TSceneForm::~TSceneForm() = default;

void TSceneForm::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  for (int i = 0; i < kSceneCount; ++i) {
    auto* button = new QPushButton(this);
    button->setObjectName(QStringLiteral("pnlScene%1").arg(i + 1));
    button->setCheckable(true);  // shown lowered while it is the pressed scene
    button->setAutoDefault(false);
    button->setMinimumSize(96, 40);
    auto* box = new QCheckBox(this);
    box->setObjectName(QStringLiteral("cbScene%1").arg(i + 1));
    auto* cell = new QHBoxLayout;
    cell->addWidget(box);
    cell->addWidget(button, 1);
    grid->addLayout(cell, i / kColumns, i % kColumns);
    sceneButtons_[static_cast<std::size_t>(i)] = button;
    sceneBoxes_[static_cast<std::size_t>(i)] = box;
  }
  layout->addLayout(grid);

  gbOpt_ = new QGroupBox(this);
  gbOpt_->setObjectName(QStringLiteral("gbOpt"));
  auto* opt = new QGridLayout(gbOpt_);
  cbAutoChange_ = new QCheckBox(gbOpt_);
  cbAutoChange_->setObjectName(QStringLiteral("cbAutoChange"));
  lblChangeTime_ = new QLabel(gbOpt_);
  lblChangeTime_->setObjectName(QStringLiteral("lblChangeTime"));
  edtChangeTime_ = new QLineEdit(QStringLiteral("6"), gbOpt_);
  edtChangeTime_->setObjectName(QStringLiteral("edtChangeTime"));
  edtChangeTime_->setMaximumWidth(64);
  lblChangeTime_->setBuddy(edtChangeTime_);
  lblSec_ = new QLabel(gbOpt_);
  lblSec_->setObjectName(QStringLiteral("lblSec"));
  btnSave_ = new QPushButton(gbOpt_);
  btnSave_->setObjectName(QStringLiteral("btnSave"));
  btnSave_->setAutoDefault(false);
  btnSave_->setEnabled(false);
  btnSaveCurScene_ = new QPushButton(gbOpt_);
  btnSaveCurScene_->setObjectName(QStringLiteral("btnSaveCurScene"));
  btnSaveCurScene_->setAutoDefault(false);
  lblInfo_ = new QLabel(gbOpt_);
  lblInfo_->setObjectName(QStringLiteral("lblInfo"));
  lblInfo_->setStyleSheet(QStringLiteral("QLabel { color: red; font-weight: bold; }"));
  lblInfo_->setVisible(false);
  opt->addWidget(cbAutoChange_, 0, 0);
  opt->addWidget(lblChangeTime_, 0, 1);
  opt->addWidget(edtChangeTime_, 0, 2);
  opt->addWidget(lblSec_, 0, 3);
  opt->addWidget(btnSave_, 0, 4);
  opt->addWidget(btnSaveCurScene_, 0, 5);
  opt->addWidget(lblInfo_, 1, 0, 1, 6);
  layout->addWidget(gbOpt_);

  // Tab order: each scene's button then its box, then the operation group.
  QWidget* previous = nullptr;
  auto chain = [&previous](QWidget* w) {
    if (previous) setTabOrder(previous, w);
    previous = w;
  };
  for (int i = 0; i < kSceneCount; ++i) {
    chain(sceneButtons_[static_cast<std::size_t>(i)]);
    chain(sceneBoxes_[static_cast<std::size_t>(i)]);
  }
  for (QWidget* w :
       std::initializer_list<QWidget*>{cbAutoChange_, edtChangeTime_, btnSave_, btnSaveCurScene_})
    chain(w);
}

void TSceneForm::WireControls() {
  for (int i = 0; i < kSceneCount; ++i) {
    const int number = i + 1;
    connect(SceneButton(number), &QPushButton::clicked, this,
            [this, number] { SceneClicked(number); });
    connect(SceneBox(number), &QCheckBox::clicked, this,
            [this, number](bool ticked) { BoxClicked(number, ticked); });
  }
  connect(btnSave_, &QPushButton::clicked, this, &TSceneForm::SaveClicked);
  connect(btnSaveCurScene_, &QPushButton::clicked, this, &TSceneForm::RenameClicked);
  connect(cbAutoChange_, &QCheckBox::toggled, this, &TSceneForm::AutoChangeToggled);
  // While cycling, a valid time counts from the next step; a bad one is
  // refused when the operator leaves the box.
  connect(edtChangeTime_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (cycler_.Running()) cycler_.SetInterval(text, Chinese());
  });
  connect(edtChangeTime_, &QLineEdit::editingFinished, this, &TSceneForm::IntervalEdited);

  cycler_.ticked = [this](int number) { return SceneBox(number)->isChecked(); };
  cycler_.runWhenIdle = host_.runWhenIdle;
  cycler_.play = [this](int number) {
    Press(number);
    if (host_.playScene) host_.playScene(number);
  };
  cycler_.shown = [this](int number) {
    lblInfo_->setText(TSceneCycler::LabelText(Chinese(), Caption(number)));
    lblInfo_->setAccessibleName(lblInfo_->text());
  };
}

QPushButton* TSceneForm::SceneButton(int number) const {
  return number >= 1 && number <= kSceneCount ? sceneButtons_[static_cast<std::size_t>(number - 1)]
                                              : nullptr;
}

QCheckBox* TSceneForm::SceneBox(int number) const {
  return number >= 1 && number <= kSceneCount ? sceneBoxes_[static_cast<std::size_t>(number - 1)]
                                              : nullptr;
}

bool TSceneForm::Chinese() const { return !host_.chinese || host_.chinese(); }

QString TSceneForm::Caption(int number) const {
  const QString name = scenes_.NameOf(number);
  if (!name.isEmpty()) return name;
  return Bilingual(Chinese(), u"场景", u"Scene") + QString::number(number);
}

void TSceneForm::LoadTexts() {
  const auto lookup = host_.texts ? host_.texts() : nullptr;
  auto text = [&lookup](const Text& t) {
    if (lookup)
      if (const std::optional<QString> found = lookup(Str(t.key))) return *found;
    return Str(t.designed);
  };
  setWindowTitle(text(kCaption));
  gbOpt_->setTitle(text(kGbOpt));
  cbAutoChange_->setText(text(kAutoChange));
  lblChangeTime_->setText(text(kChangeTime));
  lblSec_->setText(text(kSec));
  btnSaveCurScene_->setText(text(kSaveCurScene));
  btnSave_->setText(text(kSave));
  for (QWidget* w : std::initializer_list<QWidget*>{gbOpt_, cbAutoChange_, lblChangeTime_, lblSec_,
                                                    btnSaveCurScene_, btnSave_}) {
    if (auto* g = qobject_cast<QGroupBox*>(w)) g->setAccessibleName(g->title());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setAccessibleName(b->text().trimmed());
    if (auto* l = qobject_cast<QLabel*>(w)) l->setAccessibleName(l->text());
  }
  edtChangeTime_->setAccessibleName(lblChangeTime_->text());
  SetSceneCaptions();
}

void TSceneForm::SetSceneCaptions() {
  for (int number = 1; number <= kSceneCount; ++number) {
    const QString caption = Caption(number);
    SceneButton(number)->setText(caption);
    SceneButton(number)->setAccessibleName(caption);
    SceneBox(number)->setAccessibleName(Bilingual(Chinese(), u"选中", u"Tick ") + caption);
  }
}

void TSceneForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // restored from minimised: nothing changes
  // No scene is shown pressed and the last one is current, unless a
  // recording runs: it keeps its scene, so that later steps and "保存场景"
  // still go to the scene being recorded.
  const bool recording = host_.recording && host_.recording();
  const int keep = recording ? scenes_.CurrentNumber() : 0;
  Press(keep);
  if (keep == 0) scenes_.Select(kSceneCount);
  btnSave_->setEnabled(recording);
  cbAutoChange_->setChecked(false);
  AutoChangeToggled(false);
  LoadTexts();
}

void TSceneForm::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) cycler_.Stop();  // the boxes keep their state
}

void TSceneForm::Press(int number) {
  pressed_ = SceneButton(number) ? number : 0;
  for (int n = 1; n <= kSceneCount; ++n) SceneButton(n)->setChecked(n == pressed_);
  if (pressed_ != 0) scenes_.Select(pressed_);
}

void TSceneForm::SceneClicked(int number) {
  Press(number);
  auto play = [this, number] {
    if (host_.playScene) host_.playScene(number);
  };
  if (host_.runWhenIdle)
    host_.runWhenIdle(play);
  else
    play();
}

void TSceneForm::BoxClicked(int number, bool ticked) {
  if (ticked) {
    // The box of the pressed scene also starts recording into it; any other
    // box (and every box while cycling) only marks its scene for cycling.
    if (number != pressed_ || cycler_.Running()) return;
    scenes_.Select(number);
    const auto [rows, cols] = host_.wallSize ? host_.wallSize() : std::pair{2, 2};
    if (host_.setRecording) host_.setRecording(true);
    scenes_.StartRecording(rows, cols);
    btnSave_->setEnabled(true);
    SetSceneCaptions();  // the recording starts without a name
    return;
  }
  if (number != pressed_ || !host_.recording || !host_.recording()) return;
  if (host_.setRecording) host_.setRecording(false);
  scenes_.CancelRecording();
  RecordingStopped();
  SetSceneCaptions();
}

void TSceneForm::SaveClicked() {
  if (host_.longFrames && !host_.longFrames()) {
    Tell(QStringLiteral("不支持7位协议，请选择9位协议保存"));  // in either language
    return;
  }
  if (!scenes_.Save()) {
    Tell(Bilingual(Chinese(), u"场景文件无法写入，场景未保存。",
                   u"The scene file could not be written; the scene was not saved."));
    return;
  }
  if (host_.setRecording) host_.setRecording(false);
  RecordingStopped();
  SetSceneCaptions();
}

void TSceneForm::RenameClicked() {
  if (scenes_.CurrentNumber() == 0) return;
  bool ok = false;
  const QString name =
      QInputDialog::getText(this, Bilingual(Chinese(), u"配置", u"Setup"),
                            Bilingual(Chinese(), u"请输入场景名称", u"Please input Scene Name"),
                            QLineEdit::Normal, QString(), &ok);
  if (!ok || name.trimmed().isEmpty()) return;
  if (!scenes_.Save(name)) {
    Tell(Bilingual(Chinese(), u"场景文件无法写入，名称未保存。",
                   u"The scene file could not be written; the name was not saved."));
    return;
  }
  SetSceneCaptions();
}

void TSceneForm::AutoChangeToggled(bool on) {
  if (!on) {
    cycler_.Stop();
    lblInfo_->setVisible(false);
    return;
  }
  if (const std::optional<QString> refusal = cycler_.Start(edtChangeTime_->text(), Chinese())) {
    {
      const QSignalBlocker block(cbAutoChange_);
      cbAutoChange_->setChecked(false);
    }
    Tell(*refusal);
    return;
  }
  // Recording ends without being cancelled: what was recorded stays in memory.
  if (host_.setRecording) host_.setRecording(false);
  RecordingStopped();
  lblInfo_->clear();
  lblInfo_->setVisible(true);
}

void TSceneForm::IntervalEdited() {
  if (!cycler_.Running()) return;
  if (const std::optional<QString> refusal =
          cycler_.SetInterval(edtChangeTime_->text(), Chinese())) {
    // Put back the time in use before the message takes the focus away.
    edtChangeTime_->setText(QString::number(cycler_.IntervalSeconds()));
    Tell(*refusal);
  }
}

void TSceneForm::RecordingStopped() { btnSave_->setEnabled(false); }

void TSceneForm::Tell(const QString& text) {
  QMessageBox::information(this, Bilingual(Chinese(), u"提示", u"Information"), text);
}
