#pragma once

#include <QtGlobal>

// The small socket layer over POSIX sockets (IPv4 only). Its classes:
//   TSocket        an open socket descriptor, closed on destruction
//   TUdpSocket     datagrams: broadcast option, bind, sendto, receive one
//   TTcpClient     a connection: connect, send all, receive once, with
//                  explicit time-outs
//   TSocketWaiter  how a wait for readiness is spent (event loop or poll)
//   TSocketDeadline  when a time-out runs out, what is left of it
//   TIpv4Address   dotted addresses
// Operations that can fail return 0 on success or the errno of the failure,
// so that logs can print the error number. A time-out is ETIMEDOUT; a peer
// that closes before sending anything is ECONNRESET.

// An open socket descriptor (or none). Move-only; closes on destruction.
class TSocket {
 public:
  TSocket() = default;
  explicit TSocket(int fd) : fd_(fd) {}
  ~TSocket() { Close(); }
  TSocket(TSocket&& other) noexcept : fd_(other.Release()) {}
  TSocket& operator=(TSocket&& other) noexcept;
  TSocket(const TSocket&) = delete;
  TSocket& operator=(const TSocket&) = delete;

  // Creates a socket of the given type (SOCK_DGRAM, SOCK_STREAM), closing the
  // one held before. 0 or errno.
  int Open(int type);
  bool IsOpen() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  int Release();

  int SetNonBlocking();
  // Shuts both directions down; errors (not connected) are of no interest.
  void Shutdown();
  void Close();

 private:
  int fd_ = -1;
};
