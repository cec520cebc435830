#include "link/send_path.h"

#include <algorithm>

#include "core/pauser.h"
#include "link/port_writer.h"
#include "link/scene_recorder.h"

namespace {

const QString kMsgLabel = QStringLiteral(" : msg = ");
const QString kSwitchMsgLabel = QStringLiteral(" : switch msg = ");

}  // namespace

TSendPath::TSendPath(TPortWriter& splicer, Pauser& pauser) : splicer_(splicer), pauser_(pauser) {}

void TSendPath::SetSendMode(int mode) {
  if (mode >= 0 && mode <= 2) sendMode_ = mode;
}

bool TSendPath::SendFrame(const quint8* frame) {
  // A corrupt length byte must not read past the 9-byte frame buffer.
  const int count = std::min<int>(frame[1], kMaxFrameBytes);
  if (count == 0) return true;
  quint8 bytes[kMaxFrameBytes];
  std::copy_n(frame, count, bytes);

  if (Recording()) recorder_->StoreFrame(bytes, count);
  if (Serial() && SplicerEnabled()) WriteSerial(bytes, count);
  if (Network()) Forward(bytes, count);
  pauser_.Pause(kFramePause);
  if (accessLevel_ == 3 && SplicerEnabled()) Trace(kMsgLabel, bytes, count);
  return true;
}

bool TSendPath::SendSwitcherFrame(const quint8* frame, int count) {
  if (count < 0) return true;
  const int n =
      count == 0 ? std::min<int>(frame[1], kMaxFrameBytes) : std::min(count, kMaxRawBytes);
  if (n == 0) return true;
  quint8 bytes[kMaxRawBytes];
  std::copy_n(frame, n, bytes);

  const bool recording = Recording();
  if (recording) recorder_->StoreSwitcherFrame(bytes, n);
  // Evaluated before anything is sent: a delay that does not convert throws here.
  if (matrixDelay) {
    if (const std::optional<int> delay = matrixDelay()) {
      pauser_.Pause(*delay);
      if (recording) recorder_->StoreDelay(1, *delay);
    }
  }
  if (Serial()) WriteSerial(bytes, n);
  if (Network()) Forward(bytes, n);
  if (accessLevel_ == 3) Trace(count != 0 ? kSwitchMsgLabel : kMsgLabel, bytes, n);
  return true;
}

bool TSendPath::SendRawFrame(const quint8* buffer, int count) {
  if (count < 0) return true;
  const int n = std::min<int>(count == 0 ? buffer[1] : count, kMaxRawBytes);
  if (n == 0) return true;
  quint8 bytes[kMaxRawBytes];
  std::copy_n(buffer, n, bytes);

  if (Recording()) recorder_->StoreFrame(bytes, n);
  if (Serial()) WriteSerial(bytes, n);
  if (Network()) Forward(bytes, n);
  pauser_.Pause(kFramePause);
  if (accessLevel_ == 3) Trace(kMsgLabel, bytes, n);
  return true;
}

QString TSendPath::TraceLine(const QDateTime& when, const QString& label, const quint8* bytes,
                             int count) {
  QString line = when.toString(QStringLiteral("yyyy/M/d HH:mm:ss")) + label;
  line.reserve(line.size() + 4 * std::max(count, 0));
  for (int i = 0; i < count; ++i) {
    line += u' ';
    line += QString::number(bytes[i], 16).rightJustified(2, u'0');
    line += u' ';
  }
  return line;
}

void TSendPath::WriteSerial(const quint8* bytes, int count) {
  if (splicer_.WriteCommData(reinterpret_cast<const char*>(bytes), static_cast<quint16>(count)))
    splicer_.WaitWritten(kWriteWaitMs);
}

void TSendPath::Forward(const quint8* bytes, int count) {
  const QByteArray data(reinterpret_cast<const char*>(bytes), count);
  const bool sent = gatewayForward && gatewayForward(data);
  Memo(sent ? QStringLiteral("send to net ok") : QStringLiteral("send to net error"));
}

void TSendPath::Trace(const QString& label, const quint8* bytes, int count) {
  const QDateTime now = clock ? clock() : QDateTime::currentDateTime();
  Memo(TraceLine(now, label, bytes, count));
}

void TSendPath::Memo(const QString& line) {
  if (memo) memo(line);
}

bool TSendPath::Recording() const { return recorder_ != nullptr && recorder_->Recording(); }
