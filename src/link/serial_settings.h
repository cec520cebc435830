#pragma once

#include <QtGlobal>

// The line setting and time-outs of a serial port as plain values, so that the
// port object and the device layer share one description of them.

enum class TDtrControl { DtrEnable, DtrDisable, DtrHandshake };
enum class TRtsControl { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };
enum class TByteSize { _5, _6, _7, _8 };
enum class TParity { None, Odd, Even, Mark, Space };
enum class TStopBits { _1, _1_5, _2 };

// Everything that is applied to the device in one go when any of it changes.
struct TLineSettings {
  quint32 baudRate = 9600;
  bool parityCheck = false;
  bool outxCtsFlow = false;
  bool outxDsrFlow = false;
  TDtrControl dtrControl = TDtrControl::DtrEnable;
  bool dsrSensitivity = false;
  bool txContinueOnXoff = true;
  bool outxXonXoffFlow = true;
  bool inxXonXoffFlow = true;
  bool replaceWhenParityError = false;
  bool ignoreNullChar = false;
  TRtsControl rtsControl = TRtsControl::RtsEnable;
  quint16 xonLimit = 500;
  quint16 xoffLimit = 500;
  TByteSize byteSize = TByteSize::_8;
  TParity parity = TParity::None;
  TStopBits stopBits = TStopBits::_1;
  quint8 xonChar = 0x11;
  quint8 xoffChar = 0x13;
  quint8 replacedChar = 0x00;
};

// Milliseconds. Only the interval time-out shapes reading; see TReadThread.
struct TCommTimeouts {
  quint32 readInterval = 100;
  quint32 readTotalMultiplier = 0;
  quint32 readTotalConstant = 0;
  quint32 writeTotalMultiplier = 0;
  quint32 writeTotalConstant = 0;
};
