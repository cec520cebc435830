#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "app/password_store.h"

namespace Ui {
class TUserManagerForm;
}
class QLineEdit;

// The user manager: one notebook of four pages without tabs ("Register",
// "LogOut", "SuperUserLogOut", "SuperUserReg"); the main window picks the
// page by its access level and shows the dialog modally. Log-ins and
// password changes go to the password store; the dialog only reports the
// level that results, and the main window applies what it opens.
class TUserManagerForm : public QDialog {
  Q_OBJECT

 public:
  // chineseInterface tells the interface language at the moment a text is
  // loaded or a message is shown.
  TUserManagerForm(TPasswordStore store, std::function<bool()> chineseInterface,
                   QWidget* parent = nullptr);
  ~TUserManagerForm() override;

  // Selects the page by name and shows the dialog modally; returns when it
  // closes. An unknown name shows nothing.
  void ShowPage(const QString& pageName);
  QString CurrentPageName() const;

  // The captions from the language table (designed captions without one);
  // run at every show and at each language switch.
  void LoadTexts();

  const TPasswordStore& Store() const { return store_; }

 Q_SIGNALS:
  // 1 after a manager log-in, 3 after a super-manager log-in, 2 after
  // either log-out. Emitted before the dialog closes.
  void accessLevelChanged(int level);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnManagerLogin();
  void OnSuperLogin();
  void OnManagerLogout();
  void OnSuperLogout();
  void OnChangeManagerPassword();
  void OnChangeSuperPassword();
  void Login(QLineEdit* box, bool super);
  void ReportChange(TPasswordStore::TChange result, bool super);
  void Tell(TUserMessage message);
  bool Chinese() const;

  std::unique_ptr<Ui::TUserManagerForm> ui_;
  TPasswordStore store_;
  std::function<bool()> chineseInterface_;
};
