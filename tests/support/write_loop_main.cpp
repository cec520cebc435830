// quvial_write_loop DIR FIRST: makes the program's writes into DIR, one
// after the other, for ever (until killed): step s runs writer s mod W of
// ProgramWriters() with content s / W. After each completed step it prints
// the step's number on a line of its own, unbuffered, so that whoever kills
// it knows the last write that landed. Exits 1 when a write fails.
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <cstdlib>

#include "support/program_writers.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const QString dir = QString::fromLocal8Bit(argv[1]);
  const std::vector<TProgramWriter>& writers = ProgramWriters();
  const auto count = static_cast<qint64>(writers.size());
  for (qint64 step = std::atoll(argv[2]);; ++step) {
    if (!writers[static_cast<size_t>(step % count)].write(dir, static_cast<int>(step / count)))
      return 1;
    const QByteArray line = QByteArray::number(step) + '\n';
    if (::write(STDOUT_FILENO, line.constData(), static_cast<size_t>(line.size())) != line.size())
      return 1;
  }
}
