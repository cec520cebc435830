#include "matrix_unit.h"

TMatrixUnit::TMatrixUnit(TMatrixKind kind, QObject* parent) : QObject(parent), kind_(kind) {}

QString TMatrixUnit::Head() const { return QStringLiteral("matrix ") + MatrixKindName(kind_); }

QString TMatrixUnit::BrandText() const {
  return brand_.isEmpty() ? QStringLiteral("none") : brand_;
}

void TMatrixUnit::SetBrand(const QString& brand) {
  if (brandSet_ && brand == brand_) return;
  brandSet_ = true;
  brand_ = brand;
  stream_.SetParser(MatrixParser(kind_, brand));
  Q_EMIT reported(Head() + QStringLiteral(" brand ") + BrandText() +
                  (HasCommandSet() ? QString() : QStringLiteral(" (no command set)")));
  Q_EMIT changed();
}

void TMatrixUnit::Feed(QByteArrayView bytes) {
  if (bytes.isEmpty()) return;
  if (!HasCommandSet()) {
    ignored_ += static_cast<int>(bytes.size());
    Q_EMIT reported(
        Head() + QStringLiteral(" ignored ") + QString::fromLatin1(bytes.toByteArray().toHex(' ')) +
        QStringLiteral(" brand ") + BrandText() + QStringLiteral(" has no command set"));
    Q_EMIT changed();
    return;
  }
  const auto items = stream_.Feed(bytes);
  for (const auto& item : items) {
    const QString hex = QString::fromLatin1(item.bytes.toHex(' '));
    switch (item.verdict) {
      case TStreamVerdict::Command: {
        ++commands_;
        QString line = Head() + QStringLiteral(" command ") + hex;
        if (item.payload.address >= 0) line += QStringLiteral(" id %1").arg(item.payload.address);
        for (const TRoute& r : item.payload.routes) {
          routes_[r.output] = r.input;
          line += QStringLiteral(" out %1 in %2").arg(r.output).arg(r.input);
        }
        Q_EMIT reported(line);
        break;
      }
      case TStreamVerdict::Bad:
        ++bad_;
        Q_EMIT reported(Head() + QStringLiteral(" bad ") + hex + u' ' + item.reason);
        break;
      case TStreamVerdict::Noise:
        noise_ += static_cast<int>(item.bytes.size());
        Q_EMIT reported(Head() + QStringLiteral(" noise ") + hex);
        break;
    }
  }
  if (!items.empty()) Q_EMIT changed();
}

QStringList TMatrixUnit::Dump() const {
  QStringList lines;
  const QString head = Head() + QStringLiteral(" brand ") + BrandText();
  for (const auto& [out, in] : routes_)
    lines << head + QStringLiteral(" out %1 in %2").arg(out).arg(in);
  return lines;
}
