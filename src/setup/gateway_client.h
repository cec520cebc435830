#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "setup/gateway_frame.h"
#include "setup/gateway_log.h"

// What reading a gateway's ports found: the count it reported, one record
// per port (zero when that port could not be read) and the names of the
// ports that were read, in order (a failed port adds no name).
struct TGatewayPortTable {
  int count = 0;
  std::vector<TGatewayPortRecord> records;
  QStringList names;
};

class TSocketWaiter;
class TTcpClient;

// Speaks the COM gateway's TCP protocol (port 8082): one management
// connection at a time (GatewayConnect .. GatewayClose) for reading, setting
// and closing the gateway's ports, and GatewayForward, which sends device
// bytes to one of the gateway's lines on a connection of its own. Every
// connect and every reply has a time-out, spent in the waiter (the program's
// keeps the windows painting): a silent gateway is a failed request. Log
// lines go to the log hook (the network-control tab's memo), whoever calls.
class TGatewayClient {
 public:
  static constexpr int kConnectTimeoutMs = 2000;
  static constexpr int kReplyTimeoutMs = 2000;
  static constexpr int kReplyBytes = 1024;  // one receive takes at most this

  explicit TGatewayClient(TSocketWaiter& waiter);
  ~TGatewayClient();
  TGatewayClient(const TGatewayClient&) = delete;
  TGatewayClient& operator=(const TGatewayClient&) = delete;

  // The gateway log (the network-control tab's memo) lives here, so that
  // lines written before the tab exists are kept.
  TGatewayLog& Log() { return log_; }

  // Tests shorten the waits; the program keeps the defaults.
  void SetTimeouts(int connectMs, int replyMs);

  // The gateway that GatewayForward sends to: set by the port settings'
  // "确定" and by "关串口"; empty until then.
  const QString& RememberedAddress() const { return remembered_; }
  void SetRememberedAddress(const QString& address) { remembered_ = address; }

  // Opens the management connection to address:8082 (a connection still
  // open is closed first). A failure is logged; the requests that follow
  // then fail.
  bool GatewayConnect(const QString& address);
  // Shuts down and closes the management connection. Logs "Send Ok" when a
  // connection stood and every exchange on it was answered, "Send failed"
  // otherwise.
  void GatewayClose();
  // The gateway's port count, logged as "Com count : %d"; 0 on any failure
  // (nothing logged when no connection was ever opened).
  int GatewayPortCount();
  std::optional<TGatewayPortRecord> GatewayReadPort(int index);
  bool GatewaySetPort(const TGatewayPortRecord& record);
  bool GatewayClosePort();

  // Forwards device bytes to the remembered gateway's line with the given
  // codes, at most 64 bytes per frame: longer data goes as consecutive
  // forwards in order, each on its own connection. True when every one was
  // confirmed; empty data sends nothing and is false.
  bool GatewayForward(TGatewayCodes codes, const QByteArray& data);

  // The steps the network-control tab runs, each on one management
  // connection that is closed before it returns (a failed connect is logged
  // and the requests then fail):
  // Connect, count, read every port in order, close.
  TGatewayPortTable ReadPortTable(const QString& address);
  // One connection per settings entry, in the given order; returns the
  // lines whose settings the gateway did not confirm (invalid settings are
  // not sent and count as unconfirmed).
  std::vector<TGatewayLine> SetPorts(const QString& address,
                                     const std::vector<TGatewayPortSettings>& settings);
  // Connect, close-port request, close; true when confirmed.
  bool ClosePorts(const QString& address);

 private:
  bool Connect(TTcpClient& tcp, const QString& address);
  // Sends the 70-byte request and takes one reply; nullopt on failure.
  std::optional<QByteArray> Exchange(TTcpClient& tcp, const QByteArray& request);
  bool ForwardOne(TGatewayCodes codes, const QByteArray& data);
  void Log(const QString& line) { log_.Append(line); }

  TSocketWaiter& waiter_;
  TGatewayLog log_;
  std::unique_ptr<TTcpClient> management_;
  QString remembered_;
  int connectMs_ = kConnectTimeoutMs;
  int replyMs_ = kReplyTimeoutMs;
  bool everConnected_ = false;
  bool exchangeFailed_ = false;
};
