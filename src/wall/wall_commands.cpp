#include "wall/wall_commands.h"

#include <algorithm>

#include "core/conversion.h"
#include "core/pauser.h"
#include "link/cell_address.h"
#include "link/protocol.h"
#include "link/scene_recorder.h"
#include "link/send_path.h"
#include "wall/addressing.h"
#include "wall/family_codes.h"
#include "wall/wall_model.h"

static_assert(TProtocol::kBufferSize == 9, "the frame buffer holds one TProtocol frame");

namespace {

// Scene item kinds.
constexpr quint8 kCombineItem = 1;
constexpr quint8 kDissolveItem = 2;
constexpr quint8 kCommandItem = 3;
constexpr quint8 kPowerOnDelay = 2;  // delay sub-kind: seconds

constexpr int kDviSource = 4;
constexpr int kHdmiSource = 5;
constexpr int kUsbSource = 6;
constexpr int kUsb2Source = 11;

// The matrix and DVR linkage kind of a source number; 0: no linkage (USB).
int LinkageKind(int source) {
  switch (source) {
    case kUsbSource:
    case kUsb2Source:
      return 0;
    case 8:  // VGA2 routes through the VGA matrix
      return 3;
    default:
      return source;
  }
}

bool Dissolvable(int source) { return source >= 1 && source <= 9; }

}  // namespace

TWallCommands::TWallCommands(TProtocol& protocol, TSendPath& send, TWallModel& wall, Pauser& pauser)
    : protocol_(protocol), send_(send), wall_(wall), pauser_(pauser) {}

void TWallCommands::SetRecorder(TSceneRecorder* recorder) { recorder_ = recorder; }

void TWallCommands::SetChinese(bool chinese) { chinese_ = chinese; }

std::optional<quint8> TWallCommands::PowerButtonTag(quint8 family) {
  switch (family) {
    case 0:
      return 1;  // QN-51
    case 1:
      return 2;  // QN-46_45
    case kQn22Family:
      return 3;
    default:
      return std::nullopt;
  }
}

// ---- source selection ------------------------------------------------------

bool TWallCommands::SelectSource(int source, bool mixerFlag, bool qnt1Flag,
                                 const TWallContext& ctx) {
  if (source < 1 || source > 11) return false;
  if (!mixerFlag && !qnt1Flag && Selected(ctx).Empty()) return false;
  // Not a grid combine: the step replays as the plain frame, so a panel's
  // fixed address is never taken for a rectangle of the wall.
  Prepare(kCommandItem);
  return Select(source, mixerFlag, qnt1Flag, ctx);
}

bool TWallCommands::SourceButton(const QString& caption, int source, const TWallContext& ctx) {
  // The QN-22 page's buttons never broadcast, whatever the box says.
  const std::optional<quint8> pageTag =
      ctx.family == kQn22Family ? std::optional<quint8>(1) : std::nullopt;
  return CombineAndSelect(caption, source, pageTag, ctx);
}

bool TWallCommands::CombineEntry(const QString& gridName, int source, quint8 tag,
                                 const TWallContext& ctx) {
  if (source < 1 || source > 11 || Selected(ctx).Empty()) return false;
  SetTag(tag, ctx);
  return CombineAndSelect(gridName, source, std::nullopt, ctx);
}

bool TWallCommands::CombineAndSelect(const QString& caption, int source,
                                     std::optional<quint8> tagAfterCombine,
                                     const TWallContext& ctx) {
  // Nothing selected: nothing is marked, and no colour is used up.
  if (source < 1 || source > 11 || Selected(ctx).Empty()) return false;
  // The item is prepared before the frame is sent, which completes it.
  Prepare(kCombineItem, static_cast<quint8>(source), caption);
  wall_.Combine(caption, static_cast<quint8>(source), Selected(ctx));
  SetTag(tagAfterCombine, ctx);
  return Select(source, false, false, ctx);
}

bool TWallCommands::Select(int source, bool mixerFlag, bool qnt1Flag, const TWallContext& ctx) {
  if (mixerFlag) {
    protocol_.SetAddress(kMixerAddress, kMixerAddress);
  } else if (qnt1Flag) {
    protocol_.SetAddress(kRotatingUnitAddress, kRotatingUnitAddress);
  } else if (!SelectionAddress(Selected(ctx), protocol_)) {
    return false;
  }

  if (source == kDviSource)
    protocol_.SelectDvi(mixerFlag, frame_);
  else
    protocol_.SelectSource(source, frame_);
  send_.SendFrame(frame_);
  // The flag follows what the screens show, even if a linkage below fails.
  usbRemote_ = source == kUsbSource || source == kUsb2Source;

  if (const int kind = LinkageKind(source); kind != 0) {
    const auto [start, end] = LinkageAddresses();
    if (matrixLinkage) matrixLinkage(kind, start, end);
    if (dvrLinkage) dvrLinkage();
  }
  if ((source == kDviSource || source == kHdmiSource) && ctx.mixerSwitchTicked && switcherLinkage)
    switcherLinkage(source);
  return true;
}

