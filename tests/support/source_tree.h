#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The project's source tree as the tests were built from it: its root is
// found from this helper's own path, so tests can read shipped files
// (resources/lang.ini) and the sources themselves without a build setting.
QString SourceTreeRoot();
QString SourceTreeFile(const QString& relativePath);         // root + "/" + path
QByteArray ReadSourceTreeFile(const QString& relativePath);  // empty when missing

// The keys of one section of a raw GBK language table, in file order and
// spelled as written: "[name]" starts a section, "key=value" lines give keys.
// Independent of the program's loader, so that the two check each other.
QStringList LangFileKeys(const QByteArray& gbkTable, const QString& section);
