#include "core/program_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString ProgramDir() {
  const QString home = qEnvironmentVariable("QUVIAL_HOME");
  if (!home.isEmpty()) return QDir::cleanPath(QFileInfo(home).absoluteFilePath());
  // /proc/self/exe works before (and without) a QCoreApplication.
  const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
  if (!exe.isEmpty()) return QFileInfo(exe).absolutePath();
  if (QCoreApplication::instance() != nullptr) return QCoreApplication::applicationDirPath();
  return QDir::currentPath();
}

QString ProgramFile(const QString& fileName) { return ProgramDir() + u'/' + fileName; }
