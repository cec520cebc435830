#include "support/home_mount.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

namespace {

QString Failed(const char* what) {
  return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                      QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

THomeMount::THomeMount(QString dir) : dir_(std::move(dir)) {}

THomeMount::~THomeMount() {
  const QByteArray path = QFile::encodeName(dir_);
  for (; mounts_ > 0; --mounts_) ::umount2(path.constData(), MNT_DETACH);
}

QString THomeMount::EnterPrivateNamespace() {
  // Once per thread is enough; a second unshare would only copy the first.
  static thread_local bool entered = false;
  if (entered) return {};
  if (::unshare(CLONE_NEWNS) != 0) return Failed("cannot create a mount namespace");
  // Private, so that no mount of the test propagates back to the machine.
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
    return Failed("cannot make the mounts private");
  entered = true;
  return {};
}

QString THomeMount::MountTmpfs(int kib) {
  if (QString why = EnterPrivateNamespace(); !why.isEmpty()) return why;
  const QByteArray options = "size=" + QByteArray::number(kib) + "k,mode=0755";
  if (::mount("quvial-test", QFile::encodeName(dir_).constData(), "tmpfs", 0,
              options.constData()) != 0)
    return Failed("cannot mount a tmpfs");
  ++mounts_;
  return {};
}

QString THomeMount::MakeReadOnly() {
  if (QString why = EnterPrivateNamespace(); !why.isEmpty()) return why;
  const QByteArray path = QFile::encodeName(dir_);
  if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0)
    return Failed("cannot bind the directory");
  ++mounts_;
  if (::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
    return Failed("cannot make the bind read-only");
  return {};
}

QString THomeMount::FillUp() {
  const QByteArray path = QFile::encodeName(dir_ + QStringLiteral("/filler"));
  const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return Failed("cannot create the filler");
  const QByteArray block(4096, 'f');
  ssize_t n = 0;
  do n = ::write(fd, block.constData(), static_cast<size_t>(block.size()));
  while (n > 0);
  const int error = errno;
  ::close(fd);
  errno = error;
  return error == ENOSPC ? QString() : Failed("the filler stopped before the disk was full");
}
