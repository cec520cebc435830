#include "setup/network_splicer_link.h"

#include <algorithm>
#include <cerrno>

#include "core/net_socket_address.h"
#include "core/net_socket_deadline.h"
#include "core/net_socket_tcp.h"
#include "core/net_socket_udp.h"
#include "core/net_socket_waiter.h"
#include "setup/local_addresses.h"

std::optional<QStringList> TNetworkSplicerLink::ProbeNetworkSplicers() {
  QStringList found;
  const QStringList locals = localAddresses ? localAddresses() : ListLocalAddresses();
  for (const QString& local : locals) {
    const std::optional<TIpv4Address> self = TIpv4Address::Parse(local);
    if (!self) continue;
    TUdpSocket socket;
    if (socket.Open() != 0) return std::nullopt;
    socket.SetNonBlocking();
    if (socket.SetBroadcast(true) != 0) continue;
    if (socket.Bind(*self, kProbePort) != 0) continue;
    if (socket.SendTo(NetworkSplicerProbe(), TIpv4Address::Broadcast(), kProbePort) != 0) continue;
    // Listen for the whole probe time: the replies' content is not examined.
    const TSocketDeadline deadline(probeMs_);
    for (int left = probeMs_; left > 0; left = deadline.MsLeft()) {
      if (!waiter_.WaitReadable(socket.Fd(), left)) continue;
      for (;;) {
        const TDatagramReceipt receipt = socket.ReceiveNow(kProbeReplyBytes);
        if (!receipt.arrived) break;
        const TIpv4Address sender = receipt.datagram.sender;
        if (sender == *self) continue;
        const QString dotted = sender.ToString();
        if (found.size() < kMaxModules && !found.contains(dotted)) found.append(dotted);
      }
    }
    socket.Shutdown();
  }
  return found;
}

TPositionReply TNetworkSplicerLink::QueryCellPosition(const QString& address, int rows,
                                                      int columns) {
  TPositionReply reply;
  const std::optional<TIpv4Address> module = TIpv4Address::Parse(address);
  if (!module) {
    reply.outcome = TPositionReply::Outcome::NoConnection;
    reply.error = EINVAL;
    return reply;
  }
  TTcpClient client(waiter_);
  if (const int error = client.Connect(*module, kCommandPort, connectMs_)) {
    reply.outcome = TPositionReply::Outcome::NoConnection;
    reply.error = error;
    return reply;
  }
  if (const int error = client.SendAll(CellPositionQueryFrame(), connectMs_)) {
    reply.outcome = TPositionReply::Outcome::NoReply;
    reply.error = error;
    return reply;
  }
  QByteArray received;
  if (const int error = client.ReceiveOnce(&received, kPositionReplyBytes, replyMs_)) {
    reply.outcome = TPositionReply::Outcome::NoReply;
    reply.error = error;
    return reply;
  }
  const std::optional<TCellPosition> position = DecodeCellPosition(received, rows, columns);
  if (!position) {
    reply.outcome = TPositionReply::Outcome::Invalid;
    return reply;
  }
  reply.outcome = TPositionReply::Outcome::Located;
  reply.position = *position;
  return reply;
}

bool TNetworkSplicerLink::SendToNetworkSplicer(const QString& address, const quint8* frame) {
  const int count = std::min<int>(frame[1], kMaxFrameBytes);
  const std::optional<TIpv4Address> module = TIpv4Address::Parse(address);
  if (!module || count == 0) return false;
  TTcpClient client(waiter_);
  if (client.Connect(*module, kCommandPort, connectMs_) != 0) return false;
  return client.SendAll(QByteArray(reinterpret_cast<const char*>(frame), count), connectMs_) == 0;
}
