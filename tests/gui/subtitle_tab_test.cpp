#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <memory>
#include <ostream>

#include "core/net_socket_event_waiter.h"
#include "setup/broadcast_search.h"
#include "setup/subtitle_tab_view.h"
#include "support/message_boxes.h"
#include "support/net_namespace.h"
#include "support/net_namespace_answerers.h"
#include "support/temp_home.h"

using namespace Qt::StringLiterals;

namespace {

// What one client sent to the server, read to its end; empty when nobody
// connected within the time.
QByteArray Received(QTcpServer& server, int ms = 2000) {
  if (!server.waitForNewConnection(ms)) return {};
  QTcpSocket* peer = server.nextPendingConnection();
  QByteArray all;
  while (peer->waitForReadyRead(ms)) all += peer->readAll();
  return all + peer->readAll();
}

class SubtitleTabTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    TWindowTexts texts{[this] { return chinese; }, {}};
    search.SetPassMs(30);
    tab = std::make_unique<TSubtitleTabView>(
        TSubtitleTabServices{texts, &search, &waiter, server.serverPort()});
    tab->show();
    tab->Showing();
  }

  template <typename T>
  T* Get(const QString& name) {
    T* w = tab->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }
  void TypeAddress(const QString& address) {
    QLineEdit* edit = Get<QComboBox>(u"cbbServerIP"_s)->lineEdit();
    QTest::keyClick(edit, Qt::Key_X);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, address);
  }
  // On the left end, where a radio button has its indicator.
  void Click(const QString& name) {
    QAbstractButton* b = Get<QAbstractButton>(name);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
  }
  QStringList Status() { return Get<QPlainTextEdit>(u"mmStatus"_s)->toPlainText().split(u'\n'); }

  TTempHome home;
  TEventLoopSocketWaiter waiter;
  TBroadcastSearch search{waiter};
  QTcpServer server;
  bool chinese = true;
  std::unique_ptr<TSubtitleTabView> tab;
  TMessageBoxAnswerer boxes;  // answers every message box, keeps its text
  QStringList& messages = boxes.texts;
};

// The several-lines layout, a font from the font dialog and the default
// text reach the server; the settings are saved first.
TEST_F(SubtitleTabTest, StartSendsTheComposedPacketAndSaves) {
  EXPECT_FALSE(Get<QPushButton>(u"btnStartOSD"_s)->isEnabled());
  TypeAddress(u"127.0.0.1"_s);
  EXPECT_TRUE(Get<QPushButton>(u"btnStopOSD"_s)->isEnabled());
  QTabBar* tabs = Get<QTabWidget>(u"pcLayout"_s)->tabBar();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  Click(u"rbRight"_s);
  Click(u"rbBottomToTop"_s);
  int preset = 0;  // the size the dialog opens with
  QTimer::singleShot(0, [&preset] {
    auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    preset = dialog->currentFont().pointSize();
    dialog->setCurrentFont(QFont(u"DejaVu Serif"_s, 20, QFont::Bold));
    dialog->accept();
  });
  Click(u"btnChooseFont"_s);
  EXPECT_EQ(preset, 48);
  Click(u"btnStartOSD"_s);

  const QByteArray packet = Received(server);
  ASSERT_EQ(packet.size(), 2096);
  EXPECT_EQ(packet.left(8).toHex(), "00000001051e0500");
  EXPECT_EQ(packet.mid(12, 4).toHex(), "e5ffffff");  // 20 points = 27 pixels
  EXPECT_EQ(packet.mid(17, 19), QByteArray("DejaVu Serif").leftJustified(19, '\0'));
  EXPECT_EQ(packet.mid(36, 12).toHex(), "140000000100000003002e00");
  EXPECT_EQ(packet.mid(48, 8).toHex(), "5858b5a5cebb0d0a");  // "XX单位" CR LF
  EXPECT_EQ(Status(), QStringList({u"ready for send..."_s, u"Send OK."_s}));
  EXPECT_TRUE(home.Read(u"netosd.ini"_s).contains("fontname=DejaVu Serif\r\nfontsize=20\r\n"));
  EXPECT_TRUE(home.Exists(u"osdtext.txt"_s));
  EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
}

TEST_F(SubtitleTabTest, StopSendsOnlyTheStopCommand) {
  Get<QComboBox>(u"cbbScreen"_s)->setCurrentIndex(2);
  TypeAddress(u"127.0.0.1"_s);
  Click(u"btnStopOSD"_s);
  const QByteArray packet = Received(server);
  ASSERT_EQ(packet.size(), 2096);
  EXPECT_EQ(packet.count('\0'), 2095);
  EXPECT_EQ(packet[2], 1);
  EXPECT_EQ(Status(), QStringList({u"ready for send..."_s, u"Send Ok"_s}));
}

