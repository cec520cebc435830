#include "link/port_probe.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "link/comm.h"
#include "support/pty_pair.h"

namespace {

// A ports directory with one working port (a pty as COM7) and names that
// must not count: /dev/null as COM8, a plain file as COM9, a dangling link as
// COM10.
class PortProbeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(pty.IsValid());
    hadPorts = qEnvironmentVariableIsSet("QUVIAL_PORTS");
    oldPorts = qgetenv("QUVIAL_PORTS");
    qputenv("QUVIAL_PORTS", QFile::encodeName(dir.path()));
    ASSERT_TRUE(QFile::link(pty.SlavePath(), Entry(QStringLiteral("COM7"))));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), Entry(QStringLiteral("COM8"))));
    QFile plain(Entry(QStringLiteral("COM9")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("x");
    plain.close();
    ASSERT_TRUE(QFile::link(Entry(QStringLiteral("gone")), Entry(QStringLiteral("COM10"))));
  }
  void TearDown() override {
    if (hadPorts)
      qputenv("QUVIAL_PORTS", oldPorts);
    else
      qunsetenv("QUVIAL_PORTS");
  }
  QString Entry(const QString& name) const { return dir.path() + QStringLiteral("/") + name; }

  QTemporaryDir dir;
  TPtyPair pty;
  bool hadPorts = false;
  QByteArray oldPorts;
};

TEST_F(PortProbeTest, ListsOnlyTheNamesThatOpenAsSerialPorts) {
  EXPECT_EQ(ProbeSerialPorts(7, 10), QStringList{QStringLiteral("COM7")});
}

TEST_F(PortProbeTest, APortInUseIsLeftOutAndStaysUsable) {
  TComm comm;
  comm.SetCommName(QStringLiteral("COM7"));
  comm.SetOutx_XonXoffFlow(false);
  comm.SetInx_XonXoffFlow(false);
  comm.StartComm();
  EXPECT_TRUE(ProbeSerialPorts(7, 7).isEmpty());
  ASSERT_TRUE(comm.WriteCommData("ok", 2));
  EXPECT_EQ(pty.Read(2), QByteArray("ok"));
  comm.StopComm();
  EXPECT_EQ(ProbeSerialPorts(7, 7), QStringList{QStringLiteral("COM7")});
}

TEST_F(PortProbeTest, TheProbeLeavesThePortFreeForTheProgram) {
  ASSERT_EQ(ProbeSerialPorts(7, 7).size(), 1);
  TComm comm;
  comm.SetCommName(QStringLiteral("COM7"));
  EXPECT_NO_THROW(comm.StartComm());
}

TEST_F(PortProbeTest, TheWholeRangeIsQuickAndInOrder) {
  TPtyPair second;
  ASSERT_TRUE(second.IsValid());
  ASSERT_TRUE(QFile::link(second.SlavePath(), Entry(QStringLiteral("COM200"))));
  QElapsedTimer timer;
  timer.start();
  const QStringList ports = ProbeSerialPorts();
  EXPECT_LT(timer.elapsed(), 1000);
  const qsizetype com7 = ports.indexOf(QStringLiteral("COM7"));
  const qsizetype com200 = ports.indexOf(QStringLiteral("COM200"));
  ASSERT_GE(com7, 0);
  EXPECT_GT(com200, com7);
  for (const char* absent : {"COM8", "COM9", "COM10", "COM255"})
    EXPECT_FALSE(ports.contains(QString::fromLatin1(absent))) << absent;
}

TEST_F(PortProbeTest, AnEmptyRangeListsNothing) {
  EXPECT_TRUE(ProbeSerialPorts(10, 7).isEmpty());
  EXPECT_TRUE(ProbeSerialPorts(-5, 0).isEmpty());
}

}  // namespace
