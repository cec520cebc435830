// The version notes "version.cfg": any bytes, cut at any limit, give lines
// with no line break or control character left in them.
#include "fuzz_input.h"
#include "setup/version_notes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  // Small limits reach the cut-off with small inputs.
  const quint8 pick = in.Byte();
  const qint64 limit = pick == 0xFF ? TVersionNotes::kMaxBytes : 1 + pick * 4;
  const QByteArray bytes = in.Rest().toByteArray();
  const TVersionNotes notes = TVersionNotes::FromBytes(bytes, limit);
  FUZZ_CHECK(notes.truncated == (bytes.size() > limit));
  FUZZ_CHECK(notes.error.isEmpty());
  FUZZ_CHECK(notes.lines.size() <= bytes.count('\n') + bytes.count('\r') + 1);
  for (const QString& line : notes.lines)
    for (const QChar c : line) FUZZ_CHECK(c.unicode() >= 0x20 || c == u'\t');
  return 0;
}
