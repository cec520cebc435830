#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// Every kind of write the console makes to its program directory, each
// through the program's own classes, so that crash, full-disk and read-only
// tests share one list. write(dir, v) stores the content numbered v in the
// writer's files of dir and returns what the program's class returned; the
// contents repeat with period kPeriod, and writing v again after v (a step
// interrupted by a kill, done once more) gives the same files.
struct TProgramWriter {
  static constexpr int kPeriod = 4;

  const char* name;
  QStringList files;  // the files it writes, in dir
  std::function<bool(const QString& dir, int v)> write;
};

const std::vector<TProgramWriter>& ProgramWriters();
