#include "scenes/scene_text.h"

#include "core/gbk.h"

namespace SceneText {

QByteArray Fit(const QString& name, int maxBytes) {
  const QByteArray bytes = Gbk::Encode(name);
  if (maxBytes <= 0) return {};
  if (bytes.size() <= maxBytes) return bytes;
  // In this code page a byte from 0x81 to 0xFE starts a two-byte character;
  // every other byte is a character of its own.
  qsizetype end = 0;
  while (end < bytes.size()) {
    const auto b = static_cast<quint8>(bytes[end]);
    const qsizetype width = (b >= 0x81 && b <= 0xFE) ? 2 : 1;
    if (end + width > maxBytes) break;
    end += width;
  }
  return bytes.left(end);
}

QString Read(const quint8* field, int size) {
  if (field == nullptr || size <= 0) return {};
  int n = 0;
  while (n < size && field[n] != 0) ++n;
  return Gbk::Decode(QByteArray(reinterpret_cast<const char*>(field), n));
}

}  // namespace SceneText
