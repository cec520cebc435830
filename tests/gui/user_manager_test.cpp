#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <deque>
#include <functional>
#include <memory>

#include "app/choose_form.h"
#include "app/quvial_form.h"
#include "app/scramble.h"
#include "app/user_manager_form.h"
#include "core/gbk.h"
#include "core/pauser.h"
#include "core/profile_file.h"
#include "support/event_wait.h"
#include "support/temp_home.h"
#include "wall/wall_grid_view.h"

using namespace Qt::StringLiterals;

namespace {

// Plays the operator while a modal dialog runs: every message box that
// appears is read and closed; each step runs once the watched dialog is up
// with no message box over it. After the deadline every modal window is
// closed, so that a dialog that should not have opened cannot hang the test.
class ModalDriver {
 public:
  explicit ModalDriver(QWidget* dialog, int deadlineMs = 5000)
      : dialog_(dialog), deadlineMs_(deadlineMs) {
    clock_.start();
    Arm();
  }

  void Then(std::function<void()> step) { steps_.push_back(std::move(step)); }

  QStringList messages;
  bool dialogSeen = false;
  bool timedOut = false;

 private:
  void Arm() {
    QTimer::singleShot(5, &context_, [this] { Tick(); });
  }

  void Tick() {
    if (clock_.elapsed() > deadlineMs_) {
      timedOut = true;
      for (int i = 0; i < 10 && QApplication::activeModalWidget(); ++i)
        QApplication::activeModalWidget()->close();
      return;
    }
    // Armed first: a step may open a nested modal loop of its own.
    Arm();
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(w);
      if (box == nullptr || !box->isVisible()) continue;
      messages << box->text();
      if (QAbstractButton* ok = box->button(QMessageBox::Ok))
        ok->click();
      else
        box->accept();
      return;
    }
    if (!dialog_->isVisible()) return;
    dialogSeen = true;
    if (steps_.empty()) return;
    const std::function<void()> step = std::move(steps_.front());
    steps_.pop_front();
    step();
  }

  QObject context_;  // cancels pending ticks when the driver goes
  QWidget* dialog_;
  int deadlineMs_;
  QElapsedTimer clock_;
  std::deque<std::function<void()>> steps_;
};

// The dialog on its own, shown without a modal loop so that the test clicks
// its controls directly.
class UserManagerFormTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home.IsValid());
    ClearPendingQuit();
    form = std::make_unique<TUserManagerForm>(TPasswordStore(TPasswordStore::DefaultPath()),
                                              [this] { return chinese; });
  }
  void Show(const char* page) {
    auto* book = Control<QStackedWidget>("nbUser");
    book->setCurrentWidget(Control<QWidget>(page));
    form->show();
  }
  template <typename T>
  T* Control(const char* name) {
    T* c = form->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  QLineEdit* Edit(const char* name) { return Control<QLineEdit>(name); }
  // Clicks a button and returns the messages it showed.
  QStringList Click(const char* button) {
    ModalDriver driver(form.get());
    Control<QPushButton>(button)->click();
    return driver.messages;
  }
  QString Stored(const char* key) const {
    return TProfileFile(home.File(u"QV.ini"_s))
        .ReadString(u"pw"_s, QString::fromLatin1(key), u"<none>"_s);
  }

  TTempHome home;
  bool chinese = true;
  std::unique_ptr<TUserManagerForm> form;
};

TEST_F(UserManagerFormTest, FourPagesWithoutTabsAndDesignedCaptions) {
  auto* book = Control<QStackedWidget>("nbUser");
  ASSERT_EQ(book->count(), 4);
  EXPECT_EQ(form->findChildren<QTabBar*>().size(), 0);
  for (const char* page : {"Register", "LogOut", "SuperUserLogOut", "SuperUserReg"})
    EXPECT_GE(book->indexOf(Control<QWidget>(page)), 0) << page;

  Show("LogOut");  // no lang.ini: the designed captions stay
  EXPECT_EQ(form->windowTitle(), u"用户管理"_s);
  EXPECT_EQ(Control<QLabel>("lblInputUserName")->text(), u"请输入管理员密码："_s);
  EXPECT_EQ(Control<QLabel>("lblManagerStatus")->text(), u"您是系统管理员 "_s);
  EXPECT_EQ(Control<QLabel>("lblSuperManagerStatus")->text(), u"您是系统超级用户 "_s);
  EXPECT_EQ(Control<QGroupBox>("gbSuperEditPasswd")->title(), u"修改密码:"_s);
  EXPECT_EQ(Control<QLabel>("lblSuperSrcPasswd")->text(), u"原密码 "_s);
  EXPECT_EQ(Control<QPushButton>("btnEditSuperPasswd")->text(), u"修改"_s);
  EXPECT_EQ(Control<QPushButton>("btnConfirm")->text(), u"确认"_s);
  EXPECT_EQ(Control<QLabel>("lblInputSuperPasswd")->text(), u"请输入超级用户密码："_s);
}

