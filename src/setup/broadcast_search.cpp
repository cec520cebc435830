#include "setup/broadcast_search.h"

#include "core/net_socket_udp.h"
#include "core/net_socket_waiter.h"
#include "setup/network_replies.h"

namespace {

template <typename F, typename... Args>
void Call(const F& hook, Args&&... args) {
  if (hook) hook(std::forward<Args>(args)...);
}

}  // namespace

bool TBroadcastSearch::Run(const TBroadcastSearchRequest& request) {
  if (running_) return false;
  running_ = true;
  found_.clear();
  // The flag must fall even if a hook throws (a number conversion in a
  // window's follow-up step), or no search could ever start again.
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{running_};
  Search(request);
  return true;
}

void TBroadcastSearch::Search(const TBroadcastSearchRequest& request) {
  const auto log = [&request](const QString& line) { Call(request.log, line); };
  Call(request.clearLog);
  log(QStringLiteral("start network..."));

  TUdpSocket sender;
  if (const int error = sender.Open()) {
    log(QStringLiteral("bc socket() error : %1 ").arg(error));
    return;
  }
  TUdpSocket receiver;
  if (const int error = receiver.Open()) {
    log(QStringLiteral("recvSocket socket() error : %1 ").arg(error));
    return;
  }
  receiver.SetNonBlocking();
  if (const int error = sender.SetBroadcast(true))
    log(QStringLiteral("setsocketopt() error : %1 ").arg(error));
  if (const int error = receiver.Bind(TIpv4Address::Any(), request.replyPort)) {
    log(QStringLiteral("bind socket() error = %1").arg(error));
    return;
  }
  if (const int error =
          sender.SendTo(BroadcastSearchProbe(), TIpv4Address::Broadcast(), request.probePort))
    log(QStringLiteral("sendto() error : %1 ").arg(error));
  log(QStringLiteral("send() over."));

  Call(request.beforePasses);
  Call(request.showProgress, 0);
  for (int pass = 1; pass <= kPasses; ++pass) {
    // A pass ends early when a reply waits, so answers that come at once do
    // not cost the full time; at most one reply is taken per pass.
    waiter_.WaitReadable(receiver.Fd(), passMs_);
    Call(request.showProgress, 10 * pass);
    const TDatagramReceipt receipt = receiver.ReceiveNow(kReplyBytes);
    if (receipt.error != 0) {
      log(QStringLiteral("recvfrom() error : %1 ").arg(receipt.error));
      continue;
    }
    if (!receipt.arrived) continue;
    const QString address = receipt.datagram.sender.ToString();
    log(QStringLiteral("recvfrom : ip=%1").arg(address));
    if (IsAuthOkReply(receipt.datagram.payload)) {
      found_.append(address);
      Call(request.found, address);
    }
    Call(request.afterDatagram);
  }
  Call(request.hideProgress);
  Call(request.afterPasses);

  sender.Shutdown();
  receiver.Shutdown();
  log(QStringLiteral("shutdown()."));
  sender.Close();
  receiver.Close();
  log(QStringLiteral("closeSocket()."));
}
