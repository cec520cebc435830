#include "app/scramble.h"

#include <array>

#include "core/gbk.h"

namespace {
constexpr std::array<quint8, 8> kKey = {0x5A, 0x17, 0xC3, 0xE2, 0x09, 0x4B, 0xD8, 0x6F};
constexpr char kHex[] = "0123456789ABCDEF";
}  // namespace

QString ScrambleText(const QString& text) {
  const QByteArray bytes = Gbk::Encode(text);
  QString out;
  out.reserve(bytes.size() * 2);
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const quint8 b = static_cast<quint8>(bytes[i]) ^ kKey[static_cast<size_t>(i) % kKey.size()];
    out += QLatin1Char(kHex[b >> 4]);
    out += QLatin1Char(kHex[b & 0x0F]);
  }
  return out;
}
