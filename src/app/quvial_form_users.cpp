// The main window's users and levels: the entry points to the user manager
// and what a change of the access level opens at once.

#include <QAction>
#include <QTabWidget>
#include <QToolButton>

#include "app/password_store.h"
#include "app/quvial_form.h"
#include "app/user_manager_form.h"
#include "wall/wall_grid_view.h"

void TQuvialForm::WireUsers() {
  userManagerForm_ = new TUserManagerForm(
      TPasswordStore(TPasswordStore::DefaultPath()), [this] { return chinese_; }, this);
  connect(userManagerForm_, &TUserManagerForm::accessLevelChanged, this,
          &TQuvialForm::ChangeAccessLevel);
  connect(menuItemManager_, &QAction::triggered, this, &TQuvialForm::OpenManagerPages);
  connect(btnUserManager_, &QToolButton::clicked, this, [this] {
    PressToolButton(btnUserManager_);
    OpenManagerPages();
  });
  connect(menuItemSuperManager_, &QAction::triggered, this, &TQuvialForm::OpenSuperManagerPages);
}

void TQuvialForm::OpenManagerPages() {
  if (accessLevel_ == 2)
    userManagerForm_->ShowPage(QStringLiteral("Register"));
  else if (accessLevel_ == 1)
    userManagerForm_->ShowPage(QStringLiteral("LogOut"));
  // A super manager has nothing to do here.
}

void TQuvialForm::OpenSuperManagerPages() {
  userManagerForm_->ShowPage(accessLevel_ == 3 ? QStringLiteral("SuperUserLogOut")
                                               : QStringLiteral("SuperUserReg"));
}

void TQuvialForm::ChangeAccessLevel(int level) {
  const bool wasSuper = accessLevel_ == 3;
  accessLevel_ = level;
  sendPath_->SetAccessLevel(level);
  const bool super = level == 3;
  if (super == wasSuper) return;
  tabOutput_->setVisible(super);
  grid_->SetLineWidth(TWallGridView::kWideLineWidth);
}
