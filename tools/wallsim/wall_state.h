#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "cell_range.h"
#include "frame_meaning.h"

// What one screen (or fixed unit) is showing after the frames so far.
struct TScreenState {
  bool power = true;   // a wall starts switched on
  int source = 0;      // source number, 0 before any source frame
  TCellRange picture;  // the combined picture the screen belongs to; its own cell alone
  bool still = false;  // frozen picture
  int rotation = 0;    // 0..3, quarter turns
  int reshowH = -1;    // re-display rate; -1 until set
  int reshowV = -1;
  int resolution = -1;  // output resolution type (mixer); -1 until set
};

// The virtual wall's memory: every screen of a rows x cols wall and every
// fixed unit that has been addressed. A source frame for a rectangle of
// several screens combines them into one picture; one for a single screen
// makes it show the source alone (a dissolve step). A broadcast source frame
// carries no rectangle: every screen switches its source and keeps its
// picture. The still-picture command has no "off" code, so each one toggles
// the freeze, as the key on a splicer's remote does.
class TWallState {
 public:
  TWallState(int rows, int cols);

  int Rows() const { return rows_; }
  int Cols() const { return cols_; }
  // 1-based; must lie inside the wall.
  const TScreenState& Screen(int row, int col) const;
  const std::map<QString, TScreenState>& Units() const { return units_; }

  // Applies a frame's meaning; true when any screen or unit changed.
  bool Apply(const TFrameMeaning& meaning);

  // One line per screen, row by row, then one per unit:
  // "screen 1-1 power on source VGA picture 1-1..2-2", extras only when set
  // (" still", " rotation 90", " reshow-h 12", " reshow-v 5", " resolution 2").
  QStringList Dump() const;

 private:
  TScreenState& At(int row, int col);
  static bool ApplyTo(TScreenState& s, const TFrameMeaning& m, const TCellRange* picture);
  static QString Line(const QString& head, const TScreenState& s, bool withPicture);

  int rows_;
  int cols_;
  std::vector<TScreenState> screens_;
  std::map<QString, TScreenState> units_;
};
