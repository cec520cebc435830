#pragma once

#include "core/net_socket_waiter.h"

// Waits with poll(): blocks the calling thread, processes no events. For
// logic tests and for threads that have no event loop.
class TPollSocketWaiter final : public TSocketWaiter {
 public:
  bool WaitReadable(int fd, int ms) override;
  bool WaitWritable(int fd, int ms) override;
};
