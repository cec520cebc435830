#include "linkage/matrix_linkage.h"

#include <algorithm>
#include <optional>

#include "core/bilingual.h"
#include "core/conversion.h"
#include "core/pauser.h"
#include "link/port_writer.h"
#include "link/scene_recorder.h"
#include "link/send_path.h"
#include "linkage/linkage_trace.h"

namespace {

constexpr quint8 kMatrixDelay = 1;       // delay record sub-kind: milliseconds
constexpr qsizetype kMaxWrite = 0xFFFF;  // the most one port write takes

// The matrix a source kind code drives; none for YUV and unknown codes.
std::optional<TMatrixKind> KindOfCode(int code) {
  switch (code) {
    case 1:
    case 2:
    case 10:
      return TMatrixKind::Video;
    case 3:
      return TMatrixKind::Vga;
    case 4:
    case 5:
    case 7:
      return TMatrixKind::Dvi;
    default:
      return std::nullopt;
  }
}

struct GatewayCodes {
  int channel;
  int role;
};
GatewayCodes GatewayCodesOf(TMatrixKind kind) {
  switch (kind) {
    case TMatrixKind::Vga:
      return {2, 3};
    case TMatrixKind::Dvi:
      return {4, 4};
    case TMatrixKind::Video:
      break;
  }
  return {3, 2};
}

}  // namespace

TMatrixLinkage::TMatrixLinkage(TSendPath& send, Pauser& pauser, TPortWriter& video,
                               TPortWriter& vga, TPortWriter& dvi)
    : send_(send), pauser_(pauser), video_(video), vga_(vga), dvi_(dvi) {}

bool TMatrixLinkage::CanTick() const {
  if (send_.SendMode() == 1) return true;
  if (!portEnabled) return false;
  return portEnabled(TMatrixKind::Video) || portEnabled(TMatrixKind::Vga) ||
         portEnabled(TMatrixKind::Dvi);
}

bool TMatrixLinkage::SetTicked(bool on) {
  ticked_ = on && CanTick();
  return ticked_ == on;
}

QString TMatrixLinkage::RefusalText(bool chinese) {
  return Bilingual(chinese, u"请先选择矩阵串口", u"Please Setup Matrix COM Port");
}

QString TMatrixLinkage::TipLine(bool chinese) const {
  return Bilingual(chinese, u"AV矩阵: ", u"AV Matrix: ") + settings_.videoBrand +
         Bilingual(chinese, u"       VGA矩阵: ", u"       VGA Matrix: ") + settings_.vgaBrand;
}

QString TMatrixLinkage::TipLine2(bool chinese) const {
  return Bilingual(chinese, u"DVI矩阵: ", u"DVI Matrix: ") + settings_.dviBrand;
}

void TMatrixLinkage::LinkMatrix(int code, quint16 start, quint16 end,
                                const TMatrixControls& controls) {
  latestSource_ = code;
  Link(code, start, end, controls);
}

void TMatrixLinkage::Relink(quint16 start, quint16 end, const TMatrixControls& controls) {
  if (lastCode_ != 0) Link(lastCode_, start, end, controls);
}

int TMatrixLinkage::Delay() const { return settings_.delayOn ? StrToInt(settings_.delayText) : 0; }

void TMatrixLinkage::SetDevice(TMatrixRequest& request) const {
  switch (request.kind) {
    case TMatrixKind::Video:
      request.brand = settings_.videoBrand;
      request.address = StrToInt(settings_.videoId);
      break;
    case TMatrixKind::Vga:
      request.brand = settings_.vgaBrand;
      request.address = StrToInt(settings_.vgaId);
      break;
    case TMatrixKind::Dvi:
      request.brand = settings_.dviBrand;
      request.address = StrToInt(settings_.dviId);
      break;
  }
}

void TMatrixLinkage::Link(int code, quint16 start, quint16 end, const TMatrixControls& controls) {
  if (!ticked_) return;
  const std::optional<TMatrixKind> kind = KindOfCode(code);
  if (!kind) {
    lastCode_ = code;  // YUV: remembered for a later channel change, nothing sent
    return;
  }
  // Both numbers convert before anything is sent, so a bad text stops the
  // linkage whole; the splicer frame before it stays sent.
  const int delay = Delay();
  TMatrixRequest request;
  request.kind = *kind;
  SetDevice(request);
  request.start = start;
  request.end = end;
  request.longFrames = controls.longFrames;
  request.columns = controls.columns;
  request.input = static_cast<quint16>(std::max(controls.channelIndex, 0) + 1);
  request.latestSource = latestSource_;
  currentKind_ = *kind;

  for (const QByteArray& command : BuildMatrixCommands(request)) {
    SendMatrixBytes(command, *kind);
    if (Recording())
      recorder_->StoreMatrixCommand(reinterpret_cast<const quint8*>(command.constData()),
                                    static_cast<int>(command.size()), static_cast<quint8>(*kind));
    if (delay >= 1) {
      pauser_.Pause(delay);
      if (Recording()) recorder_->StoreDelay(kMatrixDelay, delay);
    }
  }
  lastCode_ = code;
}

void TMatrixLinkage::SendMatrixBytes(const QByteArray& bytes, TMatrixKind kind) {
  if (bytes.isEmpty()) return;
  const int mode = send_.SendMode();
  // A whole-rectangle command can be longer than any fixed buffer: it goes
  // out whole (in writes the port's count can hold, back to back).
  if (mode == 0 || mode == 2) {
    TPortWriter& port = Port(kind);
    bool written = false;
    for (qsizetype at = 0; at < bytes.size(); at += kMaxWrite) {
      const auto count = static_cast<quint16>(std::min<qsizetype>(bytes.size() - at, kMaxWrite));
      written = port.WriteCommData(bytes.constData() + at, count) || written;
    }
    if (written) port.WaitWritten(TSendPath::kWriteWaitMs);
  }
  if ((mode == 1 || mode == 2) && gatewayForward) {
    const GatewayCodes codes = GatewayCodesOf(kind);
    ForwardInChunks(bytes, [&](const QByteArray& piece) {
      return gatewayForward(piece, codes.channel, codes.role);
    });
  }
  TraceLinkageBytes(send_, QStringLiteral(" : matrix msg = "), QStringLiteral(" Matrix Chars : "),
                    bytes);
}

TPortWriter& TMatrixLinkage::Port(TMatrixKind kind) const {
  switch (kind) {
    case TMatrixKind::Vga:
      return vga_;
    case TMatrixKind::Dvi:
      return dvi_;
    case TMatrixKind::Video:
      break;
  }
  return video_;
}

bool TMatrixLinkage::Recording() const { return recorder_ != nullptr && recorder_->Recording(); }
