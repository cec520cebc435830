#include "frame_decoder.h"

#include "link/protocol.h"

std::vector<TFrameDecoder::TItem> TFrameDecoder::Feed(QByteArrayView bytes) {
  buffer_.append(bytes);
  std::vector<TItem> items;
  qsizetype pos = 0;
  const auto at = [this](qsizetype i) { return static_cast<quint8>(buffer_[i]); };
  while (pos < buffer_.size()) {
    if (at(pos) != kHeader) {
      qsizetype end = pos;
      while (end < buffer_.size() && at(end) != kHeader) ++end;
      items.push_back({TVerdict::Noise, buffer_.mid(pos, end - pos)});
      pos = end;
      continue;
    }
    if (pos + 1 >= buffer_.size()) break;  // the length byte is still to come
    const int length = at(pos + 1);
    if (length != TProtocol::kLongFrameLength && length != TProtocol::kShortFrameLength) {
      // The length byte goes with the header unless it is itself a header.
      const qsizetype taken = at(pos + 1) == kHeader ? 1 : 2;
      items.push_back({TVerdict::BadLength, buffer_.mid(pos, taken)});
      pos += taken;
      continue;
    }
    if (pos + length > buffer_.size()) break;  // wait for the rest
    const auto* frame = reinterpret_cast<const quint8*>(buffer_.constData() + pos);
    if (TProtocol::Checksum(frame, length - 1) != frame[length - 1]) {
      // A frame can hide behind a torn one: resume at the next header
      // inside these bytes, or after them when there is none.
      qsizetype next = pos + 1;
      while (next < pos + length && at(next) != kHeader) ++next;
      items.push_back({TVerdict::BadChecksum, buffer_.mid(pos, next - pos)});
      pos = next;
      continue;
    }
    items.push_back({TVerdict::Frame, buffer_.mid(pos, length)});
    pos += length;
  }
  buffer_.remove(0, pos);
  return items;
}
