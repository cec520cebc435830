#pragma once

#include <QString>

// A pseudo-terminal that stands in for a serial device: raw from the start
// (no line discipline could turn a 0x0A or 0x09 of a frame into something
// else before the console sets its own line up), 9600 baud, the master end
// non-blocking, both ends closed on exec. The virtual wall's lines, the
// tests' and the benchmarks' devices all open theirs here.
struct TRawPty {
  int master = -1;
  int slave = -1;
  QString slavePath;  // what the console opens, e.g. /dev/pts/7
};

// False, with errno telling why, when no pseudo-terminal could be made.
bool OpenRawPty(TRawPty* pty);
