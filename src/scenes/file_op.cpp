#include "scenes/file_op.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace {

constexpr qint64 kChunk = 1 << 20;

// O_NONBLOCK keeps a FIFO from blocking the open; O_NOCTTY keeps a terminal
// from becoming ours. Both only matter until the regular-file check.
int OpenRegular(const QByteArray& path, int access) {
  const int fd = ::open(path.constData(), access | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

}  // namespace

TFileOP::TFileOP(const QString& path) {
  if (path.isEmpty()) return;
  const QByteArray name = QFile::encodeName(path);
  fd_ = OpenRegular(name, O_RDWR | O_CREAT);
  writable_ = fd_ >= 0;
  if (fd_ < 0) fd_ = OpenRegular(name, O_RDONLY);
}

TFileOP::~TFileOP() {
  if (fd_ >= 0) ::close(fd_);
}

qint64 TFileOP::Read(void* buffer, qint64 count) {
  if (fd_ < 0 || buffer == nullptr || count < 1) return 0;
  auto* at = static_cast<char*>(buffer);
  qint64 moved = 0;
  while (moved < count) {
    const ssize_t n = ::read(fd_, at + moved, static_cast<size_t>(qMin(count - moved, kChunk)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    moved += n;
  }
  return moved;
}

qint64 TFileOP::Write(const void* buffer, qint64 count) {
  if (fd_ < 0 || !writable_ || buffer == nullptr || count < 1) return 0;
  const auto* at = static_cast<const char*>(buffer);
  qint64 moved = 0;
  while (moved < count) {
    const ssize_t n = ::write(fd_, at + moved, static_cast<size_t>(qMin(count - moved, kChunk)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    moved += n;
  }
  return moved;
}
