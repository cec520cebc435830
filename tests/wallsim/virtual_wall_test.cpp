#include "virtual_wall.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "core/ini_params_op.h"
#include "support/event_wait.h"
#include "support/test_bytes.h"

// Readable failures: gtest prints a QString as text, not as its code units.

namespace {

using namespace Qt::StringLiterals;

// Plays the console: opens a port through its link and writes.
void WriteTo(const QString& port, const char* hex) {
  const int fd = ::open(QFile::encodeName(port).constData(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0) << port.toStdString();
  const QByteArray bytes = QByteArray::fromHex(hex);
  EXPECT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
  ::close(fd);
}

TEST(VirtualWall, DevicesSitOnComTwoToFiveAndTheVgaMatrixFollowsItsBrand) {
  QTemporaryDir home;
  const QString ini = home.filePath(u"Quvial.ini"_s);
  {
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[COM]\r\nvgaindex=14\r\n");  // "VGA 04"
  }
  TVirtualWall wall({home.path(), 2, 2, false, {}});
  QString error, note;
  ASSERT_TRUE(wall.Start(&error, &note)) << error.toStdString();
  const QString ready = wall.ReadyLine();
  for (int n = 1; n <= 5; ++n) {
    const QString target = QFileInfo(home.filePath(u"ports/COM%1"_s.arg(n))).symLinkTarget();
    EXPECT_TRUE(target.startsWith(u"/dev/pts/"_s)) << n;
    EXPECT_TRUE(ready.contains(u"COM%1 %2"_s.arg(n).arg(target))) << ready.toStdString();
  }
  EXPECT_TRUE(ready.startsWith(u"ready COM1 /dev/"_s));

  const auto stateHas = [&](const QString& line) {
    return ProcessEventsUntil([&] { return wall.StateLines().contains(line); });
  };
  WriteTo(home.filePath(u"ports/COM3"_s), "21 31 3a 47 31 32 2a 37 7e 0d");
  ASSERT_TRUE(stateHas(u"matrix VGA brand VGA 04 out 7 in 12"_s));
  WriteTo(home.filePath(u"ports/COM5"_s), "90 01 fe 00 00 01 00 90 90 05 1d 01 01 00 00 b4");
  ASSERT_TRUE(stateHas(u"dvr split 9 address 5"_s));
  // The routes and the split follow the four screens, in this order.
  EXPECT_EQ(wall.StateLines().mid(4),
            (QStringList{u"matrix VGA brand VGA 04 out 7 in 12"_s, u"dvr split 9 address 5"_s}));

  // The operator picks another brand in the console: the next command is read with it.
  TIniParamsOp(ini).WriteVgaIndex(1);  // "CREATEK"
  WriteTo(home.filePath(u"ports/COM3"_s), "0c 56 05");
  EXPECT_TRUE(stateHas(u"matrix VGA brand CREATEK out 5 in 12"_s));
  EXPECT_TRUE(wall.CountersText().contains(u"matrix-commands 2 matrix-bad 0"_s));
}

}  // namespace
