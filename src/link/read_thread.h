#pragma once

#include <atomic>
#include <thread>

#include "link/comm_event.h"

// The reader of an open port. Waits for bytes together with the close event,
// gathers them into chunks and hands each chunk to the sink: a chunk ends at a
// gap longer than the read interval time-out or at kChunkSize bytes. Platform
// failures become hang-up requests; the close event ends it promptly.
class TReadThread {
 public:
  static constexpr int kChunkSize = 2048;
  // How often the modem lines are looked at while the line is idle.
  static constexpr int kModemPollMs = 100;

  TReadThread(int fd, int closeEvent, TCommEventSink sink);
  ~TReadThread();
  TReadThread(const TReadThread&) = delete;
  TReadThread& operator=(const TReadThread&) = delete;

  // May be called while running; takes effect with the next chunk.
  void SetOptions(quint32 readInterval, quint32 readTotalMultiplier, quint32 readTotalConstant,
                  bool ignoreNullChar);
  // Throws std::system_error when no thread can be created.
  void Start();
  // Returns once the thread has ended; the owner signals the close event first.
  void Join();

 private:
  enum class TWait { Ready, Closed, TimedOut, Failed };
  enum class TReadResult { Delivered, Idle, End };

  void Run();
  TWait Wait(int timeoutMs, short* revents) const;
  TReadResult ReadChunk();
  void Deliver(QByteArray& chunk);
  void RequestHangup();
  void CheckModemLines();

  const int fd_;
  const int closeEvent_;
  const TCommEventSink sink_;
  std::atomic<quint32> readInterval_{100};
  std::atomic<quint32> readTotalMultiplier_{0};
  std::atomic<quint32> readTotalConstant_{0};
  std::atomic<bool> ignoreNullChar_{false};
  // Used by the thread only.
  bool watchModem_ = false;
  int modemLines_ = 0;
  std::thread thread_;
};
