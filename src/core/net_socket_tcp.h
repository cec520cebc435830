#pragma once

#include <QByteArray>
#include <QtGlobal>

#include "core/net_socket.h"
#include "core/net_socket_address.h"

class TSocketWaiter;

// A TCP connection from the console to a device. The socket is non-blocking
// from the start; every wait goes through the waiter with an explicit
// time-out. Every call returns 0 or the errno of the failure (ETIMEDOUT when
// the time ran out). Shuts down and closes on destruction.
class TTcpClient {
 public:
  explicit TTcpClient(TSocketWaiter& waiter) : waiter_(waiter) {}
  ~TTcpClient() { Close(); }
  TTcpClient(const TTcpClient&) = delete;
  TTcpClient& operator=(const TTcpClient&) = delete;

  int Connect(TIpv4Address address, quint16 port, int timeoutMs);
  bool IsConnected() const { return socket_.IsOpen(); }
  // Sends every byte, waiting for room up to timeoutMs in all.
  int SendAll(const QByteArray& bytes, int timeoutMs);
  // Waits up to timeoutMs for data, then takes what is there, at most
  // maxBytes, into *received. No byte (the peer closed: ECONNRESET), a
  // time-out or an error is a failure.
  int ReceiveOnce(QByteArray* received, int maxBytes, int timeoutMs);
  // Shuts both directions down and closes.
  void Close();

 private:
  TSocketWaiter& waiter_;
  TSocket socket_;
};
