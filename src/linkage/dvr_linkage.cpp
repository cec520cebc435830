#include "linkage/dvr_linkage.h"

#include "core/bilingual.h"
#include "core/conversion.h"
#include "core/pauser.h"
#include "link/scene_recorder.h"
#include "link/port_writer.h"
#include "link/send_path.h"
#include "linkage/linkage_trace.h"

namespace {

constexpr int kGatewayChannel = 5;
constexpr int kGatewayRole = 5;

// Header, address, command, three argument bytes, zero, then the low byte
// of the sum of the seven bytes before it.
QByteArray DvrFrame(quint8 address, quint8 command, quint8 a, quint8 b, quint8 c) {
  QByteArray frame(8, '\0');
  const quint8 bytes[7] = {0x90, address, command, a, b, c, 0x00};
  quint8 sum = 0;
  for (int i = 0; i < 7; ++i) {
    frame[i] = static_cast<char>(bytes[i]);
    sum = static_cast<quint8>(sum + bytes[i]);
  }
  frame[7] = static_cast<char>(sum);
  return frame;
}

}  // namespace

QByteArray DvrLeadFrame() { return DvrFrame(0x01, 0xFE, 0x00, 0x00, 0x01); }

QByteArray DvrSplitFrame(quint8 address, int picturesIndex) {
  return DvrFrame(address, static_cast<quint8>(0x1B + picturesIndex), 0x01, 0x01, 0x00);
}

TDVRLinkage::TDVRLinkage(TSendPath& send, Pauser& pauser, TPortWriter& dvr)
    : send_(send), pauser_(pauser), dvr_(dvr) {}

bool TDVRLinkage::CanTick() const {
  return send_.SendMode() == 1 || (portEnabled && portEnabled());
}

bool TDVRLinkage::SetTicked(bool on) {
  ticked_ = on && CanTick();
  return ticked_ == on;
}

QString TDVRLinkage::RefusalText(bool chinese) {
  return Bilingual(chinese, u"请选选择DVR串口", u"Please Setup DVR COM Port");
}

QString TDVRLinkage::BrandLabel() const { return QStringLiteral("DVR: ") + settings_.brand; }

void TDVRLinkage::UpdateSplit(bool manual, const TDvrControls& controls) {
  if (!ticked_ || settings_.brand != u"DaHua") return;
  if (controls.picturesIndex < 0 || controls.picturesIndex > 3) return;
  const int delay = settings_.delayOn ? StrToInt(settings_.delayText) : 0;
  const int address = manual ? controls.addressIndex + 1 : StrToInt(settings_.idText);
  for (const QByteArray& frame :
       {DvrLeadFrame(), DvrSplitFrame(static_cast<quint8>(address), controls.picturesIndex)}) {
    SendDvrBytes(frame);
    const bool recording = recorder_ && recorder_->Recording();
    if (recording)
      recorder_->StoreMatrixCommand(reinterpret_cast<const quint8*>(frame.constData()),
                                    static_cast<int>(frame.size()), TSceneRecorder::kDvrTarget);
    if (delay < 1) continue;
    pauser_.Pause(delay);
    if (recording) recorder_->StoreDelay(1, delay);
  }
}

void TDVRLinkage::SendDvrBytes(const QByteArray& bytes) {
  const int mode = send_.SendMode();
  if (bytes.isEmpty() || !(mode == 1 || (portEnabled && portEnabled()))) return;
  if ((mode == 0 || mode == 2) && bytes.size() <= 0xFFFF &&
      dvr_.WriteCommData(bytes.constData(), static_cast<quint16>(bytes.size())))
    dvr_.WaitWritten(TSendPath::kWriteWaitMs);
  if ((mode == 1 || mode == 2) && gatewayForward)
    ForwardInChunks(bytes, [this](const QByteArray& piece) {
      return gatewayForward(piece, kGatewayChannel, kGatewayRole);
    });
  TraceLinkageBytes(send_, QStringLiteral(" : dvr msg = "), QStringLiteral(" dvr Chars : "), bytes);
}
