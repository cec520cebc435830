#include "link/serial_device.h"

#include <QFile>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "link/line_speed.h"

namespace {

struct TStandardSpeed {
  quint32 baud;
  speed_t code;
};

constexpr std::array<TStandardSpeed, 30> kStandardSpeeds{{
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
}};

const TStandardSpeed* FindStandardSpeed(quint32 baud) {
  for (const auto& s : kStandardSpeeds)
    if (s.baud == baud) return &s;
  return nullptr;
}

tcflag_t SizeBits(TByteSize size) {
  switch (size) {
    case TByteSize::_5: return CS5;
    case TByteSize::_6: return CS6;
    case TByteSize::_7: return CS7;
    case TByteSize::_8: break;
  }
  return CS8;
}

void SetModemLine(int fd, int bit, bool on) {
  // Ptys and some adapters have no modem lines; the setting then has no effect.
  (void)::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bit);
}

}  // namespace

TSerialDevice::~TSerialDevice() { Close(); }

TSerialDevice::TOpenResult TSerialDevice::Open(const QString& path) {
  Close();
  if (path.isEmpty()) return TOpenResult::OpenFailed;
  const QByteArray name = QFile::encodeName(path);
  const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return TOpenResult::OpenFailed;
  // TIOCEXCL alone does not stop root; the advisory lock stops every opener
  // that asks for it, this program included.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return TOpenResult::OpenFailed;
  }
  termios t{};
  if (!::isatty(fd) || ::tcgetattr(fd, &t) != 0) {
    ::close(fd);
    return TOpenResult::NotSerial;
  }
  (void)::ioctl(fd, TIOCEXCL);
  fd_ = fd;
  return TOpenResult::Opened;
}

void TSerialDevice::Close() {
  if (fd_ < 0) return;
  // The exclusive flag outlives this descriptor while others keep the tty
  // open; clear it so that the next open succeeds.
  (void)::ioctl(fd_, TIOCNXCL);
  ::close(fd_);
  fd_ = -1;
}

void TSerialDevice::DiscardInput() {
  if (fd_ >= 0) (void)::tcflush(fd_, TCIFLUSH);
}

void TSerialDevice::DiscardOutput() {
  if (fd_ >= 0) (void)::tcflush(fd_, TCOFLUSH);
}

bool TSerialDevice::ComposeLine(termios& t, const TLineSettings& line) {
  // Binary: no translation, no echo, no signals; a read returns what is there.
  t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                 IXANY | INPCK | IGNPAR);
  t.c_oflag &= ~OPOST;
  t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;

  // Without PARMRK a byte with a parity error reads as zero, the default
  // replacement character.
  if (line.parityCheck) t.c_iflag |= INPCK;
  if (line.outxXonXoffFlow) t.c_iflag |= IXON;
  if (line.inxXonXoffFlow) t.c_iflag |= IXOFF;
  if (line.outxCtsFlow) t.c_cflag |= CRTSCTS;
  t.c_cc[VSTART] = static_cast<cc_t>(line.xonChar);
  t.c_cc[VSTOP] = static_cast<cc_t>(line.xoffChar);

  t.c_cflag |= SizeBits(line.byteSize);
  switch (line.parity) {
    case TParity::None: break;
    case TParity::Odd: t.c_cflag |= PARENB | PARODD; break;
    case TParity::Even: t.c_cflag |= PARENB; break;
    case TParity::Mark: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case TParity::Space: t.c_cflag |= PARENB | CMSPAR; break;
  }
  // With five data bits the UART sends one and a half stop bits for CSTOPB.
  if (line.stopBits != TStopBits::_1) t.c_cflag |= CSTOPB;

  // Speed 0 would hang the line up; it keeps the current speed, like any
  // rate the driver refuses.
  if (line.baudRate == 0) return true;
  const TStandardSpeed* standard = FindStandardSpeed(line.baudRate);
  if (!standard) return false;
  ::cfsetispeed(&t, standard->code);
  ::cfsetospeed(&t, standard->code);
  return true;
}

bool TSerialDevice::ApplyLine(const TLineSettings& line) {
  if (fd_ < 0) return false;
  termios t{};
  if (::tcgetattr(fd_, &t) != 0) return false;
  const bool standardSpeed = ComposeLine(t, line);
  // A driver that refuses part of the setting (ptys take no parity or
  // character size) reports failure but applies the rest; go on regardless.
  const bool applied = ::tcsetattr(fd_, TCSANOW, &t) == 0;
  if (!standardSpeed) (void)SetCustomLineSpeed(fd_, line.baudRate);

  // DSR flow, DSR sensitivity, continue-on-XOFF and the XON/XOFF limits have no
  // termios counterpart; handshake modes of DTR keep the line on.
  SetModemLine(fd_, TIOCM_DTR, line.dtrControl != TDtrControl::DtrDisable);
  if (!line.outxCtsFlow) SetModemLine(fd_, TIOCM_RTS, line.rtsControl != TRtsControl::RtsDisable);
  return applied;
}

bool TSerialDevice::ReadModemLines(int fd, int* bits) { return ::ioctl(fd, TIOCMGET, bits) == 0; }

quint32 TSerialDevice::ModemChanges(int before, int after) {
  quint32 flags = 0;
  if ((before ^ after) & TIOCM_CD) flags |= 8;
  if ((after & TIOCM_RI) && !(before & TIOCM_RI)) flags |= 4;
  return flags;
}

bool TSerialDevice::HasHardware(int fd) {
  serial_struct info{};
  if (::ioctl(fd, TIOCGSERIAL, &info) != 0) return true;  // not a UART driver: a pty, a USB adapter
  return info.type != PORT_UNKNOWN;
}
