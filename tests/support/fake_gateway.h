#pragma once

#include <QByteArray>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// A COM gateway for tests: listens on every address at the given port (8082
// for the console's client: run it inside a network namespace the test
// created, so that the port and the addresses are the test's alone), takes each 70-byte request and
// answers with what the script returns for it; nullopt answers nothing and
// keeps the connection open (a silent gateway). Every request is recorded.
class FakeGateway {
 public:
  using Script = std::function<std::optional<QByteArray>(const QByteArray& request)>;

  FakeGateway(quint16 port, Script script);
  ~FakeGateway();
  FakeGateway(const FakeGateway&) = delete;
  FakeGateway& operator=(const FakeGateway&) = delete;

  // False when the port could not be bound (the reason is in Error()).
  bool Listening() const { return listenFd_ >= 0; }
  int Error() const { return error_; }
  std::vector<QByteArray> Requests() const;
  int Connections() const { return connections_; }

  // A gateway with the named ports that confirms every setting and forward;
  // reading a port listed in failReads answers nothing useful (a wrong
  // command byte).
  static Script Ports(const std::vector<QByteArray>& names, std::vector<int> failReads = {});

 private:
  void Serve();
  void ServeConnection(int fd);

  Script script_;
  int listenFd_ = -1;
  int error_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex mutex_;
  std::vector<QByteArray> requests_;
  std::thread thread_;
};
