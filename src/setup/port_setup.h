#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "core/ini_params_op.h"

// What the port setup dialog holds for one of its six lines. A selector with
// nothing chosen is an empty text (parity: -1); saving leaves such a key as
// stored, so an unset selector never replaces a working value by nothing.
struct TPortChoice {
  bool used = false;
  QString name;
  QString bps;
  QString dataBit;
  QString stopBit;
  int check = -1;  // 0 none, 1 odd, 2 even
};

// The whole dialog as values: the six lines in the configuration's order
// (indexed by TPortId), the listening line's relay settings and the frame
// length (0 = the "7" short frame, 1 = the "9" long frame).
struct TPortSetupValues {
  std::array<TPortChoice, 6> ports;
  int signalType = 0;
  bool chooseMatrix = false;
  int channelList = 0;
  int cmdLen = 1;

  TPortChoice& Port(TPortId id) { return ports[static_cast<std::size_t>(id)]; }
  const TPortChoice& Port(TPortId id) const { return ports[static_cast<std::size_t>(id)]; }
};

// The pairs of lines that may not share a port, in the order they are checked.
enum class TPortConflict { CombineVideo, CombineDVR, VideoDVR };

// The port setup's rules, apart from its window: what each selector offers,
// which values are read and written, and which choices are refused.
namespace PortSetup {

// The probe covers COM1 to COM50.
constexpr int kFirstProbedPort = 1;
constexpr int kLastProbedPort = 50;

// Selector contents; each line has its own baud list.
QStringList BaudRates(TPortId id);
QStringList DataBits();
QStringList StopBits();
QStringList ParityTexts(bool chinese);  // none, odd, even
QStringList SignalTypes();
QStringList FrameLengths();  // "7", "9"

// What a selector starts with before anything is read (empty: no selection).
QString DefaultBaud(TPortId id);
QString DefaultDataBit(TPortId id);
QString DefaultStopBit(TPortId id);

// The stored values. A line counts as used when its use key is above 0; the
// other fields are read whether used or not.
TPortSetupValues Read(const TIniParamsOp& ini);

// The first pair of used lines that name the same port, if any. Lines
// without a port name never conflict.
std::optional<TPortConflict> FindConflict(const TPortSetupValues& values);
QString ConflictMessage(TPortConflict conflict, bool chinese);

// Writes the lines in the configuration's order, each its use key (0, or 1
// when used) and, when used, its other keys; then "CmdLen". The relay keys go
// with the listening line, "ChannelList" only while "使用矩阵" is on. Unset
// selectors (see TPortChoice) leave their keys as stored. All in one rewrite
// of the file; false, with the file as it was, when it cannot be written.
bool Write(TIniParamsOp& ini, const TPortSetupValues& values);

}  // namespace PortSetup
