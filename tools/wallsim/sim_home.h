#pragma once

#include <QString>

// Prepares a program directory so that the console finds the virtual wall:
// ports/COM1 becomes a link to the splicer line (a stale link or file there
// is replaced), and when Quvial.ini does not exist yet a new one names COM1
// as the splicer port and gives the wall size. An existing Quvial.ini is
// left alone: it is the operator's.
class TSimHome {
 public:
  static constexpr const char* kPortName = "COM1";

  struct TResult {
    bool ok = false;
    bool wroteIni = false;
    QString error;  // why it failed
    QString note;   // a harmless surprise worth telling (existing ini disagrees)
  };

  static TResult Prepare(const QString& home, const QString& slavePath, int rows, int cols);
  // The wall size an existing Quvial.ini gives; false when there is none.
  static bool ReadWallSize(const QString& home, int& rows, int& cols);
};
