#include "core/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <csignal>
#include <ostream>
#include <thread>

#include "core/program_dir.h"
#include "support/home_mount.h"
#include "support/temp_home.h"

namespace {

class AtomicFileTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(home.IsValid()); }
  TTempHome home;
};

TEST_F(AtomicFileTest, CreatesAndReplacesWithoutLeavingTemporaries) {
  const QString path = home.File(QStringLiteral("Quvial.ini"));
  ASSERT_TRUE(WriteFileAtomically(path, "first"));
  EXPECT_EQ(home.Read(QStringLiteral("Quvial.ini")), QByteArray("first"));
  ASSERT_TRUE(WriteFileAtomically(path, QByteArray()));
  EXPECT_EQ(ReadWholeFile(path), std::optional<QByteArray>(QByteArray()));
  ASSERT_TRUE(WriteFileAtomically(path, "second"));
  EXPECT_EQ(ReadWholeFile(path), std::optional<QByteArray>("second"));
  EXPECT_EQ(home.Entries(), QStringList{QStringLiteral("Quvial.ini")});
}

TEST_F(AtomicFileTest, KeepsPermissionsAndFollowsSymbolicLinks) {
  const QString real = home.File(QStringLiteral("real.ini"));
  ASSERT_TRUE(home.Write(QStringLiteral("real.ini"), "old"));
  ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
  const QString link = home.File(QStringLiteral("link.ini"));
  ASSERT_TRUE(QFile::link(real, link));

  ASSERT_TRUE(WriteFileAtomically(link, "new"));
  EXPECT_EQ(QFileInfo(link).isSymLink(), true);
  EXPECT_EQ(home.Read(QStringLiteral("real.ini")), QByteArray("new"));
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(AtomicFileTest, FailsWhenTheDirectoryIsAFile) {
  ASSERT_TRUE(home.Write(QStringLiteral("plain"), "x"));
  EXPECT_FALSE(WriteFileAtomically(home.File(QStringLiteral("plain/Quvial.ini")), "data"));
  EXPECT_FALSE(WriteFileAtomically(home.File(QStringLiteral("missing/Quvial.ini")), "data"));
  EXPECT_FALSE(WriteFileAtomically(QString(), "data"));
  EXPECT_EQ(home.Read(QStringLiteral("plain")), QByteArray("x"));
}

TEST_F(AtomicFileTest, RefusesToReplaceADirectory) {
  ASSERT_TRUE(QDir(home.Path()).mkdir(QStringLiteral("Quvial.ini")));
  EXPECT_FALSE(WriteFileAtomically(home.File(QStringLiteral("Quvial.ini")), "data"));
  EXPECT_EQ(home.Entries(), QStringList{QStringLiteral("Quvial.ini")});
}

TEST_F(AtomicFileTest, StartRemovesOnlyStaleTemporariesOfItsOwnWrites) {
  // Stale, then alike but not of the pattern, then of the pattern but in use.
  const QStringList names = {
      QStringLiteral(".Quvial.ini.tmp-a1B2c3"), QStringLiteral(".scene12.tmp-ZZZZZZ"),
      QStringLiteral("Quvial.ini.tmp-a1B2c3"),  QStringLiteral(".Quvial.ini.tmp-a1B2c"),
      QStringLiteral(".Quvial.ini.tmp-a1B2c_"), QStringLiteral(".tmp-a1B2c3"),
      QStringLiteral(".QV.ini.tmp-Cc3Dd4")};
  for (const QString& name : names) ASSERT_TRUE(home.Write(name, "x"));
  ASSERT_TRUE(QDir(home.Path()).mkpath(QStringLiteral("sub")));
  ASSERT_TRUE(home.Write(QStringLiteral("sub/.Quvial.ini.tmp-a1B2c3"), "x"));  // not its directory
  const int inUse = ::open(QFile::encodeName(home.File(names.back())).constData(), O_RDONLY);
  ASSERT_EQ(::flock(inUse, LOCK_EX), 0);

  EXPECT_EQ(RemoveStaleTemporaries(ProgramDir()), 2);
  ::close(inUse);
  for (qsizetype i = 0; i < names.size(); ++i)
    EXPECT_EQ(home.Exists(names[i]), i >= 2) << names[i].toStdString();
  EXPECT_TRUE(home.Exists(QStringLiteral("sub/.Quvial.ini.tmp-a1B2c3")));
}

// A full disk, simulated with a file size limit (which binds root too): the
// temporary cannot be written, the old file stays, nothing is left behind.
TEST_F(AtomicFileTest, FullDiskLeavesTheOldFile) {
  const QString path = home.File(QStringLiteral("Quvial.ini"));
  ASSERT_TRUE(WriteFileAtomically(path, "[COM]\r\nrow=2\r\n"));

  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 64;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = WriteFileAtomically(path, QByteArray(4096, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(home.Read(QStringLiteral("Quvial.ini")), QByteArray("[COM]\r\nrow=2\r\n"));
  EXPECT_EQ(home.Entries(), QStringList{QStringLiteral("Quvial.ini")});
}

// A read-only mount binds root too, where directory permissions do not.
TEST_F(AtomicFileTest, ReadOnlyDirectoryLeavesTheOldFile) {
  const QString path = home.File(QStringLiteral("Quvial.ini"));
  ASSERT_TRUE(WriteFileAtomically(path, "old"));
  THomeMount mount(home.Path());
  if (const QString why = mount.MakeReadOnly(); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
  EXPECT_FALSE(WriteFileAtomically(path, "new"));
  EXPECT_EQ(home.Read(QStringLiteral("Quvial.ini")), QByteArray("old"));
  EXPECT_EQ(home.Entries(), QStringList{QStringLiteral("Quvial.ini")});
}

// A reader running beside the writer only ever sees one whole version.
TEST_F(AtomicFileTest, ConcurrentReaderSeesOldOrNewNeverAMix) {
  const QString path = home.File(QStringLiteral("scene1"));
  const QByteArray a(64 * 1024, 'a');
  const QByteArray b(96 * 1024, 'b');
  ASSERT_TRUE(WriteFileAtomically(path, a));
  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::atomic<int> reads{0};
  std::thread reader([&] {
    while (!done.load()) {
      const auto bytes = ReadWholeFile(path);
      if (!bytes || (*bytes != a && *bytes != b)) ++torn;
      ++reads;
    }
  });
  for (int i = 0; i < 40; ++i) ASSERT_TRUE(WriteFileAtomically(path, i % 2 ? a : b));
  done = true;
  reader.join();
  EXPECT_EQ(torn.load(), 0);
  EXPECT_GT(reads.load(), 0);
}

class ReadWholeFileTest : public AtomicFileTest {};

TEST_F(ReadWholeFileTest, MissingDirectoryAndFifoGiveNothing) {
  EXPECT_FALSE(ReadWholeFile(home.File(QStringLiteral("none"))).has_value());
  EXPECT_FALSE(ReadWholeFile(home.Path()).has_value());
  EXPECT_FALSE(ReadWholeFile(QString()).has_value());
  const QByteArray fifo = QFile::encodeName(home.File(QStringLiteral("fifo")));
  ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
  EXPECT_FALSE(ReadWholeFile(QFile::decodeName(fifo)).has_value());  // must not block
}

TEST_F(ReadWholeFileTest, LimitRefusesLargerFiles) {
  ASSERT_TRUE(home.Write(QStringLiteral("f"), QByteArray(1000, 'z')));
  EXPECT_EQ(ReadWholeFile(home.File(QStringLiteral("f")), 1000)->size(), 1000);
  EXPECT_FALSE(ReadWholeFile(home.File(QStringLiteral("f")), 999).has_value());
}

TEST_F(ReadWholeFileTest, KeepsBinaryContent) {
  QByteArray bytes;
  for (int i = 0; i < 256; ++i) bytes.append(static_cast<char>(i));
  ASSERT_TRUE(WriteFileAtomically(home.File(QStringLiteral("bin")), bytes));
  EXPECT_EQ(ReadWholeFile(home.File(QStringLiteral("bin"))), std::optional<QByteArray>(bytes));
}

}  // namespace
