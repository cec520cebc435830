#pragma once

#include <QString>

// The directory that holds the program's files (Quvial.ini, lang.ini, the
// scenes...), found from the executable's place, never the working directory:
// - QUVIAL_HOME, when set and not empty, overrides everything;
// - an installed program (its directory holds no lang.ini, but the pristine
//   one sits in ../share/quvial/) cannot write beside its executable, so its
//   files live in the user's data directory, $XDG_DATA_HOME/quvial
//   (~/.local/share/quvial by default);
// - otherwise (the build tree, a portable copy with lang.ini beside the
//   executable) it is the executable's directory.
QString ProgramDir();

// ProgramDir() + "/" + fileName.
QString ProgramFile(const QString& fileName);

// Which of the rules above chose the directory.
enum class TProgramDirKind { Override, Installed, Portable };

// The outcome of the rule for given surroundings.
struct TProgramDirPlace {
  QString dir;
  TProgramDirKind kind = TProgramDirKind::Portable;
  QString shippedLangIni;  // the pristine lang.ini of an installation, else empty
};

// The rule itself: quvialHome and xdgDataHome are the variables' values
// (empty when unset), userHome the user's home directory. It looks only for
// the two lang.ini files.
TProgramDirPlace ResolveProgramDir(const QString& quvialHome, const QString& exeDir,
                                   const QString& xdgDataHome, const QString& userHome);

// Makes the program's directory ready at start: creates it when missing and,
// for an installation, copies the pristine lang.ini in unless one is there
// (a file of the user's is never replaced; a failed copy only warns).
// Returns an empty text when the directory exists and is writable, otherwise
// why not, in Chinese and in English: the interface language is not known
// before the configuration can be read.
QString PrepareProgramDir(const TProgramDirPlace& place);

// The rule applied to this process: its variables and executable.
TProgramDirPlace CurrentProgramDirPlace();