TEST_F(UserManagerFormTest, EveryBoxIsMaskedWithStars) {
  for (const char* name :
       {"edtPassword", "edtSrcPasswd", "edtNewPasswd", "edtNewPasswd2", "edtSuperSrcPasswd",
        "edtSuperNewPasswd", "edtSuperNewPasswd2", "edtSuperPasswd"}) {
    QLineEdit* box = Edit(name);
    ASSERT_NE(box, nullptr);
    box->setText(u"密码ab"_s);
    EXPECT_EQ(box->echoMode(), QLineEdit::Password) << name;
    EXPECT_EQ(box->displayText(), u"****"_s) << name;
  }
}

TEST_F(UserManagerFormTest, TextsComeFromTheTableAtEachShow) {
  ASSERT_TRUE(
      home.Write(u"lang.ini"_s, "[chs]\r\nID_USERMANAGER_FORM_CAPTION=" + Gbk::Encode(u"用户"_s) +
                                    "\r\n[eng]\r\nID_USERMANAGER_FORM_CAPTION=User Manager\r\n"
                                    "ID_USERMANAGER_FORM_BTNLOGIN=OK\r\n"));
  chinese = false;
  Show("Register");
  EXPECT_EQ(form->windowTitle(), u"User Manager"_s);
  EXPECT_EQ(Control<QPushButton>("btnLogin")->text(), u"OK"_s);
  EXPECT_EQ(Control<QLabel>("lblInputUserName")->text(), QString()) << "missing key: no caption";
  form->hide();

  chinese = true;
  Show("Register");
  EXPECT_EQ(form->windowTitle(), u"用户"_s);
  EXPECT_EQ(Control<QPushButton>("btnLogin")->text(), QString());
  form->hide();

  ASSERT_TRUE(QFile::remove(home.File(u"lang.ini"_s)));
  Show("Register");
  EXPECT_EQ(form->windowTitle(), u"用户管理"_s) << "without a table the designed captions return";
}

TEST_F(UserManagerFormTest, EnterInTheLogInBoxLogsInOnce) {
  QSignalSpy level(form.get(), &TUserManagerForm::accessLevelChanged);
  Show("Register");
  Edit("edtPassword")->setText(u"620935"_s);
  ModalDriver driver(form.get());
  QTest::keyClick(Edit("edtPassword"), Qt::Key_Return);
  EXPECT_EQ(driver.messages, QStringList{u"登录成功"_s});
  ASSERT_EQ(level.count(), 1);
  EXPECT_EQ(level.at(0).at(0).toInt(), 1);
  EXPECT_TRUE(Edit("edtPassword")->text().isEmpty());
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(Stored("Mng"), u"6C25F3DB3A7E"_s) << "the first log-in created QV.ini";
  EXPECT_EQ(Stored("super"), u"6927F7D53873"_s);
}

TEST_F(UserManagerFormTest, EnterInTheSuperBoxLogsInAsSuperManager) {
  chinese = false;
  QSignalSpy level(form.get(), &TUserManagerForm::accessLevelChanged);
  Show("SuperUserReg");
  Edit("edtSuperPasswd")->setText(u"304718"_s);
  ModalDriver driver(form.get());
  QTest::keyClick(Edit("edtSuperPasswd"), Qt::Key_Enter);
  EXPECT_EQ(driver.messages, QStringList{u"Login Success"_s});
  ASSERT_EQ(level.count(), 1);
  EXPECT_EQ(level.at(0).at(0).toInt(), 3);
}

