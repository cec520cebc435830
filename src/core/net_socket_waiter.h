#pragma once

// Every wait of the socket layer for a socket to become ready goes through a
// TSocketWaiter. The program waits in a local event loop, so the windows keep
// painting while a search or a connection waits (TEventLoopSocketWaiter);
// logic tests wait with a plain poll() (TPollSocketWaiter).
class TSocketWaiter {
 public:
  virtual ~TSocketWaiter() = default;
  // True when fd can be read (a datagram or a byte waits, or the peer closed,
  // or an error is pending) within ms milliseconds; false on time-out.
  // ms <= 0 looks once without waiting.
  virtual bool WaitReadable(int fd, int ms) = 0;
  // True when fd can be written (a connect has finished, with or without
  // success) within ms milliseconds; false on time-out.
  virtual bool WaitWritable(int fd, int ms) = 0;
};
