#include "setup/network_replies.h"

#include <cstring>

namespace {

constexpr qsizetype kSearchReplyBytes = 128;

}  // namespace

QByteArray BroadcastSearchProbe() { return QByteArrayLiteral("BRELUND"); }

QByteArray NetworkSplicerProbe() { return QByteArrayLiteral("HF-A11ASSISTHREAD"); }

QByteArray CellPositionQueryFrame() {
  // Long frame to the all-zero address, class 0x13, code 0x03; the last byte
  // is the 8-bit sum of the eight before it.
  QByteArray frame("\xC8\x09\x00\x00\x00\x00\x13\x03", 8);
  quint8 sum = 0;
  for (const char c : frame) sum = static_cast<quint8>(sum + static_cast<quint8>(c));
  frame.append(static_cast<char>(sum));
  return frame;
}

QString SearchReplyText(const QByteArray& payload) {
  const qsizetype bound = qMin(payload.size(), kSearchReplyBytes);
  const void* zero = std::memchr(payload.constData(), 0, static_cast<size_t>(bound));
  const qsizetype length = zero ? static_cast<const char*>(zero) - payload.constData() : bound;
  return QString::fromLatin1(payload.constData(), length);
}

bool IsAuthOkReply(const QByteArray& payload) {
  return SearchReplyText(payload) == QLatin1String("AUTHOK");
}

std::optional<TCellPosition> DecodeCellPosition(const QByteArray& reply, int rows, int columns) {
  if (reply.size() < 4) return std::nullopt;
  const int row = static_cast<quint8>(reply[2]);
  const int column = static_cast<quint8>(reply[3]);
  if (row >= rows || column >= columns) return std::nullopt;
  return TCellPosition{row, column};
}
