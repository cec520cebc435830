#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "link/comm_event.h"
#include "link/comms_error.h"
#include "link/port_writer.h"
#include "link/serial_device.h"
#include "link/serial_settings.h"

class QSocketNotifier;
class TReadThread;
class TWriteThread;

// The serial port object: settings, opening and closing, a write that never
// blocks the caller (a writer thread sends the bytes in call order) and a
// reader thread whose chunks, like every other notification, arrive as events
// on the thread that owns the object. Notifications still queued when the port
// closes are dropped.
//
// A line that goes away while open (a USB adapter pulled, the far end of a
// pty closed) shows as a hang-up (POLLHUP, EIO, or end of file on the tty):
// the threads stop and OnRequestHangup is called once for the session. The
// port stays open until its owner closes it, so that the owner decides what
// the loss means; StartComm opens the line again once the device is back.
class TComm : public QObject, public TPortWriter {
  Q_OBJECT

 public:
  explicit TComm(QObject* owner = nullptr);
  // Closes the port if still open, so that no thread outlives the object.
  ~TComm() override;

  QString CommName() const { return commName_; }
  void SetCommName(const QString& name);  // used at the next StartComm

  quint32 BaudRate() const { return line_.baudRate; }
  void SetBaudRate(quint32 value);
  bool ParityCheck() const { return line_.parityCheck; }
  void SetParityCheck(bool value);
  bool Outx_CtsFlow() const { return line_.outxCtsFlow; }
  void SetOutx_CtsFlow(bool value);
  bool Outx_DsrFlow() const { return line_.outxDsrFlow; }
  void SetOutx_DsrFlow(bool value);
  TDtrControl DtrControl() const { return line_.dtrControl; }
  void SetDtrControl(TDtrControl value);
  bool DsrSensitivity() const { return line_.dsrSensitivity; }
  void SetDsrSensitivity(bool value);
  bool TxContinueOnXoff() const { return line_.txContinueOnXoff; }
  void SetTxContinueOnXoff(bool value);
  bool Outx_XonXoffFlow() const { return line_.outxXonXoffFlow; }
  void SetOutx_XonXoffFlow(bool value);
  bool Inx_XonXoffFlow() const { return line_.inxXonXoffFlow; }
  void SetInx_XonXoffFlow(bool value);
  bool ReplaceWhenParityError() const { return line_.replaceWhenParityError; }
  void SetReplaceWhenParityError(bool value);
  bool IgnoreNullChar() const { return line_.ignoreNullChar; }
  void SetIgnoreNullChar(bool value);
  TRtsControl RtsControl() const { return line_.rtsControl; }
  void SetRtsControl(TRtsControl value);
  quint16 XonLimit() const { return line_.xonLimit; }
  void SetXonLimit(quint16 value);
  quint16 XoffLimit() const { return line_.xoffLimit; }
  void SetXoffLimit(quint16 value);
  TByteSize ByteSize() const { return line_.byteSize; }
  void SetByteSize(TByteSize value);
  TParity Parity() const { return line_.parity; }
  void SetParity(TParity value);
  TStopBits StopBits() const { return line_.stopBits; }
  void SetStopBits(TStopBits value);
  quint8 XonChar() const { return line_.xonChar; }
  void SetXonChar(quint8 value);
  quint8 XoffChar() const { return line_.xoffChar; }
  void SetXoffChar(quint8 value);
  quint8 ReplacedChar() const { return line_.replacedChar; }
  void SetReplacedChar(quint8 value);

  quint32 ReadIntervalTimeout() const { return timeouts_.readInterval; }
  void SetReadIntervalTimeout(quint32 value);
  quint32 ReadTotalTimeoutMultiplier() const { return timeouts_.readTotalMultiplier; }
  void SetReadTotalTimeoutMultiplier(quint32 value);
  quint32 ReadTotalTimeoutConstant() const { return timeouts_.readTotalConstant; }
  void SetReadTotalTimeoutConstant(quint32 value);
  quint32 WriteTotalTimeoutMultiplier() const { return timeouts_.writeTotalMultiplier; }
  void SetWriteTotalTimeoutMultiplier(quint32 value);
  quint32 WriteTotalTimeoutConstant() const { return timeouts_.writeTotalConstant; }
  void SetWriteTotalTimeoutConstant(quint32 value);

  // Throws ECommsError; the object then stays closed with nothing held.
  void StartComm();
  // Does nothing when closed.
  void StopComm();
  // How long the device may take no bytes while some wait before the line
  // counts as stalled.
  static constexpr int kStallMs = 2000;

  // Copies the bytes for the writer thread. False when closed, when count is 0,
  // when the writer has ended (the line hung up) or while the line is stalled:
  // a device that takes nothing must not make the queue grow without bound.
  bool WriteCommData(const char* data, quint16 count) override;
  // The writer has held bytes the device did not take for kStallMs or more.
  bool WriteStalled() const;
  void WaitWritten(int timeoutMs) override;
  bool IsOpen() const { return device_.IsOpen(); }
  bool SendDataEmpty() const { return sendDataEmpty_.load(); }
  // The line hung up since the last StartComm.
  bool HungUp() const { return hungUp_; }
  // What CommName resolved to at the last StartComm.
  QString DevicePath() const { return devicePath_; }

  // Events on the owning thread; an unassigned event is ignored.
  std::function<void(TComm*, const char* data, quint16 count)> OnReceiveData;  // data[count] == 0
  // Unused on this platform: termios does not report parity or framing errors
  // without marking them in the data stream.
  std::function<void(TComm*, quint32 errors)> OnReceiveError;
  std::function<void(TComm*, quint32 flags)>
      OnModemStateChange;  // 8 carrier detect changed, 4 ring
  std::function<void(TComm*)> OnRequestHangup;
  std::function<void(TComm*)> OnSendDataEmpty;

 private:
  bool EnsureWakeEvent();
  void DeliverEvents();
  void Post(TCommEvent&& event);
  void Dispatch(const TCommEvent& event);
  template <typename T>
  void ChangeLine(T TLineSettings::*field, T value);
  void ChangeTimeout(quint32 TCommTimeouts::*field, quint32 value);
  void ApplyLineSetting();
  void ApplyTimeouts();
  void StopThreads();
  void ReleaseHandles();

  QString commName_ = QStringLiteral("COM2");
  QString devicePath_;
  TLineSettings line_;
  TCommTimeouts timeouts_;
  TSerialDevice device_;
  int closeEvent_ = -1;
  std::unique_ptr<TReadThread> reader_;
  std::unique_ptr<TWriteThread> writer_;
  std::atomic<bool> sendDataEmpty_{true};
  // Bumped at every close, so that a batch being delivered stops when a
  // handler closes or reopens the port.
  quint64 generation_ = 0;
  bool hungUp_ = false;  // owning thread only

  // The threads' notifications wait in the inbox; an eventfd watched by the
  // owning thread's event loop says that there are some. Nothing but our own
  // lock and that descriptor is shared with the threads.
  std::mutex inboxMutex_;
  std::deque<TCommEvent> inbox_;  // guarded by inboxMutex_
  bool wakePending_ = false;      // guarded by inboxMutex_
  int wakeEvent_ = -1;
  QSocketNotifier* wakeNotifier_ = nullptr;
};
