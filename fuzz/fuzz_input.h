#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The fuzzer's bytes, taken from the front: a few lead bytes choose a
// decoder, a wall size or a chunk size, the rest is the input itself.
class TFuzzInput {
 public:
  TFuzzInput(const uint8_t* data, size_t size)
      : bytes_(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)) {}

  // The next lead byte; 0 once the input is used up.
  quint8 Byte() { return pos_ < bytes_.size() ? static_cast<quint8>(bytes_[pos_++]) : 0; }
  // Everything not taken yet.
  QByteArrayView Rest() const { return bytes_.sliced(pos_); }

 private:
  QByteArrayView bytes_;
  qsizetype pos_ = 0;
};

// A broken invariant is a finding: say which and stop, so that libFuzzer
// keeps the input as a crash.
#define FUZZ_CHECK(condition)                                                                 \
  do {                                                                                        \
    if (!(condition)) {                                                                       \
      std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                           \
    }                                                                                         \
  } while (false)
