#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <vector>

// The three external matrices the wall's sources pass through.
enum class TMatrixKind : quint8 { Video = 0, Vga = 1, Dvi = 2 };

// One request to route an input to the outputs of a rectangle of screens.
struct TMatrixRequest {
  TMatrixKind kind = TMatrixKind::Video;
  QString brand;           // the brand's display text, compared exactly
  int address = 1;         // the matrix address ("id"), taken modulo 256
  quint16 start = 0;       // first and last cell in the frame mode's encoding:
  quint16 end = 0;         // long: row << 8 | column, short: row << 4 | column (1-based)
  bool longFrames = true;  // which of the two encodings start and end use
  int columns = 1;         // the wall's column count
  quint16 input = 1;       // matrix input number, 1-based
  int latestSource = 0;    // source number of the latest source selection (DVI HOPETIDE)
};

// The brand lists the matrix setup dialog offers, in their order.
const QStringList& MatrixBrands(TMatrixKind kind);

// The commands that route the request's input to every screen of its
// rectangle, in the order they are sent (rows outer, columns inner): one per
// screen for most brands, one for the whole rectangle for the rest, each whole
// whatever its length. Empty when the brand has no command set for the kind,
// the rectangle is empty or a cell has a zero row or column. A screen that a
// brand cannot address (the 4x4 DVI switchers) gets no command. Pure: no I/O,
// no state.
std::vector<QByteArray> BuildMatrixCommands(const TMatrixRequest& request);
