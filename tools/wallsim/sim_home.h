#pragma once

#include <QString>
#include <QStringList>
#include <array>

#include "core/ini_params_op.h"
#include "linkage/matrix_commands.h"

// Prepares a program directory so that the console finds the virtual wall:
// ports/COM1 to ports/COM5 become links to the wall's lines (a stale link or
// file there is replaced), and when Quvial.ini does not exist yet a new one
// names these ports for their uses and gives the wall size. An existing
// Quvial.ini is the operator's: it is left alone, or, when asked to wire the
// ports, only the port keys it lacks are added.
class TSimHome {
 public:
  struct TPort {
    TPortId id;
    const char* name;
    const char* configKey;  // the key naming the port in Quvial.ini
    const char* checkedKey;
  };
  // The wall's lines in the order they are created; COM6 stays free.
  static constexpr std::array<TPort, 5> kPorts = {{
      {TPortId::Combine, "COM1", "COMPort", "CombineCOMPortChecked"},
      {TPortId::Matrix, "COM2", "MatrixCOMPort", "MatrixCOMPortChecked"},
      {TPortId::VGAMatrix, "COM3", "VGAMatrixCOMPort", "VGAMatrixCOMPortChecked"},
      {TPortId::DVIMatrix, "COM4", "DVIMatrixCOMPort", "DVIMatrixCOMPortChecked"},
      {TPortId::DVR, "COM5", "DVRCOMPort", "DVRCOMPortChecked"},
  }};

  struct TResult {
    bool ok = false;
    bool wroteIni = false;
    QStringList added;  // "MatrixCOMPort=COM2", ... written into an existing Quvial.ini
    QString error;      // why it failed
    QString note;       // a harmless surprise worth telling (existing ini disagrees)
  };

  // slavePaths: the devices for kPorts, from the first on.
  static TResult Prepare(const QString& home, const QStringList& slavePaths, int rows, int cols,
                         bool wireExisting = false);
  // The wall size an existing Quvial.ini gives; false when there is none.
  static bool ReadWallSize(const QString& home, int& rows, int& cols);
  // The matrix brand Quvial.ini chooses (the entry at videoindex, vgaindex or
  // dviindex of the console's list; the first without a file); empty when the
  // index lies outside the list.
  static QString ReadMatrixBrand(const QString& home, TMatrixKind kind);
  static QString IniPath(const QString& home);
  // Makes ports/<name> a link to target (which need not exist), replacing
  // what is there unless it is a directory; false with a reason.
  static bool Link(const QString& home, const QString& name, const QString& target, QString* error);

 private:
  static void Wire(TIniParamsOp& ini, qsizetype count, QStringList& added);
};
