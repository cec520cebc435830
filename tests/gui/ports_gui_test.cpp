#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <map>
#include <memory>

#include "app/choose_form.h"
#include "app/quvial_form.h"
#include "support/event_wait.h"
#include "support/message_boxes.h"
#include "support/pty_pair.h"
#include "support/temp_home.h"
#include "wall/wall_grid_view.h"

using namespace Qt::StringLiterals;

namespace {

constexpr TPortId kAll[] = {TPortId::Combine,   TPortId::Matrix, TPortId::VGAMatrix,
                            TPortId::DVIMatrix, TPortId::DVR,    TPortId::Sniff};

// Every key of the six ports, COM1 to COM6 in configuration order, at 9600 8N1.
QByteArray SixPorts() {
  const char* prefixes[] = {"", "Matrix", "VGAMatrix", "DVIMatrix", "DVR", "Sniff"};
  QByteArray ini = "[COM]\r\n";
  for (int i = 0; i < 6; ++i) {
    const QByteArray p = prefixes[i];
    const QByteArray checked = i == 0 ? "CombineCOMPortChecked" : p + "COMPortChecked";
    ini += checked + "=1\r\n" + p + "COMPort=COM" + QByteArray::number(i + 1) + "\r\n" + p +
           "BPS=9600\r\n" + p + "DataBit=8\r\n" + p + "StopBit=1\r\n" + p + "Check=0\r\n";
  }
  return ini;
}

// The main window over a configuration whose ports are ptys reached as
// COM1..COM6, with a pauser that records the press animations.
class PortsGuiTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir().mkpath(home.File(u"ports"_s)));
    for (int i = 1; i <= 6; ++i) {
      ptys[i] = std::make_unique<TPtyPair>();
      ASSERT_TRUE(ptys[i]->IsValid());
      Link(i, ptys[i]->SlavePath());
    }
  }
  void Link(int com, const QString& target) {
    const QString entry = home.File(u"ports/COM%1"_s.arg(com));
    QFile::remove(entry);
    ASSERT_TRUE(QFile::link(target, entry));
  }
  // The name still resolves to the link, which points nowhere: the open fails.
  void Break(int com) { Link(com, home.File(u"missing-device"_s)); }
  void Repair(int com) { Link(com, ptys[com]->SlavePath()); }

  void Start(const QByteArray& ini, quint8 family = 0) {
    ASSERT_TRUE(home.Write(u"Quvial.ini"_s, ini));
    TDeviceChoice choice;
    choice.family = family;
    choice.deviceName = u"QN-51"_s;
    choice.portListHidden = true;
    form = std::make_unique<TQuvialForm>(choice, pauser);
    form->show();
    ASSERT_TRUE(form->Ready());
  }
  template <typename T>
  T* Control(const char* name) {
    T* c = form->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  QString PortStatus() {
    form->UiTimerTick();
    return Control<QLabel>("stPorts")->text();
  }
  bool IsOpen(TPortId id) { return form->Ports().Port(id).IsOpen(); }
  QString Image(const char* button) {
    return Control<QToolButton>(button)->property("image").toString();
  }

  TTempHome home;
  std::map<int, std::unique_ptr<TPtyPair>> ptys;
  RecordingPauser pauser;
  std::unique_ptr<TQuvialForm> form;
};

TEST_F(PortsGuiTest, FailingMatrixPortEndsTheOpeningAndKeepsTheFrameMode) {
  Break(2);
  Start(SixPorts() + "CmdLen=1\r\n");
  EXPECT_TRUE(form->Connected());
  EXPECT_TRUE(IsOpen(TPortId::Combine));
  for (TPortId id : kAll) EXPECT_EQ(IsOpen(id), id == TPortId::Combine);
  EXPECT_FALSE(form->Ports().Enabled(TPortId::Matrix));
  EXPECT_EQ(PortStatus(), u"拼接串口COM1连接"_s) << "ports after the failure stay out";
  ASSERT_TRUE(form->Protocol().LongFrames());

  // Port setup with OK opens from the configuration again: still failing, the
  // new frame length is not read.
  int dialogs = 0;
  QStringList frameLengths;
  form->portSetupDialog = [&] {
    ++dialogs;
    frameLengths << form->PortSetupFrameLength();
    EXPECT_FALSE(IsOpen(TPortId::Combine)) << "closed while the dialog shows";
    return true;
  };
  ASSERT_TRUE(home.Write(u"Quvial.ini"_s, SixPorts() + "CmdLen=0\r\n"));
  Control<QToolButton>("btnSetupCOM")->click();
  EXPECT_EQ(dialogs, 1);
  EXPECT_TRUE(IsOpen(TPortId::Combine));
  EXPECT_FALSE(IsOpen(TPortId::VGAMatrix));
  EXPECT_TRUE(form->Protocol().LongFrames()) << "the frame mode keeps its previous value";
  EXPECT_TRUE(form->Connected());

  // Once the matrix port opens, all six open and the frame length is read.
  Repair(2);
  Control<QToolButton>("btnSetupCOM")->click();
  for (TPortId id : kAll) EXPECT_TRUE(IsOpen(id));
  EXPECT_FALSE(form->Protocol().LongFrames());
  EXPECT_EQ(frameLengths, (QStringList{u"9"_s, u"9"_s}));
  EXPECT_EQ(pauser.pauses, (std::vector<int>{100, 100}));

  // The dialog is told the short frames next time.
  form->findChild<QAction*>(u"menuItemSetupCOM"_s)->trigger();
  EXPECT_EQ(frameLengths.back(), u"7"_s);
  EXPECT_EQ(pauser.pauses.size(), 2u) << "the menu item shows no press";
}

