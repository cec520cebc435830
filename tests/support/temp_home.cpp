#include "support/temp_home.h"

#include <QDir>
#include <QFile>

namespace {
const char kHomeVariable[] = "QUVIAL_HOME";
}

TTempHome::TTempHome()
    : hadHome_(qEnvironmentVariableIsSet(kHomeVariable)), oldHome_(qgetenv(kHomeVariable)) {
  if (dir_.isValid()) qputenv(kHomeVariable, QFile::encodeName(dir_.path()));
}

TTempHome::~TTempHome() {
  if (hadHome_) {
    qputenv(kHomeVariable, oldHome_);
  } else {
    qunsetenv(kHomeVariable);
  }
}

bool TTempHome::IsValid() const { return dir_.isValid(); }

QString TTempHome::Path() const { return dir_.path(); }

QString TTempHome::File(const QString& name) const { return dir_.filePath(name); }

bool TTempHome::Write(const QString& name, const QByteArray& bytes) const {
  QFile f(File(name));
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray TTempHome::Read(const QString& name) const {
  QFile f(File(name));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool TTempHome::Exists(const QString& name) const { return QFile::exists(File(name)); }

QStringList TTempHome::Entries() const {
  return QDir(Path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                QDir::NoDotAndDotDot);
}
