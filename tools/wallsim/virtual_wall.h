#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

#include "dvr_unit.h"
#include "matrix_unit.h"
#include "net_devices.h"
#include "pty_line.h"
#include "trigger_line.h"
#include "wall_simulator.h"

class QFileSystemWatcher;

// The whole virtual wall: the splicers, the VIDEO, VGA and DVI matrices and
// the DVR, each on its own pseudo-terminal linked into the console's ports
// directory (COM1 to COM5). Each matrix reads the brand that Quvial.ini
// chooses for it, again whenever the file changes and before each burst of
// bytes, unless the command line fixed it.
class TVirtualWall : public QObject {
  Q_OBJECT

 public:
  struct TOptions {
    QString home;
    int rows = 4;
    int cols = 4;
    bool wirePorts = false;  // add the missing port keys to an existing Quvial.ini
    // A fixed brand per matrix kind (VIDEO, VGA, DVI) instead of Quvial.ini's.
    std::array<std::optional<QString>, 3> brands;
  };

  explicit TVirtualWall(TOptions options, QObject* parent = nullptr);
  ~TVirtualWall() override;

  // Opens the lines and prepares the program directory; false with a reason.
  // note: what is worth telling the operator (keys added, a port mismatch).
  bool Start(QString* error, QString* note);

  // "ready COM1 /dev/pts/3 COM2 /dev/pts/4 ... COM5 /dev/pts/7"
  QString ReadyLine() const;
  // "frames 3 bad 1 unknown 0 noise 2 matrix-commands 4 matrix-bad 0 ..."
  QString CountersText() const;
  // Screens and units, then the matrices' routes and the DVR's split.
  QStringList StateLines() const;

  const TWallSimulator& Splicers() const { return splicers_; }
  const TMatrixUnit& Matrix(TMatrixKind kind) const;
  const TDvrUnit& Dvr() const { return dvr_; }
  // The listening line (COM6): each trigger knocks at the console's door.
  TTriggerLine& Trigger() { return trigger_; }
  const TTriggerLine& Trigger() const { return trigger_; }

  // Starts the devices on the network (COM gateway, subtitle server, network
  // modules): what the gateway forwards goes into the device line of its
  // role as if it came over the serial line, what a module passes on goes to
  // the splicers. False with a reason. Their state joins StateLines().
  bool StartNet(const TNetDevices::TOptions& options, QString* error);
  const TNetDevices* Net() const { return net_.get(); }

  // Faults of a serial line, by its port name (COM1 to COM5), each reported:
  // unplug closes the line and points its link nowhere, so that the console
  // sees a hang-up and cannot open it again; replug makes a fresh line and
  // points the link at it; stall and resume stop and restart taking bytes
  // (see TPtyLine). False with a reason when the name is none of the lines
  // or the line is not in the state the fault needs.
  bool Unplug(const QString& port, QString* error);
  bool Replug(const QString& port, QString* error);
  bool Stall(const QString& port, bool on, QString* error);

  // Parses a brand given on the command line: a name of the kind's list or
  // its index there. Empty when it is neither.
  static QString ResolveBrand(TMatrixKind kind, const QString& text);

 Q_SIGNALS:
  // Every line a device reports, in the order they happen.
  void reported(const QString& line);

 private:
  void RefreshBrands();
  // The line of a port name; nullptr with a reason when there is none.
  TPtyLine* Line(const QString& port, QString* error);
  TMatrixUnit& MatrixAt(size_t index) { return *matrices_[index]; }

  TOptions options_;
  TWallSimulator splicers_;
  std::array<std::unique_ptr<TMatrixUnit>, 3> matrices_;
  TDvrUnit dvr_;
  std::array<std::unique_ptr<TPtyLine>, 5> lines_;
  QFileSystemWatcher* watcher_ = nullptr;
  TTriggerLine trigger_;
  std::unique_ptr<TNetDevices> net_;
};