TEST_F(PortsGuiTest, ToggleClosesFiveAndReportsEveryFailedOpen) {
  Start(SixPorts());
  ASSERT_TRUE(form->Connected());
  for (TPortId id : kAll) ASSERT_TRUE(IsOpen(id));

  auto* toggle = Control<QToolButton>("btnConnect");
  toggle->click();
  EXPECT_FALSE(form->Connected());
  for (TPortId id : kAll) EXPECT_EQ(IsOpen(id), id == TPortId::Sniff);
  EXPECT_EQ(Image("btnConnect"), u"connect"_s);
  EXPECT_EQ(PortStatus(),
            u"拼接串口COM1断开 VIDEO矩阵串口COM2断开 VGA矩阵串口COM3断开 DVI矩阵串口COM4断开"
            u" DVR串口COM5断开 侦听串口COM6断开"_s);

  for (int com = 1; com <= 5; ++com) Break(com);
  {
    TMessageBoxAnswerer closer;
    toggle->click();
    EXPECT_EQ(closer.texts,
              (QStringList{u"打开拼接串口 COM1 失败"_s, u"打开VIDEO矩阵串口 COM2 失败"_s,
                           u"打开VGA矩阵串口 COM3 失败"_s, u"打开DVI矩阵串口 COM4 失败"_s,
                           u"打开DVR串口 COM5 失败"_s}));
  }
  EXPECT_TRUE(form->Connected());
  EXPECT_EQ(Image("btnConnect"), u"connect_dis"_s);
  EXPECT_TRUE(IsOpen(TPortId::Sniff)) << "the listening port is never touched";
  EXPECT_EQ(PortStatus(), u" 侦听串口COM6连接"_s) << "failed ports leave the status";
  EXPECT_EQ(pauser.pauses, (std::vector<int>{100, 100}));

  // A failed port is not tried again: no message, nothing opens.
  for (int com = 1; com <= 5; ++com) Repair(com);
  toggle->click();
  TMessageBoxAnswerer closer;
  toggle->click();
  EXPECT_TRUE(closer.texts.isEmpty());
  EXPECT_FALSE(IsOpen(TPortId::Combine));
}

TEST_F(PortsGuiTest, EnglishToggleMessageAndLevelText) {
  Start("[COM]\r\nLANG=2\r\nCombineCOMPortChecked=1\r\nCOMPort=COM1\r\n");
  ASSERT_TRUE(form->Connected());
  EXPECT_EQ(PortStatus(), u"Combine PortCOM1Connect"_s);
  EXPECT_EQ(Control<QLabel>("stLevel")->text(), u"Operator"_s);
  Control<QToolButton>("btnConnect")->click();
  EXPECT_EQ(PortStatus(), u"Combine PortCOM1DisConnect"_s);
  Break(1);
  TMessageBoxAnswerer closer;
  Control<QToolButton>("btnConnect")->click();
  EXPECT_EQ(closer.texts, QStringList{u"Open Combine COM COM1 Error"_s});
  EXPECT_EQ(PortStatus(), QString());
}

TEST_F(PortsGuiTest, ControlsFollowTheLinkState) {
  Start("[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM1\r\n");
  QList<QWidget*> linked;
  for (const char* name : {"gbArray", "cbbRow", "cbbCol", "btnRowColSet", "cbMatrixCMB", "cbReshow",
                           "cbDelayPowerOn", "cbDVRCMB", "btnPowerOff", "btnPowerOn",
                           "btnStillPicture", "rbQN51Video1", "rbQN51LC", "rbQN51USB"})
    linked << Control<QWidget>(name);
  QAction* scene = form->findChild<QAction*>(u"menuItemScene"_s);
  ASSERT_NE(scene, nullptr);

  form->UiTimerTick();
  for (QWidget* w : linked) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_TRUE(scene->isEnabled());

  Control<QToolButton>("btnConnect")->click();
  form->UiTimerTick();
  for (QWidget* w : linked) EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_FALSE(scene->isEnabled());
  EXPECT_TRUE(Control<QCheckBox>("cbMixerSwitch")->isEnabled()) << "not tied to the link";

  Control<QToolButton>("btnConnect")->click();
  form->UiTimerTick();
  for (QWidget* w : linked) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_TRUE(scene->isEnabled());
}

