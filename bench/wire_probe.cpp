#include "wire_probe.h"

#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include "core/raw_pty.h"

TWireProbe::TWireProbe(int frameSize) : frameSize_(frameSize) {
  TRawPty pty;
  if (!OpenRawPty(&pty)) return;
  if (::pipe(stopPipe_) != 0) {
    ::close(pty.master);
    ::close(pty.slave);
    return;
  }
  master_ = pty.master;
  slave_ = pty.slave;
  slavePath_ = pty.slavePath;
  reader_ = std::thread([this] { Run(); });
}

TWireProbe::~TWireProbe() {
  if (reader_.joinable()) {
    const char stop = 1;
    (void)::write(stopPipe_[1], &stop, 1);
    reader_.join();
  }
  for (int fd : {master_, slave_, stopPipe_[0], stopPipe_[1]})
    if (fd >= 0) ::close(fd);
}

void TWireProbe::Run() {
  // An instrument: on a busy machine the reader should still note a frame
  // when it arrives, not when the scheduler gets round to it. Real-time
  // priority needs the privilege; without it the reader runs as it is.
  sched_param realtime{};
  realtime.sched_priority = 10;
  (void)::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &realtime);
  size_t seen = 0;
  unsigned char chunk[256];
  for (;;) {
    pollfd fds[2] = {{master_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents) return;
    const ssize_t n = ::read(master_, chunk, sizeof chunk);
    if (n <= 0) {
      // Never spin at real-time priority on a line in error.
      if (fds[0].revents & (POLLHUP | POLLERR)) ::usleep(1000);
      continue;
    }
    const auto now = Clock::now();
    std::lock_guard lock(mutex_);
    bytes_.insert(bytes_.end(), chunk, chunk + n);
    seen += static_cast<size_t>(n);
    while (seen >= static_cast<size_t>(frameSize_) * (arrivals_.size() + 1))
      arrivals_.push_back(now);
    count_ = arrivals_.size();
  }
}

std::vector<TWireProbe::Clock::time_point> TWireProbe::Arrivals() const {
  std::lock_guard lock(mutex_);
  return arrivals_;
}

std::vector<unsigned char> TWireProbe::Bytes() const {
  std::lock_guard lock(mutex_);
  return bytes_;
}
