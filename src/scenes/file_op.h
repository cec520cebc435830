#pragma once

#include <QString>
#include <QtGlobal>

// One file opened for block reads and writes of raw bytes, closed when the
// object goes. An existing file is opened for reading and writing (for
// reading only when it cannot be written, so that a read-only scene still
// loads); a missing one is created empty. Anything that is not a regular
// file (a directory, FIFO or device) is not opened, so that reading it can
// neither hang nor touch a device.
class TFileOP {
 public:
  explicit TFileOP(const QString& path);
  ~TFileOP();
  TFileOP(const TFileOP&) = delete;
  TFileOP& operator=(const TFileOP&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  bool Writable() const { return writable_; }

  // Moves up to count bytes and returns how many were moved: fewer at the
  // end of the file, 0 when closed, on an error or for a count below 1.
  qint64 Read(void* buffer, qint64 count);
  qint64 Write(const void* buffer, qint64 count);

 private:
  int fd_ = -1;
  bool writable_ = false;
};