TEST_F(UserManagerFormTest, WrongPasswordKeepsTheDialogAndTheText) {
  QSignalSpy level(form.get(), &TUserManagerForm::accessLevelChanged);
  Show("Register");
  Edit("edtPassword")->setText(u"304718"_s);
  EXPECT_EQ(Click("btnLogin"), QStringList{u"密码错误，请重新输入"_s});
  EXPECT_EQ(level.count(), 0);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(Edit("edtPassword")->text(), u"304718"_s);

  chinese = false;
  EXPECT_EQ(Click("btnLogin"), QStringList{u"Bad Password，Please input again"_s});
}

TEST_F(UserManagerFormTest, ManagerPasswordChangeMessages) {
  ASSERT_TRUE(TPasswordStore(TPasswordStore::DefaultPath()).EnsureDefaults());
  chinese = false;
  Show("LogOut");
  Edit("edtSrcPasswd")->setText(u"wrong"_s);
  Edit("edtNewPasswd")->setText(u"abc"_s);
  Edit("edtNewPasswd2")->setText(u"abc"_s);
  EXPECT_EQ(Click("btnConfirm"), QStringList{u"Source Password Error"_s});

  Edit("edtSrcPasswd")->setText(u"620935"_s);
  Edit("edtNewPasswd2")->setText(u"abd"_s);
  EXPECT_EQ(Click("btnConfirm"), QStringList{u"two diffent password,please input again"_s});
  EXPECT_EQ(Stored("mng"), u"6C25F3DB3A7E"_s);

  Edit("edtNewPasswd2")->setText(u"abc"_s);
  EXPECT_EQ(Click("btnConfirm"), QStringList{u"Change Password ok"_s});
  EXPECT_EQ(Stored("mng"), ScrambleText(u"abc"_s));
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(Edit("edtSrcPasswd")->text(), u"620935"_s) << "the boxes keep their contents";
  EXPECT_EQ(Edit("edtNewPasswd")->text(), u"abc"_s);

  chinese = true;
  EXPECT_EQ(Click("btnConfirm"), QStringList{u"原密码输入错误"_s}) << "the old one is gone";
}

TEST_F(UserManagerFormTest, SuperPasswordChangeMessages) {
  ASSERT_TRUE(TPasswordStore(TPasswordStore::DefaultPath()).EnsureDefaults());
  chinese = false;
  Show("SuperUserLogOut");
  Edit("edtSuperSrcPasswd")->setText(u"620935"_s);
  EXPECT_EQ(Click("btnEditSuperPasswd"), QStringList{u"Source password error"_s});
  Edit("edtSuperSrcPasswd")->setText(u"304718"_s);
  Edit("edtSuperNewPasswd")->setText(u"超级"_s);
  Edit("edtSuperNewPasswd2")->setText(u"超级"_s);
  EXPECT_EQ(Click("btnEditSuperPasswd"), QStringList{u"Change Password OK"_s});
  EXPECT_EQ(Stored("super"), ScrambleText(u"超级"_s));
  EXPECT_EQ(Stored("mng"), u"6C25F3DB3A7E"_s);

  chinese = true;
  Edit("edtSuperSrcPasswd")->setText(u"超级"_s);
  Edit("edtSuperNewPasswd2")->setText(u"超"_s);
  EXPECT_EQ(Click("btnEditSuperPasswd"), QStringList{u"新密码和新确认密码不同，请重新修改。"_s});
}

TEST_F(UserManagerFormTest, FailedWriteIsReportedNotCelebrated) {
  // A store in a folder that does not exist can never be written.
  form = std::make_unique<TUserManagerForm>(TPasswordStore(home.File(u"gone/QV.ini"_s)),
                                            [this] { return chinese; });
  Show("LogOut");
  EXPECT_EQ(Click("btnConfirm"), QStringList{UserMessageText(TUserMessage::WriteFailed, true)});
}

TEST_F(UserManagerFormTest, LogOutButtonsLeaveLevelTwo) {
  QSignalSpy level(form.get(), &TUserManagerForm::accessLevelChanged);
  Show("LogOut");
  EXPECT_TRUE(Click("btnLogout").isEmpty());
  EXPECT_FALSE(form->isVisible());
  Show("SuperUserLogOut");
  EXPECT_TRUE(Click("btnSuperUserLogout").isEmpty());
  EXPECT_FALSE(form->isVisible());
  ASSERT_EQ(level.count(), 2);
  EXPECT_EQ(level.at(0).at(0).toInt(), 2);
  EXPECT_EQ(level.at(1).at(0).toInt(), 2);
}

