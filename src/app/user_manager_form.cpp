#include "app/user_manager_form.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QProxyStyle>
#include <QShowEvent>

#include "app/lang_table.h"
#include "ui_user_manager_form.h"

namespace {

// Masked boxes show '*' for every character, whatever the platform's style
// would draw.
class StarPasswordStyle final : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return u'*';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

}  // namespace

TUserManagerForm::TUserManagerForm(TPasswordStore store, std::function<bool()> chineseInterface,
                                   QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TUserManagerForm>()),
      store_(std::move(store)),
      chineseInterface_(std::move(chineseInterface)) {
  ui_->setupUi(this);

  auto* stars = new StarPasswordStyle;
  stars->setParent(this);  // the boxes do not own the style they are given
  for (QLineEdit* box : {ui_->edtPassword, ui_->edtSrcPasswd, ui_->edtNewPasswd, ui_->edtNewPasswd2,
                         ui_->edtSuperSrcPasswd, ui_->edtSuperNewPasswd, ui_->edtSuperNewPasswd2,
                         ui_->edtSuperPasswd}) {
    box->setStyle(stars);
    box->setEchoMode(QLineEdit::Password);
  }

  connect(ui_->btnLogin, &QPushButton::clicked, this, &TUserManagerForm::OnManagerLogin);
  connect(ui_->edtPassword, &QLineEdit::returnPressed, this, &TUserManagerForm::OnManagerLogin);
  connect(ui_->btnSuperUserLogin, &QPushButton::clicked, this, &TUserManagerForm::OnSuperLogin);
  connect(ui_->edtSuperPasswd, &QLineEdit::returnPressed, this, &TUserManagerForm::OnSuperLogin);
  connect(ui_->btnLogout, &QPushButton::clicked, this, &TUserManagerForm::OnManagerLogout);
  connect(ui_->btnSuperUserLogout, &QPushButton::clicked, this, &TUserManagerForm::OnSuperLogout);
  connect(ui_->btnConfirm, &QPushButton::clicked, this, &TUserManagerForm::OnChangeManagerPassword);
  connect(ui_->btnEditSuperPasswd, &QPushButton::clicked, this,
          &TUserManagerForm::OnChangeSuperPassword);
}

TUserManagerForm::~TUserManagerForm() = default;

void TUserManagerForm::ShowPage(const QString& pageName) {
  QWidget* page = ui_->nbUser->findChild<QWidget*>(pageName, Qt::FindDirectChildrenOnly);
  if (page == nullptr || ui_->nbUser->indexOf(page) < 0) return;
  ui_->nbUser->setCurrentWidget(page);
  exec();
}

QString TUserManagerForm::CurrentPageName() const {
  const QWidget* page = ui_->nbUser->currentWidget();
  return page ? page->objectName() : QString();
}

void TUserManagerForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // restored from minimised: nothing new to load
  LoadTexts();
  // The entry box of a log-in page takes the keys at once.
  if (ui_->nbUser->currentWidget() == ui_->Register) ui_->edtPassword->setFocus();
  if (ui_->nbUser->currentWidget() == ui_->SuperUserReg) ui_->edtSuperPasswd->setFocus();
}

