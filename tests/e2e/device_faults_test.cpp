// Devices that vanish, stall or misbehave while the console drives them.
// The serial faults run both programs as an operator does, with the virtual
// wall pulling or stalling a line on command; the network faults put the
// virtual wall's network devices beside the real main window (or its
// subtitle tab) in a network namespace of the test's own. Each fault ends
// with the console alive, the truth on show and the next command getting
// through once the device is back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <memory>

#include "app/quvial_form.h"
#include "console_process.h"
#include "core/net_socket_event_waiter.h"
#include "core/pauser.h"
#include "net_devices.h"
#include "net_splicer_module.h"
#include "net_subtitle_server.h"
#include "setup/broadcast_search.h"
#include "setup/gateway_client.h"
#include "setup/network_splicer_link.h"
#include "setup/network_splicers.h"
#include "setup/subtitle_tab_view.h"
#include "support/event_wait.h"
#include "support/message_boxes.h"
#include "support/net_namespace.h"
#include "support/pty_pair.h"
#include "support/temp_home.h"
#include "wall/family_menu_view.h"
#include "wall/wall_grid_view.h"
#include "wall_process.h"

namespace {

using namespace Qt::StringLiterals;
using e2e::Program;

// --- serial lines: both programs ---------------------------------------------

class SerialFaultTest : public testing::Test {
 protected:
  void Start(int rows, int cols) {
    ASSERT_TRUE(home.isValid());
    ASSERT_TRUE(QFileInfo::exists(Program(u"quvial-wallsim"_s))) << "build quvial-wallsim first";
    ASSERT_TRUE(QFileInfo::exists(Program(u"quvial"_s))) << "build quvial first";
    ASSERT_EQ(wall.Start(home.path(),
                         {u"--rows"_s, QString::number(rows), u"--cols"_s, QString::number(cols)}),
              QString());
    ASSERT_EQ(console.Start(home.path()), QString());
    ASSERT_TRUE(console.Ask(u"choose 0"_s).startsWith(u"ok"_s));
    ASSERT_EQ(console.Ask(u"idle"_s), u"ok"_s);
  }
  void TearDown() override {
    for (const QString& errors : {console.Stop(), wall.Stop()})
      EXPECT_FALSE(e2e::SanitizerFault(errors)) << errors.toStdString();
  }

  // The wall's lines up to the first that starts with prefix (returned);
  // the ones before it go to skipped.
  QString WallUntil(const QString& prefix, QStringList* skipped = nullptr, int ms = 5000) {
    QDeadlineTimer deadline(ms);
    while (const std::optional<QString> line = wall.Next(int(deadline.remainingTime()))) {
      if (line->startsWith(prefix)) return *line;
      if (skipped) *skipped << *line;
    }
    return u"(no line starting with %1)"_s.arg(prefix);
  }
  // Asks until the answer contains text or ms pass; the last answer.
  QString AskUntil(const QString& command, const QString& text, int ms = 5000) {
    QDeadlineTimer deadline(ms);
    QString answer;
    do {
      answer = console.Ask(command);
      if (answer.contains(text)) break;
      ProcessEventsFor(50);
    } while (!deadline.hasExpired());
    return answer;
  }
  // The console answers, and its one-second timer still moves the clock.
  void ExpectTicking() {
    const QString before = console.Ask(u"read stTime"_s);
    ASSERT_TRUE(before.startsWith(u"ok "_s)) << before.toStdString();
    EXPECT_NE(AskUntil(u"read stTime"_s, u"@never"_s, 1300), before);
  }

