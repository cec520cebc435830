#include "linkage/dvr_setup_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>

#include "core/conversion.h"
#include "core/ini_params_op.h"
#include "core/unsaved_setting.h"
#include "linkage/dvr_linkage.h"
#include "linkage/matrix_setup_form.h"
#include "widgets/named.h"

TDVRSetupForm::TDVRSetupForm(TDVRLinkage& linkage, TWindowTexts texts, QWidget* parent)
    : QDialog(parent), linkage_(linkage), texts_(std::move(texts)) {
  setObjectName(QStringLiteral("TDVRSetupForm"));
  setWindowTitle(QStringLiteral("DVR设置"));
  lblDVRBrand_ = Named(new QLabel(QStringLiteral("DVR："), this), u"lblDVRBrand");
  cbbDVR_ = Named(new QComboBox(this), u"cbbDVR");
  cbbDVR_->addItem(QStringLiteral("DaHua"));
  lblDVRID_ = Named(new QLabel(QStringLiteral("ID:"), this), u"lblDVRID");
  edtDVRID_ = Named(new QLineEdit(QStringLiteral("1"), this), u"edtDVRID");
  cbDVRDelay_ = Named(new QCheckBox(QStringLiteral("DVR延时(ms)"), this), u"cbDVRDelay");
  cbDVRDelay_->setChecked(true);
  edtDVRDelay_ = Named(new QLineEdit(QStringLiteral("50"), this), u"edtDVRDelay");
  btnok_ = Named(new QPushButton(QStringLiteral("确定"), this), u"btnok");
  btnCancel_ = Named(new QPushButton(QStringLiteral("取消"), this), u"btnCancel");
  btnok_->setDefault(true);
  lblDVRBrand_->setBuddy(cbbDVR_);
  lblDVRID_->setBuddy(edtDVRID_);

  auto* grid = new QGridLayout(this);
  grid->addWidget(lblDVRBrand_, 0, 0);
  grid->addWidget(cbbDVR_, 0, 1);
  grid->addWidget(lblDVRID_, 0, 2);
  grid->addWidget(edtDVRID_, 0, 3);
  grid->addWidget(cbDVRDelay_, 1, 0, 1, 2);
  grid->addWidget(edtDVRDelay_, 1, 2, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btnok_);
  buttons->addWidget(btnCancel_);
  grid->addLayout(buttons, 2, 0, 1, 4);
  setTabOrder(cbbDVR_, edtDVRID_);
  setTabOrder(edtDVRID_, cbDVRDelay_);
  setTabOrder(cbDVRDelay_, edtDVRDelay_);
  setTabOrder(edtDVRDelay_, btnok_);
  setTabOrder(btnok_, btnCancel_);

  connect(btnok_, &QPushButton::clicked, this, &TDVRSetupForm::accept);
  connect(btnCancel_, &QPushButton::clicked, this, &TDVRSetupForm::reject);
  connect(cbbDVR_, &QComboBox::currentIndexChanged, this, &TDVRSetupForm::PushToLinkage);
  connect(edtDVRID_, &QLineEdit::textChanged, this, &TDVRSetupForm::PushToLinkage);
  connect(edtDVRDelay_, &QLineEdit::textChanged, this, &TDVRSetupForm::PushToLinkage);
  connect(cbDVRDelay_, &QCheckBox::toggled, this, &TDVRSetupForm::PushToLinkage);
  PushToLinkage();
  remembered_ = Values();
  LoadTexts();
}

TDVRSetupForm::~TDVRSetupForm() = default;

void TDVRSetupForm::LoadSettings(const TIniParamsOp& ini) {
  int choosed = 1, delay = 50;
  ini.ReadDvrDelay(choosed, delay);
  const int brand = ini.ReadDvrIndex();
  SetValues({brand >= 0 && brand < cbbDVR_->count() ? brand : 0, QString::number(ini.ReadDvrId()),
             choosed == 1, QString::number(delay)});
  remembered_ = Values();
}

void TDVRSetupForm::LoadTexts() {
  auto show = [this](auto* control, const char* key) {
    const QString text = texts_.Caption(QStringLiteral("ID_DVR_SETUP_FORM_") + QLatin1String(key));
    if (!text.isNull()) control->setText(text);
  };
  const QString title = texts_.Caption(QStringLiteral("ID_DVR_SETUP_FORM_CAPTION"));
  if (!title.isNull()) setWindowTitle(title);
  show(cbDVRDelay_, "CBDVRDELAY");
  show(btnok_, "BTNOK");
  show(btnCancel_, "BTNCANCEL");
  setAccessibleName(windowTitle());
  cbbDVR_->setAccessibleName(lblDVRBrand_->text());
  edtDVRID_->setAccessibleName(lblDVRID_->text());
  for (QWidget* w : std::initializer_list<QWidget*>{cbDVRDelay_, edtDVRDelay_})
    w->setAccessibleName(cbDVRDelay_->text());
  btnok_->setAccessibleName(btnok_->text());
  btnCancel_->setAccessibleName(btnCancel_->text());
}

void TDVRSetupForm::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    LoadTexts();
    remembered_ = Values();
  }
  QDialog::showEvent(event);
}

void TDVRSetupForm::accept() {
  if (!TMatrixSetupForm::WholeNumbers(this, texts_.Chinese(), {edtDVRID_, edtDVRDelay_})) return;
  const TValues v = Values();
  QDialog::accept();
  // One rewrite for the whole dialog: a crash cannot store half of it.
  if (ini_ && !ini_->WriteGroup([this, &v] {
        ini_->WriteDvrIndex(v.brand);
        ini_->WriteDvrId(StrToInt(v.id));
        ini_->WriteDvrDelay(v.delayOn ? 1 : 0, StrToInt(v.delayText));
      }))
    QMessageBox::warning(this, windowTitle(),
                         UnsavedSettingText(QStringLiteral("Quvial.ini"), texts_.Chinese()));
  if (accepted) accepted();
}

void TDVRSetupForm::reject() {
  SetValues(remembered_);
  QDialog::reject();
}

TDVRSetupForm::TValues TDVRSetupForm::Values() const {
  return {cbbDVR_->currentIndex(), edtDVRID_->text(), cbDVRDelay_->isChecked(),
          edtDVRDelay_->text()};
}

void TDVRSetupForm::SetValues(const TValues& v) {
  cbbDVR_->setCurrentIndex(v.brand >= 0 && v.brand < cbbDVR_->count() ? v.brand : 0);
  edtDVRID_->setText(v.id);
  cbDVRDelay_->setChecked(v.delayOn);
  edtDVRDelay_->setText(v.delayText);
}

void TDVRSetupForm::PushToLinkage() {
  TDvrSettings s;
  s.brand = cbbDVR_->currentText();
  s.idText = edtDVRID_->text();
  s.delayOn = cbDVRDelay_->isChecked();
  s.delayText = edtDVRDelay_->text();
  linkage_.SetSettings(s);
}
