#include "core/raw_pty.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>

bool OpenRawPty(TRawPty* pty) {
  termios raw{};
  ::cfmakeraw(&raw);
  raw.c_cflag |= CLOCAL | CREAD;
  ::cfsetispeed(&raw, B9600);
  ::cfsetospeed(&raw, B9600);
  char name[256] = {};
  int master = -1;
  int slave = -1;
  if (::openpty(&master, &slave, name, &raw, nullptr) != 0) return false;
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  ::fcntl(master, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave, F_SETFD, FD_CLOEXEC);
  *pty = {master, slave, QString::fromLocal8Bit(name)};
  return true;
}
