#pragma once

#include "core/net_socket_waiter.h"

// Waits in a local event loop that ends when a QSocketNotifier fires or a
// timer runs out. The windows keep painting and queued port events flow, but
// no operator input is taken during the wait (like EventLoopPauser). Needs a
// running QCoreApplication on the calling thread.
class TEventLoopSocketWaiter final : public TSocketWaiter {
 public:
  bool WaitReadable(int fd, int ms) override;
  bool WaitWritable(int fd, int ms) override;
};
