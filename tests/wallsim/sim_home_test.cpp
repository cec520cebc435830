#include "sim_home.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "core/ini_params_op.h"

namespace {

using namespace Qt::StringLiterals;

class SimHomeTest : public testing::Test {
 protected:
  QString Path(const QString& name) const { return dir.filePath(name); }
  QByteArray Read(const QString& name) const {
    QFile f(Path(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  QTemporaryDir dir;
  const QString slave = u"/dev/pts/77"_s;  // a link target need not exist
};

TEST_F(SimHomeTest, FirstRunLinksTheFiveLinesAndWritesTheConfiguration) {
  const QStringList slaves = {u"/dev/pts/71"_s, u"/dev/pts/72"_s, u"/dev/pts/73"_s,
                              u"/dev/pts/74"_s, u"/dev/pts/75"_s};
  const TSimHome::TResult r = TSimHome::Prepare(dir.path(), slaves, 3, 5);
  ASSERT_TRUE(r.ok) << r.error.toStdString();
  EXPECT_TRUE(r.wroteIni);
  for (int n = 1; n <= 5; ++n)
    EXPECT_EQ(QFileInfo(Path(u"ports/COM%1"_s.arg(n))).symLinkTarget(), slaves[n - 1]);
  EXPECT_FALSE(QFileInfo::exists(Path(u"ports/COM6"_s)));
  // Written by the console's own profile writer: CRLF, keys in this order.
  EXPECT_EQ(Read(u"Quvial.ini"_s),
            "[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM1\r\n"
            "MatrixCOMPortChecked=1\r\nMatrixCOMPort=COM2\r\n"
            "VGAMatrixCOMPortChecked=1\r\nVGAMatrixCOMPort=COM3\r\n"
            "DVIMatrixCOMPortChecked=1\r\nDVIMatrixCOMPort=COM4\r\n"
            "DVRCOMPortChecked=1\r\nDVRCOMPort=COM5\r\nrow=3\r\ncol=5\r\n");
  const TIniParamsOp ini(Path(u"Quvial.ini"_s));
  EXPECT_EQ(ini.ReadPortChecked(TPortId::DVIMatrix), 1);
  EXPECT_EQ(ini.ReadPortName(TPortId::DVR), u"COM5"_s);
  int rows = 0, cols = 0;
  ASSERT_TRUE(TSimHome::ReadWallSize(dir.path(), rows, cols));
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(cols, 5);
}

// Only the missing keys are added: the operator's VGA port stays COM7, the
// DVR's explicit "no port" stays empty, and the DVI matrix does not take
// COM4 from the splicers.
TEST_F(SimHomeTest, WiringAnExistingConfigurationAddsOnlyMissingPortKeys) {
  {
    QFile f(Path(u"Quvial.ini"_s));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "[COM]\r\ncomport=COM4\r\nCombineCOMPortChecked=1\r\nVGAMatrixCOMPort=COM7\r\n"
        "DVRCOMPortChecked=0\r\nDVRCOMPort=\r\nvgaindex=14\r\n");
  }
  const TSimHome::TResult r =
      TSimHome::Prepare(dir.path(), {slave, slave, slave, slave, slave}, 4, 4, true);
  ASSERT_TRUE(r.ok);
  EXPECT_FALSE(r.wroteIni);
  EXPECT_EQ(r.added, (QStringList{u"MatrixCOMPort=COM2"_s, u"MatrixCOMPortChecked=1"_s}));
  EXPECT_EQ(Read(u"Quvial.ini"_s),
            "[COM]\r\ncomport=COM4\r\nCombineCOMPortChecked=1\r\nVGAMatrixCOMPort=COM7\r\n"
            "DVRCOMPortChecked=0\r\nDVRCOMPort=\r\nvgaindex=14\r\n"
            "MatrixCOMPort=COM2\r\nMatrixCOMPortChecked=1\r\n");
  EXPECT_EQ(TSimHome::ReadMatrixBrand(dir.path(), TMatrixKind::Vga), u"VGA 04"_s);
  EXPECT_EQ(TSimHome::ReadMatrixBrand(dir.path(), TMatrixKind::Video), u"BRELUND"_s);
}

TEST_F(SimHomeTest, StaleLinkIsReplaced) {
  ASSERT_TRUE(QDir(dir.path()).mkpath(u"ports"_s));
  ASSERT_TRUE(QFile::link(u"/dev/pts/1"_s, Path(u"ports/COM1"_s)));
  ASSERT_TRUE(TSimHome::Prepare(dir.path(), {slave}, 4, 4).ok);
  EXPECT_EQ(QFileInfo(Path(u"ports/COM1"_s)).symLinkTarget(), slave);
}

TEST_F(SimHomeTest, PlainFileInTheLinksPlaceIsReplaced) {
  ASSERT_TRUE(QDir(dir.path()).mkpath(u"ports"_s));
  QFile f(Path(u"ports/COM1"_s));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  ASSERT_TRUE(TSimHome::Prepare(dir.path(), {slave}, 4, 4).ok);
  EXPECT_TRUE(QFileInfo(Path(u"ports/COM1"_s)).isSymLink());
}

TEST_F(SimHomeTest, DirectoryInTheLinksPlaceIsRefused) {
  ASSERT_TRUE(QDir(dir.path()).mkpath(u"ports/COM1"_s));
  const TSimHome::TResult r = TSimHome::Prepare(dir.path(), {slave}, 4, 4);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.error.contains(u"directory"_s));
}

TEST_F(SimHomeTest, ExistingConfigurationIsLeftAloneAndAMismatchIsNoted) {
  const QByteArray own = "[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM3\r\nrow=2\r\ncol=6\r\n";
  {
    QFile f(Path(u"Quvial.ini"_s));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(own);
  }
  const TSimHome::TResult r = TSimHome::Prepare(dir.path(), {slave}, 4, 4);
  ASSERT_TRUE(r.ok);
  EXPECT_FALSE(r.wroteIni);
  EXPECT_EQ(Read(u"Quvial.ini"_s), own);
  EXPECT_TRUE(r.note.contains(u"COM1"_s));
  int rows = 0, cols = 0;
  ASSERT_TRUE(TSimHome::ReadWallSize(dir.path(), rows, cols));
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(cols, 6);
}

TEST_F(SimHomeTest, MissingHomeIsCreated) {
  const QString home = dir.filePath(u"a/b"_s);
  ASSERT_TRUE(TSimHome::Prepare(home, {slave}, 4, 4).ok);
  EXPECT_TRUE(QFileInfo(home + u"/Quvial.ini"_s).isFile());
}

}  // namespace
