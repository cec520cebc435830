#pragma once

#include <QString>

// Counts the rewrites of one file from construction on: every atomic rewrite
// creates a temporary of its own name (".<name>.tmp-XXXXXX") beside the file,
// which an inotify watch on the directory sees.
class TRewriteCount {
 public:
  explicit TRewriteCount(const QString& path);
  ~TRewriteCount();
  TRewriteCount(const TRewriteCount&) = delete;
  TRewriteCount& operator=(const TRewriteCount&) = delete;

  bool IsValid() const { return watch_ >= 0; }
  // The rewrites since construction; -1 when the directory cannot be watched.
  int Count();

 private:
  int watch_ = -1;
  QString prefix_;  // ".<name>.tmp-"
  int count_ = 0;
};
