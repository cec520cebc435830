#include "dvr_frames.h"

#include "byte_cursor.h"

TParsed<TDvrCommand> ParseDvrFrame(QByteArrayView bytes) {
  TByteCursor c(bytes);
  int address, code, sum;
  const bool head = c.Byte(0x90) && c.Any(address) && c.Any(code);
  const bool lead = head && code == 0xFE;
  const bool shaped = head && (lead ? c.Byte(0x00) && c.Byte(0x00) && c.Byte(0x01) && c.Byte(0x00)
                                    : c.Byte(0x01) && c.Byte(0x01) && c.Byte(0x00) && c.Byte(0x00));
  if (!(shaped && c.Any(sum)))
    return {c.Short() ? TParseStatus::Partial : TParseStatus::NoMatch, 0, {}, {}};
  int expected = 0;
  for (int i = 0; i < 7; ++i) expected += static_cast<quint8>(bytes[i]);
  if (sum != (expected & 0xFF)) return {TParseStatus::Bad, c.Pos(), {}, QStringLiteral("checksum")};
  if (lead) {
    if (address != 0x01) return {TParseStatus::Bad, c.Pos(), {}, QStringLiteral("lead address")};
    return {TParseStatus::Command, c.Pos(), {true, address, 0}, {}};
  }
  static constexpr int kSplits[] = {1, 4, 9, 16};  // codes 1B to 1E
  if (code < 0x1B || code > 0x1E)
    return {TParseStatus::Bad,
            c.Pos(),
            {},
            QStringLiteral("split code %1").arg(code, 2, 16, QLatin1Char('0'))};
  return {TParseStatus::Command, c.Pos(), {false, address, kSplits[code - 0x1B]}, {}};
}
