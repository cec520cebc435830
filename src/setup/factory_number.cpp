#include "setup/factory_number.h"

#include <limits>

#include "core/bilingual.h"

qint64 TFactoryNumber::Lowest(bool longFrames) {
  return longFrames ? std::numeric_limits<qint32>::min() : 0;
}

qint64 TFactoryNumber::Highest(bool longFrames) {
  return longFrames ? std::numeric_limits<qint32>::max() - 1 : 0xFFFF;
}

TFactoryNumber TFactoryNumber::Parse(const QString& text, bool longFrames) {
  TFactoryNumber result;
  bool ok = false;
  // Decimal only, blanks around it allowed; wide enough to tell "too big"
  // from "not a number".
  const qint64 value = text.trimmed().toLongLong(&ok, 10);
  if (!ok) return result;
  if (value < Lowest(longFrames) || value > Highest(longFrames)) {
    result.verdict = TVerdict::OutOfRange;
    return result;
  }
  result.verdict = TVerdict::Ok;
  result.number = static_cast<qint32>(value);
  return result;
}

QString TFactoryNumber::Message(TVerdict verdict, bool longFrames, bool chinese) {
  if (verdict == TVerdict::BadFormat) return QStringLiteral("Bad Format");
  if (verdict == TVerdict::Ok) return {};
  return Bilingual(chinese, u"机器号超出范围，当前帧格式只能是 %1 至 %2。",
                   u"The machine number is out of range: the current frame mode takes %1 to %2.")
      .arg(Lowest(longFrames))
      .arg(Highest(longFrames));
}
