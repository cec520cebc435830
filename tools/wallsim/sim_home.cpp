#include "sim_home.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString TSimHome::IniPath(const QString& home) {
  return QDir(home).filePath(QStringLiteral("Quvial.ini"));
}

bool TSimHome::ReadWallSize(const QString& home, int& rows, int& cols) {
  const TIniParamsOp ini(IniPath(home));
  if (!ini.Exists()) return false;
  ini.ReadWallSize(rows, cols);
  return true;
}

QString TSimHome::ReadMatrixBrand(const QString& home, TMatrixKind kind) {
  const TIniParamsOp ini(IniPath(home));
  int index = 0;
  switch (kind) {
    case TMatrixKind::Video:
      index = ini.ReadVideoIndex();
      break;
    case TMatrixKind::Vga:
      index = ini.ReadVgaIndex();
      break;
    case TMatrixKind::Dvi:
      index = ini.ReadDviIndex();
      break;
  }
  return MatrixBrands(kind).value(index);
}

bool TSimHome::Link(const QString& home, const QString& name, const QString& target,
                    QString* error) {
  const QString link = QDir(home).filePath(QStringLiteral("ports/") + name);
  const QFileInfo old(link);
  if (old.isSymLink() || old.exists()) {
    if (old.isDir() && !old.isSymLink()) {
      *error = link + QStringLiteral(" is a directory");
      return false;
    }
    if (!QFile::remove(link)) {
      *error = QStringLiteral("cannot replace ") + link;
      return false;
    }
  }
  if (!QFile::link(target, link)) {
    *error = QStringLiteral("cannot link ") + link + QStringLiteral(" to ") + target;
    return false;
  }
  return true;
}

// Adds a port's name only where the file has no such key and no other port
// of the file uses that name, and its use key only where it is missing too
// (or the file already names this port): whatever the operator set stays.
void TSimHome::Wire(TIniParamsOp& ini, qsizetype count, QStringList& added) {
  const QString section = QStringLiteral("COM");
  QStringList keys = ini.File().ReadSection(section);
  const auto has = [&keys](const char* key) {
    return keys.contains(QLatin1String(key), Qt::CaseInsensitive);
  };
  QStringList used;
  for (TPortId id : {TPortId::Combine, TPortId::Matrix, TPortId::VGAMatrix, TPortId::DVIMatrix,
                     TPortId::DVR, TPortId::Sniff})
    used << ini.ReadPortName(id).trimmed().toUpper();
  for (qsizetype i = 0; i < count; ++i) {
    const TPort& port = kPorts[static_cast<size_t>(i)];
    const QString name = QString::fromLatin1(port.name);
    bool ours = ini.ReadPortName(port.id).trimmed().compare(name, Qt::CaseInsensitive) == 0;
    if (!has(port.configKey) && !used.contains(name)) {
      ini.WritePortName(port.id, name);
      added << QLatin1String(port.configKey) + u'=' + name;
      used << name;
      ours = true;
    }
    if (ours && !has(port.checkedKey)) {
      ini.WritePortChecked(port.id, 1);
      added << QLatin1String(port.checkedKey) + QStringLiteral("=1");
    }
  }
}

TSimHome::TResult TSimHome::Prepare(const QString& home, const QStringList& slavePaths, int rows,
                                    int cols, bool wireExisting) {
  TResult result;
  const QDir dir(home);
  if (!dir.mkpath(QStringLiteral("ports"))) {
    result.error = QStringLiteral("cannot create ") + dir.filePath(QStringLiteral("ports"));
    return result;
  }
  const qsizetype count = std::min<qsizetype>(slavePaths.size(), kPorts.size());
  for (qsizetype i = 0; i < count; ++i)
    if (!Link(home, QLatin1String(kPorts[static_cast<size_t>(i)].name), slavePaths[i],
              &result.error))
      return result;

  TIniParamsOp ini(IniPath(home));
  if (ini.Exists()) {
    if (wireExisting) Wire(ini, count, result.added);
    const QString splicerPort = QLatin1String(kPorts[0].name);
    const TPortSettings port = ini.ReadPort(TPortId::Combine);
    if (port.checked <= 0 || port.name.compare(splicerPort, Qt::CaseInsensitive) != 0)
      result.note = QStringLiteral("the existing Quvial.ini does not use ") + splicerPort +
                    QStringLiteral(" as its splicer port; choose it in the port setup");
    result.ok = true;
    return result;
  }
  for (qsizetype i = 0; i < count; ++i) {
    const TPort& port = kPorts[static_cast<size_t>(i)];
    ini.WritePortChecked(port.id, 1);
    ini.WritePortName(port.id, QLatin1String(port.name));
  }
  ini.WriteWallSize(rows, cols);
  if (!ini.Exists()) {
    result.error = QStringLiteral("cannot write ") + IniPath(home);
    return result;
  }
  result.ok = result.wroteIni = true;
  return result;
}
