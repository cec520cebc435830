#include "scenes/scene_item.h"

#include <algorithm>
#include <cstring>

#include "scenes/scene_text.h"

QString TSceneItem::Name() const { return SceneText::Read(bytes.data() + kNameOffset, kNameSize); }

void TSceneItem::SetName(const QString& name) {
  quint8* field = bytes.data() + kNameOffset;
  std::fill_n(field, kNameSize, quint8{0});
  const QByteArray text = SceneText::Fit(name, kNameSize);
  std::memcpy(field, text.constData(), static_cast<size_t>(text.size()));
}

quint8 TSceneItem::MatrixSubKind(quint8 matrixKind, bool continued) {
  if (matrixKind >= kMatrixKinds) return 0;
  return static_cast<quint8>(kMatrixMark | (continued ? kMatrixContinued : 0) | matrixKind);
}

std::optional<quint8> TSceneItem::MarkedMatrixKind() const {
  const quint8 sub = SubKind();
  if (Kind() != kMatrixCommand || (sub & ~(kMatrixContinued | 0x03)) != kMatrixMark) return {};
  const quint8 kind = sub & 0x03;
  if (kind >= kMatrixKinds) return {};
  return kind;
}

bool TSceneItem::MatrixContinued() const {
  return MarkedMatrixKind() && (SubKind() & kMatrixContinued) != 0;
}

qint32 TSceneItem::Value() const {
  const quint8* v = bytes.data() + kValueOffset;
  const quint32 u = quint32(v[0]) | quint32(v[1]) << 8 | quint32(v[2]) << 16 | quint32(v[3]) << 24;
  return static_cast<qint32>(u);
}

void TSceneItem::SetValue(qint32 value) {
  const auto u = static_cast<quint32>(value);
  for (int i = 0; i < 4; ++i) bytes[kValueOffset + i] = static_cast<quint8>(u >> (8 * i));
}

bool TSceneItem::SetFrame(const quint8* frame, int count) {
  if (count < 0 || count > kFrameSize || (count > 0 && frame == nullptr)) return false;
  quint8* area = bytes.data() + kFrameOffset;
  std::fill_n(area, kFrameSize, quint8{0});
  if (count > 0) std::memcpy(area, frame, static_cast<size_t>(count));
  return true;
}

QByteArray TSceneItem::Data() const {
  const int n = std::clamp(Value(), 0, kDataSize);
  return QByteArray(reinterpret_cast<const char*>(bytes.data() + kDataOffset), n);
}

bool TSceneItem::SetData(const quint8* data, int count) {
  if (count < 0 || count > kDataSize || (count > 0 && data == nullptr)) return false;
  quint8* area = bytes.data() + kDataOffset;
  std::fill_n(area, kDataSize, quint8{0});
  if (count > 0) std::memcpy(area, data, static_cast<size_t>(count));
  SetValue(count);
  return true;
}
