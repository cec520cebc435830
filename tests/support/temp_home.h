#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A throw-away program directory for one test: creates an empty temporary
// directory and points QUVIAL_HOME at it, so that ProgramDir() and every file
// the program keeps there land in it. The destructor restores the previous
// QUVIAL_HOME and removes the directory.
class TTempHome {
 public:
  TTempHome();
  ~TTempHome();
  TTempHome(const TTempHome&) = delete;
  TTempHome& operator=(const TTempHome&) = delete;

  bool IsValid() const;
  QString Path() const;
  QString File(const QString& name) const;  // Path() + "/" + name

  // Plain file access for arranging and inspecting a test's files.
  bool Write(const QString& name, const QByteArray& bytes) const;
  QByteArray Read(const QString& name) const;  // empty when missing
  bool Exists(const QString& name) const;
  QStringList Entries() const;  // every name in the directory, hidden ones too

 private:
  QTemporaryDir dir_;
  bool hadHome_ = false;
  QByteArray oldHome_;
};
