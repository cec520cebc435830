#pragma once

#include <QString>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

// The far end of a splicer line for the benchmarks: a pseudo-terminal whose
// slave the console opens as its port, and a thread that reads the master and
// notes the moment the last byte of each frame (of a fixed size) became
// readable there.
class TWireProbe {
 public:
  using Clock = std::chrono::steady_clock;

  explicit TWireProbe(int frameSize = 9);
  ~TWireProbe();
  TWireProbe(const TWireProbe&) = delete;
  TWireProbe& operator=(const TWireProbe&) = delete;

  bool IsValid() const { return master_ >= 0; }
  QString SlavePath() const { return slavePath_; }

  // Arrival times of the frames so far, in order.
  std::vector<Clock::time_point> Arrivals() const;
  size_t Count() const { return count_.load(); }
  // Every byte read so far.
  std::vector<unsigned char> Bytes() const;

 private:
  void Run();

  int frameSize_;
  int master_ = -1;
  int slave_ = -1;
  int stopPipe_[2] = {-1, -1};
  QString slavePath_;
  mutable std::mutex mutex_;
  std::vector<Clock::time_point> arrivals_;
  std::vector<unsigned char> bytes_;
  std::atomic<size_t> count_{0};
  std::thread reader_;
};
