// The main window's wall controls, driven through the real controls; the
// frames are read at the far end of a pty that the window uses as its
// splicer port.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

#include "app/quvial_form.h"
#include "support/event_wait.h"
#include "support/message_boxes.h"
#include "support/pty_pair.h"
#include "support/source_tree.h"
#include "support/temp_home.h"
#include "wall/family_menu_view.h"
#include "wall/qnt1_form.h"
#include "wall/wall_grid_view.h"
#include "widgets/rotary_switch.h"

using namespace Qt::StringLiterals;

namespace {

class WallCommandsGuiTest : public testing::Test {
 protected:
  // The window of a family over a rows x cols wall, its splicer port on the
  // pty, long frames.
  void Start(quint8 family, int rows = 4, int cols = 4) {
    ASSERT_TRUE(pty.IsValid());
    ASSERT_TRUE(QDir().mkpath(home.File(u"ports"_s)));
    ASSERT_TRUE(QFile::link(pty.SlavePath(), home.File(u"ports/COM3"_s)));
    ASSERT_TRUE(home.Write(u"Quvial.ini"_s,
                           QStringLiteral("[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM3\r\n"
                                          "CmdLen=1\r\nrow=%1\r\ncol=%2\r\n")
                               .arg(rows)
                               .arg(cols)
                               .toLatin1()));
    TDeviceChoice choice;
    choice.family = family;
    choice.deviceName = u"device"_s;
    choice.portListHidden = true;
    form = std::make_unique<TQuvialForm>(choice, pauser);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    ASSERT_TRUE(form->Ports().Port(TPortId::Combine).IsOpen());
  }
  template <typename T>
  T* Control(const QString& name) {
    T* c = form->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name.toStdString();
    return c;
  }
  QRadioButton* SourceButton(const QString& page, const QString& caption) {
    QWidget* p = Control<QWidget>(page);
    if (!p) return nullptr;
    for (QRadioButton* b : p->findChildren<QRadioButton*>())
      if (b->text() == caption && b->isVisible()) return b;
    ADD_FAILURE() << "no visible " << caption.toStdString() << " on " << page.toStdString();
    return nullptr;
  }
  void Select(const TCellRect& rect) {
    form->Grid()->SelectRect(rect);
    ASSERT_EQ(form->Grid()->Selection(), rect);
  }
  // The frames that reached the far end, as hex, and nothing after them.
  std::string Sent(int frames, int size = 9) {
    const QByteArray bytes = pty.Read(frames * size);
    EXPECT_TRUE(pty.ReadUntilQuiet(50).isEmpty()) << "more bytes than expected";
    return bytes.toHex(' ').toStdString();
  }
  bool NothingSent() { return pty.ReadUntilQuiet(100).isEmpty(); }
  // Clicks a check box or radio button on its indicator, which is where a
  // click always counts, however wide the layout made the control.
  static void Tick(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  }
  QString CellText(int row0, int col0) const {
    return form->Wall().index(row0, col0).data(Qt::AccessibleTextRole).toString();
  }

