#include "sim_home.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/ini_params_op.h"

namespace {
QString IniPath(const QString& home) { return QDir(home).filePath(QStringLiteral("Quvial.ini")); }
}  // namespace

bool TSimHome::ReadWallSize(const QString& home, int& rows, int& cols) {
  const TIniParamsOp ini(IniPath(home));
  if (!ini.Exists()) return false;
  ini.ReadWallSize(rows, cols);
  return true;
}

TSimHome::TResult TSimHome::Prepare(const QString& home, const QString& slavePath, int rows,
                                    int cols) {
  TResult result;
  const QString portName = QString::fromLatin1(kPortName);
  const QDir dir(home);
  if (!dir.mkpath(QStringLiteral("ports"))) {
    result.error = QStringLiteral("cannot create ") + dir.filePath(QStringLiteral("ports"));
    return result;
  }
  const QString link = dir.filePath(QStringLiteral("ports/") + portName);
  const QFileInfo old(link);
  if (old.isSymLink() || old.exists()) {
    if (old.isDir() && !old.isSymLink()) {
      result.error = link + QStringLiteral(" is a directory");
      return result;
    }
    if (!QFile::remove(link)) {
      result.error = QStringLiteral("cannot replace ") + link;
      return result;
    }
  }
  if (!QFile::link(slavePath, link)) {
    result.error = QStringLiteral("cannot link ") + link + QStringLiteral(" to ") + slavePath;
    return result;
  }

  TIniParamsOp ini(IniPath(home));
  if (ini.Exists()) {
    const TPortSettings port = ini.ReadPort(TPortId::Combine);
    if (port.checked <= 0 || port.name.compare(portName, Qt::CaseInsensitive) != 0)
      result.note = QStringLiteral("the existing Quvial.ini does not use ") + portName +
                    QStringLiteral(" as its splicer port; choose it in the port setup");
    result.ok = true;
    return result;
  }
  ini.WritePortChecked(TPortId::Combine, 1);
  ini.WritePortName(TPortId::Combine, portName);
  ini.WriteWallSize(rows, cols);
  if (!ini.Exists()) {
    result.error = QStringLiteral("cannot write ") + IniPath(home);
    return result;
  }
  result.ok = result.wroteIni = true;
  return result;
}
