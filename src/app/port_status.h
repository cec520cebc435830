#pragma once

#include <QString>
#include <array>
#include <vector>

#include "core/ini_params_op.h"

// What the status bar and the connect toggle say, computed from plain values
// so that the main window's one-second tick only puts the results on its
// controls: the port status text, the network splicer's cell table text, the
// toggle's failure messages and the access level names.

// One port as the status text sees it: its enabled flag and device name.
struct TPortLine {
  bool enabled = false;
  QString name;
  bool lost = false;     // closed because its line hung up (TPortSet::Lost)
  bool stalled = false;  // open, but its device takes no bytes (TPortSet::Stalled)
};
// The six ports in configuration order (splicer, VIDEO, VGA, DVI, DVR, listening).
using TPortLines = std::array<TPortLine, 6>;

// The first status panel. Disconnected: the flagged ports with a device name,
// each marked as broken off. Connected: every flagged port, connected when it
// has a name. A lost port is listed as broken off in either state, so that
// the status tells which line went away; a stalled one connected is listed
// as not responding. Labels keep their leading blanks.
QString PortStatusText(bool connected, bool chinese, const TPortLines& ports);

// The network splicer's first status panel: every cell row by row, 0-based,
// as "[r-c]连接 " or "[r-c]未连接 " (always Chinese). Cells beyond the end of
// the table count as not registered.
QString CellTableStatusText(int rows, int cols, const std::vector<bool>& registered);

enum class TToggleAction { Open, Close };
// The message of a failed open or close by the connect toggle, e.g.
// "打开拼接串口 COM3 失败". The toggle never closes the listening port and
// opens it only when its line was lost: its close message is empty.
QString ToggleFailureMessage(TToggleAction action, TPortId port, const QString& name, bool chinese);

// What the operator is told when a port's line hung up while an action ran:
// the action stopped, what was sent stays sent.
QString LineLostMessage(TPortId port, const QString& name, bool chinese);
// The same when its device stopped taking bytes (the line stalled).
QString LineStalledMessage(TPortId port, const QString& name, bool chinese);
// The output log's line when a port's line stalls (stalled) or takes bytes
// again (!stalled).
QString LineStalledNote(TPortId port, const QString& name, bool stalled, bool chinese);

// A forward to the COM gateway failed during an action (no connection, no
// answer in time, a refusal): with the network as the only path the action stops
// (networkOnly), otherwise the rest of it goes by the serial line only.
QString GatewayFailedMessage(bool networkOnly, bool chinese);

// The second status panel: 1 manager, 2 operator, 3 super manager; empty for
// any other value.
QString AccessLevelText(int level, bool chinese);
// Levels 1 and 3 open system setup, DVR setup and the setup toolbar button.
bool LevelOpensSetup(int level);
