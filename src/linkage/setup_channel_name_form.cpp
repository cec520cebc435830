#include "linkage/setup_channel_name_form.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <utility>

#include "core/unsaved_setting.h"
#include "linkage/channel_names.h"

namespace {

// Sets a caption from the table unless there is none (designed caption kept);
// the accessible name follows the caption shown.
void ShowCaption(QLabel* label, const QString& text) {
  if (!text.isNull()) label->setText(text);
  label->setAccessibleName(label->text().trimmed());
}

}  // namespace

TSetupChannelNameForm::TSetupChannelNameForm(TChannelNames& names, TWindowTexts texts,
                                             QWidget* parent)
    : QDialog(parent), names_(names), texts_(std::move(texts)) {
  setObjectName(QStringLiteral("TSetupChannelNameForm"));
  setWindowTitle(QStringLiteral("通道名称设置"));
  auto make = [this](auto* widget, const char16_t* name) {
    widget->setObjectName(QString::fromUtf16(name));
    return widget;
  };
  lblChannelList_ = make(new QLabel(QStringLiteral("通道列表 "), this), u"lblChannelList");
  lbChannelList_ = make(new QListWidget(this), u"lbChannelList");
  lblName_ = make(new QLabel(this), u"lblName");
  lblNewName_ = make(new QLabel(QStringLiteral("新的名称为："), this), u"lblNewName");
  edtNewName_ = make(new QLineEdit(this), u"edtNewName");
  btnEdit_ = make(new QPushButton(QStringLiteral("修改"), this), u"btnEdit");

  QFont bold = lblName_->font();
  bold.setBold(true);
  lblName_->setFont(bold);
  lblChannelList_->setBuddy(lbChannelList_);
  lblNewName_->setBuddy(edtNewName_);
  lbChannelList_->setMinimumSize(200, 320);
  edtNewName_->setMinimumWidth(180);
  btnEdit_->setDefault(true);  // Enter in the name box renames

  auto* grid = new QGridLayout(this);
  grid->addWidget(lblChannelList_, 0, 0);
  grid->addWidget(lbChannelList_, 1, 0, 5, 1);
  grid->addWidget(lblName_, 1, 1);
  grid->addWidget(lblNewName_, 2, 1);
  grid->addWidget(edtNewName_, 3, 1);
  grid->addWidget(btnEdit_, 4, 1, Qt::AlignLeft);
  grid->setRowStretch(5, 1);
  setTabOrder(lbChannelList_, edtNewName_);
  setTabOrder(edtNewName_, btnEdit_);

  connect(lbChannelList_, &QListWidget::currentRowChanged, this,
          &TSetupChannelNameForm::OnEntryChosen);
  connect(btnEdit_, &QPushButton::clicked, this, &TSetupChannelNameForm::OnEdit);
  LoadTexts();
}

TSetupChannelNameForm::~TSetupChannelNameForm() = default;

void TSetupChannelNameForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // restored from minimised: nothing new to load
  LoadTexts();
  FillList();
}

void TSetupChannelNameForm::LoadTexts() {
  auto caption = [this](const char* key) {
    return texts_.Caption(QStringLiteral("ID_SETUP_CHANNELNAME_FORM_") + QLatin1String(key));
  };
  if (const QString title = caption("CAPTION"); !title.isNull()) setWindowTitle(title);
  setAccessibleName(windowTitle());
  ShowCaption(lblChannelList_, caption("lblChannelList"));
  ShowCaption(lblNewName_, caption("lblNewName"));
  if (const QString edit = caption("btnEdit"); !edit.isNull()) btnEdit_->setText(edit);
  btnEdit_->setAccessibleName(btnEdit_->text());
  lbChannelList_->setAccessibleName(lblChannelList_->text().trimmed());
  edtNewName_->setAccessibleName(lblNewName_->text().trimmed());
}

void TSetupChannelNameForm::FillList() {
  const QSignalBlocker block(lbChannelList_);
  lbChannelList_->clear();
  lbChannelList_->addItems(names_.Entries());
  lblName_->clear();
}

void TSetupChannelNameForm::OnEntryChosen(int row) {
  if (row < 0 || row >= lbChannelList_->count()) return;
  lblName_->setText(lbChannelList_->item(row)->text());
}

void TSetupChannelNameForm::OnEdit() {
  // Without a chosen entry there is nothing to rename.
  const int row = lbChannelList_->currentRow();
  if (row < 0 || row >= lbChannelList_->count()) return;
  const QString name = edtNewName_->text();
  // An unwritable file still shows the new name until the next refill.
  if (!names_.Rename(row, name))
    QMessageBox::warning(this, windowTitle(),
                         UnsavedSettingText(QStringLiteral("chname.ini"), texts_.Chinese()));
  const QString entry = TChannelNames::EntryText(row, name);
  lbChannelList_->item(row)->setText(entry);
  lblName_->setText(entry);
}
