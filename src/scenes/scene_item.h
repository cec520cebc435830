#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

// One recorded step of a scene: 52 bytes, the same in memory and in the
// file, so that files of existing installations load unchanged.
//
//   0      kind: 1 combine, 2 dissolve one cell, 3 splicer command, 4 pause,
//          5 external matrix command, 6 switcher or rotation command
//   1      sub-kind: a combine's source number; a pause's unit (1 ms, 2 s)
//   2..13  name (GBK, zero padded, no terminator when 12 bytes long)
//   14..47 frame area: the splicer frame as sent (kinds 1, 2, 3)
//   21..47 data area, overlapping the frame area: raw bytes (kinds 5, 6)
//   48..51 value, 32-bit signed little-endian: a pause, or the byte count
//          of the data area
//
// Fields a kind does not use may hold anything; nothing reads them. Kind-5
// items use the sub-kind for the device they were recorded for: 0x80 | kind
// (0 VIDEO, 1 VGA, 2 DVI matrix, 3 the DVR), with 0x40 added when the command goes on in the
// next item (a command longer than the data area). No sender ever wrote a
// value with the high bit there (source numbers and pause units are small),
// so an item of an older file reads as unmarked.
struct TSceneItem {
  static constexpr int kSize = 52;
  static constexpr int kNameOffset = 2, kNameSize = 12;
  static constexpr int kFrameOffset = 14, kFrameSize = 34;
  static constexpr int kDataOffset = 21, kDataSize = 27;
  static constexpr int kValueOffset = 48;

  enum ItemKind : quint8 {
    kCombine = 1,
    kDissolve = 2,
    kCommand = 3,
    kPause = 4,
    kMatrixCommand = 5,
    kSwitcherCommand = 6,
  };
  enum PauseUnit : quint8 { kMilliseconds = 1, kSeconds = 2 };
  static constexpr quint8 kMatrixMark = 0x80, kMatrixContinued = 0x40;
  static constexpr quint8 kMatrixKinds = 4;  // VIDEO, VGA, DVI, the DVR

  quint8 Kind() const { return bytes[0]; }
  quint8 SubKind() const { return bytes[1]; }
  void SetKind(quint8 kind, quint8 subKind) {
    bytes[0] = kind;
    bytes[1] = subKind;
  }

  // The name up to its first zero byte.
  QString Name() const;
  // Clears the field and stores the name's GBK bytes, cut to 12 at a
  // character boundary.
  void SetName(const QString& name);

  // The sub-kind of a kind-5 item for a matrix kind 0..2 (unmarked, 0, for
  // any other kind), continued when more of the command follows.
  static quint8 MatrixSubKind(quint8 matrixKind, bool continued);
  // The matrix kind a kind-5 item was marked with; none when unmarked.
  std::optional<quint8> MarkedMatrixKind() const;
  // A marked piece whose command goes on in the next item.
  bool MatrixContinued() const;

  qint32 Value() const;
  void SetValue(qint32 value);

  // The 34 bytes of the frame area; a long frame is its first 9.
  const quint8* Frame() const { return bytes.data() + kFrameOffset; }
  // Clears the frame area and copies count bytes into it. A count beyond
  // the area (or negative) changes nothing and returns false.
  bool SetFrame(const quint8* frame, int count);

  // The value's count of bytes from the data area. A value outside 0 to 27
  // (a damaged file) gives at most the area, never bytes beyond it.
  QByteArray Data() const;
  // Clears the data area, copies count bytes into it and sets the value to
  // count. A count beyond the area (or negative) changes nothing and
  // returns false: a cut command would be a different command.
  bool SetData(const quint8* data, int count);

  std::array<quint8, kSize> bytes{};
};