void TUserManagerForm::LoadTexts() {
  if (!LangTableExists()) {
    ui_->retranslateUi(this);  // the designed captions
    return;
  }
  const QString section = LangSection(Chinese() ? 1 : 2);
  auto text = [&section](const char* key) {
    return LangText(section, QStringLiteral("ID_USERMANAGER_FORM_") + QLatin1String(key));
  };
  setWindowTitle(text("CAPTION"));
  ui_->lblInputUserName->setText(text("LBLINPUTUSERNAME"));
  ui_->btnLogin->setText(text("BTNLOGIN"));
  ui_->lblManagerStatus->setText(text("LBLMANAGERSTATUS"));
  ui_->btnLogout->setText(text("BTNLOGOUT"));
  ui_->gbEditPasswd->setTitle(text("GBEDITPASSWD"));
  ui_->lblSrcPasswd->setText(text("LBLSRCPASSWD"));
  ui_->lblNewPasswd->setText(text("LBLNEWPASSWD"));
  ui_->lblNewPasswd2->setText(text("LBLNEWPASSWD2"));
  ui_->btnConfirm->setText(text("BTNCONFIRM"));
  ui_->lblSuperManagerStatus->setText(text("LBLSUPERMANAGERSTATUS"));
  ui_->gbSuperEditPasswd->setTitle(text("GBSUPEREDITPASSWD"));
  ui_->lblSuperSrcPasswd->setText(text("LBLSUPERSRCPASSWD"));
  ui_->lblSuperNewPasswd->setText(text("LBLSUPERNEWPASSWD"));
  ui_->lblSuperNewPasswd2->setText(text("LBLSUPERNEWPASSWD2"));
  ui_->btnEditSuperPasswd->setText(text("BTNEDITSUPERPASSWD"));
  ui_->lblInputSuperPasswd->setText(text("LBLINPUTSUPERPASSWD"));
  ui_->btnSuperUserLogin->setText(text("BTNSUPERUSERLOGIN"));
  ui_->btnSuperUserLogout->setText(text("BTNSUPERUSERLOGOUT"));
}

bool TUserManagerForm::Chinese() const { return !chineseInterface_ || chineseInterface_(); }

void TUserManagerForm::Tell(TUserMessage message) {
  QMessageBox::information(this, QGuiApplication::applicationDisplayName(),
                           UserMessageText(message, Chinese()));
}

void TUserManagerForm::Login(QLineEdit* box, bool super) {
  const QString text = box->text();
  const bool ok = super ? store_.CheckSuper(text) : store_.CheckManager(text);
  if (!ok) {
    // The level stays and the dialog stays open with the text in the box.
    Tell(TUserMessage::BadPassword);
    return;
  }
  Tell(super ? TUserMessage::SuperLoginOk : TUserMessage::ManagerLoginOk);
  Q_EMIT accessLevelChanged(super ? 3 : 1);
  box->clear();
  accept();
}

void TUserManagerForm::OnManagerLogin() { Login(ui_->edtPassword, false); }

void TUserManagerForm::OnSuperLogin() { Login(ui_->edtSuperPasswd, true); }

void TUserManagerForm::OnManagerLogout() {
  Q_EMIT accessLevelChanged(2);
  accept();
}

void TUserManagerForm::OnSuperLogout() {
  Q_EMIT accessLevelChanged(2);
  accept();
}

void TUserManagerForm::OnChangeManagerPassword() {
  ReportChange(store_.ChangeManager(ui_->edtSrcPasswd->text(), ui_->edtNewPasswd->text(),
                                    ui_->edtNewPasswd2->text()),
               false);
}

void TUserManagerForm::OnChangeSuperPassword() {
  ReportChange(store_.ChangeSuper(ui_->edtSuperSrcPasswd->text(), ui_->edtSuperNewPasswd->text(),
                                  ui_->edtSuperNewPasswd2->text()),
               true);
}

// The boxes keep their contents whatever the result; the level is unchanged.
void TUserManagerForm::ReportChange(TPasswordStore::TChange result, bool super) {
  switch (result) {
    case TPasswordStore::TChange::SourceWrong:
      Tell(super ? TUserMessage::SuperSourceWrong : TUserMessage::ManagerSourceWrong);
      break;
    case TPasswordStore::TChange::ConfirmDiffers:
      Tell(TUserMessage::ConfirmDiffers);
      break;
    case TPasswordStore::TChange::Ok:
      Tell(super ? TUserMessage::SuperChanged : TUserMessage::ManagerChanged);
      break;
    case TPasswordStore::TChange::WriteFailed:
      Tell(TUserMessage::WriteFailed);
      break;
  }
}
