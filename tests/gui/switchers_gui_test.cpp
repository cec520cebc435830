// The mixer panel, the switcher group, the QN-23 page's switcher sources and
// the USB channel remote, driven through the real controls; the frames are
// read at the far end of a pty that the window uses as its splicer port.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

#include "app/quvial_form.h"
#include "linkage/mixer_tr38_form.h"
#include "linkage/usb_channel_form.h"
#include "support/message_boxes.h"
#include "support/pty_pair.h"
#include "support/source_tree.h"
#include "support/temp_home.h"
#include "wall/wall_grid_view.h"

using namespace Qt::StringLiterals;

namespace {

class SwitchersGuiTest : public testing::Test {
 public:  // the case tables act through the fixture
  // The window of a family over a 4 x 4 wall, its splicer port on the pty,
  // long frames; extra lines go into the configuration's "COM" section.
  void Start(quint8 family, const QString& extra = {}) {
    ASSERT_TRUE(pty.IsValid());
    ASSERT_TRUE(QDir().mkpath(home.File(u"ports"_s)));
    ASSERT_TRUE(QFile::link(pty.SlavePath(), home.File(u"ports/COM3"_s)));
    // The splicer port is in use unless the extra lines say otherwise.
    const QString port =
        extra.contains(u"CombineCOMPortChecked"_s) ? QString() : u"CombineCOMPortChecked=1\r\n"_s;
    ASSERT_TRUE(home.Write(
        u"Quvial.ini"_s,
        (u"[COM]\r\nCOMPort=COM3\r\nCmdLen=1\r\nrow=4\r\ncol=4\r\n"_s + port + extra).toLatin1()));
    TDeviceChoice choice;
    choice.family = family;
    choice.deviceName = u"device"_s;
    choice.portListHidden = true;
    form = std::make_unique<TQuvialForm>(choice, pauser);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  template <typename T>
  T* Control(const QString& name) {
    T* c = form->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name.toStdString();
    return c;
  }
  // The frames that reached the far end, as hex, and nothing after them.
  std::vector<std::string> Sent(int frames) {
    std::vector<std::string> hex;
    for (int i = 0; i < frames; ++i) hex.push_back(pty.Read(9).toHex(' ').toStdString());
    EXPECT_TRUE(pty.ReadUntilQuiet(50).isEmpty()) << "more bytes than expected";
    return hex;
  }
  static void Click(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    if (button->isVisible())
      QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    else
      button->click();  // a control that is built but hidden as designed
  }
  // The switcher box ticked; the address list at entry `address`.
  void TickSwitcher(int address) {
    Click(Control<QCheckBox>(u"cbMixerSwitch"_s));
    ASSERT_TRUE(Control<QComboBox>(u"cbbSwitcherChannel"_s)->isEnabled());
    Control<QComboBox>(u"cbbSwitcherAddress"_s)->setCurrentIndex(address);
  }
  // The operator steps the channel list down onto `index` from the one above it.
  void ChooseChannel(int index) {
    auto* channel = Control<QComboBox>(u"cbbSwitcherChannel"_s);
    channel->setCurrentIndex(index - 1);
    channel->setFocus();
    QTest::keyClick(channel, Qt::Key_Down);
    ASSERT_EQ(channel->currentIndex(), index);
  }
  QRadioButton* WallSource(const QString& name) {
    form->Grid()->SelectRect({0, 0, 0, 0});
    return Control<QRadioButton>(name);
  }

  TTempHome home;
  TPtyPair pty;
  RecordingPauser pauser;
  std::unique_ptr<TQuvialForm> form;
};

TEST_F(SwitchersGuiTest, MixerFamilyShowsItsPanelAndEachButtonSendsItsFrame) {
  Start(7);
  TMixerTR38Form* panel = form->MixerPanel();
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_FALSE(form->Grid()->isVisible());
  for (const char16_t* hidden : {u"gbArray", u"cbMixerSwitch", u"cbbSwitcherChannel", u"gbReshow"})
    EXPECT_TRUE(Control<QWidget>(QString::fromUtf16(hidden))->isHidden());

  struct Case {
    const char* before;  // the output kind chosen first, if any
    const char* button;
    const char* frame;
  };
  // clang-format off
  const Case cases[] = {
      {nullptr, "rbVideo1", "c8 09 1e 1e 1e 1e 20 00 69"},
      {nullptr, "rbVideo2", "c8 09 1e 1e 1e 1e 20 01 6a"},
      {nullptr, "rbVideo3", "c8 09 1e 1e 1e 1e 20 09 72"},
      {nullptr, "rbYUV", "c8 09 1e 1e 1e 1e 20 08 71"},
      {nullptr, "rbVGA", "c8 09 1e 1e 1e 1e 20 02 6b"},
      {nullptr, "rbDVI", "c8 09 1e 1e 1e 1e 20 04 6d"},
      {nullptr, "rbUSB1", "c8 09 1e 1e 1e 1e 20 05 6e"},
      {nullptr, "rbUSB2", "c8 09 1e 1e 1e 1e 20 0a 73"},
      {nullptr, "rbDVI1024", "c8 09 1e 1e 1e 1e 78 00 c1"},
      {"rbOutputVGA", "rbVGA1024", "c8 09 1e 1e 1e 1e 78 02 c3"},
      {nullptr, "rbVGA1600", "c8 09 1e 1e 1e 1e 78 03 c4"},
      {"rbOutputDVI", "rbDVIPair1920", "c8 09 1e 1e 1e 1e 78 01 c2"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    if (c.before) Click(panel->findChild<QRadioButton*>(QString::fromLatin1(c.before)));
    Click(panel->findChild<QRadioButton*>(QString::fromLatin1(c.button)));
    EXPECT_EQ(Sent(1), std::vector<std::string>{c.frame});
  }
  EXPECT_FALSE(panel->findChild<QRadioButton*>(u"rbVGA1600"_s)->isEnabled())
      << "DVI chosen: the VGA pair closes";

  // Its captions follow the language from the first switch on.
  auto* inputs = panel->findChild<QGroupBox*>(u"gbInputChannel"_s);
  ASSERT_TRUE(home.Write(u"lang.ini"_s, ReadSourceTreeFile(u"resources/lang.ini"_s)));
  EXPECT_EQ(inputs->title(), u"输入通道"_s);
  form->SwitchLanguage(false);
  EXPECT_EQ(inputs->title(), u"Input Channel"_s);
}

TEST_F(SwitchersGuiTest, SwitcherGroupReachesTheLine) {
  struct Case {
    const char* name;
    quint8 family;
    int mixerIndex;      // 0 PL-39, 1 QN-23, 2 QN-T1
    int address;         // -1: the switcher box stays clear
    int channel;         // -1: no channel chosen
    const char* source;  // a source radio clicked with cell 1-1 selected, if any
    std::vector<std::string> frames;
    bool usbRemote;
  };
  // clang-format off
  const Case cases[] = {
      {"QN-23, unit 5, SD Card", 8, 1, 5, 6, nullptr, {"c8 09 1e 05 1e 05 20 0a 41"}, true},
      {"QN-T1, unit 1, DVI", 10, 2, 1, 3, nullptr, {"c8 09 1d 01 1d 01 20 03 30"}, false},
      {"PL-39 follows DVI", 0, 0, 1, -1, "rbQN51DVI",
       {"c8 09 01 01 01 01 20 03 f8", "c8 09 1e 1e 1e 1e 20 00 69"}, false},
      {"QN-23 follows HDMI", 0, 1, 1, -1, "rbQN51HDMI",
       {"c8 09 01 01 01 01 20 04 f9", "c8 09 1e 01 1e 01 20 00 2f"}, false},
      {"QN-T1 does not follow DVI", 0, 2, 1, -1, "rbQN51DVI",
       {"c8 09 01 01 01 01 20 03 f8"}, false},
      {"QN-23 page, SD Card to the selection", 8, 1, -1, -1, "rbQN23SDCard",
       {"c8 09 01 01 01 01 20 0a ff"}, true},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start(c.family, u"mixerindex=%1\r\n"_s.arg(c.mixerIndex));
    if (c.address >= 0) TickSwitcher(c.address);
    if (c.channel >= 0) ChooseChannel(c.channel);
    if (c.source) Click(WallSource(QString::fromLatin1(c.source)));
    EXPECT_EQ(Sent(static_cast<int>(c.frames.size())), c.frames);
    EXPECT_EQ(form->UsbRemote(), c.usbRemote);
    form.reset();
    QFile::remove(home.File(u"ports/COM3"_s));
  }
}

TEST_F(SwitchersGuiTest, SwitcherBoxIsRefusedWithoutTheSplicerPort) {
  Start(0, u"CombineCOMPortChecked=0\r\n"_s);
  QString text;
  AnswerNextBox(&text);
  Click(Control<QCheckBox>(u"cbMixerSwitch"_s));
  EXPECT_EQ(text, u"请先选择拼接串口"_s);
  EXPECT_FALSE(Control<QCheckBox>(u"cbMixerSwitch"_s)->isChecked());
  EXPECT_FALSE(Control<QComboBox>(u"cbbSwitcherAddress"_s)->isEnabled());
}

TEST_F(SwitchersGuiTest, ConfirmingAnotherModelReappliesTheGroup) {
  Start(0, u"mixerindex=0\r\n"_s);
  TickSwitcher(3);
  form->findChild<QAction*>(u"menuItemMatrixSetup"_s)->trigger();
  Control<QComboBox>(u"cbbMixerSwitcher"_s)->setCurrentIndex(1);
  Click(Control<QPushButton>(u"btnok"_s));
  EXPECT_EQ(Control<QLabel>(u"lblSwitcherName"_s)->text(), u"QN-23"_s);
  auto* address = Control<QComboBox>(u"cbbSwitcherAddress"_s);
  EXPECT_EQ(address->count(), 21);
  EXPECT_EQ(address->currentText(), u"1"_s);
  EXPECT_EQ(Control<QComboBox>(u"cbbSwitcherChannel"_s)->itemText(6), u"SD Card"_s);
}

TEST_F(SwitchersGuiTest, UsbRemoteOpensFromTheToolbarAndSendsItsKeys) {
  Start(1, u"mixerindex=0\r\n"_s);
  auto* usb = Control<QToolButton>(u"btnUSBChannel"_s);
  TUSBChannelForm* remote = form->UsbChannelForm();
  form->UiTimerTick();
  Click(usb);
  EXPECT_FALSE(remote->isVisible()) << "no USB source yet";

  Click(WallSource(u"rbQN4645G2USB"_s));
  EXPECT_EQ(Sent(1), std::vector<std::string>{"c8 09 01 01 01 01 20 05 fa"});
  form->UiTimerTick();
  pauser.pauses.clear();
  Click(usb);
  EXPECT_EQ(pauser.pauses, std::vector<int>{100}) << "the press shows for 100 ms";
  ASSERT_TRUE(remote->isVisible());
  EXPECT_FALSE(remote->Key(0x0B)->isVisible()) << "family 1 has no volume";
  // The arrow keys walk the cross: from up down to OK, then right.
  remote->Key(0x00)->setFocus();
  QTest::keyClick(remote->Key(0x00), Qt::Key_Down);
  EXPECT_EQ(remote->focusWidget(), remote->Key(0x0A));
  QTest::keyClick(remote->Key(0x0A), Qt::Key_Right);
  EXPECT_EQ(remote->focusWidget(), remote->Key(0x03));
  Click(remote->Key(0x04));
  EXPECT_EQ(Sent(1), std::vector<std::string>{"c8 09 01 01 01 01 72 04 4b"});

  // With the PL-39 switcher in use the keys go to it, volume included.
  remote->hide();
  TickSwitcher(1);
  ChooseChannel(6);  // "USB1"
  EXPECT_EQ(Sent(1), std::vector<std::string>{"c8 09 1e 1e 1e 1e 20 05 6e"});
  Click(usb);
  ASSERT_TRUE(remote->isVisible());
  EXPECT_TRUE(remote->Key(0x0B)->isVisible());
  Click(remote->Key(0x04));
  EXPECT_EQ(Sent(1), std::vector<std::string>{"c8 09 1e 1e 1e 1e 72 04 bf"});
}

}  // namespace
