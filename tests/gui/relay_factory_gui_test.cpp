// Through the main window with ptys: the listening line's trigger after a
// running dissolve and under a flood of bytes; the factory-number dialog
// behind the hidden factory-mode item; the version dialog.

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
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <atomic>
#include <memory>
#include <thread>

#include "app/quvial_form.h"
#include "setup/factory_number_form.h"
#include "setup/version_form.h"
#include "support/event_wait.h"
#include "support/message_boxes.h"
#include "support/pty_pair.h"
#include "support/temp_home.h"
#include "wall/family_menu_view.h"
#include "wall/wall_grid_view.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray RandomBytes(qsizetype size, quint32 seed) {
  QByteArray bytes(size, '\0');
  QRandomGenerator gen(seed);
  for (char& b : bytes) b = static_cast<char>(gen.bounded(256));
  return bytes;
}

class RelayFactoryGuiTest : public testing::Test {
 protected:
  // A QN-51 window: the splicers on COM3, the listening line on COM6.
  void Start(const QString& keys) {
    ASSERT_TRUE(QDir().mkpath(home.File(u"ports"_s)));
    ASSERT_TRUE(QFile::link(splicer.SlavePath(), home.File(u"ports/COM3"_s)));
    ASSERT_TRUE(QFile::link(sniff.SlavePath(), home.File(u"ports/COM6"_s)));
    ASSERT_TRUE(home.Write(u"Quvial.ini"_s, (u"[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM3\r\n"
                                             "SniffCOMPortChecked=1\r\nSniffCOMPort=COM6\r\n"_s +
                                             keys)
                                                .toLatin1()));
    TDeviceChoice choice;
    choice.portListHidden = true;
    form = std::make_unique<TQuvialForm>(choice, pauser);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  std::string Sent(qsizetype bytes) {
    const QByteArray got = splicer.Read(bytes);
    EXPECT_TRUE(splicer.ReadUntilQuiet(50).isEmpty()) << "more bytes than expected";
    return got.toHex(' ').toStdString();
  }
  // Reveals the factory-mode item (Ctrl+Shift+F11 on cell 3-3 alone) and
  // opens the dialog; inside runs in its modal loop.
  void OpenFactoryDialog(std::function<void(QWidget*)> inside) {
    QApplication::setActiveWindow(form.get());  // shortcuts reach the active window only
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Grid()->SelectRect({2, 2, 2, 2});
    QTest::keyClick(form->Grid(), Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);
    QAction* item = form->findChild<QAction*>(u"menuItemFactoryMode"_s);
    ASSERT_TRUE(item->isVisible());
    QTimer::singleShot(0, [inside] { inside(QApplication::activeModalWidget()); });
    item->trigger();
  }

  TTempHome home;
  TPtyPair splicer, sniff;
  RecordingPauser pauser;
  std::unique_ptr<TQuvialForm> form;
};

TEST_F(RelayFactoryGuiTest, TriggersDuringADissolveRunOnceAfterIt) {
  Start(u"row=10\r\ncol=10\r\nSignalType=2\r\n"_s);
  form->Grid()->SelectRect({0, 0, 9, 9});
  int pauses = 0;
  pauser.onPause = [&](int) {
    if (++pauses != 50 && pauses != 70) return;
    ASSERT_TRUE(sniff.Write("ALARM\r\n"));
    // What the program's pause does: the line's events arrive meanwhile.
    EXPECT_TRUE(ProcessEventsUntil([&] { return form->SniffRelay().Waiting(); }));
    ProcessEventsFor(50);
    EXPECT_EQ(form->SniffRelay().Fired(), 0) << "never in the middle of the dissolve";
  };
  form->WallMenu()->EntryAction(u"分解"_s, u"视频1"_s)->trigger();

  const std::string all = Sent(101 * 9);
  EXPECT_EQ(all.substr(0, 26), "c8 09 01 01 01 01 20 00 f5");
  EXPECT_EQ(all.substr(100 * 27), "c8 09 01 01 0a 0a 20 02 09");
  EXPECT_EQ(form->SniffRelay().Fired(), 1);
}

TEST_F(RelayFactoryGuiTest, GarbageFloodOnTheListeningLineIsOneTrigger) {
  Start(u"row=2\r\ncol=3\r\nSignalType=5\r\n"_s);
  const QByteArray flood = RandomBytes(10 << 20, 3);
  std::atomic<bool> written{false};
  std::thread writer([&] { written = sniff.Write(flood, 60000); });
  EXPECT_TRUE(ProcessEventsUntil([&] { return written.load(); }, 60000));
  writer.join();
  ProcessEventsFor(200);
  EXPECT_EQ(Sent(9), "c8 09 01 01 02 03 20 06 fe");
}

TEST_F(RelayFactoryGuiTest, FactoryNumberCountsUpAndRefusesWhatItCannotSend) {
  Start(u"MACID=41\r\nrow=4\r\ncol=4\r\n"_s);
  QString refusal;
  OpenFactoryDialog([&](QWidget* dialog) {
    auto* box = dialog->findChild<QLineEdit*>(u"edtMACID"_s);
    EXPECT_EQ(box->text(), u"41"_s);
    box->setText(u"4l"_s);
    AnswerNextBox(&refusal);
    QTest::mouseClick(dialog->findChild<QPushButton*>(u"btnOK"_s), Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible()) << "the dialog stays open";
    box->setText(u"100"_s);
    QTest::mouseClick(dialog->findChild<QPushButton*>(u"btnCancel"_s), Qt::LeftButton);
  });
  EXPECT_EQ(refusal, u"Bad Format"_s);
  EXPECT_TRUE(splicer.ReadUntilQuiet(100).isEmpty());
  EXPECT_TRUE(home.Read(u"Quvial.ini"_s).contains("MACID=41\r\n"));

  OpenFactoryDialog([](QWidget* dialog) {
    auto* box = dialog->findChild<QLineEdit*>(u"edtMACID"_s);
    EXPECT_EQ(box->text(), u"41"_s) << "the stored number again";
    QTest::keyClick(box, Qt::Key_Return);
  });
  EXPECT_EQ(Sent(9), "c8 09 00 00 00 29 77 01 72");
  EXPECT_TRUE(home.Read(u"Quvial.ini"_s).contains("MACID=42\r\n"));
  EXPECT_EQ(form->FactoryNumberForm()->NumberText(), u"42"_s);
}

TEST_F(RelayFactoryGuiTest, VersionDialogShowsBoundedNotesAndAsksTheScreens) {
  ASSERT_TRUE(home.Write(u"version.cfg"_s, RandomBytes(10 << 20, 5)));
  Start(u"version=V2.6.1\r\n"_s);
  QTest::mouseClick(form->findChild<QToolButton*>(u"btnVersion"_s), Qt::LeftButton);
  TVersionForm* dialog = form->VersionForm();
  ASSERT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->isModal());
  EXPECT_EQ(dialog->VersionValue()->text(), u"V2.6.1"_s);
  const qsizetype shown = dialog->Notes()->toPlainText().size();
  EXPECT_GT(shown, 100'000);
  EXPECT_LT(shown, 2 * 1024 * 1024);

  form->Grid()->SelectRect({1, 0, 1, 1});  // column 2, rows 1-2
  QTest::mouseClick(dialog->findChild<QPushButton*>(u"btnShowVersion"_s), Qt::LeftButton);
  EXPECT_EQ(Sent(9), "c8 09 01 02 02 02 74 01 4d");
  dialog->hide();
  form->findChild<QAction*>(u"menuItemAbout"_s)->trigger();
  EXPECT_TRUE(dialog->isVisible());
}

}  // namespace
