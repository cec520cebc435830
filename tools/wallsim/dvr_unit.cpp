#include "dvr_unit.h"

TDvrUnit::TDvrUnit(QObject* parent) : QObject(parent) {}

void TDvrUnit::Feed(QByteArrayView bytes) {
  const auto items = stream_.Feed(bytes);
  for (const auto& item : items) {
    const QString hex = QString::fromLatin1(item.bytes.toHex(' '));
    switch (item.verdict) {
      case TStreamVerdict::Command:
        ++frames_;
        if (item.payload.lead) {
          Q_EMIT reported(QStringLiteral("dvr command ") + hex + QStringLiteral(" lead"));
        } else {
          split_ = item.payload.split;
          address_ = item.payload.address;
          Q_EMIT reported(QStringLiteral("dvr command ") + hex +
                          QStringLiteral(" split %1 address %2").arg(split_).arg(address_));
        }
        break;
      case TStreamVerdict::Bad:
        ++bad_;
        Q_EMIT reported(QStringLiteral("dvr bad ") + hex + u' ' + item.reason);
        break;
      case TStreamVerdict::Noise:
        noise_ += static_cast<int>(item.bytes.size());
        Q_EMIT reported(QStringLiteral("dvr noise ") + hex);
        break;
    }
  }
  if (!items.empty()) Q_EMIT changed();
}

QStringList TDvrUnit::Dump() const {
  if (!split_) return {};
  return {QStringLiteral("dvr split %1 address %2").arg(split_).arg(address_)};
}
