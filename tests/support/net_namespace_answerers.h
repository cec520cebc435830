#pragma once

#include <QByteArray>
#include <QString>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

// Devices that answer the broadcast search ("BRELUND") inside a test's own
// network namespace (see net_namespace.h; every address must be on "qv0"):
// a thread hears the probe on probePort and sends each answer, in the order
// given, from its address to the prober's address on replyPort. Subtitle
// servers: (80, 1235); COM gateways: (8080, 8081).
class TNetNamespaceAnswerers {
 public:
  struct Answer {
    QString address;
    QByteArray payload;  // "AUTHOK", or anything else
  };

  TNetNamespaceAnswerers(quint16 probePort, quint16 replyPort, std::vector<Answer> answers);
  ~TNetNamespaceAnswerers();
  TNetNamespaceAnswerers(const TNetNamespaceAnswerers&) = delete;
  TNetNamespaceAnswerers& operator=(const TNetNamespaceAnswerers&) = delete;

  bool IsValid() const { return socket_ >= 0; }
  // The probes heard: payload and sender address.
  std::vector<std::pair<QByteArray, QString>> Probes() const;

 private:
  void Serve();

  quint16 replyPort_;
  std::vector<Answer> answers_;
  int socket_ = -1;
  int stopPipe_[2] = {-1, -1};
  mutable std::mutex mutex_;
  std::vector<std::pair<QByteArray, QString>> probes_;
  std::thread thread_;
};
