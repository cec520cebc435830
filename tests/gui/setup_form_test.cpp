// The system setup dialog through its real controls: opened from the main
// window's toolbar, its frames read at the far end of a pty that the window
// uses as its splicer port; and its enabling by level, family and selection.

#include "setup/setup_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>
#include <utility>

#include "app/quvial_form.h"
#include "app/user_manager_form.h"
#include "link/cell_address.h"
#include "link/protocol.h"
#include "setup/timer_frame.h"
#include "support/pty_pair.h"
#include "support/source_tree.h"
#include "support/temp_home.h"
#include "wall/wall_grid_view.h"
#include "widgets/knob.h"
#include "widgets/rotary_switch.h"
#include "widgets/thermometer.h"
#include "widgets/two_state_switch.h"

using namespace Qt::StringLiterals;

namespace {

// Class and code of a catalogue command, by its name.
std::pair<quint8, quint8> Catalogue(const char* name) {
  for (const TProtocol::Command& c : TProtocol::FixedCommands())
    if (qstrcmp(c.name, name) == 0) return {c.cls, c.code};
  ADD_FAILURE() << "no command " << name;
  return {0, 0};
}

std::string Hex(const quint8* bytes, int count) {
  return QByteArray(reinterpret_cast<const char*>(bytes), count).toHex(' ').toStdString();
}

class SetupFormTest : public testing::Test {
 protected:
  // The QN-51 window over a 4 x 4 wall, its splicer on the pty in long
  // frames, at super-manager level; the dialog opened by its toolbar button.
  void Start() {
    ASSERT_TRUE(pty.IsValid());
    ASSERT_TRUE(QDir().mkpath(home.File(u"ports"_s)));
    ASSERT_TRUE(QFile::link(pty.SlavePath(), home.File(u"ports/COM3"_s)));
    ASSERT_TRUE(home.Write(u"Quvial.ini"_s,
                           "[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM3\r\nCmdLen=1\r\n"
                           "row=4\r\ncol=4\r\n"));
    TDeviceChoice choice;
    choice.deviceName = u"device"_s;
    choice.portListHidden = true;
    form = std::make_unique<TQuvialForm>(choice, pauser);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    ASSERT_TRUE(form->Ports().Port(TPortId::Combine).IsOpen());
    LogInSuper();
    if (HasFatalFailure()) return;
    form->UiTimerTick();  // the level opens the setup button
    auto* button = form->findChild<QToolButton*>(u"btnSystemSetup"_s);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    dialog = form->SetupForm();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
  }
  // "超级管理员" with the shipped password, through the user manager. Every
  // message box is answered from here on, its text kept in boxes.
  void LogInSuper() {
    auto* users = form->findChild<TUserManagerForm*>();
    ASSERT_NE(users, nullptr);
    QObject::connect(&driver, &QTimer::timeout, [this, users, typed = false]() mutable {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        boxes << box->text();
        box->accept();
      } else if (modal == users && !std::exchange(typed, true)) {
        users->findChild<QLineEdit*>(u"edtSuperPasswd"_s)->setText(u"304718"_s);
        // Queued: the answer box it opens needs this timer free to answer it.
        QMetaObject::invokeMethod(users->findChild<QPushButton*>(u"btnSuperUserLogin"_s),
                                  &QPushButton::click, Qt::QueuedConnection);
      } else if (modal == users) {
        users->reject();  // a refused password leaves it open
      }
    });
    driver.start(5);
    form->findChild<QAction*>(u"menuItemSuperManager"_s)->trigger();
    ASSERT_EQ(form->AccessLevel(), 3);
    boxes.clear();
  }
  template <typename T = QWidget>
  T* Control(const QString& name) {
    T* c = dialog->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name.toStdString();
    return c;
  }
  // Brings the control's tab to the front, as the operator would.
  void Reveal(QWidget* control) {
    for (int tab = 0; tab < TSetupForm::TabCount; ++tab)
      if (dialog->Page(TSetupForm::TTab(tab))->isAncestorOf(control))
        dialog->Tabs()->setCurrentIndex(tab);
    QApplication::processEvents();
  }
  void Click(const QString& name) {
    QWidget* w = Control(name);
    ASSERT_NE(w, nullptr);
    Reveal(w);
    ASSERT_TRUE(w->isEnabled()) << name.toStdString();
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
  }
  void Turn(const QString& name, int position) {
    auto* rotary = Control<TRotarySwitch>(name);
    ASSERT_NE(rotary, nullptr);
    Reveal(rotary);
    QTest::mouseClick(rotary, Qt::LeftButton, {}, rotary->PositionPoint(position));
    ASSERT_EQ(rotary->Index(), position);
  }
  // Class and code of the next long frame at the far end.
  std::pair<quint8, quint8> ClassAndCode() {
    const QByteArray frame = pty.Read(9).leftJustified(9, '\0');
    return {quint8(frame[6]), quint8(frame[7])};
  }
  std::string Sent(int bytes) {
    const QByteArray got = pty.Read(bytes);
    EXPECT_TRUE(pty.ReadUntilQuiet(50).isEmpty()) << "more bytes than expected";
    return got.toHex(' ').toStdString();
  }
  bool NothingSent() { return pty.ReadUntilQuiet(100).isEmpty(); }

