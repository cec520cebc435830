#pragma once

#include <QByteArray>
#include <atomic>
#include <deque>
#include <mutex>
#include <thread>

#include "link/comm_event.h"

// The writer of an open port. Blocks handed over by Post() are written whole
// and in order; when the queue runs empty the port's "send data empty" flag is
// set and, if something was written since the last time, the sink hears of it.
// A block with nothing ahead of it is written by the caller at once, without
// blocking; only what the device does not take then goes to the thread.
// The close event ends it promptly, also in the middle of a block. While the
// device takes no bytes (a full line, output suspended) the thread waits on
// it and says since when, so that its owner can tell a stalled line.
class TWriteThread {
 public:
  TWriteThread(int fd, int closeEvent, std::atomic<bool>* sendDataEmpty, TCommEventSink sink);
  ~TWriteThread();
  TWriteThread(const TWriteThread&) = delete;
  TWriteThread& operator=(const TWriteThread&) = delete;

  // Throws std::system_error when the thread or its wake-up event cannot be created.
  void Start();
  // Never blocks on the device. False once the thread has ended (or before Start).
  bool Post(QByteArray block);
  // Returns once the thread has ended; the owner signals the close event first.
  void Join();
  // Milliseconds the thread has been waiting for the device to take bytes
  // without any going out; 0 while bytes flow or nothing is pending.
  qint64 BlockedMs() const;

 private:
  void Run();
  bool WriteAll(const QByteArray& block);
  qsizetype WriteNow(const QByteArray& block);
  bool CloseSignalled() const;
  void RequestHangup();
  static qint64 NowMs();

  const int fd_;
  const int closeEvent_;
  std::atomic<bool>* const sendDataEmpty_;
  const TCommEventSink sink_;
  int wake_ = -1;
  std::mutex mutex_;
  // The front block stays queued while the thread writes it, so that a
  // caller never writes past it.
  std::deque<QByteArray> queue_;  // guarded by mutex_
  bool running_ = false;          // guarded by mutex_
  std::thread thread_;
  std::atomic<qint64> blockedSince_{0};  // NowMs() when the wait began; 0 none
};
