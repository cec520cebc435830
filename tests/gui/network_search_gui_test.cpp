#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

#include "app/quvial_form.h"
#include "app/user_manager_form.h"
#include "setup/setup_form.h"
#include "support/event_wait.h"
#include "support/message_boxes.h"
#include "support/net_namespace.h"
#include "support/net_namespace_modules.h"
#include "support/pty_pair.h"
#include "support/temp_home.h"
#include "wall/family_menu_view.h"

using namespace Qt::StringLiterals;

namespace {

QString Module(int last) { return u"10.0.1.%1"_s.arg(last); }

QByteArray PositionReply(int row, int column) {
  return QByteArray("\xC8\x09", 2) + char(row) + char(column);
}

// The QN-51N main window over a 2 x 2 wall in a network of its own: the
// console at 10.0.1.10, four modules at 10.0.1.21..24 that report the cells
// (1,1), (1,0), (0,1), (0,0). Message boxes are read and closed.
class NetworkSearchGuiTest : public testing::Test {
 protected:
  void SetUp() override {
    QStringList addresses{u"10.0.1.10"_s};
    for (int i = 21; i <= 24; ++i) addresses << Module(i);
    if (const QString why = EnterNetNamespace(addresses); !why.isEmpty())
      GTEST_SKIP() << why.toStdString();
    modules = std::make_unique<TNetNamespaceModules>(
        std::vector<TNetNamespaceModules::Module>{{Module(21), PositionReply(1, 1)},
                                                  {Module(22), PositionReply(1, 0)},
                                                  {Module(23), PositionReply(0, 1)},
                                                  {Module(24), PositionReply(0, 0)}});
    ASSERT_TRUE(modules->IsValid());
    ASSERT_TRUE(pty.IsValid());
    ASSERT_TRUE(QDir().mkpath(home.File(u"ports"_s)));
    ASSERT_TRUE(QFile::link(pty.SlavePath(), home.File(u"ports/COM3"_s)));
    ASSERT_TRUE(home.Write(
        u"Quvial.ini"_s, "[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM3\r\nrow=2\r\ncol=2\r\n"));
    TDeviceChoice choice;
    choice.family = 12;
    choice.deviceName = u"QN-51N"_s;
    choice.portListHidden = true;
    form = std::make_unique<TQuvialForm>(choice, pauser);
    form->NetworkSplicerLink().localAddresses = [] { return QStringList{u"10.0.1.10"_s}; };
    form->NetworkSplicerLink().SetProbeMs(300);
  }

  const TCellAddressTable& Table() { return form->NetworkSplicers().Table(); }
  QStringList Addresses() {
    return {Table().Address(0, 0), Table().Address(0, 1), Table().Address(1, 0),
            Table().Address(1, 1)};
  }
  // "超级管理员" with the shipped password, through the user manager.
  void LogInSuper() {
    auto* users = form->findChild<TUserManagerForm*>();
    ASSERT_NE(users, nullptr);
    bool typed = false;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
      if (QApplication::activeModalWidget() == users && !typed) {
        typed = true;
        users->findChild<QLineEdit*>(u"edtSuperPasswd"_s)->setText(u"304718"_s);
        users->findChild<QPushButton*>(u"btnSuperUserLogin"_s)->click();
      }
    });
    driver.start(5);
    form->findChild<QAction*>(u"menuItemSuperManager"_s)->trigger();
    ASSERT_EQ(form->AccessLevel(), 3);
  }

  TTempHome home;
  TPtyPair pty;
  RecordingPauser pauser;
  std::unique_ptr<TNetNamespaceModules> modules;
  std::unique_ptr<TQuvialForm> form;
  TMessageBoxAnswerer boxes;  // answers every message box, keeps its text
  QStringList& messages = boxes.texts;
};

// Asked for at start-up, the search runs once the window is up, not during
// its show steps; the grid's pop-up item runs it again. Each module's address
// lands in the cell it reports; nothing is marked registered.
TEST_F(NetworkSearchGuiTest, StartupAndGridMenuSearchesLocateEveryModule) {
  form->SetStartupNetworkSearch(true);
  form->show();
  ASSERT_TRUE(form->Ready());
  EXPECT_TRUE(modules->Probes().empty());
  EXPECT_TRUE(ProcessEventsUntil([this] { return !Table().Address(1, 1).isEmpty(); }));
  const QStringList located{Module(24), Module(23), Module(22), Module(21)};
  EXPECT_EQ(Addresses(), located);

  form->NetworkSplicers().Table().Resize(2, 2);
  QAction* item = form->WallMenu()->EntryAction({}, u"网络搜索设备"_s);
  ASSERT_NE(item, nullptr);
  item->trigger();
  EXPECT_EQ(Addresses(), located);
  EXPECT_EQ(modules->Probes().size(), 2u);
  EXPECT_EQ(form->RegisteredCells(), std::vector<bool>(4, false));
  EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
}

// "自动注册" on the setup dialog: each module gets its ID, the cells are
// marked, the status panel shows them connected and the frames are traced.
TEST_F(NetworkSearchGuiTest, AutoRegisterButtonRegistersTheWall) {
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  LogInSuper();
  if (HasFatalFailure()) return;
  messages.clear();  // the log-in's own
  form->UiTimerTick();
  QTest::mouseClick(form->findChild<QToolButton*>(u"btnSystemSetup"_s), Qt::LeftButton);
  ASSERT_NE(form->SetupForm(), nullptr);
  auto* button = form->SetupForm()->findChild<QPushButton*>(u"btnAutoRegister"_s);
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(button->isEnabled());
  button->click();

  EXPECT_EQ(messages, QStringList{u"自动注册完成。注册设备数量：4。"_s});
  ASSERT_TRUE(modules->WaitForFrames(4));
  for (const auto& [address, frame] : modules->Frames()) {
    ASSERT_EQ(frame.size(), 9) << address.toStdString();
    EXPECT_EQ(frame.at(6), 0x66);  // SetCellId to the module's machine number
    EXPECT_EQ(quint8(frame.at(4)), address.section(u'.', 3).toUInt());
  }
  EXPECT_EQ(Addresses(), (QStringList{Module(21), Module(22), Module(23), Module(24)}));
  form->UiTimerTick();
  EXPECT_EQ(form->findChild<QLabel*>(u"stPorts"_s)->text().count(u"未连接"_s), 0);
  const QString trace = form->findChild<QPlainTextEdit*>(u"memoOutput"_s)->toPlainText();
  EXPECT_EQ(trace.count(u" : msg =  c8  09 "_s), 4) << trace.toStdString();
}

}  // namespace
