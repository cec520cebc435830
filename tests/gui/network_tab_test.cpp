// The "网络控制" tab driven through its real controls against a fake COM
// gateway in a network namespace of the test's own, alone and inside the
// main window, whose splicer port is a pty.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/quvial_form.h"
#include "core/net_socket_event_waiter.h"
#include "setup/gateway_client.h"
#include "setup/network_tab_view.h"
#include "setup/setup_form.h"
#include "support/fake_gateway.h"
#include "support/message_boxes.h"
#include "support/net_namespace.h"
#include "support/pty_pair.h"
#include "support/temp_home.h"
#include "wall/wall_grid_view.h"

using namespace Qt::StringLiterals;

namespace {

template <typename T>
T* Child(QWidget* parent, const QString& name) {
  T* c = parent->findChild<T*>(name);
  EXPECT_NE(c, nullptr) << name.toStdString();
  return c;
}

void Click(QAbstractButton* button) {
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString();
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

class NetworkTabTest : public testing::Test {
 protected:
  void SetUp() override {
    if (const QString why = EnterNetNamespace({}); !why.isEmpty())
      GTEST_SKIP() << why.toStdString();
    client_.SetTimeouts(500, 300);
    TNetworkTabServices services;
    services.client = &client_;
    services.message = [this](const QString& text) { messages_.append(text); };
    tab_ = std::make_unique<TNetworkTabView>(std::move(services));
    tab_->show();
  }

  TEventLoopSocketWaiter waiter_;
  TGatewayClient client_{waiter_};
  std::unique_ptr<TNetworkTabView> tab_;
  QStringList messages_;
};

TEST_F(NetworkTabTest, ReadPortsThenSetOnlyTheTicked) {
  // Three ports, the second unreadable: the lists hold the other two.
  FakeGateway gateway(kGatewayTcpPort, FakeGateway::Ports({"COM1", "COM2", "COM3"}, {1}));
  ASSERT_TRUE(gateway.Listening()) << gateway.Error();
  auto* ok = Child<QPushButton>(tab_.get(), u"btnPortSetOK"_s);
  EXPECT_FALSE(ok->isEnabled());
  Child<QComboBox>(tab_.get(), u"cbbGatewayIP"_s)->setEditText(u"127.0.0.1"_s);
  Click(Child<QPushButton>(tab_.get(), u"btnGetGatewayParams"_s));
  auto* videoPorts = Child<QComboBox>(tab_.get(), u"cbbPortVideo"_s);
  ASSERT_EQ(videoPorts->count(), 2);
  EXPECT_EQ(videoPorts->itemText(1), u"COM3"_s);
  EXPECT_EQ(tab_->PortTable().size(), 3u);
  EXPECT_TRUE(tab_->ListsFilled());
  const std::size_t afterRead = gateway.Requests().size();

  // Nothing ticked: the end message only, and nothing sent.
  Click(ok);
  EXPECT_EQ(messages_, QStringList{u"设置参数完成!"_s});
  EXPECT_EQ(gateway.Requests().size(), afterRead);
  EXPECT_EQ(client_.RememberedAddress(), u"127.0.0.1"_s);

  // The Video tab on list index 1, 115200, 8 bits, None.
  Click(Child<QAbstractButton>(tab_.get(), u"cbUseVideoPort"_s));
  ASSERT_TRUE(videoPorts->isEnabled());
  videoPorts->setCurrentIndex(1);
  Child<QComboBox>(tab_.get(), u"cbbBaudVideo"_s)->setCurrentText(u"115200"_s);
  Click(ok);
  const auto requests = gateway.Requests();
  ASSERT_EQ(requests.size(), afterRead + 1);
  EXPECT_EQ(requests.back(),
            GatewaySetPortRequest(GatewayWriteRecord({1, TGatewayLine::Video, 2, 3, 2})));
  EXPECT_EQ(messages_.size(), 2);
}

TEST_F(NetworkTabTest, MistypedAddressIsRefusedAndNotRemembered) {
  client_.SetRememberedAddress(u"127.0.0.1"_s);
  Child<QComboBox>(tab_.get(), u"cbbGatewayIP"_s)->setEditText(u"192.168.1"_s);
  for (const QString& button : {u"btnGetGatewayParams"_s, u"btnClosePort"_s})
    Click(Child<QPushButton>(tab_.get(), button));
  EXPECT_EQ(messages_, QStringList(2, u"服务器IP地址错误"_s));
  EXPECT_EQ(client_.RememberedAddress(), u"127.0.0.1"_s);
  EXPECT_FALSE(tab_->ListsFilled());
  EXPECT_TRUE(client_.Log().Lines().isEmpty());  // no connection was tried
}

// The whole window: a source selection in send mode 2 reaches the splicer
// line and the gateway with the same bytes.
class GatewayWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    if (const QString why = EnterNetNamespace({}); !why.isEmpty())
      GTEST_SKIP() << why.toStdString();
    ASSERT_TRUE(pty_.IsValid());
    ASSERT_TRUE(QDir().mkpath(home_.File(u"ports"_s)));
    ASSERT_TRUE(QFile::link(pty_.SlavePath(), home_.File(u"ports/COM3"_s)));
    ASSERT_TRUE(home_.Write(u"Quvial.ini"_s,
                            "[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM3\r\nCmdLen=1\r\n"
                            "row=2\r\ncol=2\r\n"));
    TDeviceChoice choice;
    choice.deviceName = u"device"_s;
    choice.portListHidden = true;
    form_ = std::make_unique<TQuvialForm>(choice, pauser_);
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    form_->Gateway().SetTimeouts(500, 300);
  }
  QRadioButton* Vga() {
    for (QRadioButton* b : form_->findChild<QWidget*>(u"QN-51"_s)->findChildren<QRadioButton*>())
      if (b->text() == u"VGA"_s) return b;
    return nullptr;
  }