std::pair<quint16, quint16> TWallCommands::LinkageAddresses() const {
  // A broadcast frame carries 0xFF in every address byte; the matrices still
  // follow the selected screens.
  if (protocol_.Broadcast()) {
    if (protocol_.LongFrames()) return {protocol_.StartAddress(), protocol_.EndAddress()};
    return {PackShortAddress(protocol_.StartAddress()), PackShortAddress(protocol_.EndAddress())};
  }
  if (protocol_.LongFrames()) {
    return {static_cast<quint16>(frame_[2] << 8 | frame_[3]),
            static_cast<quint16>(frame_[4] << 8 | frame_[5])};
  }
  return {frame_[2], frame_[3]};
}

void TWallCommands::PublicChannelButton(int which, const TWallContext& ctx) {
  // The group is shown only while the box is ticked; without it the frame
  // would go to the placeholder address (0, 255) instead of every screen.
  if (!ctx.publicChannel) return;
  static constexpr int kSources[] = {kDviSource, 3, 1, kUsbSource};  // DVI, VGA, CVBS, USB
  if (which < 0 || which >= static_cast<int>(std::size(kSources))) return;
  const int source = kSources[which];

  protocol_.SetAddress(CellAddress(0, 255), CellAddress(0, 255));
  protocol_.SetAddressMode(3, 1);
  Prepare(kCommandItem);
  if (source == kDviSource)
    protocol_.SelectDvi(false, frame_);
  else
    protocol_.SelectSource(source, frame_);
  send_.SendFrame(frame_);
  usbRemote_ = source == kUsbSource;
}

void TWallCommands::PublicChannelUnticked() {
  protocol_.SetAddressMode(protocol_.AddressModeTag(), 0);
}

// ---- dissolve --------------------------------------------------------------

void TWallCommands::Dissolve(int source, std::optional<quint8> tag, const TWallContext& ctx) {
  if (source != 0 && !Dissolvable(source)) return;
  const TCellRect area = Selected(ctx);
  if (area.Empty()) return;
  SetTag(tag, ctx);

  const int total = area.Count();
  int done = 0;
  for (int r = area.top; r <= area.bottom; ++r) {
    for (int c = area.left; c <= area.right; ++c, ++done) {
      Progress(done, total);
      // The pause after each frame lets queued events run; never index a
      // wall that has changed size meanwhile.
      if (r >= wall_.Rows() || c >= wall_.Cols()) continue;
      TCellRecord& cell = wall_.MutableCell(r, c);
      const int s = source != 0 ? source : cell.source;
      if (!Dissolvable(s)) continue;  // nothing to resend: the screen is left as it is
      cell.state = 2;
      const quint16 address = CellAddress(r + 1, c + 1);
      protocol_.SetAddress(address, address);
      protocol_.SelectSource(s, frame_);  // 4 is DVI, code 0x03
      Prepare(kDissolveItem);
      send_.SendFrame(frame_);
    }
  }
  Progress(total, total);
  wall_.CellsChanged(area);
}

// ---- power -----------------------------------------------------------------

void TWallCommands::PowerOnWall(std::optional<quint8> tag, bool delayed, const QString& delayText,
                                const TWallContext& ctx) {
  const TCellRect area = Selected(ctx);
  if (area.Empty()) return;
  if (!delayed) {
    SetTag(tag, ctx);
    SendPower(true, ctx);
    return;
  }

  // Read before anything is sent, so a bad delay switches no screen.
  const int seconds = StrToInt(delayText);
  if (seconds < 0 || seconds > kMaxPowerOnDelay)
    throw TConversionError(QStringLiteral("'%1' is not a valid delay in seconds").arg(delayText));
  SetTag(tag, ctx);
  SelectionAddress(area, protocol_);

  const int total = area.Count();
  int done = 0;
  for (int r = area.top; r <= area.bottom; ++r) {
    for (int c = area.left; c <= area.right; ++c, ++done) {
      Progress(done, total);
      quint16 address = CellAddress(r + 1, c + 1);
      if (ctx.family == kMixerFamily) address = kMixerAddress;
      if (ctx.family == kQnT1Family) address = kRotatingUnitAddress;
      protocol_.SetAddress(address, address);
      Prepare(kCommandItem);
      protocol_.PowerOn(frame_);
      send_.SendFrame(frame_);
      pauser_.Pause(seconds * 1000);
      if (Recording()) recorder_->StoreDelay(kPowerOnDelay, seconds);
    }
  }
  Progress(total, total);
}

