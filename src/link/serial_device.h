#pragma once

#include <QString>

#include "link/serial_settings.h"

// From <termios.h>, which is left out here so that its many macros do not
// reach every user of the port object.
struct termios;

// One open serial device (POSIX termios): opened non-blocking and exclusively,
// so that neither a second port object nor another program that honours flock
// can use it at the same time. Owns the descriptor; closing releases the claim.
class TSerialDevice {
 public:
  enum class TOpenResult { Opened, OpenFailed, NotSerial };

  TSerialDevice() = default;
  ~TSerialDevice();
  TSerialDevice(const TSerialDevice&) = delete;
  TSerialDevice& operator=(const TSerialDevice&) = delete;

  // OpenFailed: missing, busy or not permitted. NotSerial: opens but is no tty
  // (a regular file, /dev/null, a serial node without a working driver).
  TOpenResult Open(const QString& path);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  int Fd() const { return fd_; }

  void DiscardInput();
  void DiscardOutput();

  // Raw binary mode plus the given setting, starting from the device's current
  // one. Parts the device refuses (modem lines or parity on a pty, a speed the
  // driver cannot do) keep their current value; false when it refused any.
  bool ApplyLine(const TLineSettings& line);

  // Writes the setting into t: raw binary mode, character format, flow
  // control, special characters and, for the rates termios names, the speed.
  // False when the rate needs the driver's custom-speed interface.
  static bool ComposeLine(struct termios& t, const TLineSettings& line);

  // TIOCM_* bits of the modem lines; false where the driver has none (ptys).
  static bool ReadModemLines(int fd, int* bits);
  // Event flags for a change of modem lines: 8 carrier detect changed, 4 ring
  // indicator came on.
  static quint32 ModemChanges(int before, int after);
  // False for a legacy serial node that has no UART behind it.
  static bool HasHardware(int fd);

 private:
  int fd_ = -1;
};
