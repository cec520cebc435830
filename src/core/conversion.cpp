#include "core/conversion.h"

TConversionError::TConversionError(const QString& text)
    : std::runtime_error(text.toStdString()), text_(text) {}

int StrToInt(const QString& text) {
  const QString t = text.trimmed();
  bool ok = false;
  int value = 0;
  if (t.startsWith(u'$')) {
    value = t.mid(1).toInt(&ok, 16);
  } else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
    value = t.mid(2).toInt(&ok, 16);
  } else {
    value = t.toInt(&ok, 10);
  }
  if (!ok) throw TConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
  return value;
}
