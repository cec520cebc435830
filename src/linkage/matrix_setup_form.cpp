#include "linkage/matrix_setup_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/bilingual.h"
#include "core/conversion.h"
#include "core/ini_params_op.h"
#include "core/unsaved_setting.h"
#include "linkage/matrix_linkage.h"
#include "widgets/named.h"

namespace {

const QStringList& MixerModels() {
  static const QStringList models = {QStringLiteral("PL-39"), QStringLiteral("QN-23"),
                                     QStringLiteral("QN-T1")};
  return models;
}

// A stored index outside the list selects its first entry.
void SelectIndex(QComboBox* box, int index) {
  box->setCurrentIndex(index >= 0 && index < box->count() ? index : 0);
}

}  // namespace

TMatrixSetupForm::TMatrixSetupForm(TMatrixLinkage& linkage, TWindowTexts texts, QWidget* parent)
    : QDialog(parent), linkage_(linkage), texts_(std::move(texts)) {
  setObjectName(QStringLiteral("TMatrixSetupForm"));
  setWindowTitle(QStringLiteral("矩阵设置"));

  gbBox_ = Named(new QGroupBox(QStringLiteral("矩阵设备"), this), u"gbBox");
  lblVideo_ = Named(new QLabel(QStringLiteral("视频："), gbBox_), u"lblVideo");
  lblVGA_ = Named(new QLabel(QStringLiteral("VGA："), gbBox_), u"lblVGA");
  lblDVI_ = Named(new QLabel(QStringLiteral("DVI："), gbBox_), u"lblDVI");
  lblMixerSwitcher_ =
      Named(new QLabel(QStringLiteral("混合切换器："), gbBox_), u"lblMixerSwitcher");
  cbbVideo_ = Named(new QComboBox(gbBox_), u"cbbVideo");
  cbbVGA_ = Named(new QComboBox(gbBox_), u"cbbVGA");
  cbbDVI_ = Named(new QComboBox(gbBox_), u"cbbDVI");
  cbbMixerSwitcher_ = Named(new QComboBox(gbBox_), u"cbbMixerSwitcher");
  cbbVideo_->addItems(MatrixBrands(TMatrixKind::Video));
  cbbVGA_->addItems(MatrixBrands(TMatrixKind::Vga));
  cbbDVI_->addItems(MatrixBrands(TMatrixKind::Dvi));
  cbbMixerSwitcher_->addItems(MixerModels());
  edtVideoID_ = Named(new QLineEdit(QStringLiteral("1"), gbBox_), u"edtVideoID");
  edtVGAId_ = Named(new QLineEdit(QStringLiteral("1"), gbBox_), u"edtVGAId");
  edtDVIId_ = Named(new QLineEdit(QStringLiteral("1"), gbBox_), u"edtDVIId");
  cbMatrixDelay_ = Named(new QCheckBox(QStringLiteral("矩阵延时(ms)"), this), u"cbMatrixDelay");
  cbMatrixDelay_->setChecked(true);
  edtMatrixDelay_ = Named(new QLineEdit(QStringLiteral("50"), this), u"edtMatrixDelay");
  btnok_ = Named(new QPushButton(QStringLiteral("确定"), this), u"btnok");
  btnCancel_ = Named(new QPushButton(QStringLiteral("取消"), this), u"btnCancel");
  btnok_->setDefault(true);

  auto* grid = new QGridLayout(gbBox_);
  const struct {
    QLabel* label;
    QComboBox* brand;
    QLineEdit* id;
    const char16_t* idName;
  } rows[] = {{lblVideo_, cbbVideo_, edtVideoID_, u"lblVideoID"},
              {lblVGA_, cbbVGA_, edtVGAId_, u"lblVGAId"},
              {lblDVI_, cbbDVI_, edtDVIId_, u"lblDVIId"}};
  int row = 0;
  for (const auto& r : rows) {
    QLabel* idLabel = Named(new QLabel(QStringLiteral("ID:"), gbBox_), r.idName);
    r.label->setBuddy(r.brand);
    idLabel->setBuddy(r.id);
    r.id->setMaximumWidth(60);
    grid->addWidget(r.label, row, 0);
    grid->addWidget(r.brand, row, 1);
    grid->addWidget(idLabel, row, 2);
    grid->addWidget(r.id, row, 3);
    setTabOrder(r.brand, r.id);
    ++row;
  }
  lblMixerSwitcher_->setBuddy(cbbMixerSwitcher_);
  grid->addWidget(lblMixerSwitcher_, row, 0);
  grid->addWidget(cbbMixerSwitcher_, row, 1);

  auto* delay = new QHBoxLayout;
  edtMatrixDelay_->setMaximumWidth(80);
  delay->addWidget(cbMatrixDelay_);
  delay->addWidget(edtMatrixDelay_);
  delay->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btnok_);
  buttons->addWidget(btnCancel_);
  auto* v = new QVBoxLayout(this);
  v->addWidget(gbBox_);
  v->addLayout(delay);
  v->addLayout(buttons);
  setTabOrder(edtDVIId_, cbbMixerSwitcher_);
  setTabOrder(cbbMixerSwitcher_, cbMatrixDelay_);
  setTabOrder(cbMatrixDelay_, edtMatrixDelay_);
  setTabOrder(edtMatrixDelay_, btnok_);
  setTabOrder(btnok_, btnCancel_);

  connect(btnok_, &QPushButton::clicked, this, &TMatrixSetupForm::accept);
  connect(btnCancel_, &QPushButton::clicked, this, &TMatrixSetupForm::reject);
  for (QComboBox* box : {cbbVideo_, cbbVGA_, cbbDVI_, cbbMixerSwitcher_})
    connect(box, &QComboBox::currentIndexChanged, this, &TMatrixSetupForm::PushToLinkage);
  for (QLineEdit* edit : {edtVideoID_, edtVGAId_, edtDVIId_, edtMatrixDelay_})
    connect(edit, &QLineEdit::textChanged, this, &TMatrixSetupForm::PushToLinkage);
  connect(cbMatrixDelay_, &QCheckBox::toggled, this, &TMatrixSetupForm::PushToLinkage);
  PushToLinkage();
  remembered_ = Values();
  LoadTexts();
}

