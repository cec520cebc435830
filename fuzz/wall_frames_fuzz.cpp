// The virtual wall's splicer line: any byte stream, split anywhere, is cut
// into frames, torn frames and noise without losing or inventing a byte, and
// every good frame is read against the wall and applied to it.
#include "frame_decoder.h"
#include "frame_meaning.h"
#include "fuzz_input.h"
#include "link/protocol.h"
#include "wall_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  const int rows = 1 + in.Byte() % 30, cols = 1 + in.Byte() % 30;
  const qsizetype chunk = 1 + in.Byte() % 32;
  const QByteArrayView stream = in.Rest();

  TFrameDecoder decoder;
  TWallState wall(rows, cols);
  QByteArray seen;
  for (qsizetype pos = 0; pos < stream.size(); pos += chunk) {
    for (const TFrameDecoder::TItem& item :
         decoder.Feed(stream.sliced(pos).first(std::min(chunk, stream.size() - pos)))) {
      FUZZ_CHECK(!item.bytes.isEmpty());
      seen += item.bytes;
      if (item.verdict != TFrameDecoder::TVerdict::Frame) continue;
      const auto* frame = reinterpret_cast<const quint8*>(item.bytes.constData());
      const int length = static_cast<int>(item.bytes.size());
      FUZZ_CHECK(length == TProtocol::kLongFrameLength || length == TProtocol::kShortFrameLength);
      FUZZ_CHECK(TProtocol::Checksum(frame, length - 1) == frame[length - 1]);
      const TFrameMeaning meaning = InterpretFrame(item.bytes, rows, cols);
      if (const auto& s = meaning.target.screens) {
        FUZZ_CHECK(1 <= s->top && s->top <= s->bottom && s->bottom <= rows);
        FUZZ_CHECK(1 <= s->left && s->left <= s->right && s->right <= cols);
      }
      wall.Apply(meaning);
    }
  }
  FUZZ_CHECK(seen.size() + decoder.Pending() == stream.size());
  FUZZ_CHECK(QByteArrayView(seen) == stream.first(seen.size()));
  return 0;
}
