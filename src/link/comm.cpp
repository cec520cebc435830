#include "link/comm.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QPointer>
#include <QSocketNotifier>
#include <cerrno>
#include <chrono>
#include <exception>
#include <thread>

#include "link/port_names.h"
#include "link/read_thread.h"
#include "link/write_thread.h"

TComm::TComm(QObject* owner) : QObject(owner) {}

TComm::~TComm() {
  StopComm();
  delete wakeNotifier_;
  if (wakeEvent_ >= 0) ::close(wakeEvent_);
}

bool TComm::EnsureWakeEvent() {
  if (wakeEvent_ >= 0) return true;
  wakeEvent_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeEvent_ < 0) return false;
  // Made once and kept: a handler may close the port while the notifier is
  // delivering, so it must not be destroyed by StopComm.
  wakeNotifier_ = new QSocketNotifier(wakeEvent_, QSocketNotifier::Read, this);
  connect(wakeNotifier_, &QSocketNotifier::activated, this, &TComm::DeliverEvents);
  return true;
}

void TComm::SetCommName(const QString& name) { commName_ = name; }

template <typename T>
void TComm::ChangeLine(T TLineSettings::*field, T value) {
  if (line_.*field == value) return;
  line_.*field = value;
  if (IsOpen()) ApplyLineSetting();
}

void TComm::ChangeTimeout(quint32 TCommTimeouts::*field, quint32 value) {
  if (timeouts_.*field == value) return;
  timeouts_.*field = value;
  if (IsOpen()) ApplyTimeouts();
}

void TComm::SetBaudRate(quint32 value) { ChangeLine(&TLineSettings::baudRate, value); }
void TComm::SetParityCheck(bool value) { ChangeLine(&TLineSettings::parityCheck, value); }
void TComm::SetOutx_CtsFlow(bool value) { ChangeLine(&TLineSettings::outxCtsFlow, value); }
void TComm::SetOutx_DsrFlow(bool value) { ChangeLine(&TLineSettings::outxDsrFlow, value); }
void TComm::SetDtrControl(TDtrControl value) { ChangeLine(&TLineSettings::dtrControl, value); }
void TComm::SetDsrSensitivity(bool value) { ChangeLine(&TLineSettings::dsrSensitivity, value); }
void TComm::SetTxContinueOnXoff(bool value) { ChangeLine(&TLineSettings::txContinueOnXoff, value); }
void TComm::SetOutx_XonXoffFlow(bool value) { ChangeLine(&TLineSettings::outxXonXoffFlow, value); }
void TComm::SetInx_XonXoffFlow(bool value) { ChangeLine(&TLineSettings::inxXonXoffFlow, value); }
void TComm::SetReplaceWhenParityError(bool value) {
  ChangeLine(&TLineSettings::replaceWhenParityError, value);
}
void TComm::SetIgnoreNullChar(bool value) { ChangeLine(&TLineSettings::ignoreNullChar, value); }
void TComm::SetRtsControl(TRtsControl value) { ChangeLine(&TLineSettings::rtsControl, value); }
void TComm::SetXonLimit(quint16 value) { ChangeLine(&TLineSettings::xonLimit, value); }
void TComm::SetXoffLimit(quint16 value) { ChangeLine(&TLineSettings::xoffLimit, value); }
void TComm::SetByteSize(TByteSize value) { ChangeLine(&TLineSettings::byteSize, value); }
void TComm::SetParity(TParity value) { ChangeLine(&TLineSettings::parity, value); }
void TComm::SetStopBits(TStopBits value) { ChangeLine(&TLineSettings::stopBits, value); }
void TComm::SetXonChar(quint8 value) { ChangeLine(&TLineSettings::xonChar, value); }
void TComm::SetXoffChar(quint8 value) { ChangeLine(&TLineSettings::xoffChar, value); }
void TComm::SetReplacedChar(quint8 value) { ChangeLine(&TLineSettings::replacedChar, value); }

void TComm::SetReadIntervalTimeout(quint32 value) {
  ChangeTimeout(&TCommTimeouts::readInterval, value);
}
void TComm::SetReadTotalTimeoutMultiplier(quint32 value) {
  ChangeTimeout(&TCommTimeouts::readTotalMultiplier, value);
}
void TComm::SetReadTotalTimeoutConstant(quint32 value) {
  ChangeTimeout(&TCommTimeouts::readTotalConstant, value);
}
void TComm::SetWriteTotalTimeoutMultiplier(quint32 value) {
  ChangeTimeout(&TCommTimeouts::writeTotalMultiplier, value);
}
void TComm::SetWriteTotalTimeoutConstant(quint32 value) {
  ChangeTimeout(&TCommTimeouts::writeTotalConstant, value);
}

void TComm::ApplyLineSetting() {
  // A device that refuses part of the setting keeps that part; nothing is
  // raised once the port is open.
  (void)device_.ApplyLine(line_);
  ApplyTimeouts();
}

void TComm::ApplyTimeouts() {
  // Reading is shaped by the reader thread. The write time-outs only split a
  // write on other platforms, after which the rest is written anyway, so they
  // change nothing here.
  if (reader_)
    reader_->SetOptions(timeouts_.readInterval, timeouts_.readTotalMultiplier,
                        timeouts_.readTotalConstant, line_.ignoreNullChar);
}