TEST_F(SubtitleTabTest, RefusedConnectionIsLoggedWithItsErrorNumber) {
  server.close();
  TypeAddress(u"127.0.0.1"_s);
  Click(u"btnStartOSD"_s);
  EXPECT_EQ(Status(),
            QStringList({u"ready for send..."_s, u"connect socket() error = %1"_s.arg(ECONNREFUSED),
                         u"字幕服务器 127.0.0.1 拒绝连接：它的字幕服务没有运行。"_s}));
}

struct RefusalCase {
  const char* name;
  QString address;
  QString text;
  QString message;  // contained in the message box
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class SubtitleRefusalTest : public SubtitleTabTest,
                            public testing::WithParamInterface<RefusalCase> {};

// Each refusal shows its message and neither sends nor saves.
TEST_P(SubtitleRefusalTest, RefusesWithAMessage) {
  TypeAddress(GetParam().address);
  Get<QPlainTextEdit>(u"mmOSDText"_s)->setPlainText(GetParam().text);
  Click(u"btnStartOSD"_s);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains(GetParam().message)) << messages[0].toStdString();
  EXPECT_TRUE(Received(server, 50).isEmpty());
  EXPECT_FALSE(home.Exists(u"netosd.ini"_s));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SubtitleRefusalTest,
    testing::Values(RefusalCase{"NoAddress", {}, u"a"_s, u"请输入IP"_s},
                    RefusalCase{"NoText", u"127.0.0.1"_s, {}, u"请输入移动文字"_s},
                    RefusalCase{"MalformedAddress", u"127.0.0.256"_s, u"a"_s, u"IP"_s},
                    RefusalCase{"TextOverItsField", u"127.0.0.1"_s, QString(2047, u'a'),
                                u"2048"_s}));

// Each showing reads the files back (osdtext.txt winning) and fills the
// screen choice in the interface language.
TEST_F(SubtitleTabTest, ShowingLoadsTheStoredSettingsInEnglish) {
  ASSERT_TRUE(home.Write(u"netosd.ini"_s,
                         "[netosd]\r\nmsg=old\r\nspeed=70\r\nlocation=2\r\ndir=3\r\n"
                         "fontheight=-40\r\nfontsize=9\r\n"));
  ASSERT_TRUE(home.Write(u"osdtext.txt"_s, "\xb5\xda\xd2\xbb\r\nB\r\n"));  // 第一
  chinese = false;
  Get<QComboBox>(u"cbbScreen"_s)->setCurrentIndex(1);
  tab->Showing();
  EXPECT_EQ(Get<QPlainTextEdit>(u"mmOSDText"_s)->toPlainText(), u"第一\nB"_s);
  EXPECT_EQ(Get<QSlider>(u"tbSpeed"_s)->value(), 70);
  EXPECT_TRUE(Get<QRadioButton>(u"rbBottom"_s)->isChecked());
  EXPECT_TRUE(Get<QRadioButton>(u"rbSingleStatic"_s)->isChecked());
  EXPECT_EQ(tab->Values().font.height, -12);
  QComboBox* screens = Get<QComboBox>(u"cbbScreen"_s);
  EXPECT_EQ(screens->currentIndex(), 0);
  EXPECT_EQ(screens->currentText(), u"Master Monitor"_s);
}

// In a network namespace of its own three servers answer the probe, one of
// them with something else than "AUTHOK".
TEST_F(SubtitleTabTest, SearchListsTheAnsweringServersAndEnablesSending) {
  const QStringList addresses = {u"10.0.9.21"_s, u"10.0.9.22"_s, u"10.0.9.23"_s};
  if (const QString why = EnterNetNamespace(addresses); !why.isEmpty())
    GTEST_SKIP() << why.toStdString();
  TNetNamespaceAnswerers servers(
      80, 1235, {{addresses[0], "AUTHOK"}, {addresses[1], "NOPE"}, {addresses[2], "AUTHOK"}});
  ASSERT_TRUE(servers.IsValid());
  Click(u"btnSearchServer"_s);
  QComboBox* list = Get<QComboBox>(u"cbbServerIP"_s);
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->itemText(0), addresses[0]);
  EXPECT_EQ(list->itemText(1), addresses[2]);
  EXPECT_EQ(list->currentIndex(), 0);
  EXPECT_TRUE(Get<QPushButton>(u"btnStartOSD"_s)->isEnabled());
  EXPECT_FALSE(Get<QProgressBar>(u"pbSearch"_s)->isVisible());
  EXPECT_TRUE(Status().contains(u"recvfrom : ip=10.0.9.22"_s));
}

}  // namespace
