#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "app/quvial_form.h"
#include "link/port_names.h"
#include "link/serial_device.h"
#include "setup/setup_com_form.h"
#include "support/message_boxes.h"
#include "support/pty_pair.h"
#include "support/temp_home.h"

using namespace Qt::StringLiterals;

namespace {

// Runs the port setup action; work plays the operator in the modal dialog,
// which is cancelled afterwards if work left it open. Message boxes are
// answered and their texts kept in messages.
void SetupPorts(TQuvialForm& form, QStringList& messages,
                const std::function<void(TSetupCOMForm&)>& work) {
  TMessageBoxAnswerer boxes;
  QTimer::singleShot(0, [&work] {
    auto* dialog = qobject_cast<TSetupCOMForm*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    work(*dialog);
    if (dialog->isVisible()) dialog->reject();
  });
  form.findChild<QToolButton*>(u"btnSetupCOM"_s)->click();
  messages << boxes.texts;
}

QStringList Items(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}

template <typename T = QComboBox>
T* Control(TSetupCOMForm& dialog, const QString& name) {
  T* c = dialog.findChild<T*>(name);
  EXPECT_NE(c, nullptr) << name.toStdString();
  return c;
}

// COM1 and COM3 are free ptys, COM2 is held by another opener and every other
// name up to COM50 leads nowhere; the splicer is on COM1 and a DVR on COM9.
TEST(PortSetupGuiTest, ConflictWritesNothingAndOkOpensTheNewLines) {
  TTempHome home;
  TPtyPair ptys[3];
  ASSERT_TRUE(QDir().mkpath(home.File(u"ports"_s)));
  for (int n = 1; n <= 50; ++n) {
    const QString target = n <= 3 ? ptys[n - 1].SlavePath() : home.File(u"missing"_s);
    ASSERT_TRUE(QFile::link(target, home.File(u"ports/COM%1"_s.arg(n))));
  }
  TSerialDevice holder;
  ASSERT_EQ(holder.Open(ResolvePortName(u"COM2"_s)), TSerialDevice::TOpenResult::Opened);
  const QByteArray ini =
      "[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM1\r\nCheck=0\r\n"
      "DVRCOMPortChecked=1\r\nDVRCOMPort=COM9\r\nDVRBPS=4800\r\nCmdLen=1\r\n";
  ASSERT_TRUE(home.Write(u"Quvial.ini"_s, ini));
  RecordingPauser pauser;
  TQuvialForm form(TDeviceChoice{}, pauser);
  form.show();
  TPortSet& ports = form.Ports();
  ASSERT_TRUE(ports.Port(TPortId::Combine).IsOpen());
  QStringList messages;

  SetupPorts(form, messages, [&](TSetupCOMForm& dialog) {
    EXPECT_FALSE(ports.Port(TPortId::Combine).IsOpen()) << "closed while the dialog shows";
    for (int i = 0; i < TPortSet::kCount; ++i) {
      const auto id = static_cast<TPortId>(i);
      QStringList offered{u"COM1"_s, u"COM3"_s};
      if (id == TPortId::DVR) offered << u"COM9 (不在)"_s;
      EXPECT_EQ(Items(dialog.PortList(id)), offered);
    }
    EXPECT_EQ(dialog.PortList(TPortId::DVR)->currentText(), u"COM9 (不在)"_s);
    auto* videoPort = Control(dialog, u"cbbMatrixPort"_s);
    EXPECT_FALSE(videoPort->isEnabled()) << "an unused line's selectors are off";
    QTest::mouseClick(Control<QCheckBox>(dialog, u"cbMatrix"_s), Qt::LeftButton);
    EXPECT_TRUE(videoPort->isEnabled());
    videoPort->setCurrentIndex(0);  // COM1, the splicer's port
    QTest::mouseClick(Control<QPushButton>(dialog, u"btnOK"_s), Qt::LeftButton);
  });
  EXPECT_EQ(messages, QStringList{u"拼接串口和VIDEO矩阵串口不能使用同一个"_s});
  EXPECT_EQ(home.Read(u"Quvial.ini"_s), ini) << "nothing written";
  EXPECT_TRUE(ports.Port(TPortId::Combine).IsOpen()) << "the line comes back";

  SetupPorts(form, messages, [](TSetupCOMForm& dialog) {
    QTest::mouseClick(Control<QCheckBox>(dialog, u"cbMatrix"_s), Qt::LeftButton);
    Control(dialog, u"cbbMatrixPort"_s)->setCurrentIndex(1);  // COM3
    Control(dialog, u"cbbCombineBPS"_s)->setCurrentText(u"19200"_s);
    Control(dialog, u"cbbCmdLen"_s)->setCurrentText(u"7"_s);
    QTest::mouseClick(Control<QPushButton>(dialog, u"btnOK"_s), Qt::LeftButton);
  });
  const TIniParamsOp stored(home.File(u"Quvial.ini"_s));
  EXPECT_EQ(stored.ReadPortName(TPortId::Matrix), u"COM3"_s);
  EXPECT_EQ(stored.ReadPortName(TPortId::DVR), u"COM9"_s) << "the unplugged port is kept";
  EXPECT_EQ(stored.ReadPortBPS(TPortId::DVR), u"4800"_s);
  EXPECT_EQ(stored.ReadCmdLen(), 0);
  EXPECT_EQ(ports.Port(TPortId::Combine).BaudRate(), 19200u);
  ASSERT_TRUE(ports.Port(TPortId::Matrix).WriteCommData("\x5a\x01", 2));
  EXPECT_EQ(ptys[2].Read(2), QByteArray("\x5a\x01")) << "the VIDEO matrix line is COM3";

  form.SwitchLanguage(false);
  SetupPorts(form, messages, [](TSetupCOMForm& dialog) {
    auto* parity = Control(dialog, u"cbbVGAMatrixCheck"_s);
    EXPECT_EQ(Items(parity), (QStringList{u"No Check"_s, u"Odd Check"_s, u"Even Check"_s}));
    EXPECT_EQ(parity->currentIndex(), -1) << "an unused line's parity is blank";
    EXPECT_EQ(dialog.PortList(TPortId::DVR)->currentText(), u"COM9 (absent)"_s);
  });
  EXPECT_EQ(messages.size(), 1);
  EXPECT_TRUE(ports.Port(TPortId::Matrix).IsOpen()) << "cancelled: the lines come back";
}

}  // namespace
