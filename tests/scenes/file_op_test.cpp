#include "scenes/file_op.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "support/temp_home.h"

namespace {

class FileOpTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(home.IsValid()); }
  TTempHome home;
};

TEST_F(FileOpTest, CreatesAMissingFileEmptyAndWritesRawBytes) {
  const QString path = home.File(QStringLiteral("scene1"));
  {
    TFileOP file(path);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_TRUE(file.Writable());
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);
    const char bytes[] = {'\x01', '\x00', '\x02', '\x03'};
    EXPECT_EQ(file.Write(bytes, 4), 4);
  }
  EXPECT_EQ(home.Read(QStringLiteral("scene1")), QByteArray("\x01\x00\x02\x03", 4));
}

TEST_F(FileOpTest, OpensAnExistingFileWithoutTruncatingAndReadsToItsEnd) {
  ASSERT_TRUE(home.Write(QStringLiteral("scene2"), "0123456789"));
  TFileOP file(home.File(QStringLiteral("scene2")));
  ASSERT_TRUE(file.IsOpen());
  char buffer[8] = {};
  EXPECT_EQ(file.Read(buffer, 4), 4);
  EXPECT_EQ(QByteArray(buffer, 4), QByteArray("0123"));
  EXPECT_EQ(file.Read(buffer, 8), 6);  // the end of the file stops the read
  EXPECT_EQ(QByteArray(buffer, 6), QByteArray("456789"));
  EXPECT_EQ(file.Read(buffer, 8), 0);
  EXPECT_EQ(file.Read(buffer, -1), 0);
  EXPECT_EQ(file.Read(nullptr, 4), 0);
}

TEST_F(FileOpTest, DirectoriesAndFifosAreNotOpened) {
  ASSERT_TRUE(QDir(home.Path()).mkdir(QStringLiteral("scene3")));
  TFileOP dir(home.File(QStringLiteral("scene3")));
  EXPECT_FALSE(dir.IsOpen());
  char buffer[4];
  EXPECT_EQ(dir.Read(buffer, 4), 0);
  EXPECT_EQ(dir.Write("abcd", 4), 0);

  const QByteArray fifo = QFile::encodeName(home.File(QStringLiteral("scene4")));
  ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
  TFileOP pipe(home.File(QStringLiteral("scene4")));  // must not block
  EXPECT_FALSE(pipe.IsOpen());
}

TEST_F(FileOpTest, UnreachablePathIsNotOpened) {
  ASSERT_TRUE(home.Write(QStringLiteral("plain"), "x"));
  TFileOP file(home.File(QStringLiteral("plain/scene1")));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.Write("abc", 3), 0);
  TFileOP none{QString()};
  EXPECT_FALSE(none.IsOpen());
}

}  // namespace
