#include "link/write_thread.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>

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
  bool written = false;
  {
    std::lock_guard lock(mutex_);
    if (!running_) return false;
    if (queue_.empty() && !CloseSignalled()) {
      // Nothing ahead of it: written from here, the frame reaches the line
      // without the hand-over to the thread and its wake-up, the larger part
      // of a click's way to the wire. The lock keeps the thread from starting
      // a block meanwhile, and the descriptor is non-blocking. The rest, or
      // all of it after an error, goes the usual way: the thread waits for
      // room, or meets the same error and reports it.
      block.remove(0, WriteNow(block));
      written = block.isEmpty();
    }
    if (!written) {
      queue_.push_back(std::move(block));
      sendDataEmpty_->store(false);
    }
  }
  if (written)
    sink_(TCommEvent{TCommEvent::TKind::SendDataEmpty, {}, 0});
  else
    (void)::eventfd_write(wake_, 1);
  return true;
}

qsizetype TWriteThread::WriteNow(const QByteArray& block) {
  qsizetype done = 0;
  while (done < block.size()) {
    const ssize_t n =
        ::write(fd_, block.constData() + done, static_cast<size_t>(block.size() - done));
    if (n > 0)
      done += n;
    else if (!(n < 0 && errno == EINTR))
      break;
  }
  return done;
}

void TWriteThread::Join() {
  if (thread_.joinable()) thread_.join();
}

qint64 TWriteThread::NowMs() {
  using namespace std::chrono;
  // Never 0, which means "not blocked".
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() + 1;
}

qint64 TWriteThread::BlockedMs() const {
  const qint64 since = blockedSince_.load();
  return since == 0 ? 0 : NowMs() - since;
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
        block = queue_.front();  // shared, not copied; popped once written
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
    {
      std::lock_guard lock(mutex_);
      queue_.pop_front();
    }
    wroteSinceNotice = true;
  }
  blockedSince_ = 0;
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
      blockedSince_ = 0;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // The device is full: wait until it takes more, or until the port closes.
      if (blockedSince_.load() == 0) blockedSince_ = NowMs();
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