  TTempHome home;
  TPtyPair pty;
  RecordingPauser pauser;
  std::unique_ptr<TQuvialForm> form;
  TSetupForm* dialog = nullptr;
  QTimer driver;
  QStringList boxes;
};

// Every picture command of the catalogue has its button, named after it,
// and the button sends exactly that command to the selection.
TEST_F(SetupFormTest, EveryPictureButtonSendsItsCatalogueCommand) {
  ASSERT_NO_FATAL_FAILURE(Start());
  form->Grid()->SelectRect({1, 0, 2, 1});
  const QByteArray address("\x01\x02\x02\x03", 4);  // rows 1..2, columns 2..3
  int buttons = 0;
  for (const TProtocol::Command& c : TProtocol::FixedCommands()) {
    const QString name = QString::fromLatin1(c.name);
    if (!name.startsWith(u"Video"_s) && !name.startsWith(u"Vga"_s)) continue;
    SCOPED_TRACE(c.name);
    Click(u"btn"_s + name);
    const QByteArray frame = pty.Read(9);
    ASSERT_EQ(frame.size(), 9);
    EXPECT_EQ(frame.mid(2, 4), address);
    EXPECT_EQ(quint8(frame[6]), c.cls);
    EXPECT_EQ(quint8(frame[7]), c.code);
    ++buttons;
  }
  EXPECT_EQ(buttons, 12 * 2 + 16 * 2 + 2);
  EXPECT_TRUE(NothingSent());
}

