#include "core/profile_file.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <optional>
#include <utility>

#include "core/atomic_file.h"
#include "core/profile_text.h"

namespace {

// What identifies one version of a file on disk. Writes go by rename, so a
// new version has a new inode; size, times and inode together make a stale
// hit from an outside writer practically impossible, and our own writes
// refresh the cache directly.
struct FileStamp {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  timespec mtime{};
  timespec ctime{};
  bool operator==(const FileStamp& o) const {
    return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec &&
           ctime.tv_nsec == o.ctime.tv_nsec;
  }
};

std::optional<FileStamp> StampOf(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
    return std::nullopt;
  return FileStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// Parsed files shared by every TProfileFile of the process, so that the many
// short-lived objects over Quvial.ini do not parse it again and again.
class TextCache {
 public:
  std::optional<TProfileText> Load(const QString& path) {
    const auto stamp = StampOf(path);
    if (!stamp) return std::nullopt;
    {
      QMutexLocker lock(&mutex_);
      const auto it = entries_.constFind(path);
      if (it != entries_.cend() && it->stamp == *stamp) return it->document;
    }
    auto bytes = ReadWholeFile(path);
    if (!bytes) return std::nullopt;
    TProfileText document(std::move(*bytes));
    Store(path, *stamp, document);
    return document;
  }

  void Store(const QString& path, const FileStamp& stamp, TProfileText document) {
    QMutexLocker lock(&mutex_);
    if (entries_.size() >= kMaxEntries && !entries_.contains(path)) entries_.clear();
    entries_.insert(path, Entry{stamp, std::move(document)});
  }

  void Forget(const QString& path) {
    QMutexLocker lock(&mutex_);
    entries_.remove(path);
  }

 private:
  static constexpr qsizetype kMaxEntries = 16;
  struct Entry {
    FileStamp stamp;
    TProfileText document;
  };
  QMutex mutex_;
  QHash<QString, Entry> entries_;
};

TextCache& Cache() {
  static TextCache cache;
  return cache;
}

}  // namespace

TProfileFile::TProfileFile(QString path, TFileAccess access)
    : path_(std::move(path)), access_(access) {
  if (!path_.isEmpty()) path_ = QFileInfo(path_).absoluteFilePath();
}

const QString& TProfileFile::Path() const { return path_; }

bool TProfileFile::Exists() const { return StampOf(path_).has_value(); }

QString TProfileFile::ReadString(const QString& section, const QString& key,
                                 const QString& def) const {
  const auto text = Cache().Load(path_);
  return text ? text->ReadString(section, key, def) : def;
}

int TProfileFile::ReadInteger(const QString& section, const QString& key, int def) const {
  const auto text = Cache().Load(path_);
  return text ? text->ReadInteger(section, key, def) : def;
}

QStringList TProfileFile::ReadSection(const QString& section) const {
  const auto text = Cache().Load(path_);
  return text ? text->ReadSection(section) : QStringList();
}

TProfileText TProfileFile::Text() const { return Cache().Load(path_).value_or(TProfileText()); }

bool TProfileFile::WriteInteger(const QString& section, const QString& key, int value) {
  return WriteString(section, key, QString::number(value));
}

bool TProfileFile::WriteString(const QString& section, const QString& key, const QString& value) {
  return WriteStrings(section, {{key, value}});
}

bool TProfileFile::WriteStrings(const QString& section, const TEntries& entries) {
  // Entries that would be refused are refused before the file is read.
  if (path_.isEmpty() || !TProfileText().WithStrings(section, entries)) return false;

  // Always start from the file as it is now, never from the cache: the line
  // structure must be exactly the one on disk.
  QByteArray current;
  if (Exists()) {
    auto bytes = ReadWholeFile(path_);
    if (!bytes) return false;  // unreadable or oversized: never clobber it
    current = std::move(*bytes);
  }
  // Each key in turn on the bytes in memory; the disk sees one rewrite.
  const auto text = TProfileText(std::move(current)).WithStrings(section, entries);
  if (!text || !WriteFileAtomically(path_, text->Bytes(), access_)) return false;
  if (const auto stamp = StampOf(path_))
    Cache().Store(path_, *stamp, *text);
  else
    Cache().Forget(path_);
  return true;
}