  QTemporaryDir home;
  e2e::TWallProcess wall;
  e2e::TConsoleProcess console;
};

// The splicer line is pulled while a 10 x 10 wall dissolves: the action
// stops at once with a message, the status says which line went, and after
// the line is back one toggle off and on lets the next click through.
TEST_F(SerialFaultTest, SplicerUnpluggedInTheMiddleOfADissolveAndReplugged) {
  Start(10, 10);
  ASSERT_EQ(console.Ask(u"select 0 0 9 9"_s), u"ok"_s);
  ASSERT_EQ(console.Ask(u"menu 分解/VGA"_s), u"ok"_s);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(WallUntil(u"frame c8"_s).contains(u"VGA"_s));
  wall.Command(u"unplug COM1"_s);
  QElapsedTimer sinceUnplug;
  sinceUnplug.start();
  QStringList before;
  ASSERT_EQ(WallUntil(u"unplugged"_s, &before), u"unplugged COM1"_s);
  EXPECT_LT(before.size(), 10) << "frames still flowed after the unplug";

  const QString message = AskUntil(u"message"_s, u"ok "_s, 3000);
  EXPECT_LT(sinceUnplug.elapsed(), 3000);
  EXPECT_TRUE(message.contains(u"拼接串口 COM1 已断开，操作已停止"_s)) << message.toStdString();
  EXPECT_TRUE(AskUntil(u"read stPorts"_s, u"拼接串口COM1断开"_s).contains(u"COM2连接"_s));
  ExpectTicking();
  EXPECT_FALSE(wall.Next(200).has_value()) << "nothing came once the line was gone";

  wall.Command(u"replug COM1"_s);
  ASSERT_TRUE(WallUntil(u"replugged"_s).startsWith(u"replugged COM1 /dev/"_s));
  ASSERT_EQ(console.Ask(u"press btnConnect"_s), u"ok"_s);  // off
  ASSERT_EQ(console.Ask(u"press btnConnect"_s), u"ok"_s);  // on: the lost line too
  EXPECT_TRUE(AskUntil(u"read stPorts"_s, u"拼接串口COM1连接"_s).contains(u"COM1连接"_s));
  ASSERT_EQ(console.Ask(u"select 0 0 0 0"_s), u"ok"_s);
  ASSERT_EQ(console.AskUntilOk(u"click VGA"_s), u"ok"_s);
  EXPECT_EQ(WallUntil(u"frame"_s),
            u"frame c8 09 01 01 01 01 20 02 f7 select-source VGA rows 1-1 cols 1-1"_s);
}

// The VGA matrix stops taking bytes: clicks go on reaching the splicers at
// the usual pace, the status and the output log tell the stall, the matrix
// commands are dropped rather than piled up, and what waited goes out once
// the matrix takes bytes again.
TEST_F(SerialFaultTest, MatrixLineStalledKeepsTheConsoleWorking) {
  Start(2, 2);
  ASSERT_EQ(console.AskUntilOk(u"tick cbMatrixCMB 1"_s), u"ok"_s);
  wall.Command(u"stall COM3"_s);
  ASSERT_EQ(WallUntil(u"stalled"_s), u"stalled COM3"_s);

  const auto clickVga = [this](const QString& select) {
    QElapsedTimer took;
    took.start();
    EXPECT_EQ(console.Ask(select), u"ok"_s);
    EXPECT_EQ(console.AskUntilOk(u"click VGA"_s), u"ok"_s);
    EXPECT_EQ(console.Ask(u"idle"_s), u"ok"_s);
    EXPECT_LT(took.elapsed(), 1500) << select.toStdString();
  };
  clickVga(u"select 0 0 0 0"_s);
  EXPECT_TRUE(WallUntil(u"frame"_s).contains(u"rows 1-1 cols 1-1"_s));
  EXPECT_TRUE(AskUntil(u"read stPorts"_s, u"VGA矩阵串口COM3无响应"_s, 5000)
                  .contains(u"拼接串口COM1连接"_s));
  EXPECT_EQ(console.Ask(u"read memoOutput"_s),
            u"ok VGA矩阵串口 COM3 的设备不接收数据，发往它的命令被丢弃。"_s);
  clickVga(u"select 1 1 1 1"_s);
  EXPECT_TRUE(WallUntil(u"frame"_s).contains(u"rows 2-2 cols 2-2"_s));
  ExpectTicking();

  wall.Command(u"resume COM3"_s);
  ASSERT_EQ(WallUntil(u"resumed"_s), u"resumed COM3"_s);
  QStringList matrix{WallUntil(u"matrix VGA command"_s)};
  EXPECT_TRUE(matrix[0].startsWith(u"matrix VGA command"_s)) << "the command that waited";
  EXPECT_TRUE(AskUntil(u"read stPorts"_s, u"VGA矩阵串口COM3连接"_s).contains(u"COM3连接"_s));
  EXPECT_EQ(console.Ask(u"read memoOutput"_s), u"ok VGA矩阵串口 COM3 的设备恢复接收数据。"_s);
  clickVga(u"select 0 1 0 1"_s);
  WallUntil(u"frame"_s);
  matrix << WallUntil(u"matrix VGA command"_s);
  EXPECT_TRUE(matrix[1].startsWith(u"matrix VGA command"_s));
  EXPECT_FALSE(wall.Next(300).has_value()) << "the dropped command stayed dropped";
}

// --- network devices: the real window beside the virtual wall's devices -----

// Runs work with a 20 ms timer beside it: how many times it fired shows the
// window kept running; took is the time the work took.
int TicksDuring(const std::function<void()>& work, qint64* took) {
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  ticker.start(20);
  QElapsedTimer clock;
  clock.start();
  work();
  *took = clock.elapsed();
  return ticks;
}

class NetworkFaultTest : public testing::Test {
 protected:
  // The main window of family 0 or 12 over a 2 x 2 wall whose splicer line
  // is a pty, in a network of its own with the given addresses.
  void Open(int family, const QStringList& addresses) {
    if (const QString why = EnterNetNamespace(addresses); !why.isEmpty())
      GTEST_SKIP() << why.toStdString();
    ASSERT_TRUE(pty.IsValid());
    ASSERT_TRUE(QDir().mkpath(home.File(u"ports"_s)));
    ASSERT_TRUE(QFile::link(pty.SlavePath(), home.File(u"ports/COM3"_s)));
    ASSERT_TRUE(home.Write(u"Quvial.ini"_s,
                           "[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM3\r\nCmdLen=1\r\n"
                           "row=2\r\ncol=2\r\n"));
    TDeviceChoice choice;
    choice.family = family;
    choice.deviceName = u"device"_s;
    choice.portListHidden = true;
    form = std::make_unique<TQuvialForm>(choice, pauser);
    form->show();
    ASSERT_TRUE(ProcessEventsUntil([this] { return form->Ready(); }));
  }
  QString Memo() { return form->findChild<QPlainTextEdit*>(u"memoOutput"_s)->toPlainText(); }

