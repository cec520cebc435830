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

TEST_F(SimHomeTest, FirstRunLinksComOneAndWritesTheConfiguration) {
  const TSimHome::TResult r = TSimHome::Prepare(dir.path(), slave, 3, 5);
  ASSERT_TRUE(r.ok) << r.error.toStdString();
  EXPECT_TRUE(r.wroteIni);
  EXPECT_EQ(QFileInfo(Path(u"ports/COM1"_s)).symLinkTarget(), slave);
  // Written by the console's own profile writer: CRLF, keys in this order.
  EXPECT_EQ(Read(u"Quvial.ini"_s),
            "[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM1\r\nrow=3\r\ncol=5\r\n");
  const TIniParamsOp ini(Path(u"Quvial.ini"_s));
  EXPECT_EQ(ini.ReadPortChecked(TPortId::Combine), 1);
  EXPECT_EQ(ini.ReadPortName(TPortId::Combine), u"COM1"_s);
  int rows = 0, cols = 0;
  ASSERT_TRUE(TSimHome::ReadWallSize(dir.path(), rows, cols));
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(cols, 5);
}

TEST_F(SimHomeTest, StaleLinkIsReplaced) {
  ASSERT_TRUE(QDir(dir.path()).mkpath(u"ports"_s));
  ASSERT_TRUE(QFile::link(u"/dev/pts/1"_s, Path(u"ports/COM1"_s)));
  ASSERT_TRUE(TSimHome::Prepare(dir.path(), slave, 4, 4).ok);
  EXPECT_EQ(QFileInfo(Path(u"ports/COM1"_s)).symLinkTarget(), slave);
}

TEST_F(SimHomeTest, PlainFileInTheLinksPlaceIsReplaced) {
  ASSERT_TRUE(QDir(dir.path()).mkpath(u"ports"_s));
  QFile f(Path(u"ports/COM1"_s));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  ASSERT_TRUE(TSimHome::Prepare(dir.path(), slave, 4, 4).ok);
  EXPECT_TRUE(QFileInfo(Path(u"ports/COM1"_s)).isSymLink());
}

TEST_F(SimHomeTest, DirectoryInTheLinksPlaceIsRefused) {
  ASSERT_TRUE(QDir(dir.path()).mkpath(u"ports/COM1"_s));
  const TSimHome::TResult r = TSimHome::Prepare(dir.path(), slave, 4, 4);
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
  const TSimHome::TResult r = TSimHome::Prepare(dir.path(), slave, 4, 4);
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
  ASSERT_TRUE(TSimHome::Prepare(home, slave, 4, 4).ok);
  EXPECT_TRUE(QFileInfo(home + u"/Quvial.ini"_s).isFile());
}

}  // namespace
