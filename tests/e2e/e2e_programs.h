#pragma once
// What every end-to-end test needs: where the two programs are, and how a
// fault of theirs shows.

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <ostream>

#include "support/test_bytes.h"

// Readable failures: gtest prints a QString as text, not as its code units.

namespace e2e {

// The programs live in bin/ beside the tests' directory; QUVIAL_BIN_DIR
// points elsewhere.
inline QString Program(const QString& name) {
  const QString dir = qEnvironmentVariableIsSet("QUVIAL_BIN_DIR")
                          ? qEnvironmentVariable("QUVIAL_BIN_DIR")
                          : QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
  return QDir(dir).absoluteFilePath(name);
}

// Under the sanitizers a fault in either program shows on its error output.
inline bool SanitizerFault(const QString& errors) {
  return errors.contains(QStringLiteral("Sanitizer")) ||
         errors.contains(QStringLiteral("runtime error"));
}

}  // namespace e2e