TMatrixSetupForm::~TMatrixSetupForm() = default;

void TMatrixSetupForm::LoadSettings(const TIniParamsOp& ini) {
  TValues v;
  int videoId = 1, vgaId = 1, dviId = 1, choosed = 1, delay = 50;
  ini.ReadMatrixBrands(v.video, v.vga, v.dvi, v.mixer);
  ini.ReadMatrixAddresses(videoId, vgaId, dviId);
  ini.ReadMatrixDelay(choosed, delay);
  v.videoId = QString::number(videoId);
  v.vgaId = QString::number(vgaId);
  v.dviId = QString::number(dviId);
  v.delayOn = choosed == 1;
  v.delayText = QString::number(delay);
  SetValues(v);
  remembered_ = Values();
}

void TMatrixSetupForm::LoadTexts() {
  auto caption = [this](const QString& key) { return texts_.Caption(key); };
  auto show = [](auto* control, const QString& text) {
    if (!text.isNull()) control->setText(text);
  };
  if (const QString title = caption(QStringLiteral("ID_MATRIX_SETUP_FORM_CAPTION"));
      !title.isNull())
    setWindowTitle(title);
  if (const QString group = caption(QStringLiteral("ID_MATRIX_SETUP_FORM_GBBOX")); !group.isNull())
    gbBox_->setTitle(group);
  show(lblVideo_, caption(QStringLiteral("ID_MATRIX_SETUP_FORM_LBLVIDEO")));
  show(cbMatrixDelay_, caption(QStringLiteral("ID_MATRIX_SETUP_FORM_CBMATRIXDELAY")));
  show(btnok_, caption(QStringLiteral("ID_MATRIX_SETUP_FORM_BTNOK")));
  show(btnCancel_, caption(QStringLiteral("ID_MATRIX_SETUP_FORM_BTNCANCEL")));
  show(lblMixerSwitcher_, caption(QStringLiteral("ID_QUVIAL_FORM_CB_MIXER_SWITCH")));

  // Accessible names follow the captions shown.
  setAccessibleName(windowTitle());
  gbBox_->setAccessibleName(gbBox_->title());
  for (QLabel* label : {lblVideo_, lblVGA_, lblDVI_, lblMixerSwitcher_}) {
    label->setAccessibleName(label->text());
    label->buddy()->setAccessibleName(label->text());
  }
  edtVideoID_->setAccessibleName(lblVideo_->text() + QStringLiteral(" ID"));
  edtVGAId_->setAccessibleName(lblVGA_->text() + QStringLiteral(" ID"));
  edtDVIId_->setAccessibleName(lblDVI_->text() + QStringLiteral(" ID"));
  cbMatrixDelay_->setAccessibleName(cbMatrixDelay_->text());
  edtMatrixDelay_->setAccessibleName(cbMatrixDelay_->text());
  btnok_->setAccessibleName(btnok_->text());
  btnCancel_->setAccessibleName(btnCancel_->text());
}

