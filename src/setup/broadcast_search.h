#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>

class TSocketWaiter;

// What one broadcast search is about and where its results go. The subtitle
// search probes port 80 and hears on 1235; the COM gateway search probes
// 8080 and hears on 8081. Unset hooks do nothing.
struct TBroadcastSearchRequest {
  quint16 probePort = 0;
  quint16 replyPort = 0;
  std::function<void()> clearLog;                 // first thing of a search
  std::function<void(const QString&)> log;        // one memo line
  std::function<void()> beforePasses;             // after "send() over." (the subtitle list clears)
  std::function<void(int percent)> showProgress;  // 0 at the start, then 10 .. 100
  std::function<void()> hideProgress;             // after the last pass
  std::function<void(const QString&)> found;      // the sender of an "AUTHOK" reply
  std::function<void()> afterDatagram;            // after any reply, whatever its content
  std::function<void()> afterPasses;              // after hiding progress, before closing
};

// The broadcast search for subtitle servers and COM gateways: sends
// "BRELUND" to 255.255.255.255 on the probe port and listens on the reply
// port for ten passes, taking at most one reply per pass. A pass ends when a
// reply waits or its time (1000 ms) is up; the waits go through the waiter,
// so the windows keep painting. One instance serves both searches and refuses
// a second start while a search runs (an event processed during a wait
// cannot start another).
class TBroadcastSearch {
 public:
  static constexpr int kPasses = 10;
  static constexpr int kPassMs = 1000;
  static constexpr int kReplyBytes = 128;

  explicit TBroadcastSearch(TSocketWaiter& waiter) : waiter_(waiter) {}

  // Tests shorten the passes; the program keeps 1000 ms.
  void SetPassMs(int ms) { passMs_ = ms; }
  bool Running() const { return running_; }

  // Runs one whole search; false (and nothing done) when one runs already.
  // Found() then holds the "AUTHOK" senders in arrival order, duplicates
  // included.
  bool Run(const TBroadcastSearchRequest& request);
  const QStringList& Found() const { return found_; }

 private:
  void Search(const TBroadcastSearchRequest& request);

  TSocketWaiter& waiter_;
  int passMs_ = kPassMs;
  bool running_ = false;
  QStringList found_;
};