// The other commands of the tabs, each by its real control.
TEST_F(SetupFormTest, MaintenanceAndFanControlsSendTheirCommands) {
  ASSERT_NO_FATAL_FAILURE(Start());
  form->Grid()->SelectRect({0, 0, 0, 0});
  struct Step {
    std::function<void()> act;
    const char* command;
  };
  const Step steps[] = {
      {[&] { Turn(u"rsNoiseReduction"_s, 2); }, "NoiseReductionMedium"},
      {[&] { Turn(u"rsNoiseReduction"_s, 0); }, "NoiseReductionOff"},
      {[&] { Turn(u"rsDisplayScale"_s, 1); }, "DisplayScale16x9"},
      {[&] { Click(u"btnSystemReset"_s); }, "SystemReset"},
      {[&] { Click(u"btnShowVersion"_s); }, "ShowVersion"},
      {[&] { Turn(u"rsBitDepth"_s, 2); }, "BitDepth10"},
      {[&] { Turn(u"rsBitDepth"_s, 0); }, "BitDepth6"},
      {[&] { Turn(u"rsBackground"_s, 1); }, "BlackBackground"},
      {[&] { Click(u"btnBacklightDown"_s); }, "BacklightDown"},
      {[&] { Click(u"btnBacklightUp"_s); }, "BacklightUp"},
      {[&] { Click(u"swTiModem"_s); }, "TiModemOn"},
      {[&] { Click(u"swTiModem"_s); }, "TiModemOff"},
      {[&] { Click(u"swPnSwap"_s); }, "PnSwapOn"},
      {[&] { Click(u"swSwap"_s); }, "SwapOn"},
      {[&] { Click(u"swAgingMode"_s); }, "AgingModeOn"},
      {[&] { Click(u"swFlip180"_s); }, "Flip180On"},
      {[&] { Click(u"swFlip180"_s); }, "Flip180Off"},
      {[&] { Click(u"swBootLogo"_s); }, "BootLogoOn"},
      {[&] { Click(u"btnUsbUpgrade"_s); }, "UsbUpgrade"},
      {[&] { Click(u"btnUsbLogo"_s); }, "UsbLogo"},
      {[&] { Turn(u"rsFanState"_s, 1); }, "FanAlwaysOn"},
      {[&] { Turn(u"rsFanState"_s, 2); }, "FanAlwaysOff"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.command);
    s.act();
    EXPECT_EQ(ClassAndCode(), Catalogue(s.command));
  }
  EXPECT_FALSE(Control(u"kbFanTemp"_s)->isEnabled()) << "a fixed fan state locks the knob";
  Turn(u"rsFanState"_s, 0);  // "自动" sends nothing and frees the knob
  EXPECT_TRUE(Control(u"kbFanTemp"_s)->isEnabled());
  EXPECT_TRUE(NothingSent());
}

TEST_F(SetupFormTest, FanKnobTurnedByKeyboardSendsTheTemperatureOnRelease) {
  ASSERT_NO_FATAL_FAILURE(Start());
  form->Grid()->SelectRect({0, 0, 0, 0});
  auto* knob = Control<TKnob>(u"kbFanTemp"_s);
  ASSERT_NE(knob, nullptr);
  Reveal(knob);
  knob->setFocus();
  for (int i = 0; i < 5; ++i) QTest::keyPress(knob, Qt::Key_Up);
  EXPECT_TRUE(NothingSent()) << "nothing while it turns";
  QTest::keyRelease(knob, Qt::Key_Up);
  TProtocol expected;
  expected.SetAddress(CellAddress(1, 1), CellAddress(1, 1));
  quint8 frame[9];
  expected.FanTemperature(35, frame);
  EXPECT_EQ(Sent(9), Hex(frame, 9));
  EXPECT_EQ(Control<QLabel>(u"lblFanTemp"_s)->text(), u"风扇35度时打开"_s);
  EXPECT_EQ(Control<TThermometer>(u"thFanTemp"_s)->Value(), 35);
  // A position between two degrees counts as the lower one.
  for (const auto& [position, label] : {std::pair{35.7, u"风扇35度时打开"_s},
                                        {39.99, u"风扇39度时打开"_s},
                                        {40.0, u"风扇40度时打开"_s}}) {
    knob->SetValue(position);
    EXPECT_EQ(Control<QLabel>(u"lblFanTemp"_s)->text(), label) << position;
  }
}

TEST_F(SetupFormTest, NothingIsSentWithoutASelectionExceptReadId) {
  ASSERT_NO_FATAL_FAILURE(Start());
  // The grid puts a cell back whenever its selection empties; with its
  // signals held the selection stays empty, as a window without any wall.
  QItemSelectionModel* selection = form->Grid()->selectionModel();
  const QSignalBlocker hold(selection);
  selection->clearSelection();
  ASSERT_TRUE(form->Grid()->Selection().Empty());
  Click(u"btnVideoSaturationDown"_s);
  Click(u"swTiModem"_s);
  Turn(u"rsFanState"_s, 1);
  Control<QLineEdit>(u"edtBacklight"_s)->setText(u"100"_s);
  Click(u"btnBacklightOK"_s);
  EXPECT_TRUE(NothingSent());
  Click(u"btnReadID"_s);  // to row 0, column 0 whatever is selected
  TProtocol expected;
  quint8 frame[9];
  expected.RequestFactoryNumber(frame);
  EXPECT_EQ(Sent(9), Hex(frame, 9));
}

