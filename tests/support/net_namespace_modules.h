#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

// Network splicer modules played by a test inside its own network namespace
// (see net_namespace.h; every module address must be on "qv0"). A thread
// hears the discovery probe broadcast to port 48899 and answers it from each
// module's address, in the order given; each module accepts frames on TCP
// 8899 at its address and answers the position query with its reply bytes,
// after its delay.
class TNetNamespaceModules {
 public:
  struct Module {
    Module(QString address_, QByteArray positionReply_ = {}, int replyDelayMs_ = 0,
           bool listens_ = true)
        : address(std::move(address_)),
          positionReply(std::move(positionReply_)),
          replyDelayMs(replyDelayMs_),
          listens(listens_) {}
    QString address;
    QByteArray positionReply;  // empty: the query gets no answer
    int replyDelayMs = 0;
    bool listens = true;  // false: nothing listens on TCP 8899 (connect is refused)
  };

  explicit TNetNamespaceModules(std::vector<Module> modules);
  ~TNetNamespaceModules();
  TNetNamespaceModules(const TNetNamespaceModules&) = delete;
  TNetNamespaceModules& operator=(const TNetNamespaceModules&) = delete;

  // Also answer each probe from the prober's own address, as the host's own
  // echo would (the console must not count it).
  std::atomic<bool> echoFromProber = false;
  // Answer each probe twice from every module.
  std::atomic<bool> answerTwice = false;

  bool IsValid() const { return valid_; }
  // The probes heard: payload and sender address.
  std::vector<std::pair<QByteArray, QString>> Probes() const;
  // The bytes each module received on TCP, one entry per connection, in order.
  std::vector<std::pair<QString, QByteArray>> Frames() const;
  // Waits until count connections have been handled (the console does not
  // wait for the modules); false when timeoutMs passed first.
  bool WaitForFrames(std::size_t count, int timeoutMs = 5000) const;

 private:
  void Serve();
  void AnswerProbe(const QByteArray& payload, quint32 sender, quint16 senderPort);
  void Accept(std::size_t module);

  std::vector<Module> modules_;
  std::vector<int> listeners_;
  int probeSocket_ = -1;
  int stopPipe_[2] = {-1, -1};
  bool valid_ = false;
  mutable std::mutex mutex_;
  mutable std::condition_variable framesChanged_;
  std::vector<std::pair<QByteArray, QString>> probes_;
  std::vector<std::pair<QString, QByteArray>> frames_;
  std::thread thread_;
};