// The main window's entry points and what each level opens.
class QuvialFormUsersTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home.IsValid());
    ClearPendingQuit();
    TDeviceChoice choice;
    choice.deviceName = u"QN-51"_s;
    choice.portListHidden = true;
    form = std::make_unique<TQuvialForm>(choice, pauser);
    form->show();
    users = form->findChild<TUserManagerForm*>();
    ASSERT_NE(users, nullptr);
    tab = form->findChild<QTabWidget*>(u"pcOutput"_s);
    memo = form->findChild<QPlainTextEdit*>(u"memoOutput"_s);
    ASSERT_NE(tab, nullptr);
    ASSERT_NE(memo, nullptr);
  }
  QAction* Action(const char* name) { return form->findChild<QAction*>(QString::fromLatin1(name)); }
  QLineEdit* Edit(const char* name) {
    return users->findChild<QLineEdit*>(QString::fromLatin1(name));
  }
  QPushButton* Button(const char* name) {
    return users->findChild<QPushButton*>(QString::fromLatin1(name));
  }
  // Triggers an entry point; in the dialog, types the password into box and
  // presses button. Returns the messages shown; page receives the page shown.
  QStringList LogIn(QAction* entry, const char* box, const QString& password, const char* button,
                    QString* page = nullptr) {
    ModalDriver driver(users);
    driver.Then([&] {
      if (page) *page = users->CurrentPageName();
      Edit(box)->setText(password);
      Button(button)->click();
    });
    driver.Then([&] { users->reject(); });  // still open after a refused password
    entry->trigger();
    return driver.messages;
  }
  void LogInSuper() {
    ASSERT_EQ(
        LogIn(Action("menuItemSuperManager"), "edtSuperPasswd", u"304718"_s, "btnSuperUserLogin"),
        QStringList{u"登录成功"_s});
    ASSERT_EQ(form->AccessLevel(), 3);
  }
  int SendOneFrame() {
    const int before = memo->blockCount() - (memo->toPlainText().isEmpty() ? 1 : 0);
    quint8 frame[9];
    form->Protocol().PowerOn(frame);
    form->SendPath().SendFrame(frame);
    const int after = memo->blockCount() - (memo->toPlainText().isEmpty() ? 1 : 0);
    return after - before;
  }

  TTempHome home;
  RecordingPauser pauser;
  std::unique_ptr<TQuvialForm> form;
  TUserManagerForm* users = nullptr;
  QTabWidget* tab = nullptr;
  QPlainTextEdit* memo = nullptr;
};

TEST_F(QuvialFormUsersTest, FirstManagerLogInCreatesQvIniAndGivesLevelOne) {
  ASSERT_EQ(form->AccessLevel(), 2);
  QString page;
  EXPECT_EQ(LogIn(Action("menuItemManager"), "edtPassword", u"620935"_s, "btnLogin", &page),
            QStringList{u"登录成功"_s});
  EXPECT_EQ(page, u"Register"_s);
  EXPECT_EQ(form->AccessLevel(), 1);
  EXPECT_EQ(form->SendPath().AccessLevel(), 1);
  EXPECT_FALSE(tab->isVisibleTo(form.get())) << "managers see no trace";
  const TProfileFile qv(home.File(u"QV.ini"_s));
  EXPECT_EQ(qv.ReadString(u"pw"_s, u"super"_s, {}), u"6927F7D53873"_s);
  EXPECT_EQ(qv.ReadString(u"pw"_s, u"Mng"_s, {}), u"6C25F3DB3A7E"_s);
  EXPECT_EQ(SendOneFrame(), 0);
}

TEST_F(QuvialFormUsersTest, WrongPasswordKeepsTheLevelAndTheDialogOpen) {
  bool openAfterMessage = false;
  ModalDriver driver(users);
  driver.Then([&] {
    Edit("edtPassword")->setText(u"000000"_s);
    Button("btnLogin")->click();
  });
  driver.Then([&] {
    openAfterMessage = users->isVisible();
    EXPECT_EQ(Edit("edtPassword")->text(), u"000000"_s);
    users->reject();
  });
  Action("menuItemManager")->trigger();
  EXPECT_EQ(driver.messages, QStringList{u"密码错误，请重新输入"_s});
  EXPECT_TRUE(openAfterMessage);
  EXPECT_EQ(form->AccessLevel(), 2);
}