void TWallCommands::PowerOffWall(std::optional<quint8> tag, const TWallContext& ctx) {
  if (Selected(ctx).Empty()) return;
  SetTag(tag, ctx);
  SendPower(false, ctx);
}

void TWallCommands::SendPower(bool on, const TWallContext& ctx) {
  SelectionAddress(Selected(ctx), protocol_);
  Prepare(kCommandItem);
  if (ctx.family == kMixerFamily) protocol_.SetAddress(kMixerAddress, kMixerAddress);
  if (ctx.family == kQnT1Family) protocol_.SetAddress(kRotatingUnitAddress, kRotatingUnitAddress);
  if (on)
    protocol_.PowerOn(frame_);
  else
    protocol_.PowerOff(frame_);
  send_.SendFrame(frame_);
}

// ---- re-display rate, still picture, rotation ------------------------------

TReshowResult TWallCommands::SendReshow(const QString& horizontal, const QString& vertical,
                                        const TWallContext& ctx) {
  const QString english = QStringLiteral("Please input number");
  int h = 0;
  try {
    h = StrToInt(horizontal);
  } catch (const TConversionError&) {
    return {chinese_ ? QStringLiteral("请输入水平数字") : english};
  }
  SendReshowValue(true, h, ctx);

  TReshowResult result;
  try {
    SendReshowValue(false, StrToInt(vertical), ctx);
  } catch (const TConversionError&) {
    result.message = chinese_ ? QStringLiteral("请输入垂直数字") : english;
  }
  rateSet_ = true;  // the horizontal value went out either way
  return result;
}

void TWallCommands::ReshowUnticked(const TWallContext& ctx) {
  if (!rateSet_) return;
  rateSet_ = false;
  SendReshowValue(true, 0, ctx);
  SendReshowValue(false, 0, ctx);
}

void TWallCommands::SendReshowValue(bool horizontal, int value, const TWallContext& ctx) {
  if (!SelectionAddress(Selected(ctx), protocol_)) return;
  Prepare(kCommandItem);
  const auto code = static_cast<quint8>(value & 0xFF);  // the code byte keeps the low 8 bits
  if (horizontal)
    protocol_.SetReshowH(code, frame_);
  else
    protocol_.SetReshowV(code, frame_);
  send_.SendFrame(frame_);
}

void TWallCommands::StillPictureWall(const TWallContext& ctx) {
  if (!SelectionAddress(Selected(ctx), protocol_)) return;
  Prepare(kCommandItem);
  protocol_.StillPicture(frame_);
  send_.SendFrame(frame_);
}

void TWallCommands::RotateOutput(int index) {
  if (index < 0 || index > 3) return;
  protocol_.SetAddress(kRotatingUnitAddress, kRotatingUnitAddress);
  protocol_.Rotate(static_cast<quint8>(index), frame_);
  send_.SendSwitcherFrame(frame_);
}

// ---- helpers ---------------------------------------------------------------

TCellRect TWallCommands::Selected(const TWallContext& ctx) const {
  // Only screens of the wall can be addressed or marked.
  const TCellRect& s = ctx.selection;
  if (s.Empty()) return {};
  const TCellRect clipped{std::max(s.left, 0), std::max(s.top, 0),
                          std::min(s.right, wall_.Cols() - 1),
                          std::min(s.bottom, wall_.Rows() - 1)};
  return clipped.Empty() ? TCellRect{} : clipped;
}

bool TWallCommands::Recording() const { return recorder_ != nullptr && recorder_->Recording(); }

void TWallCommands::Prepare(quint8 kind, quint8 subKind, const QString& name) {
  if (Recording()) recorder_->PrepareItem(kind, subKind, name);
}

void TWallCommands::SetTag(std::optional<quint8> tag, const TWallContext& ctx) {
  if (tag) protocol_.SetAddressMode(*tag, ctx.publicChannel ? 1 : 0);
}

void TWallCommands::Progress(int done, int total) {
  if (progress) progress(done, total);
}
