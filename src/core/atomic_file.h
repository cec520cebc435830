#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Whole-file access for the program's own files. A write goes to a temporary
// file in the same directory, is flushed to disk and renamed over the target,
// so that a crash or a full disk leaves either the old or the new file, never
// a broken one.

// Returns false, leaving the old file untouched and no temporary behind, on
// any failure (read-only directory, full disk, missing directory). A symbolic
// link as target is followed: the file it points to is replaced. The target
// keeps its permission bits; a new file gets 0666 less the umask.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes);

// The whole content of a regular file. Missing, unreadable, not a regular
// file (directory, FIFO, device) or larger than maxBytes: std::nullopt, so
// that a caller that rewrites the file never truncates it.
std::optional<QByteArray> ReadWholeFile(const QString& path, qint64 maxBytes = 64 << 20);
