#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

// Cuts the splicer line's byte stream into frames the way a splicer would:
// a frame starts at the header 0xC8, its second byte says how long it is (9
// for long frames, 7 for short ones) and its last byte is the low 8 bits of
// the sum of the others. Anything else is reported, never passed on as a
// frame. After a header that leads nowhere (wrong length or checksum) the
// search resumes at the next byte, so that a frame following a torn one is
// still found. An incomplete frame waits for the rest of its bytes.
class TFrameDecoder {
 public:
  enum class TVerdict {
    Frame,        // well-formed frame
    BadLength,    // header followed by a length other than 7 or 9: the header (and length)
    BadChecksum,  // a frame whose sum does not match: its bytes up to the next header
    Noise,        // bytes before a header, dropped
  };
  struct TItem {
    TVerdict verdict;
    QByteArray bytes;
  };

  static constexpr quint8 kHeader = 0xC8;

  // Every item the new bytes complete, in stream order.
  std::vector<TItem> Feed(QByteArrayView bytes);
  // Bytes kept for a frame that is not complete yet.
  qsizetype Pending() const { return buffer_.size(); }

 private:
  QByteArray buffer_;
};
