#include "setup/gateway_client.h"

#include <cerrno>

#include "core/net_socket_address.h"
#include "core/net_socket_tcp.h"
#include "linkage/linkage_trace.h"

namespace {

// Errors that can only come from creating the socket, not from connecting it.
bool SocketCreationError(int error) {
  switch (error) {
    case EMFILE:
    case ENFILE:
    case ENOBUFS:
    case ENOMEM:
    case EAFNOSUPPORT:
    case EPROTONOSUPPORT:
      return true;
    default:
      return false;
  }
}

}  // namespace

TGatewayClient::TGatewayClient(TSocketWaiter& waiter)
    : waiter_(waiter), management_(std::make_unique<TTcpClient>(waiter)) {}

TGatewayClient::~TGatewayClient() = default;

void TGatewayClient::SetTimeouts(int connectMs, int replyMs) {
  connectMs_ = connectMs;
  replyMs_ = replyMs;
}

bool TGatewayClient::Connect(TTcpClient& tcp, const QString& address) {
  const std::optional<TIpv4Address> ip = TIpv4Address::Parse(address.trimmed());
  // An address that does not parse cannot be reached, like one nobody has.
  const int error = ip ? tcp.Connect(*ip, kGatewayTcpPort, connectMs_) : EADDRNOTAVAIL;
  if (error == 0) return true;
  Log((SocketCreationError(error) ? QStringLiteral("socket() error = %1")
                                  : QStringLiteral("connect socket() error = %1"))
          .arg(error));
  return false;
}

bool TGatewayClient::GatewayConnect(const QString& address) {
  management_->Close();
  exchangeFailed_ = false;
  if (!Connect(*management_, address)) return false;
  everConnected_ = true;
  return true;
}

void TGatewayClient::GatewayClose() {
  const bool stood = management_->IsConnected();
  management_->Close();
  Log(stood && !exchangeFailed_ ? QStringLiteral("Send Ok") : QStringLiteral("Send failed"));
  exchangeFailed_ = false;
}

std::optional<QByteArray> TGatewayClient::Exchange(TTcpClient& tcp, const QByteArray& request) {
  if (!tcp.IsConnected()) return std::nullopt;
  // After a failed send or receive the stream is out of step (a late reply
  // would be taken for the next request's): the connection is dropped, and
  // the requests that follow on it fail at once.
  if (const int error = tcp.SendAll(request, replyMs_)) {
    Log(QStringLiteral("send() error = %1").arg(error));
    tcp.Close();
    return std::nullopt;
  }
  QByteArray reply;
  if (const int error = tcp.ReceiveOnce(&reply, kReplyBytes, replyMs_)) {
    Log(error == ETIMEDOUT ? QStringLiteral("recv() time out")
                           : QStringLiteral("recv() error = %1").arg(error));
    tcp.Close();
    return std::nullopt;
  }
  reply.truncate(kGatewayFrameSize);
  return reply;
}

int TGatewayClient::GatewayPortCount() {
  if (!everConnected_) return 0;
  const std::optional<QByteArray> reply = Exchange(*management_, GatewayPortCountRequest());
  const std::optional<int> count = reply ? GatewayPortCountReply(*reply) : std::nullopt;
  if (!count) exchangeFailed_ = true;
  Log(QStringLiteral("Com count : %1").arg(count.value_or(0)));
  return count.value_or(0);
}

std::optional<TGatewayPortRecord> TGatewayClient::GatewayReadPort(int index) {
  if (index < 0 || index > 0xFF) return std::nullopt;
  const std::optional<QByteArray> reply =
      Exchange(*management_, GatewayReadPortRequest(static_cast<quint8>(index)));
  std::optional<TGatewayPortRecord> record = reply ? GatewayReadPortReply(*reply) : std::nullopt;
  if (!record) exchangeFailed_ = true;
  return record;
}

bool TGatewayClient::GatewaySetPort(const TGatewayPortRecord& record) {
  const std::optional<QByteArray> reply = Exchange(*management_, GatewaySetPortRequest(record));
  const bool ok = reply && GatewaySetPortReplyOk(*reply);
  if (!ok) exchangeFailed_ = true;
  return ok;
}

bool TGatewayClient::GatewayClosePort() {
  const std::optional<QByteArray> reply = Exchange(*management_, GatewayClosePortRequest());
  const bool ok = reply && GatewayClosePortReplyOk(*reply);
  if (!ok) exchangeFailed_ = true;
  return ok;
}

bool TGatewayClient::GatewayForward(TGatewayCodes codes, const QByteArray& data) {
  if (data.isEmpty()) return false;
  return ForwardInChunks(data, [&](const QByteArray& piece) { return ForwardOne(codes, piece); });
}

bool TGatewayClient::ForwardOne(TGatewayCodes codes, const QByteArray& data) {
  // Its own connection: a forward never disturbs a management exchange.
  TTcpClient tcp(waiter_);
  if (!Connect(tcp, remembered_)) return false;
  const std::optional<QByteArray> reply = Exchange(tcp, GatewayForwardRequest(codes, data));
  tcp.Close();
  const bool ok = reply && GatewayForwardReplyOk(*reply);
  Log(ok ? QStringLiteral("Send Ok") : QStringLiteral("Send failed"));
  return ok;
}

TGatewayPortTable TGatewayClient::ReadPortTable(const QString& address) {
  if (!GatewayConnect(address)) Log(QStringLiteral("连接服务器失败"));
  TGatewayPortTable table;
  table.count = GatewayPortCount();
  table.records.assign(static_cast<std::size_t>(table.count), TGatewayPortRecord{});
  for (int index = 0; index < table.count; ++index) {
    if (const std::optional<TGatewayPortRecord> record = GatewayReadPort(index)) {
      table.records[static_cast<std::size_t>(index)] = *record;
      table.names.append(GatewayPortName(*record));
    }
  }
  GatewayClose();
  return table;
}

std::vector<TGatewayLine> TGatewayClient::SetPorts(
    const QString& address, const std::vector<TGatewayPortSettings>& settings) {
  std::vector<TGatewayLine> failed;
  for (const TGatewayPortSettings& one : settings) {
    if (!GatewaySettingsValid(one)) {
      failed.push_back(one.line);
      continue;
    }
    if (!GatewayConnect(address)) Log(QStringLiteral("连接服务器失败"));
    if (!GatewaySetPort(GatewayWriteRecord(one))) failed.push_back(one.line);
    GatewayClose();
  }
  return failed;
}

bool TGatewayClient::ClosePorts(const QString& address) {
  if (!GatewayConnect(address)) Log(QStringLiteral("连接服务器失败"));
  const bool ok = GatewayClosePort();
  GatewayClose();
  return ok;
}