  TTempHome home;
  TPtyPair pty;
  RecordingPauser pauser;
  std::unique_ptr<TQuvialForm> form;
};

using Pauses = std::vector<int>;

TEST_F(WallCommandsGuiTest, VgaButtonCombinesTheSelectionAndSendsOneFrame) {
  Start(0);
  Select({0, 0, 1, 1});
  Tick(SourceButton(u"QN-51"_s, u"VGA"_s));
  EXPECT_EQ(Sent(1), "c8 09 01 01 02 02 20 02 f9");
  EXPECT_EQ(pauser.pauses, Pauses{50});
  for (const auto& [r, c] : {std::pair{0, 0}, {0, 1}, {1, 0}, {1, 1}})
    EXPECT_EQ(CellText(r, c), u"%1-%2 VGA"_s.arg(r + 1).arg(c + 1));
  EXPECT_EQ(CellText(2, 2), u"3-3"_s) << "outside the selection nothing changes";
  EXPECT_FALSE(form->UsbRemote());

  Tick(SourceButton(u"QN-51"_s, u"USB"_s));
  EXPECT_EQ(Sent(1), "c8 09 01 01 02 02 20 05 fc");
  EXPECT_TRUE(form->UsbRemote()) << "the timer reads the flag through the window";
}

// Counts the paint events a widget receives.
class PaintCount : public QObject {
 public:
  explicit PaintCount(QWidget* widget) { widget->installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST_F(WallCommandsGuiTest, AClickSendsItsFrameBeforeTheButtonIsRepainted) {
  Start(0);
  Select({0, 0, 1, 1});
  QRadioButton* vga = SourceButton(u"QN-51"_s, u"VGA"_s);
  ASSERT_NE(vga, nullptr);
  QApplication::processEvents();
  const PaintCount count(vga);
  int paintsAtFrame = -1;
  pauser.onPause = [&](int) { paintsAtFrame = count.paints; };
  const QPoint mark(6, vga->height() / 2);
  QTest::mousePress(vga, Qt::LeftButton, {}, mark);
  const int afterPress = count.paints;
  QTest::mouseRelease(vga, Qt::LeftButton, {}, mark);
  EXPECT_EQ(paintsAtFrame, afterPress) << "the release's repaint waits until the frame is out";
  EXPECT_EQ(Sent(1), "c8 09 01 01 02 02 20 02 f9");
  EXPECT_TRUE(ProcessEventsUntil([&] { return count.paints > paintsAtFrame; }))
      << "the checked button is still painted";
  EXPECT_TRUE(vga->isChecked());
}

TEST_F(WallCommandsGuiTest, CombinedCellsCarryTheCaptionInTheCurrentLanguage) {
  ASSERT_TRUE(home.Write(u"lang.ini"_s, ReadSourceTreeFile(u"resources/lang.ini"_s)));
  Start(0);
  form->SwitchLanguage(false);
  Select({0, 0, 0, 0});
  Tick(SourceButton(u"QN-51"_s, u"Video 1"_s));
  EXPECT_EQ(CellText(0, 0), u"1-1 Video 1"_s);
  Select({1, 1, 1, 1});
  QAction* entry = form->WallMenu()->EntryAction(u"Combine"_s, u"Video 2"_s);
  ASSERT_NE(entry, nullptr);
  entry->trigger();
  EXPECT_EQ(CellText(1, 1), u"2-2 Video 2"_s);
  EXPECT_EQ(Sent(2).size(), 2u * 27 - 1);
}

TEST_F(WallCommandsGuiTest, ContextMenuDissolveSendsOneFramePerCellInOrder) {
  Start(0);
  Select({0, 0, 1, 1});
  QWidget* viewport = form->Grid()->viewport();
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                          viewport->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(viewport, &event);
  TFamilyMenuView* menu = form->WallMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible()) << "right-click opens the family's menu";
  QAction* entry = menu->EntryAction(u"分解"_s, u"视频1"_s);
  ASSERT_NE(entry, nullptr);
  entry->trigger();
  menu->hide();

  EXPECT_EQ(Sent(4),
            "c8 09 01 01 01 01 20 00 f5 c8 09 01 02 01 02 20 00 f7 "
            "c8 09 02 01 02 01 20 00 f7 c8 09 02 02 02 02 20 00 f9");
  EXPECT_EQ(pauser.pauses, (Pauses{50, 50, 50, 50}));
  EXPECT_EQ(form->Wall().Cell(1, 1).state, 2);
}

TEST_F(WallCommandsGuiTest, DelayedPowerOnSwitchesCellByCellWithTheDelay) {
  Start(0, 2, 2);
  auto* delayed = Control<QCheckBox>(u"cbDelayPowerOn"_s);
  auto* seconds = Control<QLineEdit>(u"edtDelay"_s);
  auto* unit = Control<QLabel>(u"lblSeconds"_s);
  EXPECT_EQ(seconds->text(), u"3"_s);
  EXPECT_FALSE(unit->isEnabled());
  EXPECT_FALSE(seconds->isEnabled());
  Tick(delayed);
  ASSERT_TRUE(delayed->isChecked());
  EXPECT_TRUE(unit->isEnabled());
  EXPECT_TRUE(seconds->isEnabled());

  Select({0, 0, 1, 1});
  QTest::mouseClick(Control<QPushButton>(u"btnPowerOn"_s), Qt::LeftButton);
  EXPECT_EQ(Sent(4),
            "c8 09 01 01 01 01 10 01 e6 c8 09 01 02 01 02 10 01 e8 "
            "c8 09 02 01 02 01 10 01 e8 c8 09 02 02 02 02 10 01 ea");
  EXPECT_EQ(pauser.pauses, (Pauses{50, 3000, 50, 3000, 50, 3000, 50, 3000}));

  Tick(delayed);
  EXPECT_FALSE(seconds->isEnabled());
  QTest::mouseClick(Control<QPushButton>(u"btnPowerOff"_s), Qt::LeftButton);
  EXPECT_EQ(Sent(1), "c8 09 01 01 02 02 10 00 e7");
}

TEST_F(WallCommandsGuiTest, BadDelayIsShownAndNothingIsSwitched) {
  Start(0, 2, 2);
  Select({0, 0, 1, 1});
  Tick(Control<QCheckBox>(u"cbDelayPowerOn"_s));
  Control<QLineEdit>(u"edtDelay"_s)->setText(u"3s"_s);
  QString shown;
  AnswerNextBox(&shown);
  QTest::mouseClick(Control<QPushButton>(u"btnPowerOn"_s), Qt::LeftButton);
  EXPECT_EQ(shown, u"'3s' is not a valid integer value"_s);
  EXPECT_TRUE(NothingSent());
  EXPECT_TRUE(pauser.pauses.empty());
  EXPECT_FALSE(form->ActionRunning()) << "the failed action is over";

  // The window carries on normally afterwards.
  Tick(Control<QCheckBox>(u"cbDelayPowerOn"_s));
  QTest::mouseClick(Control<QPushButton>(u"btnPowerOn"_s), Qt::LeftButton);
  EXPECT_EQ(Sent(1), "c8 09 01 01 02 02 10 01 e8");
}

TEST_F(WallCommandsGuiTest, ReshowSendsTheHorizontalRateBeforeRefusingTheVertical) {
  Start(0);
  Select({0, 0, 1, 1});
  auto* tick = Control<QCheckBox>(u"cbReshow"_s);
  auto* ok = Control<QPushButton>(u"btnReshowOK"_s);
  auto* h = Control<QLineEdit>(u"edtReshowH"_s);
  auto* v = Control<QLineEdit>(u"edtReshowV"_s);
  EXPECT_FALSE(ok->isEnabled());
  EXPECT_FALSE(h->isEnabled());
  EXPECT_EQ(Control<QLabel>(u"lblReshowH"_s)->text(), u"水平  "_s);
  EXPECT_EQ(Control<QLabel>(u"lblReshowV"_s)->text(), u"垂直  "_s);

  Tick(tick);
  ASSERT_TRUE(ok->isEnabled());
  EXPECT_TRUE(v->isEnabled());
  h->setText(u"300"_s);
  v->setText(u"abc"_s);
  QString shown;
  AnswerNextBox(&shown);
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(shown, u"请输入垂直数字"_s);
  EXPECT_EQ(Sent(1), "c8 09 01 01 02 02 5a 2c 5d") << "300 goes out as its low byte";
  EXPECT_TRUE(form->WallCommands().RateSet());

  // Unticking takes the rate back: both directions 0.
  Tick(tick);
  EXPECT_FALSE(ok->isEnabled());
  EXPECT_EQ(Sent(2), "c8 09 01 01 02 02 5a 00 31 c8 09 01 01 02 02 5b 00 32");
  Tick(tick);
  Tick(tick);
  EXPECT_TRUE(NothingSent()) << "a second untick has no rate to clear";
}

TEST_F(WallCommandsGuiTest, PublicChannelGroupBroadcastsWhateverIsSelected) {
  Start(3);
  auto* box = Control<QCheckBox>(u"cbPublicChannel"_s);
  auto* group = Control<QGroupBox>(u"gbPublicChannel"_s);
  ASSERT_TRUE(box->isVisible());
  EXPECT_FALSE(group->isVisible());
  Tick(box);
  ASSERT_TRUE(group->isVisible());

  Select({2, 3, 2, 3});
  QRadioButton* usb = nullptr;
  for (QRadioButton* b : group->findChildren<QRadioButton*>())
    if (b->text() == u"USB"_s) usb = b;
  ASSERT_NE(usb, nullptr);
  Tick(usb);
  EXPECT_EQ(Sent(1), "c8 09 ff ff ff ff 20 05 f2");
  EXPECT_TRUE(form->UsbRemote());
  EXPECT_EQ(CellText(3, 2), u"4-3"_s) << "the broadcast group leaves the grid alone";

  Tick(box);
  EXPECT_FALSE(group->isVisible());
  // Unticked, a still picture reaches the selection again, not every screen.
  QTest::mouseClick(Control<QToolButton>(u"btnStillPicture"_s), Qt::LeftButton);
  EXPECT_EQ(Sent(1).substr(0, 17), "c8 09 04 03 04 03");
}

TEST_F(WallCommandsGuiTest, QNT1PanelReplacesTheGridAndSendsToTheUnit) {
  Start(10);
  TQNT1Form* panel = form->QNT1Panel();
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_TRUE(form->Grid()->isHidden());
  EXPECT_EQ(form->WallMenu(), nullptr) << "its menu is empty";
  EXPECT_EQ(Control<QGroupBox>(u"gbInput"_s)->title(), u"输入通道"_s);
  EXPECT_EQ(Control<QGroupBox>(u"gbRotate"_s)->title(), u"旋转输出"_s);
  TRotarySwitch* rotary = panel->RotarySwitch();
  EXPECT_EQ(rotary->Positions(), (QStringList{u"0°"_s, u"90°"_s}));

  QTest::mouseClick(panel->InputButton(4), Qt::LeftButton);
  EXPECT_EQ(Sent(1), "c8 09 1d 01 1d 01 20 03 30");
  EXPECT_EQ(form->Wall().Cell(0, 0).state, 0);

  QTest::mouseClick(rotary, Qt::LeftButton, {}, rotary->PositionPoint(1));
  EXPECT_EQ(Sent(1), "c8 09 1d 01 1d 01 80 01 8e");
  // The rotation waits the matrix delay (ticked, 50 ms, by default) before it
  // goes out, and has no pause of its own after it.
  EXPECT_EQ(pauser.pauses, (Pauses{50, 50}));
}

TEST_F(WallCommandsGuiTest, StillPictureShowsThePressThenSends) {
  Start(0);
  Select({0, 0, 1, 1});
  QTest::mouseClick(Control<QToolButton>(u"btnStillPicture"_s), Qt::LeftButton);
  EXPECT_EQ(Sent(1), "c8 09 01 01 02 02 73 01 4b");
  EXPECT_EQ(pauser.pauses, (Pauses{100, 50}));
}

TEST_F(WallCommandsGuiTest, SourcePagesFollowTheFamily) {
  Start(8);
  QWidget* page = Control<QWidget>(u"QN-23"_s);
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(page->isVisible());
  // The switcher sources stand in for the page's own source group.
  for (QGroupBox* g : page->findChildren<QGroupBox*>())
    EXPECT_EQ(g->isVisible(), g->objectName() == u"gbSwitcherSources"_s);
  ASSERT_NE(form->WallMenu(), nullptr);
  EXPECT_NE(form->WallMenu()->EntryAction({}, u"拼接"_s), nullptr);
}

// Long actions: the progress indicator, and work that arrives meanwhile.
class WallActionTest : public WallCommandsGuiTest {
 protected:
  void StartDissolve() {
    QAction* entry = form->WallMenu()->EntryAction(u"分解"_s, u"视频1"_s);
    ASSERT_NE(entry, nullptr);
    entry->trigger();
  }
};

TEST_F(WallActionTest, ProgressShowsDuringALongDissolveAndGoesAtTheEnd) {
  Start(0, 3, 3);
  Select({0, 0, 2, 2});
  form->SetProgressDelay(0);
  QProgressBar* bar = form->ActionProgress();
  std::vector<int> seen;
  pauser.onPause = [&](int) {
    EXPECT_TRUE(form->ActionRunning());
    seen.push_back(bar->isVisible() ? bar->value() : -1);
  };
  const PaintCount barPaints(bar);
  StartDissolve();
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(barPaints.paints, 0)
      << "the bar is painted by the pauses' event loop, not between frames";
  EXPECT_EQ(bar->maximum(), 9);
  EXPECT_FALSE(bar->isVisible());
  EXPECT_FALSE(form->ActionRunning());
  Sent(9);
}

TEST_F(WallActionTest, QuickActionsNeverShowProgress) {
  Start(0, 3, 3);
  Select({0, 0, 2, 2});
  bool shown = false;
  pauser.onPause = [&](int) { shown = shown || form->ActionProgress()->isVisible(); };
  StartDissolve();  // no real time passes with the recording pauser
  EXPECT_FALSE(shown);
  Sent(9);
}

TEST_F(WallActionTest, WorkArrivingDuringAnActionRunsAfterIt) {
  Start(0, 2, 2);
  Select({0, 0, 1, 1});
  std::vector<std::string> log;
  pauser.onPause = [&](int) {
    log.push_back("pause");
    if (log.size() == 1)
      form->RunWhenIdle([&] {
        log.push_back(form->ActionRunning() ? "deferred, as an action" : "deferred, unguarded");
      });
  };
  StartDissolve();
  EXPECT_EQ(log, (std::vector<std::string>{"pause", "pause", "pause", "pause",
                                           "deferred, as an action"}));
  EXPECT_FALSE(form->ActionRunning());

  bool ranAtOnce = false;
  form->RunWhenIdle([&] { ranAtOnce = true; });
  EXPECT_TRUE(ranAtOnce) << "an idle window runs the work straight away";
  Sent(4);
}

}  // namespace
