#pragma once

#include <QtGlobal>

// What the send path needs of a port: hand bytes over for writing. TComm
// implements it; the bytes are copied, so the caller's buffer may be reused.
class TPortWriter {
 public:
  virtual ~TPortWriter() = default;
  virtual bool WriteCommData(const char* data, quint16 count) = 0;
  // Waits, at most timeoutMs, until the bytes handed over have gone to the
  // device, so that a pause after a frame is measured from the line and not
  // from the queue. A writer without a queue has nothing to wait for.
  virtual void WaitWritten(int timeoutMs) { (void)timeoutMs; }
};
