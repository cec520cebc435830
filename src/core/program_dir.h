#pragma once

#include <QString>

// The directory that holds the program's files (Quvial.ini, lang.ini, the
// scenes...). It is the executable's directory, never the working directory;
// the environment variable QUVIAL_HOME overrides it for tests and packaging.
QString ProgramDir();

// ProgramDir() + "/" + fileName.
QString ProgramFile(const QString& fileName);