// The frames the dialog builds itself, through its controls: the ID frame in
// both frame modes and the timer frame.
class SetupFormBuiltFrameTest;
struct BuiltFrameCase {
  const char* name;
  int frameMode;  // 1 long, 0 short
  std::function<void(SetupFormBuiltFrameTest&)> act;
  const char* hex;
};

class SetupFormBuiltFrameTest : public SetupFormTest,
                                public testing::WithParamInterface<BuiltFrameCase> {
 public:
  void SetCellId() {
    Control<QComboBox>(u"cbbRow"_s)->setCurrentIndex(1);
    Control<QComboBox>(u"cbbCol"_s)->setCurrentIndex(2);
    QWidget* box = Control(u"edtMachineNo"_s);
    Reveal(box);
    QTest::keyClicks(box, u"513"_s);
    Click(u"btnIDOK"_s);
  }
  void Timer(const QString& button) {
    form->SendPath().clock = [] { return QDateTime(QDate(2026, 12, 8), QTime(1, 30)); };
    const std::pair<const char16_t*, QTime> times[] = {{u"tmWeekdayOn", QTime(8, 0)},
                                                       {u"tmWeekdayOff", QTime(18, 0)},
                                                       {u"tmWeekendOn", QTime(9, 0)},
                                                       {u"tmWeekendOff", QTime(17, 0)}};
    for (const auto& [name, time] : times)
      Control<QTimeEdit>(QString::fromUtf16(name))->setTime(time);
    Click(button);
  }
};

const BuiltFrameCase kBuiltFrames[] = {
    {"CellIdLong", 1, [](SetupFormBuiltFrameTest& t) { t.SetCellId(); },
     "c8 09 02 03 02 01 66 01 40"},
    {"CellIdShort", 0, [](SetupFormBuiltFrameTest& t) { t.SetCellId(); }, "c8 07 02 01 66 23 5b"},
    {"TimerSet", 1, [](SetupFormBuiltFrameTest& t) { t.Timer(u"btnTimerSet"_s); },
     "24 25 18 01 1a 0c 08 01 1e 01 08 00 01 12 00 00 02 09 00 01 11 00 00 e8"},
    {"TimerCancel", 1, [](SetupFormBuiltFrameTest& t) { t.Timer(u"btnTimerCancel"_s); },
     "24 25 18 00 1a 0c 08 01 1e 01 08 00 01 12 00 00 02 09 00 01 11 00 00 e7"},
};

TEST_P(SetupFormBuiltFrameTest, BytesAtTheSplicerLine) {
  const BuiltFrameCase& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(Start());
  form->Protocol().SetFrameMode(c.frameMode);
  c.act(*this);
  const std::string hex = c.hex;
  EXPECT_EQ(Sent(static_cast<int>(hex.size() + 1) / 3), hex);
}

INSTANTIATE_TEST_SUITE_P(Golden, SetupFormBuiltFrameTest, testing::ValuesIn(kBuiltFrames),
                         [](const auto& p) { return std::string(p.param.name); });