  TTempHome home;
  TPtyPair pty;
  RecordingPauser pauser;
  std::unique_ptr<TQuvialForm> form;
};

// A gateway that takes the requests and never answers: a dissolve waits out
// one reply time-out, not one per screen; by the serial line as well the
// rest goes by the line, by the network alone the action stops. A gateway
// that answers again gets the next click.
TEST_F(NetworkFaultTest, SilentGatewayCostsOneTimeOutPerActionAndRecovers) {
  Open(0, {});
  if (IsSkipped()) return;
  form->Gateway().SetTimeouts(300, 300);
  form->Gateway().SetRememberedAddress(u"127.0.0.1"_s);
  auto gateway = std::make_unique<TNetGateway>(QHostAddress::LocalHost, TNetGateway::TMode::Silent);
  QString error;
  ASSERT_TRUE(gateway->Start(&error)) << error.toStdString();

  struct Mode {
    int sendMode;
    qsizetype lineBytes;  // what the serial line gets of the 2 x 2 dissolve
    QString told;         // in the output log or a message box
  };
  for (const Mode& m : {Mode{2, 36, u"其余命令只经串口发送"_s}, Mode{1, 0, u"操作已停止"_s}}) {
    form->SendPath().SetSendMode(m.sendMode);
    const int requestsBefore = gateway->Requests();
    form->Grid()->SelectRect({0, 0, 1, 1});
    qint64 took = 0;
    QStringList messages;
    const int ticks = TicksDuring(
        [&] {
          messages = Answering([&] {
            form->WallMenu()->EntryAction(u"分解"_s, u"VGA"_s)->trigger();
            ProcessEventsUntil([&] { return !form->ActionRunning(); });
          });
        },
        &took);
    EXPECT_LT(took, 1000) << "mode " << m.sendMode;
    EXPECT_GE(ticks, 5) << "the window kept running";
    EXPECT_TRUE(ProcessEventsUntil([&] { return gateway->Requests() == requestsBefore + 1; }));
    EXPECT_EQ(pty.ReadUntilQuiet(100).size(), m.lineBytes);
    EXPECT_TRUE((Memo() + messages.join(u'|')).contains(m.told)) << "mode " << m.sendMode;
  }
  const QStringList log = form->Gateway().Log().Lines();
  EXPECT_TRUE(log.contains(u"recv() time out"_s)) << log.join(u'|').toStdString();
  EXPECT_TRUE(log.contains(u"Send failed"_s));

  gateway = std::make_unique<TNetGateway>(QHostAddress::LocalHost, TNetGateway::TMode::Normal);
  ASSERT_TRUE(gateway->Start(&error)) << error.toStdString();
  // Like the real box it forwards only to a port that carries the role.
  ASSERT_TRUE(form->Gateway().SetPorts(u"127.0.0.1"_s, {TGatewayPortSettings{}}).empty());
  QByteArray forwarded;
  QObject::connect(gateway.get(), &TNetGateway::forwarded,
                   [&forwarded](int, const QByteArray& bytes) { forwarded += bytes; });
  form->Grid()->SelectRect({0, 0, 0, 0});
  const QStringList messages = Answering([this] {
    for (QRadioButton* b : form->findChild<QWidget*>(u"QN-51"_s)->findChildren<QRadioButton*>())
      if (b->text() == u"VGA"_s) b->click();
  });
  EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
  EXPECT_TRUE(ProcessEventsUntil([&] { return !forwarded.isEmpty(); }));
  EXPECT_EQ(forwarded.toHex(' '), "c8 09 01 01 01 01 20 02 f7");
  EXPECT_EQ(form->Gateway().Log().Lines().last(), u"Send Ok"_s);
}

// Modules that answer the position query with garbage: the search ignores
// and counts the answers, places nobody and leaves the window running; the
// same modules answering properly are placed by the next search.
TEST_F(NetworkFaultTest, ModulesAnsweringGarbageAreIgnoredAndLogged) {
  QStringList addresses{u"10.0.1.10"_s};
  for (int i = 21; i <= 24; ++i) addresses << u"10.0.1.%1"_s.arg(i);
  Open(12, addresses);
  if (IsSkipped()) return;
  TNetDevices::TOptions options;
  options.modules = 4;
  options.moduleBase = QHostAddress(u"10.0.1.21"_s);
  options.moduleGarbage = true;
  TNetDevices modules(options, 2);
  QString error;
  ASSERT_TRUE(modules.Start(&error)) << error.toStdString();
  TNetworkSplicerLink& link = form->NetworkSplicerLink();
  link.localAddresses = [] { return QStringList{u"10.0.1.10"_s}; };
  link.SetProbeMs(300);
  link.SetReplyMs(300);
  const auto search = [this] {
    const QStringList messages = Answering([this] {
      form->WallMenu()->EntryAction({}, u"网络搜索设备"_s)->trigger();
      ProcessEventsUntil([this] { return !form->NetworkSplicers().Running(); });
    });
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
  };

  qint64 took = 0;
  EXPECT_GE(TicksDuring(search, &took), 5);
  EXPECT_LT(took, 3000);
  EXPECT_EQ(form->NetworkSplicers().InvalidReplies(), 4);
  EXPECT_TRUE(Memo().contains(u"4 个模块的位置应答无效"_s)) << Memo().toStdString();
  for (const auto& module : modules.Modules()) EXPECT_EQ(module->Queries(), 1);
  EXPECT_TRUE(form->NetworkSplicers().Table().Address(0, 0).isEmpty());

  for (const auto& module : modules.Modules()) module->SetGarbage(false);
  search();
  EXPECT_EQ(form->NetworkSplicers().InvalidReplies(), 0);
  EXPECT_EQ(form->NetworkSplicers().Table().Address(1, 1), u"10.0.1.24"_s);
}

// A subtitle server whose service is down refuses the connection: the tab
// says so at once and plainly; once the service runs the same press sends.
TEST(SubtitleFaultTest, RefusingServerIsToldAtOnceAndTheNextSendGoesThrough) {
  if (const QString why = EnterNetNamespace({}); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
  TTempHome home;
  TEventLoopSocketWaiter waiter;
  TBroadcastSearch search(waiter);
  TSubtitleTabView tab(TSubtitleTabServices{TWindowTexts{[] { return true; }, {}}, &search, &waiter,
                                            TNetSubtitleServer::kPort});
  tab.show();
  tab.Showing();
  auto server = std::make_unique<TNetSubtitleServer>(QHostAddress::LocalHost);
  server->SetRefusing(true);
  QString error;
  ASSERT_TRUE(server->Start(&error)) << error.toStdString();
  QLineEdit* address = tab.findChild<QComboBox*>(u"cbbServerIP"_s)->lineEdit();
  address->setText(u"127.0.0.1"_s);
  Q_EMIT address->textEdited(address->text());
  auto* start = tab.findChild<QPushButton*>(u"btnStartOSD"_s);
  auto* status = tab.findChild<QPlainTextEdit*>(u"mmStatus"_s);
  ASSERT_TRUE(start && status && start->isEnabled());

  qint64 took = 0;
  QStringList messages;
  TicksDuring([&] { messages = Answering([&] { start->click(); }); }, &took);
  EXPECT_LT(took, 1000);
  EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
  const QStringList lines = status->toPlainText().split(u'\n');
  EXPECT_TRUE(lines.contains(u"connect socket() error = %1"_s.arg(ECONNREFUSED)));
  EXPECT_EQ(lines.last(), u"字幕服务器 127.0.0.1 拒绝连接：它的字幕服务没有运行。"_s);

  server = std::make_unique<TNetSubtitleServer>(QHostAddress::LocalHost);
  ASSERT_TRUE(server->Start(&error)) << error.toStdString();
  start->click();
  EXPECT_TRUE(ProcessEventsUntil([&] { return server->Packets() == 1; }));
  EXPECT_TRUE(server->Running());
  EXPECT_EQ(status->toPlainText().split(u'\n').last(), u"Send OK."_s);
}

}  // namespace