void TComm::StartComm() {
  if (IsOpen()) throw ECommsError(QStringLiteral("This serial port already opened"));

  devicePath_ = ResolvePortName(commName_);
  switch (device_.Open(devicePath_)) {
    case TSerialDevice::TOpenResult::Opened:
      break;
    case TSerialDevice::TOpenResult::OpenFailed:
      throw ECommsError(QStringLiteral("Error opening serial port"));
    case TSerialDevice::TOpenResult::NotSerial:
      throw ECommsError(QStringLiteral("File handle is not a comm handle "));
  }
  // Linux has no per-port driver queue size to set: the tty layer sizes its
  // buffers itself. The step cannot fail, so "Cannot setup comm buffer" is
  // never raised here.

  device_.DiscardInput();
  device_.DiscardOutput();
  sendDataEmpty_ = true;
  hungUp_ = false;
  (void)device_.ApplyLine(line_);

  closeEvent_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (closeEvent_ < 0 || !EnsureWakeEvent()) {
    ReleaseHandles();
    throw ECommsError(QStringLiteral("Unable to create event"));
  }

  auto sink = [this](TCommEvent&& event) { Post(std::move(event)); };
  try {
    reader_ = std::make_unique<TReadThread>(device_.Fd(), closeEvent_, sink);
    ApplyTimeouts();
    reader_->Start();
  } catch (const std::exception&) {
    reader_.reset();
    ReleaseHandles();
    throw ECommsError(QStringLiteral("Unable to create read thread"));
  }
  try {
    writer_ = std::make_unique<TWriteThread>(device_.Fd(), closeEvent_, &sendDataEmpty_, sink);
    writer_->Start();
  } catch (const std::exception&) {
    StopThreads();
    ReleaseHandles();
    throw ECommsError(QStringLiteral("Unable to create write thread"));
  }
}

void TComm::StopComm() {
  if (!IsOpen()) return;
  StopThreads();
  ReleaseHandles();
}

void TComm::StopThreads() {
  // Both threads wait on the close event together with the device, so they
  // end promptly; a thread blocked elsewhere in the kernel could not be
  // terminated by force in C++, which is why neither ever blocks without it.
  if (closeEvent_ >= 0) (void)::eventfd_write(closeEvent_, 1);
  device_.DiscardInput();
  if (reader_) reader_->Join();
  reader_.reset();
  device_.DiscardOutput();
  sendDataEmpty_ = true;
  if (writer_) writer_->Join();
  writer_.reset();
}

void TComm::ReleaseHandles() {
  if (closeEvent_ >= 0) ::close(closeEvent_);
  closeEvent_ = -1;
  device_.Close();
  ++generation_;
  // The threads are gone: nothing from this session may reach the handlers.
  std::lock_guard lock(inboxMutex_);
  inbox_.clear();
  wakePending_ = false;
  if (wakeEvent_ >= 0) {
    eventfd_t ignored = 0;
    (void)::eventfd_read(wakeEvent_, &ignored);
  }
}

void TComm::WaitWritten(int timeoutMs) {
  // The writer sets the flag once its queue has run empty; the wait is short
  // (the bytes are already queued), so a light poll serves better than a
  // second signalling path between the threads.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (IsOpen() && !sendDataEmpty_.load() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::microseconds(50));
}

bool TComm::WriteStalled() const { return writer_ && writer_->BlockedMs() >= kStallMs; }

bool TComm::WriteCommData(const char* data, quint16 count) {
  if (!writer_ || count == 0 || data == nullptr || WriteStalled()) return false;
  // QByteArray copies the bytes and keeps a zero after them.
  return writer_->Post(QByteArray(data, count));
}

void TComm::Post(TCommEvent&& event) {
  bool wake = false;
  {
    std::lock_guard lock(inboxMutex_);
    inbox_.push_back(std::move(event));
    if (!wakePending_) wakePending_ = wake = true;
  }
  if (wake) (void)::eventfd_write(wakeEvent_, 1);
}

void TComm::DeliverEvents() {
  // Reset the wake-up before taking the batch: a notification posted after
  // this point wakes the loop again, none is lost.
  eventfd_t ignored = 0;
  (void)::eventfd_read(wakeEvent_, &ignored);
  std::deque<TCommEvent> batch;
  {
    std::lock_guard lock(inboxMutex_);
    batch.swap(inbox_);
    wakePending_ = false;
  }
  const quint64 generation = generation_;
  const QPointer<TComm> self(this);
  for (const TCommEvent& event : batch) {
    Dispatch(event);
    // A handler may have closed, reopened or destroyed the port.
    if (!self || generation_ != generation) return;
  }
}

void TComm::Dispatch(const TCommEvent& event) {
  // No exception may escape into the event loop; port events are fire-and-
  // forget, so a failing handler only loses its own event.
  try {
    switch (event.kind) {
      case TCommEvent::TKind::ReceiveData:
        if (auto handler = OnReceiveData)
          handler(this, event.data.constData(), static_cast<quint16>(event.data.size()));
        break;
      case TCommEvent::TKind::ReceiveError:
        if (auto handler = OnReceiveError) handler(this, event.flags);
        break;
      case TCommEvent::TKind::ModemStateChange:
        if (auto handler = OnModemStateChange) handler(this, event.flags);
        break;
      case TCommEvent::TKind::RequestHangup:
        // Both threads see a line that went away; the owner hears it once.
        if (hungUp_) break;
        hungUp_ = true;
        if (auto handler = OnRequestHangup) handler(this);
        break;
      case TCommEvent::TKind::SendDataEmpty:
        if (auto handler = OnSendDataEmpty) handler(this);
        break;
    }
  } catch (const std::exception& e) {
    qWarning("Serial port event handler failed: %s", e.what());
  }
}
