#include "link/port_names.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "link/comm.h"
#include "support/pty_pair.h"
#include "support/temp_home.h"

namespace {

// Points QUVIAL_PORTS at a temporary ports directory for one test.
class PortNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    hadPorts = qEnvironmentVariableIsSet("QUVIAL_PORTS");
    oldPorts = qgetenv("QUVIAL_PORTS");
    qputenv("QUVIAL_PORTS", QFile::encodeName(dir.path()));
  }
  void TearDown() override {
    if (hadPorts)
      qputenv("QUVIAL_PORTS", oldPorts);
    else
      qunsetenv("QUVIAL_PORTS");
  }
  QString Entry(const QString& name) const { return dir.path() + QStringLiteral("/") + name; }
  void Link(const QString& name, const QString& target) const {
    ASSERT_TRUE(QFile::link(target, Entry(name)));
  }

  QTemporaryDir dir;
  bool hadPorts = false;
  QByteArray oldPorts;
};

TEST_F(PortNamesTest, TheEnvironmentNamesThePortDirectory) {
  EXPECT_EQ(PortDirectory(), dir.path());
}

TEST_F(PortNamesTest, WithoutTheEnvironmentThePortsLiveBesideTheProgramFiles) {
  qunsetenv("QUVIAL_PORTS");
  TTempHome home;
  ASSERT_TRUE(home.IsValid());
  EXPECT_EQ(PortDirectory(), home.File(QStringLiteral("ports")));
  qputenv("QUVIAL_PORTS", "");
  EXPECT_EQ(PortDirectory(), home.File(QStringLiteral("ports")));
}

struct TNameCase {
  const char* name;
  const char* expected;  // "%dir%" stands for the ports directory
};

class PortNameResolutionTest : public PortNamesTest,
                               public ::testing::WithParamInterface<TNameCase> {};

TEST_P(PortNameResolutionTest, ResolvesByTheRule) {
  Link(QStringLiteral("COM3"), QStringLiteral("/dev/null"));
  Link(QStringLiteral("COM6"), dir.path() + QStringLiteral("/gone"));  // dangling
  QString expected = QString::fromUtf8(GetParam().expected);
  expected.replace(QStringLiteral("%dir%"), dir.path());
  EXPECT_EQ(ResolvePortName(QString::fromUtf8(GetParam().name)), expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, PortNameResolutionTest,
    ::testing::Values(
        TNameCase{"COM3", "%dir%/COM3"}, TNameCase{"com3", "%dir%/COM3"},
        TNameCase{"Com3", "%dir%/COM3"}, TNameCase{R"(\\.\COM3)", "%dir%/COM3"},
        TNameCase{R"(\\.\com3)", "%dir%/COM3"},
        // A link that leads nowhere must not fall through to a real port.
        TNameCase{"COM6", "%dir%/COM6"},
        TNameCase{"COM1", "/dev/ttyS0"}, TNameCase{"COM5", "/dev/ttyS4"},
        TNameCase{R"(\\.\COM12)", "/dev/ttyS11"}, TNameCase{"COM254", "/dev/ttyS253"},
        TNameCase{"/dev/ttyUSB0", "/dev/ttyUSB0"}, TNameCase{"/tmp/COM3", "/tmp/COM3"},
        TNameCase{"COM0", "COM0"}, TNameCase{"COM03", "COM03"}, TNameCase{"COM", "COM"},
        TNameCase{"COMx", "COMx"}, TNameCase{" COM3", " COM3"}, TNameCase{"COM3 ", "COM3 "},
        TNameCase{"COM-1", "COM-1"}, TNameCase{"COM99999", "COM99999"},
        TNameCase{R"(\\.\foo)", R"(\\.\foo)"}, TNameCase{R"(\\?\COM3)", R"(\\?\COM3)"},
        TNameCase{"ttyS0", "ttyS0"}, TNameCase{"", ""}));

TEST_F(PortNamesTest, APortObjectOpensAPtyLinkedUnderItsComName) {
  TPtyPair pty;
  ASSERT_TRUE(pty.IsValid());
  Link(QStringLiteral("COM7"), pty.SlavePath());
  TComm comm;
  comm.SetCommName(QStringLiteral(R"(\\.\COM7)"));
  comm.SetOutx_XonXoffFlow(false);
  comm.SetInx_XonXoffFlow(false);
  ASSERT_NO_THROW(comm.StartComm());
  EXPECT_EQ(comm.DevicePath(), Entry(QStringLiteral("COM7")));
  ASSERT_TRUE(comm.WriteCommData("\xC8\x09", 2));
  EXPECT_EQ(pty.Read(2), QByteArray("\xC8\x09"));
  comm.StopComm();
}

}  // namespace