TEST_F(PortsGuiTest, OperatorLevelClosesSetupAndShowsTheTime) {
  Start("[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM1\r\n");
  form->UiTimerTick();
  EXPECT_EQ(form->AccessLevel(), 2);
  EXPECT_EQ(Control<QLabel>("stLevel")->text(), u"普通操作员"_s);
  EXPECT_FALSE(form->findChild<QAction*>(u"menuItemSystemSetup"_s)->isEnabled());
  EXPECT_FALSE(form->findChild<QAction*>(u"menuItemDVRSetup"_s)->isEnabled());
  auto* setup = Control<QToolButton>("btnSystemSetup");
  EXPECT_FALSE(setup->isEnabled());
  EXPECT_TRUE(setup->isDown());
  EXPECT_EQ(Image("btnSystemSetup"), u"Setup_dis"_s);
  EXPECT_EQ(Image("btnUSBChannel"), u"remote_dis"_s);
  EXPECT_TRUE(Control<QToolButton>("btnUSBChannel")->isDown());
  QSignalSpy clicks(setup, &QToolButton::clicked);
  QTest::mouseClick(setup, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 0);

  const QDate day = QDate::currentDate();
  form->UiTimerTick();
  const QString time = Control<QLabel>("stTime")->text();
  if (QDate::currentDate() != day) GTEST_SKIP() << "midnight passed during the tick";
  const QString date = QLocale::system().toString(day, QLocale::ShortFormat);
  EXPECT_TRUE(time.startsWith(date + u' ')) << time.toStdString();
  EXPECT_TRUE(
      QRegularExpression(u"^\\d\\d:\\d\\d:\\d\\d$"_s).match(time.mid(date.size() + 1)).hasMatch())
      << time.toStdString();
}

TEST_F(PortsGuiTest, LoweredStillPictureButtonIgnoresClicks) {
  Start("[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM1\r\n");
  auto* still = Control<QToolButton>("btnStillPicture");
  QSignalSpy clicks(still, &QToolButton::clicked);

  Control<QToolButton>("btnConnect")->click();  // disconnected
  form->UiTimerTick();
  EXPECT_TRUE(still->isDown());
  EXPECT_EQ(Image("btnStillPicture"), u"pic_dis"_s);
  QTest::mouseClick(still, Qt::LeftButton);
  still->click();
  EXPECT_EQ(clicks.count(), 0);

  Control<QToolButton>("btnConnect")->click();  // connected
  form->UiTimerTick();
  EXPECT_FALSE(still->isDown());
  EXPECT_EQ(Image("btnStillPicture"), u"PIC"_s);
  QTest::mouseClick(still, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 1);
}

TEST_F(PortsGuiTest, PortSetupWithoutItsDialogOnlyShowsThePress) {
  Start("[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM1\r\n");
  form->portSetupDialog = nullptr;
  Control<QToolButton>("btnSetupCOM")->click();
  form->findChild<QAction*>(u"menuItemSetupCOM"_s)->trigger();
  EXPECT_EQ(pauser.pauses, std::vector<int>{100});
  EXPECT_TRUE(IsOpen(TPortId::Combine));
  EXPECT_TRUE(form->Connected());
}

TEST_F(PortsGuiTest, CancelledPortSetupReopensTheLinesItClosed) {
  Start("[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM1\r\n");
  int dialogs = 0;
  form->portSetupDialog = [&] {
    ++dialogs;
    EXPECT_FALSE(IsOpen(TPortId::Combine)) << "closed while the dialog shows";
    return false;
  };
  form->findChild<QAction*>(u"menuItemSetupCOM"_s)->trigger();
  EXPECT_EQ(dialogs, 1);
  EXPECT_TRUE(IsOpen(TPortId::Combine));
  EXPECT_TRUE(form->Connected());
  EXPECT_EQ(PortStatus(), u"拼接串口COM1连接"_s);
  EXPECT_EQ(Image("btnConnect"), u"connect_dis"_s);

  // Disconnected already: nothing was closed, and a cancel opens nothing.
  Control<QToolButton>("btnConnect")->click();
  form->findChild<QAction*>(u"menuItemSetupCOM"_s)->trigger();
  EXPECT_EQ(dialogs, 2);
  EXPECT_FALSE(form->Connected());
  EXPECT_FALSE(IsOpen(TPortId::Combine));
}

