#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Bounded, pure decoders of what devices send back on the network. Each
// looks at no more bytes than its bound, whatever the length of the input.

// The fixed probes and frames sent on the network.
QByteArray BroadcastSearchProbe();    // "BRELUND", 7 bytes, no terminator
QByteArray NetworkSplicerProbe();     // "HF-A11ASSISTHREAD", 17 bytes
QByteArray CellPositionQueryFrame();  // the nine-byte position query

// The text of a search reply: its bytes up to the first zero byte, at most
// 128 bytes, read as Latin-1.
QString SearchReplyText(const QByteArray& payload);
// True when the reply's text is exactly "AUTHOK".
bool IsAuthOkReply(const QByteArray& payload);

// The cell a module reports in its answer to the position query: byte 2 is
// the row index, byte 3 the column index, both counted from 0. A reply of
// fewer than four bytes, or a row/column outside rows x columns, has no cell.
struct TCellPosition {
  int row = 0;
  int column = 0;
  friend bool operator==(const TCellPosition&, const TCellPosition&) = default;
};
std::optional<TCellPosition> DecodeCellPosition(const QByteArray& reply, int rows, int columns);