// Numbers that do not fit their byte or word are refused, never cut.
TEST_F(SetupFormTest, BadBacklightAndMachineNumbersAreRefusedAndSendNothing) {
  ASSERT_NO_FATAL_FAILURE(Start());
  form->Grid()->SelectRect({0, 0, 0, 0});
  for (const QString& text : {u"256"_s, u"-1"_s, u"abc"_s, u"12.5"_s, u""_s}) {
    Control<QLineEdit>(u"edtBacklight"_s)->setText(text);
    Click(u"btnBacklightOK"_s);
  }
  for (const QString& text : {u"65536"_s, u"-5"_s, u"x1"_s}) {
    Control<QLineEdit>(u"edtMachineNo"_s)->setText(text);
    Click(u"btnIDOK"_s);
  }
  EXPECT_TRUE(NothingSent());
  ASSERT_EQ(boxes.size(), 8);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(boxes[i].startsWith(u"错误的背光亮度值"_s));
  for (int i = 5; i < 8; ++i) EXPECT_EQ(boxes[i], u"错误的机器号"_s);
  Control<QLineEdit>(u"edtBacklight"_s)->setText(u"255"_s);
  Click(u"btnBacklightOK"_s);
  TProtocol expected;
  expected.SetAddress(CellAddress(1, 1), CellAddress(1, 1));
  quint8 frame[9];
  expected.SetBacklight(255, frame);
  EXPECT_EQ(Sent(9), Hex(frame, 9));
}

// With the shipped table every control of the dialog's own tabs names itself
// from its caption in both languages and follows a switch at once; the seven
// tabs stand in order, and the dialog closes on Esc.
TEST_F(SetupFormTest, EveryControlIsCaptionedInBothLanguages) {
  ASSERT_TRUE(home.Write(u"lang.ini"_s, ReadSourceTreeFile(u"resources/lang.ini"_s)));
  ASSERT_NO_FATAL_FAILURE(Start());
  const QRegularExpression ideograph(u"[\\x{4e00}-\\x{9fff}]"_s);
  for (const bool english : {true, false}) {
    form->findChild<QAction*>(english ? u"menuItemEnglish"_s : u"menuItemChinese"_s)->trigger();
    SCOPED_TRACE(english ? "English" : "Chinese");
    int named = 0;
    for (const TSetupForm::TTab tab : {TSetupForm::Video, TSetupForm::Vga, TSetupForm::System,
                                       TSetupForm::Fan, TSetupForm::Timer}) {
      EXPECT_EQ(dialog->Tabs()->tabText(tab).contains(ideograph), !english);
      for (QWidget* w : dialog->Page(tab)->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->parentWidget()->inherits("QAbstractSpinBox") ||
            w->parentWidget()->inherits("QComboBox"))
          continue;
        const QString name = w->accessibleName();
        EXPECT_FALSE(name.trimmed().isEmpty()) << w->objectName().toStdString();
        EXPECT_FALSE(english && name.contains(ideograph)) << name.toStdString();
        if (auto* rotary = qobject_cast<TRotarySwitch*>(w)) {
          EXPECT_FALSE(english && rotary->Positions().join(u' ').contains(ideograph));
        }
        ++named;
      }
    }
    EXPECT_GT(named, 100);
  }
  QStringList tabs;  // back in Chinese
  for (int i = 0; i < dialog->Tabs()->count(); ++i) tabs << dialog->Tabs()->tabText(i);
  EXPECT_EQ(tabs, (QStringList{u"视频控制"_s, u"VGA控制"_s, u"滚动字幕"_s, u"系统控制"_s,
                               u"风扇控制"_s, u"定时开关机"_s, u"网络控制"_s}));
  EXPECT_EQ(dialog->windowTitle(), u"系统设置"_s);
  QTest::keyClick(dialog, Qt::Key_Escape);
  EXPECT_FALSE(dialog->isVisible());
}

// Enabling at each showing, by level, family and selection; the dialog on its
// own, with the main window's answers as values.
struct EnablingCase {
  const char* name;
  int level;
  quint8 family;
  int selected;
  bool superControls;  // bit depth, TI-MODEM, P/N, SWAP, boot logo, upgrade, USB logo
  bool agingShown;
  bool idRows;     // row and column lists
  bool flip;       // "180度翻转： "
  bool autoShown;  // "自动注册"
  bool video;      // the video tab's buttons and noise reduction
  bool fan;        // fan state switch and knob
};

