#include "setup/network_splicers.h"

#include "core/bilingual.h"
#include "core/net_socket_address.h"
#include "core/pauser.h"
#include "link/protocol.h"
#include "link/scene_recorder.h"
#include "link/send_path.h"
#include "setup/network_splicer_link.h"

namespace {

constexpr quint8 kCommandItem = 3;  // a scene step that sends one frame

// Clears the running flag however the operation ends.
class TRunningFlag {
 public:
  explicit TRunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~TRunningFlag() { flag_ = false; }
  TRunningFlag(const TRunningFlag&) = delete;
  TRunningFlag& operator=(const TRunningFlag&) = delete;

 private:
  bool& flag_;
};

// The module's current machine number: the last octet high, the one before
// it low (10.0.1.21 is 0x1501).
quint16 MachineNumber(const TIpv4Address& address) {
  return static_cast<quint16>((address.Octet(3) << 8) | address.Octet(2));
}

}  // namespace

TNetworkSplicers::TNetworkSplicers(TNetworkSplicerLink& link, TProtocol& protocol, Pauser& pauser)
    : link_(link), protocol_(protocol), pauser_(pauser) {}

int TNetworkSplicers::Register() {
  if (running_) return -1;
  TRunningFlag running(running_);
  QStringList found;
  if (!FoundAsPlanned(&found)) return -1;
  int registered = 0;
  qsizetype next = 0;
  for (int r = 0; r < table_.Rows(); ++r) {
    for (int c = 0; c < table_.Columns(); ++c) {
      const QString& address = found[next++];
      table_.SetAddress(r, c, address);
      const auto id = static_cast<quint16>(((r + 1) << 8) | (c + 1));
      // Only a module that got its ID counts as registered.
      if (SendCellId(address, id)) {
        table_.SetRegistered(r, c, true);
        ++registered;
      }
    }
  }
  if (listsFilled) listsFilled();
  Message(Bilingual(chinese_, u"自动注册完成。注册设备数量：%1。",
                    u"Automatic registration done. Devices registered: %1.")
              .arg(registered));
  return registered;
}

int TNetworkSplicers::Search() {
  if (running_) return -1;
  TRunningFlag running(running_);
  invalidReplies_ = 0;
  QStringList found;
  if (!FoundAsPlanned(&found)) return -1;
  if (clearStatus) clearStatus();
  int located = 0;
  for (const QString& address : found) {
    const TPositionReply reply = link_.QueryCellPosition(address, table_.Rows(), table_.Columns());
    switch (reply.outcome) {
      case TPositionReply::Outcome::Located:
        table_.SetAddress(reply.position.row, reply.position.column, address);
        ++located;
        break;
      case TPositionReply::Outcome::NoConnection:
        Message(QStringLiteral("connect socket() error = %1").arg(reply.error));
        break;
      case TPositionReply::Outcome::Invalid:
        ++invalidReplies_;
        break;
      case TPositionReply::Outcome::NoReply:
        break;
    }
  }
  if (invalidReplies_ > 0)
    Memo(Bilingual(chinese_, u"%1 个模块的位置应答无效（过短或超出屏墙），已忽略。",
                   u"%1 position replies were invalid (too short or outside the wall) and ignored.")
             .arg(invalidReplies_));
  return located;
}

bool TNetworkSplicers::FoundAsPlanned(QStringList* found) {
  const std::optional<QStringList> probed = link_.ProbeNetworkSplicers();
  if (!probed) return false;
  *found = *probed;
  const int planned = table_.CellCount();
  if (found->size() != planned) {
    Message(Bilingual(chinese_, u"搜索设备失败：计划搜索数量%1个，实际搜索数量%2个",
                      u"Device search failed: %1 planned, %2 found.")
                .arg(planned)
                .arg(found->size()));
    return false;
  }
  return true;
}

bool TNetworkSplicers::SendCellId(const QString& address, quint16 newId) {
  const std::optional<TIpv4Address> module = TIpv4Address::Parse(address);
  quint8 frame[TSendPath::kMaxFrameBytes] = {};
  const int count = protocol_.SetCellId(newId, module ? MachineNumber(*module) : 0, frame);
  const bool sent = module && link_.SendToNetworkSplicer(address, frame);
  if (recorder_ && recorder_->Recording()) {
    recorder_->PrepareItem(kCommandItem, 0, QString());
    recorder_->StoreFrame(frame, count);
  }
  pauser_.Pause(kFramePause);
  if (!sent)
    Memo(Bilingual(chinese_, u"网络发送失败", u"Network send failed"));
  else if (traceOn && traceOn())
    Memo(TSendPath::TraceLine(clock ? clock() : QDateTime::currentDateTime(),
                              QStringLiteral(" : msg = "), frame, count));
  return sent;
}

void TNetworkSplicers::Message(const QString& text) const {
  if (message) message(text);
}

void TNetworkSplicers::Memo(const QString& line) const {
  if (memo) memo(line);
}
