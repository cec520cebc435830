#include "link/port_names.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "core/program_dir.h"

QString PortDirectory() {
  const QString fromEnvironment = qEnvironmentVariable("QUVIAL_PORTS");
  if (!fromEnvironment.isEmpty()) return fromEnvironment;
  return ProgramFile(QStringLiteral("ports"));
}

QString ResolvePortName(const QString& name) {
  static const QRegularExpression comName(QStringLiteral(R"(^(?:\\\\\.\\)?COM([1-9][0-9]{0,3})$)"),
                                          QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = comName.match(name);
  if (!match.hasMatch()) return name;
  const int number = match.captured(1).toInt();
  const QString entry = PortDirectory() + QStringLiteral("/COM") + QString::number(number);
  // A link that points nowhere still wins: falling back to a real serial port
  // because the virtual one went away would drive the wrong device.
  const QFileInfo info(entry);
  if (info.exists() || info.isSymLink()) return entry;
  return QStringLiteral("/dev/ttyS") + QString::number(number - 1);
}
