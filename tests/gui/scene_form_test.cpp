// The scene manager through its real controls: a scene recorded from the
// main window's source page, saved, and recalled with one click, the frames
// read at the far end of the splicer line.
#include "scenes/scene_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/quvial_form.h"
#include "support/pty_pair.h"
#include "support/temp_home.h"
#include "wall/wall_grid_view.h"

using namespace Qt::StringLiterals;

namespace {

class SceneFormTest : public testing::Test {
 protected:
  // QN-51 over a 2 x 2 wall, the splicer port on the pty; cmdLen 1 long frames.
  void Start(int cmdLen = 1) {
    ASSERT_TRUE(pty.IsValid());
    ASSERT_TRUE(QDir().mkpath(home.File(u"ports"_s)));
    ASSERT_TRUE(QFile::link(pty.SlavePath(), home.File(u"ports/COM3"_s)));
    ASSERT_TRUE(home.Write(u"Quvial.ini"_s,
                           QStringLiteral("[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM3\r\n"
                                          "CmdLen=%1\r\nrow=2\r\ncol=2\r\n")
                               .arg(cmdLen)
                               .toLatin1()));
    TDeviceChoice choice;
    choice.deviceName = u"QN-51"_s;
    choice.portListHidden = true;
    form = std::make_unique<TQuvialForm>(choice, pauser);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->UiTimerTick();  // connected: "场景管理" is enabled
    form->findChild<QAction*>(u"menuItemScene"_s)->trigger();
    scenes = form->SceneForm();
    ASSERT_NE(scenes, nullptr);
    ASSERT_TRUE(scenes->isVisible());
  }
  QPushButton* Button(const QString& name) { return scenes->findChild<QPushButton*>(name); }
  static void Click(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  }
  void ClickVga() {
    for (QRadioButton* b : form->findChild<QWidget*>(u"QN-51"_s)->findChildren<QRadioButton*>())
      if (b->text() == u"VGA"_s) return Click(b);
    ADD_FAILURE() << "no VGA button";
  }
  std::string Sent(int frames) {
    const QByteArray bytes = pty.Read(frames * 9);
    EXPECT_TRUE(pty.ReadUntilQuiet(50).isEmpty()) << "more bytes than expected";
    return bytes.toHex(' ').toStdString();
  }
  // Answers the next modal dialog: a message box with OK (its text kept), an
  // input box with the given text.
  void AnswerNext(QString* shown, const QString& input = {}) {
    QTimer::singleShot(0, [shown, input] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        *shown = box->text();
        box->accept();
      } else if (auto* ask = qobject_cast<QInputDialog*>(modal)) {
        *shown = ask->windowTitle() + u'|' + ask->labelText();
        ask->setTextValue(input);
        ask->accept();
      } else {
        ADD_FAILURE() << "a modal dialog was expected";
      }
    });
  }

  TTempHome home;
  TPtyPair pty;
  RecordingPauser pauser;
  std::unique_ptr<TQuvialForm> form;
  TSceneForm* scenes = nullptr;
};

TEST_F(SceneFormTest, RecordsSavesAndRecallsASceneWithOneClick) {
  Start();
  EXPECT_EQ(scenes->SceneButton(3)->text(), u"场景3"_s);
  EXPECT_EQ(scenes->SceneButton(3)->accessibleName(), u"场景3"_s);
  Click(scenes->SceneButton(3));  // an empty scene plays as a cleared 2 x 2 wall
  EXPECT_TRUE(pty.ReadUntilQuiet(50).isEmpty());
  Click(scenes->SceneBox(3));
  ASSERT_TRUE(form->SceneRecording());
  EXPECT_TRUE(Button(u"btnSave"_s)->isEnabled());

  form->Grid()->SelectRect({0, 0, 1, 1});
  ClickVga();
  EXPECT_EQ(Sent(1), "c8 09 01 01 02 02 20 02 f9");
  Click(Button(u"btnSave"_s));
  EXPECT_FALSE(form->SceneRecording());
  const QByteArray file = home.Read(u"scene3"_s);
  ASSERT_EQ(file.size(), 14 + 52);
  EXPECT_EQ(file.left(4).toHex(' '), "03 01 02 02");

  Click(scenes->SceneButton(1));  // another (empty) scene clears the wall
  EXPECT_EQ(form->Wall().Cell(1, 1).state, 0);
  pauser.pauses.clear();
  Click(scenes->SceneButton(3));
  EXPECT_EQ(Sent(1), "c8 09 01 01 02 02 20 02 f9");
  EXPECT_EQ(pauser.pauses, std::vector<int>{50});
  EXPECT_EQ(form->Wall().index(1, 1).data(Qt::AccessibleTextRole).toString(), u"2-2 VGA"_s);
  EXPECT_EQ(scenes->Pressed(), 3);
  EXPECT_TRUE(scenes->SceneButton(3)->isChecked());
  EXPECT_FALSE(scenes->SceneButton(1)->isChecked());
}

TEST_F(SceneFormTest, ShortFramesRefuseTheSaveAndRenameCaptionsTheScene) {
  Start(0);
  Click(scenes->SceneButton(5));
  Click(scenes->SceneBox(5));
  ASSERT_TRUE(form->SceneRecording());
  QString shown;
  AnswerNext(&shown);
  Click(Button(u"btnSave"_s));
  EXPECT_EQ(shown, u"不支持7位协议，请选择9位协议保存"_s);
  EXPECT_TRUE(form->SceneRecording());
  EXPECT_FALSE(home.Exists(u"scene5"_s));

  AnswerNext(&shown, u"大厅"_s);
  Click(Button(u"btnSaveCurScene"_s));
  EXPECT_EQ(shown, u"配置|请输入场景名称"_s);
  EXPECT_EQ(scenes->SceneButton(5)->text(), u"大厅"_s);
  EXPECT_EQ(home.Read(u"scene5"_s).mid(4, 4), QByteArray("\xb4\xf3\xcc\xfc"));  // GBK
}

}  // namespace
