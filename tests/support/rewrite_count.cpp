#include "support/rewrite_count.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

TRewriteCount::TRewriteCount(const QString& path)
    : prefix_(u'.' + QFileInfo(path).fileName() + QStringLiteral(".tmp-")) {
  watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
  if (watch_ >= 0 && ::inotify_add_watch(watch_, dir.constData(), IN_CREATE) < 0) {
    ::close(watch_);
    watch_ = -1;
  }
}

TRewriteCount::~TRewriteCount() {
  if (watch_ >= 0) ::close(watch_);
}

int TRewriteCount::Count() {
  if (watch_ < 0) return -1;
  alignas(inotify_event) char buffer[4096];
  ssize_t n = 0;
  while ((n = ::read(watch_, buffer, sizeof buffer)) > 0) {
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->len > 0 && QFile::decodeName(event->name).startsWith(prefix_)) ++count_;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  return count_;
}
