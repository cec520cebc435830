#include "app/choose_form.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QShowEvent>

#include "app/device_types.h"
#include "app/jpeg_decoder.h"
#include "app/lang_table.h"
#include "app/setup_type_form.h"
#include "core/bilingual.h"
#include "core/ini_params_op.h"
#include "core/program_dir.h"
#include "link/port_probe.h"
#include "ui_choose_form.h"

namespace {
// A logo is a small picture; a bigger file is not one and is not read.
constexpr qint64 kMaxLogoBytes = 16 * 1024 * 1024;
// Wider logos are scaled down so that the dialog stays a dialog.
constexpr int kMaxLogoWidth = 640;
constexpr int kMaxLogoHeight = 360;
}  // namespace

TChooseForm::TChooseForm(QWidget* parent)
    : QDialog(parent),
      probePorts([] { return ProbeSerialPorts(); }),
      ui_(std::make_unique<Ui::TChooseForm>()) {
  ui_->setupUi(this);
  setupTypeForm_ = new TSetupTypeForm(this);
  connect(ui_->btnSetupType, &QPushButton::clicked, this, &TChooseForm::OnSetupType);
  connect(ui_->btnChoose, &QPushButton::clicked, this, &TChooseForm::OnChoose);
  connect(ui_->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TChooseForm::~TChooseForm() = default;

void TChooseForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // restored from minimised: keep the operator's choice
  LoadLogo();
  LoadTexts();
  LoadDeviceTypes();
  LoadPorts();
  adjustSize();
}

void TChooseForm::LoadLogo() {
  // Any failure leaves the picture empty, without a message; an empty
  // picture takes no room.
  ui_->imgLogo->clear();
  ui_->imgLogo->hide();
  QFile file(ProgramFile(QStringLiteral("logo.jpg")));
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxLogoBytes) return;
  const std::optional<TDecodedImage> decoded = DecodeJpeg(file.read(kMaxLogoBytes));
  if (!decoded) return;
  const QImage image(reinterpret_cast<const uchar*>(decoded->rgb.constData()), decoded->width,
                     decoded->height, decoded->width * 3, QImage::Format_RGB888);
  QPixmap logo = QPixmap::fromImage(image);  // deep copy: decoded goes out of scope
  if (logo.width() > kMaxLogoWidth || logo.height() > kMaxLogoHeight)
    logo =
        logo.scaled(kMaxLogoWidth, kMaxLogoHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  ui_->imgLogo->setPixmap(logo);
  ui_->imgLogo->show();
}

void TChooseForm::LoadTexts() {
  const TIniParamsOp ini(TIniParamsOp::DefaultPath());
  // The port list has no caption of its own, nor a key in the table.
  ui_->cbbPort->setAccessibleName(Bilingual(ini.ReadLang() != 2, u"通讯端口", u"Serial Port"));
  // Without any language table the designed captions stay.
  if (!LangTableExists()) return;
  const QString section = LangSection(ini.ReadLang());
  setWindowTitle(LangText(section, QStringLiteral("ID_CHOOSE_FORM_CAPTION")));
  ui_->lblType->setText(LangText(section, QStringLiteral("ID_CHOOSE_FORM_LBLTYPE")));
  ui_->btnChoose->setText(LangText(section, QStringLiteral("ID_CHOOSE_FORM_BTNCHOOSE")));
  ui_->btnCancel->setText(LangText(section, QStringLiteral("ID_CHOOSE_FORM_BTNCANCEL")));
}

void TChooseForm::LoadDeviceTypes() {
  const TIniParamsOp ini(TIniParamsOp::DefaultPath());
  ui_->cbbType->clear();
  ui_->cbbType->addItems(LoadDeviceTypeNames(ini));
  ui_->cbbType->setCurrentIndex(0);
}

void TChooseForm::LoadPorts() {
  ui_->cbbPort->clear();
  // A configured installation takes its ports from Quvial.ini.
  portListHidden_ = TIniParamsOp(TIniParamsOp::DefaultPath()).Exists();
  ui_->cbbPort->setHidden(portListHidden_);
  if (portListHidden_) return;
  if (probePorts) ui_->cbbPort->addItems(probePorts());
  ui_->cbbPort->setCurrentIndex(ui_->cbbPort->count() > 0 ? 0 : -1);
}

void TChooseForm::OnSetupType() {
  setupTypeForm_->exec();
  LoadDeviceTypes();
}

void TChooseForm::OnChoose() {
  TDeviceChoice choice;
  choice.position = ui_->cbbType->currentIndex();
  choice.family = DeviceFamilyForPosition(choice.position);
  choice.deviceName = ui_->cbbType->currentText();
  choice.portListHidden = portListHidden_;
  // With no port found, the main window still comes up with an empty name.
  if (!portListHidden_) choice.portName = ui_->cbbPort->currentText();
  // Plain hide, not accept(): the main window owns the run from here, and
  // finishing the dialog would let the application think its last window
  // has gone.
  hide();
  setResult(QDialog::Accepted);
  if (onChosen) onChosen(choice);
}
