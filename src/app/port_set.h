#pragma once

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "core/ini_params_op.h"
#include "link/comm.h"

// The main window's six serial ports (splicer, VIDEO, VGA and DVI matrix, DVR,
// listening) with their enabled flags: whether each port is in use this run.
//
// A port whose line hangs up (the device went away) is closed at once and
// loses its flag, so that nothing more is sent into the dead line; it is
// remembered as lost, shown so in the status, and the connect toggle tries
// it again. Opening from the configuration forgets the losses.
class TPortSet {
 public:
  static constexpr int kCount = 6;

  TPortSet();

  TComm& Port(TPortId id) { return *ports_[Index(id)]; }
  const TComm& Port(TPortId id) const { return *ports_[Index(id)]; }
  bool Enabled(TPortId id) const { return enabled_[Index(id)]; }
  void SetEnabled(TPortId id, bool on) { enabled_[Index(id)] = on; }
  // The port was closed because its line hung up, and not opened since.
  bool Lost(TPortId id) const { return lost_[Index(id)]; }
  // Open, but its device has taken no bytes for a while (TComm::WriteStalled).
  bool Stalled(TPortId id) const { return Port(id).IsOpen() && Port(id).WriteStalled(); }
  // Whether any of the ports the toggle drives (all but the listening one) is open.
  bool AnyToggledPortOpen() const;
  // Told after a lost line was closed and its flag cleared (unset = nothing).
  std::function<void(TPortId)> onLineLost;

  struct TOpenResult {
    bool anyOpened = false;  // the link state becomes connected
    bool completed = false;  // no open failed: the frame mode is read again
  };
  // Closes all six, then opens each port whose flag its key sets, in order;
  // the first failure clears that port's flag and ends the sequence.
  TOpenResult OpenFromConfiguration(const TIniParamsOp& ini);
  // Closes every port whose flag is on, in order.
  void CloseEnabled();

  // A port the connect toggle could not open, with the device name it tried.
  struct TPortFailure {
    TPortId id;
    QString name;
  };
  // The toggle's "connect": opens the splicer, VIDEO, VGA, DVI and DVR ports
  // whose flags are on, in that order, with the settings they hold. A failed
  // port loses its flag and the others are still tried. A port that is
  // already open counts as opened. The listening port is left alone. Lost
  // ports (the listening one too) are tried as well: one that opens is in use
  // again, one that does not stays lost and is reported.
  std::vector<TPortFailure> OpenForToggle();
  // The toggle's "disconnect": closes the same five ports with their flags on.
  // Closing cannot fail on this platform, so there is nothing to report.
  void CloseForToggle();

  // Puts name, baud, data bits, stop bits and parity on the port. False when
  // the baud text is not a number (the port is then treated as a failed open).
  static bool ApplySettings(TComm& port, const TPortSettings& settings);
  static constexpr int Index(TPortId id) { return static_cast<int>(id); }

 private:
  std::array<std::unique_ptr<TComm>, kCount> ports_;
  void LineLost(TPortId id);

  std::array<bool, kCount> enabled_{};
  std::array<bool, kCount> lost_{};
};
