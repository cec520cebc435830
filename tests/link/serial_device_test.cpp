#include "link/serial_device.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include "support/pty_pair.h"

namespace {

struct TFrameFormat {
  TByteSize size;
  TParity parity;
  TStopBits stop;
  tcflag_t expected;  // CSIZE, PARENB, PARODD, CMSPAR and CSTOPB bits
};

class SerialDeviceFormatTest : public ::testing::TestWithParam<TFrameFormat> {};

// Composed, not read back from a device: ptys keep neither parity nor
// character size, so only a real UART would show them.
TEST_P(SerialDeviceFormatTest, CharacterFormatReplacesWhateverWasSet) {
  termios t{};
  t.c_cflag = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL;
  TLineSettings line;
  line.byteSize = GetParam().size;
  line.parity = GetParam().parity;
  line.stopBits = GetParam().stop;
  line.outxXonXoffFlow = false;
  line.inxXonXoffFlow = false;
  EXPECT_TRUE(TSerialDevice::ComposeLine(t, line));
  EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), GetParam().expected);
  EXPECT_EQ(t.c_cflag & (CRTSCTS | CLOCAL | CREAD | HUPCL), tcflag_t(CLOCAL | CREAD | HUPCL));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SerialDeviceFormatTest,
    ::testing::Values(
        TFrameFormat{TByteSize::_8, TParity::None, TStopBits::_1, CS8},
        TFrameFormat{TByteSize::_7, TParity::Even, TStopBits::_1, CS7 | PARENB},
        TFrameFormat{TByteSize::_7, TParity::Odd, TStopBits::_2, CS7 | PARENB | PARODD | CSTOPB},
        TFrameFormat{TByteSize::_6, TParity::Mark, TStopBits::_1, CS6 | PARENB | PARODD | CMSPAR},
        TFrameFormat{TByteSize::_5, TParity::Space, TStopBits::_1_5, CS5 | PARENB | CMSPAR | CSTOPB}));

class SerialDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.IsValid());
    ASSERT_EQ(device.Open(pty.SlavePath()), TSerialDevice::TOpenResult::Opened);
  }

  termios Setting() const {
    termios t{};
    EXPECT_EQ(::tcgetattr(pty.SlaveFd(), &t), 0);
    return t;
  }

  TPtyPair pty;
  TSerialDevice device;
};

TEST(SerialDeviceComposeTest, BinaryModeClearsEveryTranslation) {
  termios t{};
  t.c_iflag = IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXANY | IGNPAR;
  t.c_oflag = OPOST;
  t.c_lflag = ECHO | ECHONL | ICANON | ISIG | IEXTEN;
  TLineSettings line;
  line.outxXonXoffFlow = false;
  line.inxXonXoffFlow = false;
  TSerialDevice::ComposeLine(t, line);
  EXPECT_EQ(t.c_iflag, tcflag_t(0));
  EXPECT_EQ(t.c_oflag & OPOST, tcflag_t(0));
  EXPECT_EQ(t.c_lflag, tcflag_t(0));
  EXPECT_EQ(t.c_cc[VMIN], 1);
  EXPECT_EQ(t.c_cc[VTIME], 0);
}

struct TSpeedCase {
  quint32 baud;
  bool standard;
  speed_t expected;  // the speed in the composed setting
};

class SerialDeviceSpeedTest : public ::testing::TestWithParam<TSpeedCase> {};

