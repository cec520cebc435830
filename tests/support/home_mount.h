#pragma once

#include <QString>

// Puts a test's program directory on a file system of its own, inside a
// private mount namespace of the calling thread (the rest of the machine
// never sees it): a tiny tmpfs that FillUp() leaves without a free block, or
// a read-only view of the directory as it is. Each step returns an empty
// string on success, else the reason, for GTEST_SKIP when the kernel refuses
// (no privilege to unshare or mount). The destructor undoes the mounts, so
// that the directory shows its own content again.
class THomeMount {
 public:
  explicit THomeMount(QString dir);
  ~THomeMount();
  THomeMount(const THomeMount&) = delete;
  THomeMount& operator=(const THomeMount&) = delete;

  // An empty tmpfs of kib KiB over the directory.
  QString MountTmpfs(int kib);
  // The directory (or the tmpfs over it) bound on itself read-only.
  QString MakeReadOnly();
  // Writes the file "filler" until the file system is full: no block is
  // left for the next write.
  QString FillUp();

 private:
  QString EnterPrivateNamespace();

  QString dir_;
  int mounts_ = 0;
};
