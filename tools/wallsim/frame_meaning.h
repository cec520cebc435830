#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

#include "cell_range.h"

// What one well-formed splicer frame asks of the wall.
enum class TFrameAction {
  PowerOff,
  PowerOn,
  SelectSource,  // value: source number 1..11
  StillPicture,
  ReshowH,  // value: the code byte
  ReshowV,
  Rotate,            // value: 0..3 (0, 90, 180, 270 degrees)
  OutputResolution,  // value: 0..3
  Setting,           // a picture or maintenance command the wall does not keep
  SetCellId,
  SetFactoryNumber,
  RequestFactoryNumber,
  Unknown,  // class and code that no command has
};

// Whom a frame addresses. A broadcast reaches every screen. A long frame to
// a fixed unit address (mixer 30,30; rotating unit 29,1; switcher 30,n)
// reaches that unit, and also the screen of that address when the wall is
// large enough to have one: the splicer there sees the same bytes. A short
// frame packs the address into one byte that is also a cell; it reaches the
// unit only when the wall has no cell of that byte.
struct TFrameTarget {
  bool broadcast = false;
  std::optional<TCellRange> screens;  // clipped to the wall; none: no screen
  QString unit;                       // "mixer", "rotating-unit", "switcher-3"; empty: none
  QString text;                       // "rows 1-2 cols 1-2", "all screens", "mixer", ...
};

struct TFrameMeaning {
  TFrameAction action = TFrameAction::Unknown;
  int value = 0;
  TFrameTarget target;
  QString text;  // "select-source VGA rows 1-2 cols 1-2", "class 99 code 01" when unknown
};

// Reads a frame that TFrameDecoder passed (7 or 9 bytes, checksum right)
// against a wall of rows x cols screens.
TFrameMeaning InterpretFrame(QByteArrayView frame, int rows, int cols);

// Source number (1 Video1 ... 11 USB2) to the name the wall shows; "none" for 0.
QString SourceName(int source);