  TTempHome home_;
  TPtyPair pty_;
  RecordingPauser pauser_;
  std::unique_ptr<TQuvialForm> form_;
};

TEST_F(GatewayWindowTest, SourceSelectionInSendModeTwoReachesLineAndGateway) {
  FakeGateway gateway(kGatewayTcpPort, FakeGateway::Ports({"COM1"}));
  ASSERT_TRUE(gateway.Listening()) << gateway.Error();
  form_->OpenSetupForm(false);
  TNetworkTabView* tab = form_->NetworkTab();
  ASSERT_NE(tab, nullptr);
  Click(Child<QRadioButton>(tab, u"rbNetSend"_s));
  Child<QComboBox>(tab, u"cbbNetSendMode"_s)->setCurrentIndex(1);
  EXPECT_EQ(Answering([&] { Click(Child<QPushButton>(tab, u"btnSendModeOK"_s)); }),
            QStringList{u"操作完成"_s});
  EXPECT_EQ(form_->SendPath().SendMode(), 2);

  // No gateway address yet: the line gets the frame, the forward fails.
  auto* memo = Child<QPlainTextEdit>(form_.get(), u"memoOutput"_s);
  form_->Grid()->SelectRect({0, 0, 0, 0});
  Click(Vga());
  const QByteArray first = pty_.Read(9);
  EXPECT_EQ(first.size(), 9);
  EXPECT_TRUE(memo->toPlainText().contains(u"send to net error"_s));
  EXPECT_TRUE(gateway.Requests().empty());

  Child<QComboBox>(tab, u"cbbGatewayIP"_s)->setEditText(u"127.0.0.1"_s);
  EXPECT_EQ(Answering([&] { Click(Child<QPushButton>(tab, u"btnClosePort"_s)); }),
            QStringList{u"关闭成功"_s});
  form_->Grid()->SelectRect({1, 1, 1, 1});
  Click(Vga());
  const QByteArray line = pty_.Read(9);
  ASSERT_EQ(line.size(), 9);
  const auto requests = gateway.Requests();
  ASSERT_EQ(requests.size(), 2u);  // close port, then the forward
  EXPECT_EQ(requests[1].left(6).toHex(' '), "a5 02 01 00 09 01");
  EXPECT_EQ(requests[1].mid(6, 9), line);
  EXPECT_TRUE(memo->toPlainText().contains(u"send to net ok"_s));
}

}  // namespace
