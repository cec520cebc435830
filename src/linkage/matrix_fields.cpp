#include "linkage/matrix_fields.h"

#include <optional>
#include <utility>

namespace matrix_fields {
namespace {

QByteArray Byte(int value) { return QByteArray(1, static_cast<char>(value & 0xFF)); }

QByteArray Decimal(int value) { return QByteArray::number(value); }

// Zero-padded to at least width digits, then exactly the first width characters.
QByteArray Padded(int value, int width) {
  return QByteArray::number(value).rightJustified(width, '0').left(width);
}

// 4x4 switchers: code index (out-1)*4 + (in-1), or nullopt outside their range.
std::optional<int> FourByFour(const TScreenRoute& route) {
  if (route.out < 1 || route.out > 4 || route.in < 1 || route.in > 4) return std::nullopt;
  return (route.out - 1) * 4 + (route.in - 1);
}

// A field's bytes; nullopt when the screen has no valid command.
std::optional<QByteArray> Field(TToken token, const TScreenRoute& r) {
  const int outByte = r.out & 0xFF;
  const auto inLess1 = static_cast<quint16>(r.in - 1);
  switch (token) {
    case kOut:
      return Byte(outByte);
    case kOut0:
      return Byte(r.out - 1);
    case kInL:
      return Byte(r.in);
    case kInH:
      return Byte(r.in >> 8);
    case kIn0:
      return Byte(inLess1);
    case kIn0High:
      return Byte(inLess1 >> 8);
    case kId:
      return Byte(r.id);
    case kIdLess1:
      return Byte(r.id - 1);
    case kIdDigit:
      return Byte(0x30 + r.id);
    case kBankHigh:
      return Byte(r.in >= 129 ? 1 : 0);
    case kBankLow:
      return Byte(r.in >= 129 ? r.in - 129 : inLess1);
    case kSourceX:
      return Byte(r.latestSource == 4 ? 0xA5 : r.latestSource == 5 ? 0xA6 : 0x00);
    case kDOut:
      return Decimal(r.out);
    case kDOutByte:
      return Decimal(outByte);
    case kDIn:
      return Decimal(r.in);
    case kDId:
      return Decimal(r.id);
    case kP2Out:
      return Padded(r.out, 2);
    case kP2OutByte:
      return Padded(outByte, 2);
    case kP2In:
      return Padded(r.in, 2);
    case kP2Id:
      return Padded(r.id, 2);
    case kP3Out:
      return Padded(r.out, 3);
    case kP3In:
      return Padded(r.in, 3);
    case kP3Id:
      return Padded(r.id, 3);
    case kP4In:
      return Padded(r.in, 4);
    case kHexCode: {
      const auto code = FourByFour(r);
      if (!code) return std::nullopt;
      return QByteArray(1, "0123456789abcdef"[*code]);
    }
    case kTessaranCode: {
      // Row-major by output; the in-3 column is not in order on these units.
      static constexpr int kCodes[16] = {8,  12, 16, 20, 9,  13, 18, 21,
                                         10, 14, 19, 22, 11, 15, 17, 23};
      const auto code = FourByFour(r);
      if (!code || r.row > 2) return std::nullopt;
      return Decimal(kCodes[*code]);
    }
    default:
      return token <= 0xFF ? Byte(token) : QByteArray();
  }
}

int SumOf(const QByteArray& bytes, int from, int to) {
  int sum = 0;
  for (int i = from; i <= to && i < bytes.size(); ++i) sum += static_cast<quint8>(bytes[i]);
  return sum & 0xFF;
}

int XorOf(const QByteArray& bytes, int from, int to) {
  int value = 0;
  for (int i = from; i <= to && i < bytes.size(); ++i) value ^= static_cast<quint8>(bytes[i]);
  return value;
}

int Checksum(TToken token, const QByteArray& bytes) {
  const int from = (token >> 4) & 0xF;
  const int to = token & 0xF;
  switch (token & 0xF000) {
    case 0x1000:
      return SumOf(bytes, from, to);
    case 0x2000:
      return XorOf(bytes, from, to);
    case 0x3000:
      return SumOf(bytes, from, to) & 0x7F;
    default:  // kVideo07Key
      return ((SumOf(bytes, 1, 5) + SumOf(bytes, 7, 7)) & 0xFF) ^ 0x4D;
  }
}

}  // namespace

QByteArray EncodeScreen(const std::vector<TToken>& tokens, TToken param,
                        const TScreenRoute& route) {
  QByteArray bytes;
  std::vector<std::pair<int, TToken>> checksums;  // position, token
  for (TToken token : tokens) {
    if (token == kParam) token = param;
    if (token >= 0x1000) {
      checksums.emplace_back(bytes.size(), token);
      bytes.append('\0');
      continue;
    }
    const auto field = Field(token, route);
    if (!field) return {};
    bytes.append(*field);
  }
  for (const auto& [position, token] : checksums)
    bytes[position] = static_cast<char>(Checksum(token, bytes));
  return bytes;
}

QByteArray EncodeFrame96(const std::vector<int>& outs, quint16 in, quint8 id, quint8 t) {
  const std::vector<int> pairs = outs.size() == 1 ? std::vector<int>{outs[0], outs[0]} : outs;
  const auto n = static_cast<int>(outs.size() == 1 ? 2 : outs.size());
  QByteArray bytes;
  bytes.append(Byte(0x96)).append(Byte(id)).append(Byte(0x01)).append(Byte(2 * n + 2));
  bytes.append(Byte(t));
  for (const int out : pairs) bytes.append(Byte(out - 1)).append(Byte(in - 1));
  const int sum = SumOf(bytes, 0, bytes.size() - 1);
  // 96 opens a frame, so the checksum never takes that value.
  return bytes.append(Byte(sum == 0x96 ? 0x6A : sum));
}

QByteArray EncodeCommaList(const std::vector<int>& outs, quint16 in) {
  QByteArray bytes;
  for (const int out : outs) bytes.append(Byte(in)).append(',').append(Byte(out)).append(',');
  return bytes.append('V');
}

}  // namespace matrix_fields