const EnablingCase kEnabling[] = {
    {"Operator", 2, 0, 1, false, false, false, true, false, true, true},
    {"Manager", 1, 5, 1, false, false, false, true, false, true, true},
    {"SuperManager", 3, 9, 1, true, true, true, true, false, true, true},
    {"SuperManagerSeveralCells", 3, 11, 4, true, true, false, true, false, true, true},
    {"RotatingModel", 3, 10, 0, true, true, true, false, false, true, false},
    {"NetworkSplicer", 3, 12, 1, true, true, true, true, true, true, false},
    {"NoVideoInput", 2, 4, 1, false, false, false, true, false, false, false},
};

class SetupFormEnablingTest : public testing::TestWithParam<EnablingCase> {};

TEST_P(SetupFormEnablingTest, AtShowing) {
  const EnablingCase& c = GetParam();
  TSetupServices services;
  int sends = 0;
  services.setting = [&](quint8, quint8, TSettingRoute) { ++sends; };
  services.accessLevel = [&] { return c.level; };
  services.selectedCells = [&] { return c.selected; };
  services.rowItems = [] { return QStringList{u"1"_s, u"2"_s}; };
  services.colItems = [] { return QStringList{u"1"_s, u"2"_s, u"3"_s}; };
  services.family = c.family;
  TSetupForm dialog(services);
  dialog.show();
  auto enabled = [&](const char16_t* name) {
    QWidget* w = dialog.findChild<QWidget*>(QString::fromUtf16(name));
    EXPECT_NE(w, nullptr) << QString::fromUtf16(name).toStdString();
    return w && w->isEnabledTo(&dialog);
  };
  auto shown = [&](const char16_t* name) {
    QWidget* w = dialog.findChild<QWidget*>(QString::fromUtf16(name));
    return w && w->isVisibleTo(w->parentWidget()) && !w->isHidden();
  };
  for (const char16_t* name : {u"rsBitDepth", u"swTiModem", u"swPnSwap", u"swSwap", u"swBootLogo",
                               u"btnUsbUpgrade", u"btnUsbLogo", u"btnReadID", u"btnAutoRegister"})
    EXPECT_EQ(enabled(name), c.superControls) << QString::fromUtf16(name).toStdString();
  EXPECT_EQ(shown(u"swAgingMode"), c.agingShown);
  EXPECT_EQ(shown(u"lblAgingMode"), c.agingShown);
  EXPECT_EQ(enabled(u"cbbRow"), c.idRows);
  EXPECT_EQ(enabled(u"cbbCol"), c.idRows);
  EXPECT_EQ(enabled(u"swFlip180"), c.flip);
  EXPECT_EQ(shown(u"btnAutoRegister"), c.autoShown);
  EXPECT_EQ(enabled(u"btnVideoHueUp"), c.video);
  EXPECT_EQ(enabled(u"rsNoiseReduction"), c.video);
  EXPECT_TRUE(enabled(u"rsDisplayScale"));
  EXPECT_TRUE(enabled(u"btnVgaClockDown")) << "the VGA tab is always on";
  EXPECT_EQ(enabled(u"rsFanState"), c.fan);
  EXPECT_EQ(enabled(u"kbFanTemp"), c.fan);

  // "确定" of the ID group: off at each showing, then on while the machine
  // number box holds text.
  auto* ok = dialog.findChild<QPushButton*>(u"btnIDOK"_s);
  auto* box = dialog.findChild<QLineEdit*>(u"edtMachineNo"_s);
  ASSERT_NE(ok, nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(ok->isEnabledTo(&dialog));
  box->setText(u"7"_s);
  EXPECT_EQ(ok->isEnabledTo(&dialog), c.idRows);
  box->clear();
  EXPECT_FALSE(ok->isEnabledTo(&dialog));
  EXPECT_EQ(dialog.findChild<QComboBox*>(u"cbbCol"_s)->count(), 3) << "copied at the showing";
  EXPECT_EQ(sends, 0);
}

INSTANTIATE_TEST_SUITE_P(Levels, SetupFormEnablingTest, testing::ValuesIn(kEnabling),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