TEST_F(PortsGuiTest, CaptionHelpAddressAndVersionComeFromTheConfiguration) {
  Start("[COM]\r\nCaption=Hall B\r\nHomePage=www.example.org/help\r\nversion=V3.2\r\n");
  EXPECT_EQ(form->windowTitle(), u"Hall B"_s);
  EXPECT_EQ(form->VersionText(), u"V3.2"_s);
  QList<QUrl> opened;
  form->openUrl = [&](const QUrl& url) {
    EXPECT_EQ(pauser.pauses, std::vector<int>{100}) << "opened after the press";
    opened << url;
  };
  Control<QToolButton>("btnHelp")->click();
  EXPECT_EQ(opened, QList<QUrl>{QUrl(u"http://www.example.org/help"_s)});
}

TEST_F(PortsGuiTest, EmptyHelpAddressOpensNothing) {
  Start("[COM]\r\nHomePage=\r\n");
  bool opened = false;
  form->openUrl = [&](const QUrl&) { opened = true; };
  Control<QToolButton>("btnHelp")->click();
  EXPECT_FALSE(opened);
  EXPECT_EQ(pauser.pauses, std::vector<int>{100});
}

TEST_F(PortsGuiTest, NetworkSplicerShowsItsCellTable) {
  Start("[COM]\r\nrow=1\r\ncol=2\r\nCombineCOMPortChecked=1\r\nCOMPort=COM1\r\n", 12);
  ASSERT_EQ(form->RegisteredCells(), (std::vector<bool>{false, false}));
  form->RegisteredCells()[0] = true;
  EXPECT_EQ(PortStatus(), u"[0-0]连接 [0-1]未连接 "_s);

  // "应用" sizes the table again, every cell unregistered.
  Control<QComboBox>("cbbRow")->setCurrentIndex(1);
  Control<QPushButton>("btnRowColSet")->click();
  EXPECT_EQ(form->RegisteredCells(), std::vector<bool>(4, false));
  EXPECT_EQ(PortStatus(), u"[0-0]未连接 [0-1]未连接 [1-0]未连接 [1-1]未连接 "_s);
}

TEST_F(PortsGuiTest, TheTimerTicksOnItsOwn) {
  Start("[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM1\r\n");
  auto* status = Control<QLabel>("stPorts");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !status->text().isEmpty(); }, 3000));
  EXPECT_EQ(status->text(), u"拼接串口COM1连接"_s);
}

// The splicer's device goes away in the middle of a delayed power-on: the
// action stops before its next frame, the window tells the truth and answers
// at once, and the toggle opens the line again once a device is back.
TEST_F(PortsGuiTest, ALineLostDuringAnActionStopsItAndTheToggleOpensItAgain) {
  Start("[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM1\r\nrow=2\r\ncol=2\r\n");
  form->UiTimerTick();
  form->Grid()->SelectRect({0, 0, 1, 1});
  Control<QCheckBox>("cbDelayPowerOn")->click();
  Control<QLineEdit>("edtDelay")->setText(u"3"_s);
  std::size_t lostAt = 0;
  pauser.onPause = [&](int ms) {
    if (ms != 3000 || lostAt) return;
    ASSERT_FALSE(ptys[1]->ReadUntilQuiet(100).isEmpty()) << "the first screen's frame went out";
    ptys[1]->CloseMaster();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !IsOpen(TPortId::Combine); }));
    lostAt = pauser.pauses.size();
  };
  TMessageBoxAnswerer closer;
  Control<QPushButton>("btnPowerOn")->click();
  ASSERT_GT(lostAt, 0u);
  EXPECT_EQ(pauser.pauses.size(), lostAt) << "no frame after the delay that saw the loss";
  ASSERT_EQ(closer.texts.size(), 1);
  EXPECT_TRUE(closer.texts[0].startsWith(u"拼接串口 COM1 已断开"_s))
      << closer.texts[0].toStdString();
  EXPECT_FALSE(form->Ports().Enabled(TPortId::Combine));
  EXPECT_FALSE(form->Connected()) << "no line is left";
  EXPECT_EQ(PortStatus(), u"拼接串口COM1断开"_s);

  // A new device at the same name: one press opens it, and the wall answers.
  pauser.onPause = nullptr;
  ptys[1] = std::make_unique<TPtyPair>();
  Link(1, ptys[1]->SlavePath());
  Control<QToolButton>("btnConnect")->click();
  EXPECT_TRUE(form->Connected());
  EXPECT_TRUE(form->Ports().Enabled(TPortId::Combine));
  EXPECT_EQ(PortStatus(), u"拼接串口COM1连接"_s);
  Control<QPushButton>("btnPowerOn")->click();
  EXPECT_FALSE(ptys[1]->ReadUntilQuiet(100).isEmpty());
  EXPECT_EQ(closer.texts.size(), 1);
}

}  // namespace
