#include "link/write_thread.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

TWriteThread::TWriteThread(int fd, int closeEvent, std::atomic<bool>* sendDataEmpty,
                           TCommEventSink sink)
    : fd_(fd), closeEvent_(closeEvent), sendDataEmpty_(sendDataEmpty), sink_(std::move(sink)) {}

TWriteThread::~TWriteThread() {
  Join();
  if (wake_ >= 0) ::close(wake_);
}

void TWriteThread::Start() {
  wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
  {
    std::lock_guard lock(mutex_);
    running_ = true;
  }
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (...) {
    std::lock_guard lock(mutex_);
    running_ = false;
    throw;
  }
}

bool TWriteThread::Post(QByteArray block) {
  {
    std::lock_guard lock(mutex_);
    if (!running_) return false;
    queue_.push_back(std::move(block));
    sendDataEmpty_->store(false);
  }
  (void)::eventfd_write(wake_, 1);
  return true;
}

void TWriteThread::Join() {
  if (thread_.joinable()) thread_.join();
}

void TWriteThread::Run() {
  bool wroteSinceNotice = false;
  for (;;) {
    QByteArray block;
    bool idle = false;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) {
        // Set under the lock so that a Post() racing with this cannot be
        // overwritten: the flag always matches the queue.
        sendDataEmpty_->store(true);
        idle = true;
      } else {
        block = std::move(queue_.front());
        queue_.pop_front();
      }
    }
    if (idle) {
      if (wroteSinceNotice) {
        wroteSinceNotice = false;
        sink_(TCommEvent{TCommEvent::TKind::SendDataEmpty, {}, 0});
      }
      pollfd fds[2] = {{closeEvent_, POLLIN, 0}, {wake_, POLLIN, 0}};
      const int n = ::poll(fds, 2, -1);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        RequestHangup();
        break;
      }
      if (fds[0].revents) break;
      eventfd_t ignored = 0;
      (void)::eventfd_read(wake_, &ignored);
      continue;
    }
    if (CloseSignalled() || !WriteAll(block)) break;
    wroteSinceNotice = true;
  }
  {
    std::lock_guard lock(mutex_);
    running_ = false;
    queue_.clear();
    sendDataEmpty_->store(true);
  }
  (void)::tcflush(fd_, TCOFLUSH);
}

bool TWriteThread::WriteAll(const QByteArray& block) {
  const char* p = block.constData();
  qsizetype left = block.size();
  while (left > 0) {
    const ssize_t n = ::write(fd_, p, static_cast<size_t>(left));
    if (n > 0) {
      p += n;
      left -= n;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // The device is full: wait until it takes more, or until the port closes.
      pollfd fds[2] = {{closeEvent_, POLLIN, 0}, {fd_, POLLOUT, 0}};
      const int r = ::poll(fds, 2, -1);
      if (r < 0 && errno == EINTR) continue;
      if (fds[0].revents) return false;
      if (fds[1].revents & POLLNVAL) return false;
      if (r < 0 || !(fds[1].revents & POLLOUT)) {
        RequestHangup();
        return false;
      }
      continue;
    }
    // A descriptor closed under the thread ends it quietly; anything else
    // (the other end hung up, a device error) is a hang-up request.
    if (!(n < 0 && errno == EBADF)) RequestHangup();
    return false;
  }
  return true;
}

bool TWriteThread::CloseSignalled() const {
  pollfd fd{closeEvent_, POLLIN, 0};
  return ::poll(&fd, 1, 0) > 0;
}

void TWriteThread::RequestHangup() { sink_(TCommEvent{TCommEvent::TKind::RequestHangup, {}, 0}); }
