#include "app/setup_type_form.h"

#include <QMessageBox>
#include <QShowEvent>

#include "app/device_types.h"
#include "app/lang_table.h"
#include "core/ini_params_op.h"
#include "core/unsaved_setting.h"
#include "ui_setup_type_form.h"

namespace {
// The editor offers the first twelve names; the thirteenth keeps its name.
constexpr int kEditableTypes = 12;
}  // namespace

TSetupTypeForm::TSetupTypeForm(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TSetupTypeForm>()) {
  ui_->setupUi(this);
  connect(ui_->lbTypeList, &QListWidget::currentRowChanged, this, &TSetupTypeForm::OnEntryChosen);
  connect(ui_->btnEdit, &QPushButton::clicked, this, &TSetupTypeForm::OnEdit);
}

TSetupTypeForm::~TSetupTypeForm() = default;

void TSetupTypeForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // restored from minimised: nothing new to load
  const TIniParamsOp ini(TIniParamsOp::DefaultPath());
  const QSignalBlocker block(ui_->lbTypeList);
  ui_->lbTypeList->clear();
  ui_->lbTypeList->addItems(LoadDeviceTypeNames(ini, kEditableTypes));
  ui_->lbTypeList->setCurrentRow(0);
  editRow_ = 0;
  ui_->lblTypeName->setText(ui_->lbTypeList->item(0)->text());
  ui_->edtNewType->clear();
  LoadTexts();
}

void TSetupTypeForm::LoadTexts() {
  // Without any language table the designed captions stay.
  if (!LangTableExists()) return;
  // This window reads the language as text: only "1" means Chinese.
  const TIniParamsOp ini(TIniParamsOp::DefaultPath());
  const QString section =
      ini.ReadLangText() == u"1" ? QStringLiteral("chs") : QStringLiteral("eng");
  setWindowTitle(LangText(section, QStringLiteral("ID_SETUP_TYPE_FORM_CAPTION")));
  ui_->lblTypeList->setText(LangText(section, QStringLiteral("ID_SETUP_TYPE_FORM_lblTypeList")));
  ui_->lblNewType->setText(LangText(section, QStringLiteral("ID_SETUP_TYPE_FORM_lblNewType")));
  ui_->btnEdit->setText(LangText(section, QStringLiteral("ID_SETUP_TYPE_FORM_btnEdit")));
}

void TSetupTypeForm::OnEntryChosen(int row) {
  if (row < 0 || row >= ui_->lbTypeList->count()) return;
  editRow_ = row;
  ui_->lblTypeName->setText(ui_->lbTypeList->item(row)->text());
}

void TSetupTypeForm::OnEdit() {
  if (editRow_ < 0 || editRow_ >= ui_->lbTypeList->count()) return;
  // Any text is a valid name, the empty one too.
  const QString name = ui_->edtNewType->text();
  TIniParamsOp ini(TIniParamsOp::DefaultPath());
  if (!ini.WriteTvType(editRow_ + 1, name)) {
    // The list shows what is stored: an unstored name would be gone at the next start.
    QMessageBox::warning(
        this, windowTitle(),
        UnchangedFileText(QStringLiteral("Quvial.ini"), ini.ReadLangText() == u"1"));
    return;
  }
  ui_->lbTypeList->item(editRow_)->setText(name);
  ui_->lblTypeName->setText(name);
}