TEST_F(QuvialFormUsersTest, ToolbarButtonShowsItsPressThenOpensTheManagerPage) {
  auto* button = form->findChild<QToolButton*>(u"btnUserManager"_s);
  ASSERT_NE(button, nullptr);
  std::vector<int> pausesWhenShown;
  QString page;
  ModalDriver driver(users);
  driver.Then([&] {
    pausesWhenShown = pauser.pauses;
    page = users->CurrentPageName();
    users->reject();
  });
  button->click();
  EXPECT_EQ(pausesWhenShown, std::vector<int>{100});
  EXPECT_EQ(page, u"Register"_s);
  EXPECT_FALSE(button->isDown());
}

TEST_F(QuvialFormUsersTest, ManagerMenuAtLevelOneOpensLogOut) {
  ASSERT_EQ(LogIn(Action("menuItemManager"), "edtPassword", u"620935"_s, "btnLogin").size(), 1);
  QString page;
  ModalDriver driver(users);
  driver.Then([&] {
    page = users->CurrentPageName();
    Button("btnLogout")->click();
  });
  Action("menuItemManager")->trigger();
  EXPECT_EQ(page, u"LogOut"_s);
  EXPECT_EQ(form->AccessLevel(), 2);
}

TEST_F(QuvialFormUsersTest, SuperLogInShowsTheTraceAndWidensTheGrid) {
  ASSERT_FALSE(tab->isVisibleTo(form.get()));
  EXPECT_EQ(SendOneFrame(), 0) << "an operator sees no trace";
  EXPECT_TRUE(memo->toPlainText().isEmpty());

  QString page;
  EXPECT_EQ(LogIn(Action("menuItemSuperManager"), "edtSuperPasswd", u"304718"_s,
                  "btnSuperUserLogin", &page),
            QStringList{u"登录成功"_s});
  EXPECT_EQ(page, u"SuperUserReg"_s);
  EXPECT_EQ(form->AccessLevel(), 3);
  EXPECT_TRUE(tab->isVisibleTo(form.get()));
  EXPECT_EQ(form->Grid()->LineWidth(), TWallGridView::kWideLineWidth);
  EXPECT_TRUE(Edit("edtSuperPasswd")->text().isEmpty());

  EXPECT_EQ(SendOneFrame(), 1);
  const QString line = memo->toPlainText();
  EXPECT_TRUE(line.contains(u" : msg = "_s)) << line.toStdString();
  EXPECT_TRUE(line.contains(u"c8"_s)) << line.toStdString();
  EXPECT_FALSE(line.contains(u'\n'));
}

TEST_F(QuvialFormUsersTest, SuperLogInFromManagerLevel) {
  ASSERT_EQ(LogIn(Action("menuItemManager"), "edtPassword", u"620935"_s, "btnLogin").size(), 1);
  QString page;
  LogIn(Action("menuItemSuperManager"), "edtSuperPasswd", u"304718"_s, "btnSuperUserLogin", &page);
  EXPECT_EQ(page, u"SuperUserReg"_s);
  EXPECT_EQ(form->AccessLevel(), 3);
  EXPECT_TRUE(tab->isVisibleTo(form.get()));
}

TEST_F(QuvialFormUsersTest, ManagerMenuAtLevelThreeDoesNothing) {
  LogInSuper();
  ModalDriver driver(users, 300);
  Action("menuItemManager")->trigger();
  auto* button = form->findChild<QToolButton*>(u"btnUserManager"_s);
  button->click();
  ProcessEventsFor(50);
  EXPECT_FALSE(driver.dialogSeen);
  EXPECT_EQ(form->AccessLevel(), 3);
}

TEST_F(QuvialFormUsersTest, SuperMenuAtLevelThreeOpensLogOutWhichHidesTheTrace) {
  LogInSuper();
  QString page;
  ModalDriver driver(users);
  driver.Then([&] {
    page = users->CurrentPageName();
    Button("btnSuperUserLogout")->click();
  });
  Action("menuItemSuperManager")->trigger();
  EXPECT_EQ(page, u"SuperUserLogOut"_s);
  EXPECT_TRUE(driver.messages.isEmpty());
  EXPECT_EQ(form->AccessLevel(), 2);
  EXPECT_FALSE(tab->isVisibleTo(form.get()));
  EXPECT_EQ(form->Grid()->LineWidth(), TWallGridView::kWideLineWidth);
  memo->clear();
  EXPECT_EQ(SendOneFrame(), 0);
}

}  // namespace
