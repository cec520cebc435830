#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <optional>

#include "setup/network_replies.h"

class TSocketWaiter;

// The answer to one position query.
struct TPositionReply {
  enum class Outcome {
    Located,       // position holds the module's cell
    NoConnection,  // connect (or the socket) failed: error holds the errno
    NoReply,       // sent, but nothing came back in time (or the module closed)
    Invalid,       // a reply shorter than four bytes or outside the grid
  };
  Outcome outcome = Outcome::NoReply;
  int error = 0;
  TCellPosition position;
};

// The network side of the network splicer wall: the discovery probe of the
// modules (UDP 48899 from each local address), the position query and frames
// over TCP 8899. Every wait goes through the waiter with a bounded time.
class TNetworkSplicerLink {
 public:
  static constexpr quint16 kProbePort = 48899;
  static constexpr quint16 kCommandPort = 8899;
  static constexpr int kMaxModules = 100;  // the found list's bound
  static constexpr int kProbeMs = 1000;    // listening time per local address
  static constexpr int kConnectMs = 2000;
  static constexpr int kReplyMs = 1000;  // the position query's reply time-out
  static constexpr int kProbeReplyBytes = 128;
  static constexpr int kPositionReplyBytes = 100;
  static constexpr int kMaxFrameBytes = 9;

  explicit TNetworkSplicerLink(TSocketWaiter& waiter) : waiter_(waiter) {}

  // The addresses to probe from; unset = ListLocalAddresses().
  std::function<QStringList()> localAddresses;
  // Tests shorten the probe and the time-outs.
  void SetProbeMs(int ms) { probeMs_ = ms; }
  void SetConnectMs(int ms) { connectMs_ = ms; }
  void SetReplyMs(int ms) { replyMs_ = ms; }

  // Broadcasts the probe from each local address in turn and collects the
  // distinct senders (not the local address itself) in arrival order, at
  // most 100; a module answering twice counts once. Nothing when no socket
  // can be created at all (the whole probe ends there).
  std::optional<QStringList> ProbeNetworkSplicers();
  // Asks the module for its cell in a rows x columns wall.
  TPositionReply QueryCellPosition(const QString& address, int rows, int columns);
  // Connects to the module and sends the frame; its length is the frame's
  // byte 1 (9 long, 7 short, never more than 9). True when connect and send
  // succeeded; no reply is awaited.
  bool SendToNetworkSplicer(const QString& address, const quint8* frame);

 private:
  TSocketWaiter& waiter_;
  int probeMs_ = kProbeMs;
  int connectMs_ = kConnectMs;
  int replyMs_ = kReplyMs;
};