TEST_P(SerialDeviceSpeedTest, NamedRatesAreComposedOthersNeedTheDriver) {
  termios t{};
  ::cfsetospeed(&t, B4800);
  ::cfsetispeed(&t, B4800);
  TLineSettings line;
  line.baudRate = GetParam().baud;
  EXPECT_EQ(TSerialDevice::ComposeLine(t, line), GetParam().standard);
  EXPECT_EQ(::cfgetospeed(&t), GetParam().expected);
  EXPECT_EQ(::cfgetispeed(&t), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, SerialDeviceSpeedTest,
    ::testing::Values(TSpeedCase{9600, true, B9600}, TSpeedCase{115200, true, B115200},
                      TSpeedCase{50, true, B50}, TSpeedCase{4000000, true, B4000000},
                      // Zero would mean "hang up": the current speed stays.
                      TSpeedCase{0, true, B4800},
                      TSpeedCase{14400, false, B4800}, TSpeedCase{250000, false, B4800}));

TEST_F(SerialDeviceTest, FlowControlAndCharactersFollowTheSetting) {
  TLineSettings line;
  line.parityCheck = true;
  line.outxXonXoffFlow = true;
  line.inxXonXoffFlow = false;
  line.outxCtsFlow = true;
  line.xonChar = 0x21;
  line.xoffChar = 0x23;
  ASSERT_TRUE(device.ApplyLine(line));
  termios t = Setting();
  EXPECT_TRUE(t.c_iflag & INPCK);
  EXPECT_TRUE(t.c_iflag & IXON);
  EXPECT_FALSE(t.c_iflag & IXOFF);
  EXPECT_TRUE(t.c_cflag & CRTSCTS);
  EXPECT_EQ(t.c_cc[VSTART], 0x21);
  EXPECT_EQ(t.c_cc[VSTOP], 0x23);

  line.parityCheck = false;
  line.outxXonXoffFlow = false;
  line.inxXonXoffFlow = true;
  line.outxCtsFlow = false;
  ASSERT_TRUE(device.ApplyLine(line));
  t = Setting();
  EXPECT_FALSE(t.c_iflag & INPCK);
  EXPECT_FALSE(t.c_iflag & IXON);
  EXPECT_TRUE(t.c_iflag & IXOFF);
  EXPECT_FALSE(t.c_cflag & CRTSCTS);
}

TEST_F(SerialDeviceTest, ReadsReturnAtOnceWithWhatIsThere) {
  ASSERT_TRUE(device.ApplyLine(TLineSettings{}));
  const termios t = Setting();
  EXPECT_EQ(t.c_cc[VMIN], 1);
  EXPECT_EQ(t.c_cc[VTIME], 0);
  EXPECT_TRUE(t.c_cflag & CREAD);
  EXPECT_TRUE(t.c_cflag & CLOCAL);
}

TEST_F(SerialDeviceTest, CloseReleasesTheDeviceForTheNextOpener) {
  TSerialDevice other;
  EXPECT_EQ(other.Open(pty.SlavePath()), TSerialDevice::TOpenResult::OpenFailed);
  device.Close();
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(other.Open(pty.SlavePath()), TSerialDevice::TOpenResult::Opened);
}

TEST_F(SerialDeviceTest, APtyCountsAsHardware) { EXPECT_TRUE(TSerialDevice::HasHardware(device.Fd())); }

TEST(SerialDeviceOpenTest, TellsMissingFromNotSerial) {
  TSerialDevice device;
  EXPECT_EQ(device.Open(QStringLiteral("/nonexistent/tty")), TSerialDevice::TOpenResult::OpenFailed);
  EXPECT_EQ(device.Open(QString()), TSerialDevice::TOpenResult::OpenFailed);
  EXPECT_EQ(device.Open(QStringLiteral("/dev/null")), TSerialDevice::TOpenResult::NotSerial);
  EXPECT_FALSE(device.IsOpen());
}

struct TModemCase {
  int before;
  int after;
  quint32 expected;
};

class ModemChangesTest : public ::testing::TestWithParam<TModemCase> {};

TEST_P(ModemChangesTest, CarrierChangeIsEightRingComingOnIsFour) {
  EXPECT_EQ(TSerialDevice::ModemChanges(GetParam().before, GetParam().after), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ModemChangesTest,
    ::testing::Values(TModemCase{0, 0, 0u}, TModemCase{0, TIOCM_CD, 8u}, TModemCase{TIOCM_CD, 0, 8u},
                      TModemCase{0, TIOCM_RI, 4u}, TModemCase{TIOCM_RI, 0, 0u},
                      TModemCase{0, TIOCM_CD | TIOCM_RI, 12u},
                      TModemCase{TIOCM_DSR, TIOCM_CTS | TIOCM_DSR, 0u},
                      TModemCase{TIOCM_CD | TIOCM_RI, TIOCM_CD | TIOCM_RI, 0u}));

}  // namespace
