#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Whole-file access for the program's own files. A write goes to a temporary
// file in the same directory, is flushed to disk and renamed over the target,
// so that a crash or a full disk leaves either the old or the new file, never
// a broken one.

// Who may read a file the program writes. Shared: a new file gets 0666 less
// the umask and an existing one keeps its permission bits. OwnerOnly (for
// secrets): at most 0600, a new file exactly that, an existing one its own
// bits less any for group and others, so that a stricter mode stays.
enum class TFileAccess { Shared, OwnerOnly };

// Returns false, leaving the old file untouched and no temporary behind, on
// any failure (read-only directory, full disk, missing directory). A symbolic
// link as target is followed: the file it points to is replaced. The
// temporary is ".<name>.tmp-" and six letters or digits, and is held locked
// while it exists, so that RemoveStaleTemporaries can tell one in use.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes,
                         TFileAccess access = TFileAccess::Shared);

// The whole content of a regular file. Missing, unreadable, not a regular
// file (directory, FIFO, device) or larger than maxBytes: std::nullopt, so
// that a caller that rewrites the file never truncates it.
std::optional<QByteArray> ReadWholeFile(const QString& path, qint64 maxBytes = 64 << 20);

// Removes the temporaries that interrupted writes (a crash, a kill) left in
// dir: regular files named as WriteFileAtomically names them that no writer
// holds. Nothing else is touched. Returns how many were removed.
int RemoveStaleTemporaries(const QString& dir);
