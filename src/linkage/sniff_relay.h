#pragma once

#include <QtGlobal>
#include <array>
#include <functional>

#include "linkage/matrix_commands.h"

class Pauser;
class TMatrixLinkage;
class TPortWriter;
class TSendPath;

// What the listening line switches the wall to, as configured (SignalType,
// ChooseMatrix, ChannelList), read once when the ports open.
struct TSniffSettings {
  int signalType = 0;         // 0 Video 1, 1 Video 2, 2 VGA, 3 DVI, 4 HDMI, 5 LC
  bool chooseMatrix = false;  // also route one matrix input to every screen
  int channelList = 0;        // the matrix input is this + 1
};

// The listening relay: any data on the listening line switches the whole
// wall to one configured source (a long frame straight to the splicer port,
// whatever the frame mode and the send mode), optionally routes one matrix
// input to every screen, then ignores the line for 60 seconds.
//
// Triggers never interleave with the window's actions: a trigger that arrives
// while one runs is handed to runWhenIdle and fires after it. At most one
// trigger waits; anything else that arrives while one waits or while the
// line is locked is dropped, never kept to fire later, so a flood of bytes
// costs nothing. The lock is measured on an injectable monotonic clock.
class TSniffRelay {
 public:
  static constexpr qint64 kLockMs = 60000;
  static constexpr int kSignalTypes = 6;
  using Clock = std::function<qint64()>;  // monotonic milliseconds

  // The long frame C8 09 01 01 R C 20 S SUM for a rows x cols wall and a
  // signal type; a type outside 0..5 counts as 0, the default.
  static std::array<quint8, 9> WholeWallFrame(int rows, int cols, int signalType);
  // The matrix a signal type drives and the request for the whole wall.
  static TMatrixRequest WholeWallRequest(int rows, int cols, const TSniffSettings& settings);

  // All references must outlive the relay. Without a clock a steady one is used.
  TSniffRelay(TSendPath& send, TPortWriter& splicer, TMatrixLinkage& matrix, Pauser& pauser,
              Clock clock = {});

  void SetSettings(const TSniffSettings& settings) { settings_ = settings; }
  const TSniffSettings& Settings() const { return settings_; }

  // Seams to the window (unset: ready, run at once, a 1 x 1 wall).
  std::function<bool()> ready;  // the main window has finished starting
  std::function<void(std::function<void()>)> runWhenIdle;
  std::function<int()> rows;
  std::function<int()> cols;

  // A chunk arrived on the listening line; its bytes are not looked at.
  void DataReceived();

  bool Armed() const;
  bool Waiting() const { return waiting_; }
  int Fired() const { return fired_; }  // triggers acted on this run

 private:
  void Fire();
  void SwitchMatrix(int wallRows, int wallCols);

  TSendPath& send_;
  TPortWriter& splicer_;
  TMatrixLinkage& matrix_;
  Pauser& pauser_;
  Clock clock_;
  TSniffSettings settings_;
  bool waiting_ = false;
  bool locked_ = false;
  qint64 lockedUntil_ = 0;
  int fired_ = 0;
};
