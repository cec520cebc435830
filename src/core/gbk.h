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
