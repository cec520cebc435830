#include "linkage/linkage_trace.h"

#include <QDateTime>

#include "link/send_path.h"

void TraceLinkageBytes(const TSendPath& send, const QString& hexLabel, const QString& charsLabel,
                       const QByteArray& bytes) {
  if (send.AccessLevel() != 3 || !send.memo) return;
  const QDateTime now = send.clock ? send.clock() : QDateTime::currentDateTime();
  send.memo(TSendPath::TraceLine(now, hexLabel, reinterpret_cast<const quint8*>(bytes.constData()),
                                 static_cast<int>(bytes.size())));
  send.memo(LinkageCharsLine(charsLabel, bytes));
}

QString LinkageCharsLine(const QString& label, const QByteArray& bytes) {
  QString line = label;
  line.reserve(line.size() + 2 * bytes.size());
  for (const char c : bytes) {
    const auto b = static_cast<quint8>(c);
    line += u' ';
    line += (b >= 0x20 && b < 0x7F) ? QChar(char16_t(b)) : QChar(u'.');
  }
  return line;
}
