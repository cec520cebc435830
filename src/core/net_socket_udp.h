#pragma once

#include <QByteArray>
#include <QtGlobal>

#include "core/net_socket.h"
#include "core/net_socket_address.h"

class TSocketWaiter;

// One datagram as received: at most the bytes asked for, and its sender.
struct TDatagram {
  QByteArray payload;
  TIpv4Address sender;
  quint16 senderPort = 0;
};

// What one receive attempt gave: a datagram, nothing waiting (error 0,
// arrived false), or an error number.
struct TDatagramReceipt {
  bool arrived = false;
  int error = 0;
  TDatagram datagram;
};

// A UDP socket (IPv4). Every call returns 0 or the errno of the failure.
class TUdpSocket {
 public:
  int Open();  // creates the socket (blocking until SetNonBlocking)
  bool IsOpen() const { return socket_.IsOpen(); }
  int Fd() const { return socket_.Fd(); }
  int SetNonBlocking() { return socket_.SetNonBlocking(); }
  int SetBroadcast(bool on);
  // Lets several sockets of the host share one port (servers in tests and
  // the virtual wall); the console's own sockets never ask for it.
  int SetReuseAddress(bool on);
  int Bind(TIpv4Address address, quint16 port);
  // The whole payload goes as one datagram; a short send is EMSGSIZE.
  int SendTo(const QByteArray& payload, TIpv4Address address, quint16 port);
  // One attempt without waiting (the socket should be non-blocking). A
  // datagram longer than maxBytes gives its first maxBytes bytes.
  TDatagramReceipt ReceiveNow(int maxBytes);
  // Waits up to ms through the waiter for a datagram, then one attempt.
  TDatagramReceipt Receive(int maxBytes, int ms, TSocketWaiter& waiter);
  void Shutdown() { socket_.Shutdown(); }
  void Close() { socket_.Close(); }

 private:
  TSocket socket_;
};
