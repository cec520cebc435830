// The matrix and DVR linkage through the main window's real controls: the
// splicer, VGA matrix and DVR ports are ptys, the bytes are read at their far
// ends. And the matrix setup dialog's OK and Cancel over Quvial.ini.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/quvial_form.h"
#include "linkage/matrix_setup_form.h"
#include "support/message_boxes.h"
#include "support/pty_pair.h"
#include "support/temp_home.h"
#include "wall/wall_grid_view.h"

using namespace Qt::StringLiterals;

namespace {

class LinkageGuiTest : public testing::Test {
 protected:
  void Start(const QString& extraKeys) {
    ASSERT_TRUE(QDir().mkpath(home.File(u"ports"_s)));
    for (const auto& [pty, name] :
         {std::pair{&splicer, u"COM3"_s}, {&vgaMatrix, u"COM4"_s}, {&dvr, u"COM5"_s}}) {
      ASSERT_TRUE(pty->IsValid());
      ASSERT_TRUE(QFile::link(pty->SlavePath(), home.File(u"ports/"_s + name)));
    }
    ASSERT_TRUE(home.Write(u"Quvial.ini"_s,
                           (u"[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM3\r\n"
                            "VGAMatrixCOMPortChecked=1\r\nVGAMatrixCOMPort=COM4\r\n"
                            "DVRCOMPortChecked=1\r\nDVRCOMPort=COM5\r\nrow=4\r\ncol=4\r\n"_s +
                            extraKeys)
                               .toLatin1()));
    TDeviceChoice choice;
    choice.family = 0;  // QN-51
    choice.portListHidden = true;
    form = std::make_unique<TQuvialForm>(choice, pauser);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  template <typename T>
  T* Control(const QString& name, QObject* root = nullptr) {
    T* c = (root ? root : form.get())->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name.toStdString();
    return c;
  }
  static void Tick(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  }
  // The VGA matrix's commands for the selected columns 2-3, rows 1-2.
  static QByteArray VgaCommands(int input) {
    const std::vector<QByteArray> commands = BuildMatrixCommands(
        {TMatrixKind::Vga, u"BRELUND"_s, 1, 0x0102, 0x0203, true, 4, static_cast<quint16>(input)});
    EXPECT_EQ(commands.size(), 4u);  // outputs 2, 3, 6, 7
    QByteArray all;
    for (const QByteArray& c : commands) all += c;
    return all;
  }
  static std::string Hex(const QByteArray& bytes) { return bytes.toHex(' ').toStdString(); }

  TTempHome home;
  TPtyPair splicer, vgaMatrix, dvr;
  RecordingPauser pauser;
  std::unique_ptr<TQuvialForm> form;
};

TEST_F(LinkageGuiTest, VgaSelectionDrivesTheMatrixAndTheDvrAndAChannelChangeRelinks) {
  Start(u"vgaindex=0\r\nmdelayvalue=20\r\ndvrid=7\r\n"_s);
  auto* matrix = Control<QCheckBox>(u"cbMatrixCMB"_s);
  auto* channel = Control<QComboBox>(u"cbbChannel"_s);
  ASSERT_EQ(channel->count(), 512);
  EXPECT_FALSE(channel->isEnabled());

  Tick(matrix);
  Tick(Control<QCheckBox>(u"cbDVRCMB"_s));
  ASSERT_TRUE(matrix->isChecked());
  EXPECT_TRUE(channel->isEnabled());
  EXPECT_EQ(Control<QLabel>(u"lblMatrixTip"_s)->text(),
            u"AV矩阵: BRELUND       VGA矩阵: BRELUND"_s);
  EXPECT_EQ(Control<QLabel>(u"lblDVR"_s)->text(), u"DVR: DaHua"_s);

  form->Grid()->SelectRect({1, 0, 2, 1});
  QRadioButton* vga = nullptr;
  for (QRadioButton* b : Control<QWidget>(u"QN-51"_s)->findChildren<QRadioButton*>())
    if (b->text() == u"VGA" && b->isVisible()) vga = b;
  ASSERT_NE(vga, nullptr);
  EXPECT_FALSE(form->Grid()->canAcceptDrop(channel));  // nothing linked yet
  Tick(vga);
  EXPECT_TRUE(form->Grid()->canAcceptDrop(channel));

  EXPECT_EQ(Hex(splicer.Read(9)), "c8 09 01 02 02 03 20 02 fb");
  EXPECT_EQ(vgaMatrix.Read(VgaCommands(1).size()), VgaCommands(1));
  EXPECT_EQ(Hex(dvr.Read(16)), "90 01 fe 00 00 01 00 90 90 07 1b 01 01 00 00 b4");
  EXPECT_EQ(pauser.pauses, (std::vector<int>{50, 20, 20, 20, 20, 50, 50}));

  // Another input: the matrix follows for the same screens, the splicers hear nothing.
  QTest::keyClick(channel, Qt::Key_Down);
  EXPECT_EQ(vgaMatrix.Read(VgaCommands(2).size()), VgaCommands(2));
  EXPECT_TRUE(splicer.ReadUntilQuiet(100).isEmpty());

  // By hand: nine pictures on DVR 5.
  Control<QComboBox>(u"cbbPics"_s)->setCurrentIndex(2);
  Control<QComboBox>(u"cbbDVRAddress"_s)->setCurrentIndex(4);
  QTest::mouseClick(Control<QPushButton>(u"btnDVRManult"_s), Qt::LeftButton);
  EXPECT_EQ(Hex(dvr.Read(16)), "90 01 fe 00 00 01 00 90 90 05 1d 01 01 00 00 b4");
}

TEST_F(LinkageGuiTest, MatrixSetupCancelRestoresAndOkStoresUnknownBrandsAsFirstEntries) {
  Start(u"videoindex=99\r\ndviindex=-1\r\n"_s);
  TMatrixSetupForm* dialog = form->MatrixSetupForm();
  EXPECT_EQ(Control<QComboBox>(u"cbbVideo"_s, dialog)->currentText(), u"BRELUND"_s);
  EXPECT_EQ(Control<QComboBox>(u"cbbDVI"_s, dialog)->currentIndex(), 0);
  const QByteArray before = home.Read(u"Quvial.ini"_s);
  EXPECT_TRUE(before.contains("videoindex=99"));

  auto* vgaId = Control<QLineEdit>(u"edtVGAId"_s, dialog);
  auto* vga = Control<QComboBox>(u"cbbVGA"_s, dialog);
  Control<QAction>(u"menuItemMatrixSetup"_s)->trigger();
  ASSERT_TRUE(dialog->isVisible());
  vgaId->setText(u"abc"_s);
  vga->setCurrentIndex(2);
  QString message;
  AnswerNextBox(&message);
  QTest::mouseClick(Control<QPushButton>(u"btnok"_s, dialog), Qt::LeftButton);
  EXPECT_TRUE(message.contains(u"abc"_s));
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(home.Read(u"Quvial.ini"_s), before);

  QTest::mouseClick(Control<QPushButton>(u"btnCancel"_s, dialog), Qt::LeftButton);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(vgaId->text(), u"1"_s);
  EXPECT_EQ(vga->currentIndex(), 0);
  EXPECT_EQ(form->MatrixLinkage().Settings().vgaId, u"1"_s);

  Control<QAction>(u"menuItemMatrixSetup"_s)->trigger();
  vga->setCurrentIndex(2);
  QTest::mouseClick(Control<QPushButton>(u"btnok"_s, dialog), Qt::LeftButton);
  EXPECT_FALSE(dialog->isVisible());
  const QByteArray after = home.Read(u"Quvial.ini"_s);
  for (const char* key :
       {"videoindex=0", "vgaindex=2", "dviindex=0", "vgaid=1", "mchoosed=1", "mdelayvalue=50"})
    EXPECT_TRUE(after.contains(key)) << key;
}

}  // namespace
