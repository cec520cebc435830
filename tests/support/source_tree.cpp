#include "support/source_tree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/gbk.h"

QString SourceTreeRoot() {
  // This file is tests/support/source_tree.cpp.
  static const QString root = QFileInfo(QString::fromUtf8(__FILE__))
                                  .absoluteDir()
                                  .absoluteFilePath(QStringLiteral("../.."));
  return QDir::cleanPath(root);
}

QString SourceTreeFile(const QString& relativePath) {
  return SourceTreeRoot() + QLatin1Char('/') + relativePath;
}

QByteArray ReadSourceTreeFile(const QString& relativePath) {
  QFile f(SourceTreeFile(relativePath));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList LangFileKeys(const QByteArray& gbkTable, const QString& section) {
  QStringList keys;
  bool inside = false;
  const QString header = QLatin1Char('[') + section + QLatin1Char(']');
  for (const QString& raw : Gbk::Decode(gbkTable).split(u'\n')) {
    const QString line = raw.trimmed();
    if (line.startsWith(u'[')) {
      inside = line.compare(header, Qt::CaseInsensitive) == 0;
      continue;
    }
    const qsizetype eq = line.indexOf(u'=');
    if (inside && eq > 0 && !line.startsWith(u';')) keys << line.left(eq).trimmed();
  }
  return keys;
}
