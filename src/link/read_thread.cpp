#include "link/read_thread.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "link/serial_device.h"

TReadThread::TReadThread(int fd, int closeEvent, TCommEventSink sink)
    : fd_(fd), closeEvent_(closeEvent), sink_(std::move(sink)) {}

TReadThread::~TReadThread() { Join(); }

void TReadThread::SetOptions(quint32 readInterval, quint32 readTotalMultiplier,
                             quint32 readTotalConstant, bool ignoreNullChar) {
  readInterval_ = readInterval;
  readTotalMultiplier_ = readTotalMultiplier;
  readTotalConstant_ = readTotalConstant;
  ignoreNullChar_ = ignoreNullChar;
}

void TReadThread::Start() {
  // No priority is raised: ordinary processes may not, and the chunk timing
  // does not depend on it.
  thread_ = std::thread([this] { Run(); });
}

void TReadThread::Join() {
  if (thread_.joinable()) thread_.join();
}

void TReadThread::Run() {
  watchModem_ = TSerialDevice::ReadModemLines(fd_, &modemLines_);
  for (;;) {
    short revents = 0;
    const TWait wait = Wait(watchModem_ ? kModemPollMs : -1, &revents);
    if (wait == TWait::Closed) break;
    if (wait == TWait::Failed) {
      RequestHangup();
      break;
    }
    if (wait == TWait::Ready) {
      const TReadResult result = ReadChunk();
      if (result == TReadResult::End) break;
      // Readable or hung up, yet nothing to read: waiting again would spin.
      if (result == TReadResult::Idle && (revents & (POLLHUP | POLLERR))) {
        RequestHangup();
        break;
      }
    }
    if (watchModem_) CheckModemLines();
  }
  (void)::tcflush(fd_, TCIFLUSH);
}

TReadThread::TWait TReadThread::Wait(int timeoutMs, short* revents) const {
  pollfd fds[2] = {{closeEvent_, POLLIN, 0}, {fd_, POLLIN, 0}};
  for (;;) {
    const int n = ::poll(fds, 2, timeoutMs);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return TWait::Failed;
    if (fds[0].revents) return TWait::Closed;
    if (n == 0) return TWait::TimedOut;
    // The descriptor was closed under the thread: end quietly.
    if (fds[1].revents & POLLNVAL) return TWait::Closed;
    *revents = fds[1].revents;
    return TWait::Ready;
  }
}

TReadThread::TReadResult TReadThread::ReadChunk() {
  using Clock = std::chrono::steady_clock;
  QByteArray chunk;
  chunk.reserve(kChunkSize);
  Clock::time_point deadline{};
  bool haveDeadline = false;
  char buffer[kChunkSize];
  for (;;) {
    const qsizetype room = kChunkSize - chunk.size();
    const ssize_t n = ::read(fd_, buffer, static_cast<size_t>(room));
    if (n > 0) {
      if (chunk.isEmpty() && !haveDeadline) {
        // Total time-outs bound how long one chunk may keep growing.
        const quint64 total = quint64(readTotalConstant_) + quint64(readTotalMultiplier_) * kChunkSize;
        if (total > 0) {
          deadline = Clock::now() + std::chrono::milliseconds(total);
          haveDeadline = true;
        }
      }
      if (ignoreNullChar_) {
        for (ssize_t i = 0; i < n; ++i)
          if (buffer[i] != 0) chunk.append(buffer[i]);
      } else {
        chunk.append(buffer, n);
      }
      if (chunk.size() >= kChunkSize) {
        Deliver(chunk);
        return TReadResult::Delivered;
      }
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (chunk.isEmpty()) return TReadResult::Idle;
      qint64 gap = readInterval_;
      if (haveDeadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        gap = std::min<qint64>(gap, std::max<qint64>(0, left.count()));
      }
      if (gap <= 0) {
        Deliver(chunk);
        return TReadResult::Delivered;
      }
      short revents = 0;
      switch (Wait(static_cast<int>(std::min<qint64>(gap, 1 << 30)), &revents)) {
        case TWait::Ready: continue;
        case TWait::TimedOut: Deliver(chunk); return TReadResult::Delivered;
        case TWait::Closed: return TReadResult::End;
        case TWait::Failed:
          Deliver(chunk);
          RequestHangup();
          return TReadResult::End;
      }
    }
    // End of file (the other end hung up) or a device error: hand over what
    // came, then stop. A descriptor closed under the thread ends it quietly.
    const bool badHandle = n < 0 && errno == EBADF;
    if (!chunk.isEmpty()) Deliver(chunk);
    if (!badHandle) RequestHangup();
    return TReadResult::End;
  }
}

void TReadThread::Deliver(QByteArray& chunk) {
  sink_(TCommEvent{TCommEvent::TKind::ReceiveData, std::move(chunk), 0});
  chunk = QByteArray();
}

void TReadThread::RequestHangup() { sink_(TCommEvent{TCommEvent::TKind::RequestHangup, {}, 0}); }

void TReadThread::CheckModemLines() {
  int lines = 0;
  if (!TSerialDevice::ReadModemLines(fd_, &lines)) return;
  const quint32 flags = TSerialDevice::ModemChanges(modemLines_, lines);
  modemLines_ = lines;
  if (flags) sink_(TCommEvent{TCommEvent::TKind::ModemStateChange, {}, flags});
}
