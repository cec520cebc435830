#pragma once

#include <QByteArray>
#include <QString>
#include <initializer_list>
#include <ostream>

// Small helpers the byte-level tests share.

// Lets GoogleTest print QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

// Bytes from a hex string, spaces allowed: FromHex("C8 09 01").
inline QByteArray FromHex(const char* hex) { return QByteArray::fromHex(hex); }

inline QByteArray Zeros(int n) { return QByteArray(n, '\0'); }

// Bytes from values 0..255: Bytes({0xC8, 0x09}).
inline QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray bytes;
  for (int v : values) bytes.append(static_cast<char>(v));
  return bytes;
}
