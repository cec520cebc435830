#include "core/net_socket_poll_waiter.h"

#include <poll.h>

#include <cerrno>
#include <chrono>

namespace {

bool PollFor(int fd, short events, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms < 0 ? 0 : ms);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          end - std::chrono::steady_clock::now())
                          .count();
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, left > 0 ? static_cast<int>(left) : 0);
    if (n > 0) return true;
    // A signal cuts the wait short: wait out the rest.
    if (n < 0 && errno == EINTR && left > 0) continue;
    return false;
  }
}

}  // namespace

bool TPollSocketWaiter::WaitReadable(int fd, int ms) { return PollFor(fd, POLLIN, ms); }

bool TPollSocketWaiter::WaitWritable(int fd, int ms) { return PollFor(fd, POLLOUT, ms); }
