#include "linkage/sniff_relay.h"

#include <QElapsedTimer>
#include <algorithm>
#include <memory>
#include <utility>

#include "core/pauser.h"
#include "link/cell_address.h"
#include "link/port_writer.h"
#include "link/protocol.h"
#include "link/send_path.h"
#include "linkage/matrix_linkage.h"

namespace {

// One row per SignalType: the source code of the splicer frame, the linkage
// code (the source number the matrix brands look at) and the matrix.
struct TSignalType {
  quint8 sourceCode;
  int linkageCode;
  TMatrixKind matrix;
};
constexpr std::array<TSignalType, TSniffRelay::kSignalTypes> kSignalTypes = {{
    {0x00, 1, TMatrixKind::Video},  // Video 1
    {0x01, 2, TMatrixKind::Video},  // Video 2
    {0x02, 3, TMatrixKind::Vga},    // VGA
    {0x03, 4, TMatrixKind::Dvi},    // DVI
    {0x04, 5, TMatrixKind::Dvi},    // HDMI
    {0x06, 7, TMatrixKind::Dvi},    // LC
}};

const TSignalType& SignalTypeRow(int signalType) {
  const bool known = signalType >= 0 && signalType < TSniffRelay::kSignalTypes;
  return kSignalTypes[static_cast<size_t>(known ? signalType : 0)];
}

quint8 WallSpan(int count) { return static_cast<quint8>(std::clamp(count, 1, 255)); }

}  // namespace

std::array<quint8, 9> TSniffRelay::WholeWallFrame(int rows, int cols, int signalType) {
  std::array<quint8, 9> f{TProtocol::kHeader,
                          TProtocol::kLongFrameLength,
                          1,
                          1,
                          WallSpan(rows),
                          WallSpan(cols),
                          0x20,
                          SignalTypeRow(signalType).sourceCode,
                          0};
  f[8] = TProtocol::Checksum(f.data(), 8);
  return f;
}

TMatrixRequest TSniffRelay::WholeWallRequest(int rows, int cols, const TSniffSettings& settings) {
  const TSignalType& type = SignalTypeRow(settings.signalType);
  TMatrixRequest request;
  request.kind = type.matrix;
  // Always the long encoding, whatever the frame mode.
  request.start = CellAddress(1, 1);
  request.end = CellAddress(WallSpan(rows), WallSpan(cols));
  request.longFrames = true;
  request.columns = WallSpan(cols);
  request.input = static_cast<quint16>(std::clamp(settings.channelList, 0, 0xFFFE) + 1);
  request.latestSource = type.linkageCode;
  return request;
}

TSniffRelay::TSniffRelay(TSendPath& send, TPortWriter& splicer, TMatrixLinkage& matrix,
                         Pauser& pauser, Clock clock)
    : send_(send), splicer_(splicer), matrix_(matrix), pauser_(pauser), clock_(std::move(clock)) {
  if (!clock_) {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    clock_ = [timer] { return timer->elapsed(); };
  }
}

bool TSniffRelay::Armed() const {
  if (ready && !ready()) return false;
  return !locked_ || clock_() >= lockedUntil_;
}

void TSniffRelay::DataReceived() {
  if (waiting_ || !Armed()) return;
  waiting_ = true;
  auto fire = [this] {
    waiting_ = false;
    // The lock may have begun while this waited (it cannot today: only a
    // trigger locks, and only one waits), so it is asked again.
    if (Armed()) Fire();
  };
  if (runWhenIdle)
    runWhenIdle(std::move(fire));
  else
    fire();
}

void TSniffRelay::Fire() {
  ++fired_;
  const int r = rows ? rows() : 1;
  const int c = cols ? cols() : 1;
  const std::array<quint8, 9> frame = WholeWallFrame(r, c, settings_.signalType);
  if (splicer_.WriteCommData(reinterpret_cast<const char*>(frame.data()),
                             static_cast<quint16>(frame.size())))
    splicer_.WaitWritten(TSendPath::kWriteWaitMs);
  if (send_.AccessLevel() == 3 && send_.splicerEnabled && send_.splicerEnabled() && send_.memo) {
    const QDateTime now = send_.clock ? send_.clock() : QDateTime::currentDateTime();
    send_.memo(TSendPath::TraceLine(now, QStringLiteral(" : msg = "), frame.data(),
                                    static_cast<int>(frame.size())));
  }
  // Locked whatever the matrix part does: a delay or address that does not
  // convert must not let every following chunk of the line trigger again.
  const auto lock = [this] {
    locked_ = true;
    lockedUntil_ = clock_() + kLockMs;
  };
  try {
    if (settings_.chooseMatrix) SwitchMatrix(r, c);
  } catch (...) {
    lock();
    throw;
  }
  lock();
}

void TSniffRelay::SwitchMatrix(int wallRows, int wallCols) {
  TMatrixRequest request = WholeWallRequest(wallRows, wallCols, settings_);
  const int delay = matrix_.Delay();
  matrix_.SetDevice(request);
  for (const QByteArray& command : BuildMatrixCommands(request)) {
    matrix_.SendMatrixBytes(command, request.kind);
    if (delay >= 1) pauser_.Pause(delay);
  }
}