QString TMatrixSetupForm::MixerModel() const { return cbbMixerSwitcher_->currentText(); }

void TMatrixSetupForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) remembered_ = Values();
}

void TMatrixSetupForm::accept() {
  if (!WholeNumbers(this, texts_.Chinese(), {edtVideoID_, edtVGAId_, edtDVIId_, edtMatrixDelay_}))
    return;
  const TValues v = Values();
  QDialog::accept();
  // One rewrite for the whole dialog: a crash cannot store half of it.
  if (ini_ && !ini_->WriteGroup([this, &v] {
        ini_->WriteMatrixBrands(v.video, v.vga, v.dvi, v.mixer);
        ini_->WriteMatrixAddresses(StrToInt(v.videoId), StrToInt(v.vgaId), StrToInt(v.dviId));
        ini_->WriteMatrixDelay(v.delayOn ? 1 : 0, StrToInt(v.delayText));
      }))
    QMessageBox::warning(this, windowTitle(),
                         UnsavedSettingText(QStringLiteral("Quvial.ini"), texts_.Chinese()));
  if (accepted) accepted();
}

void TMatrixSetupForm::reject() {
  SetValues(remembered_);
  QDialog::reject();
}

bool TMatrixSetupForm::WholeNumbers(QWidget* parent, bool chinese,
                                    std::initializer_list<QLineEdit*> boxes) {
  for (QLineEdit* box : boxes) {
    try {
      (void)StrToInt(box->text());
    } catch (const TConversionError&) {
      QMessageBox::warning(
          parent, parent->windowTitle(),
          Bilingual(chinese, u"“%1”不是有效的整数。", u"'%1' is not a valid integer value.")
              .arg(box->text()));
      box->setFocus();
      box->selectAll();
      return false;
    }
  }
  return true;
}

TMatrixSetupForm::TValues TMatrixSetupForm::Values() const {
  return {cbbVideo_->currentIndex(), cbbVGA_->currentIndex(),
          cbbDVI_->currentIndex(),   cbbMixerSwitcher_->currentIndex(),
          edtVideoID_->text(),       edtVGAId_->text(),
          edtDVIId_->text(),         cbMatrixDelay_->isChecked(),
          edtMatrixDelay_->text()};
}

void TMatrixSetupForm::SetValues(const TValues& v) {
  SelectIndex(cbbVideo_, v.video);
  SelectIndex(cbbVGA_, v.vga);
  SelectIndex(cbbDVI_, v.dvi);
  SelectIndex(cbbMixerSwitcher_, v.mixer);
  edtVideoID_->setText(v.videoId);
  edtVGAId_->setText(v.vgaId);
  edtDVIId_->setText(v.dviId);
  cbMatrixDelay_->setChecked(v.delayOn);
  edtMatrixDelay_->setText(v.delayText);
}

void TMatrixSetupForm::PushToLinkage() {
  TMatrixSettings s;
  s.videoBrand = cbbVideo_->currentText();
  s.vgaBrand = cbbVGA_->currentText();
  s.dviBrand = cbbDVI_->currentText();
  s.videoId = edtVideoID_->text();
  s.vgaId = edtVGAId_->text();
  s.dviId = edtDVIId_->text();
  s.delayOn = cbMatrixDelay_->isChecked();
  s.delayText = edtMatrixDelay_->text();
  linkage_.SetSettings(s);
}
