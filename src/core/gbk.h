#pragma once

#include <QByteArray>
#include <QString>

// The system's 8-bit code page (GBK, as Windows code page 936) for every text
// that goes into or comes out of a file, so that files made by existing
// installations load unchanged. Inside the program all text is Unicode.
namespace Gbk {

// Characters the code page cannot hold become '?'.
QByteArray Encode(const QString& text);

// Invalid or truncated sequences become U+FFFD; never fails.
QString Decode(const QByteArray& bytes);

}  // namespace Gbk

// A piece of a file that began with a UTF-8 byte order mark (a name, a
// value): decoded as it stands. A byte order mark inside the file is a
// character like any other; QString::fromUtf8 would drop one at the start of
// each piece, and a name that starts with it could then not be found again.
QString DecodeUtf8Piece(const QByteArray& bytes);
