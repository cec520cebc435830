// The operator's writes when the program directory cannot take them (a full
// disk, a read-only mount): the window says so in the interface language and
// the files on disk stay as they were.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/password_store.h"
#include "app/quvial_form.h"
#include "app/user_manager_form.h"
#include "core/pauser.h"
#include "scenes/scene.h"
#include "scenes/scene_form.h"
#include "support/event_wait.h"
#include "support/home_mount.h"
#include "support/pty_pair.h"
#include "support/temp_home.h"

using namespace Qt::StringLiterals;

namespace {

// The text of the message box that act() shows, which is then closed; empty
// when none appears.
QString MessageOf(const std::function<void()>& act) {
  QString shown;
  QObject context;  // a box that never came must not fire later
  QTimer::singleShot(0, &context, [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  act();
  return shown;
}

void Click(QAbstractButton* button) {
  ASSERT_NE(button, nullptr);
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

class WriteFailureGuiTest : public testing::Test {
 protected:
  // The old files, the splicer port on a pty (so that the scene manager
  // opens), then the main window in the given language.
  void Start(bool chinese) {
    ClearPendingQuit();
    ASSERT_TRUE(pty.IsValid());
    ASSERT_TRUE(QDir().mkpath(home.File(u"ports"_s)));
    ASSERT_TRUE(QFile::link(pty.SlavePath(), home.File(u"ports/COM3"_s)));
    ASSERT_TRUE(home.Write(u"Quvial.ini"_s,
                           "[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM3\r\n"
                           "row=2\r\ncol=2\r\nLANG=" +
                               QByteArray(chinese ? "1" : "2") + "\r\n"));
    ASSERT_TRUE(TPasswordStore(home.File(u"QV.ini"_s)).EnsureDefaults());
    TScene scenes(home.Path());
    scenes.Select(3);
    ASSERT_TRUE(scenes.Save(u"old"_s));

    TDeviceChoice choice;
    choice.deviceName = u"QN-51"_s;
    choice.portListHidden = true;
    form = std::make_unique<TQuvialForm>(choice, pauser);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->UiTimerTick();  // connected: the scene manager opens
    old = {home.Read(u"Quvial.ini"_s), home.Read(u"QV.ini"_s), home.Read(u"scene3"_s)};
  }

  // Each writing action of the operator, with the message it must show.
  void ExpectEachActionTellsAndChangesNothing(bool chinese) {
    const QStringList entries = home.Entries();

    auto* rows = form->findChild<QComboBox*>(u"cbbRow"_s);
    ASSERT_NE(rows, nullptr);
    rows->setCurrentIndex(4);
    EXPECT_EQ(MessageOf([&] { Click(form->findChild<QPushButton*>(u"btnRowColSet"_s)); }),
              chinese ? u"Quvial.ini 无法写入（目录只读或磁盘已满），新的设置只在本次运行中有效。"_s
                      : u"Quvial.ini cannot be written (read-only directory or full disk): the "
                        u"new setting holds only until the program ends."_s);

    auto* users = form->findChild<TUserManagerForm*>();
    ASSERT_NE(users, nullptr);
    users->findChild<QStackedWidget*>(u"nbUser"_s)
        ->setCurrentWidget(users->findChild<QWidget*>(u"LogOut"_s));
    users->show();
    users->findChild<QLineEdit*>(u"edtSrcPasswd"_s)
        ->setText(QString::fromUtf16(TPasswordStore::kDefaultManager));
    users->findChild<QLineEdit*>(u"edtNewPasswd"_s)->setText(u"1234"_s);
    users->findChild<QLineEdit*>(u"edtNewPasswd2"_s)->setText(u"1234"_s);
    EXPECT_EQ(MessageOf([&] { Click(users->findChild<QPushButton*>(u"btnConfirm"_s)); }),
              UserMessageText(TUserMessage::WriteFailed, chinese));
    users->hide();

    form->findChild<QAction*>(u"menuItemScene"_s)->trigger();
    TSceneForm* scenes = form->SceneForm();
    ASSERT_NE(scenes, nullptr);
    Click(scenes->SceneButton(3));  // pressed, then its box starts recording into it
    Click(scenes->SceneBox(3));
    ASSERT_TRUE(form->SceneRecording());
    EXPECT_EQ(MessageOf([&] { Click(scenes->findChild<QPushButton*>(u"btnSave"_s)); }),
              chinese ? u"场景文件无法写入，场景未保存。"_s
                      : u"The scene file could not be written; the scene was not saved."_s);
    EXPECT_TRUE(form->SceneRecording()) << "the recording stays, to be saved again";

    EXPECT_EQ(old, QList<QByteArray>({home.Read(u"Quvial.ini"_s), home.Read(u"QV.ini"_s),
                                      home.Read(u"scene3"_s)}));
    EXPECT_EQ(home.Entries(), entries);
  }

  TTempHome home;
  THomeMount mount{home.Path()};
  TPtyPair pty;
  RecordingPauser pauser;
  std::unique_ptr<TQuvialForm> form;  // last: gone before the mounts
  QList<QByteArray> old;
};

TEST_F(WriteFailureGuiTest, AFullDiskIsToldInChinese) {
  if (const QString why = mount.MountTmpfs(64); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
  ASSERT_NO_FATAL_FAILURE(Start(true));
  ASSERT_EQ(mount.FillUp(), QString());
  ExpectEachActionTellsAndChangesNothing(true);
}

TEST_F(WriteFailureGuiTest, AReadOnlyDirectoryIsToldInEnglish) {
  ASSERT_NO_FATAL_FAILURE(Start(false));
  if (const QString why = mount.MakeReadOnly(); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
  ExpectEachActionTellsAndChangesNothing(false);
}

}  // namespace
