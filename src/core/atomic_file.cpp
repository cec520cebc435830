#include "core/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

// Closes a descriptor on every path out of a function.
class FdGuard {
 public:
  explicit FdGuard(int fd) : fd_(fd) {}
  ~FdGuard() {
    if (fd_ >= 0) ::close(fd_);
  }
  FdGuard(const FdGuard&) = delete;
  FdGuard& operator=(const FdGuard&) = delete;
  int get() const { return fd_; }
  // Closes now and reports the result (a delayed write error shows here).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const char* data, qint64 size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, static_cast<size_t>(qMin<qint64>(size, 1 << 20)));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= n;
  }
  return true;
}

// The file a write really replaces: a symbolic link is followed so that the
// link itself survives.
QByteArray ResolveTarget(const QByteArray& path) {
  struct stat st {};
  if (::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path.constData(), resolved) != nullptr) return QByteArray(resolved);
  }
  return path;
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// ".<name>.tmp-" and the six letters or digits mkostemp puts for XXXXXX.
constexpr char kTempInfix[] = ".tmp-";

bool IsTemporaryName(const QString& name) {
  static const QRegularExpression pattern(QStringLiteral("^\\..+\\.tmp-[A-Za-z0-9]{6}$"),
                                          QRegularExpression::DotMatchesEverythingOption);
  return pattern.match(name).hasMatch();
}

}  // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, TFileAccess access) {
  if (path.isEmpty()) return false;
  const QByteArray target = ResolveTarget(QFile::encodeName(path));
  const QByteArray dir = QFile::encodeName(QFileInfo(QFile::decodeName(target)).absolutePath());
  const QByteArray base = QFile::encodeName(QFileInfo(QFile::decodeName(target)).fileName());

  struct stat old {};
  const bool existed = ::stat(target.constData(), &old) == 0;
  if (existed && !S_ISREG(old.st_mode)) return false;
  mode_t mode = existed ? (old.st_mode & 07777) : NewFileMode();
  if (access == TFileAccess::OwnerOnly) mode = existed ? (mode & 0600) : 0600;

  QByteArray tmpl = dir + "/." + base + kTempInfix + "XXXXXX";
  FdGuard fd(::mkostemp(tmpl.data(), O_CLOEXEC));
  if (fd.get() < 0) return false;
  const auto fail = [&tmpl] {
    ::unlink(tmpl.constData());
    return false;
  };
  // Held until the descriptor closes (or the process dies): a temporary that
  // nobody holds is left over from an interrupted write.
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return fail();
  if (!WriteAll(fd.get(), bytes.constData(), bytes.size())) return fail();
  if (::fchmod(fd.get(), mode) != 0) return fail();
  if (::fsync(fd.get()) != 0) return fail();
  if (!fd.Close()) return fail();
  if (::rename(tmpl.constData(), target.constData()) != 0) return fail();

  // Make the rename itself durable. Some file systems cannot sync a
  // directory; that is not a failure of the write.
  FdGuard dirFd(::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dirFd.get() >= 0 && ::fsync(dirFd.get()) != 0 && errno != EINVAL && errno != ENOTSUP)
    return false;
  return true;
}

std::optional<QByteArray> ReadWholeFile(const QString& path, qint64 maxBytes) {
  if (path.isEmpty() || maxBytes < 0) return std::nullopt;
  // O_NONBLOCK: opening a FIFO must not hang the program.
  FdGuard fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  if (st.st_size > maxBytes) return std::nullopt;

  QByteArray out;
  out.reserve(static_cast<qsizetype>(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    if (out.size() + n > maxBytes) return std::nullopt;  // grew while reading
    out.append(buf, n);
  }
  return out;
}

int RemoveStaleTemporaries(const QString& dir) {
  const QByteArray path = QFile::encodeName(dir);
  DIR* d = ::opendir(path.constData());
  if (d == nullptr) return 0;
  int removed = 0;
  while (const dirent* entry = ::readdir(d)) {
    const QByteArray name(entry->d_name);
    if (!IsTemporaryName(QFile::decodeName(name))) continue;
    const QByteArray file = path + '/' + name;
    // O_NOFOLLOW and the type check: a link or a directory of that name is
    // not ours to remove.
    FdGuard fd(::open(file.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    // A writer holds its temporary locked: one in use (another instance of
    // the program writing right now) stays.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
    if (::unlink(file.constData()) == 0) ++removed;
  }
  ::closedir(d);
  return removed;
}
