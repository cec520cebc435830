#pragma once

#include <QtGlobal>

// What the send path needs of a port: hand bytes over for writing. TComm
// implements it; the bytes are copied, so the caller's buffer may be reused.
class TPortWriter {
 public:
  virtual ~TPortWriter() = default;
  virtual bool WriteCommData(const char* data, quint16 count) = 0;
};
