#pragma once

#include <QByteArray>
#include <functional>
#include <vector>

#include "link/port_writer.h"

// A splicer port for tests of the send path and of everything that sends
// frames: keeps each write as one QByteArray, in order.
class RecordingPortWriter final : public TPortWriter {
 public:
  bool WriteCommData(const char* data, quint16 count) override {
    writes.emplace_back(data, count);
    if (onWrite) onWrite(writes.back());
    return true;
  }

  std::vector<QByteArray> writes;
  std::function<void(const QByteArray&)> onWrite;
};
