#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

class Pauser;
class TPortWriter;
class TSceneRecorder;

// Puts finished splicer frames on the splicer port and/or the network
// gateway (by the send mode), paces them, records them into a scene being
// recorded and writes the super manager's hex trace. Sending never reports
// failure: a disabled port is skipped, a network failure is a memo line.
// Everything runs on the user-interface thread; the port copies the bytes.
class TSendPath {
 public:
  static constexpr int kFramePause = 50;    // ms after every frame
  static constexpr int kWriteWaitMs = 20;   // longest wait for a frame to leave the queue
  static constexpr int kMaxFrameBytes = 9;  // a TProtocol frame buffer
  static constexpr int kMaxRawBytes = 32;   // raw and switcher byte strings

  TSendPath(TPortWriter& splicer, Pauser& pauser);

  // 0 serial only (start), 1 network only, 2 both; other values are ignored.
  void SetSendMode(int mode);
  int SendMode() const { return sendMode_; }
  // 1 manager, 2 operator (start), 3 super manager: only 3 writes trace lines.
  void SetAccessLevel(int level) { accessLevel_ = level; }
  int AccessLevel() const { return accessLevel_; }
  void SetRecorder(TSceneRecorder* recorder) { recorder_ = recorder; }  // nullptr = off

  std::function<bool()> splicerEnabled;                   // the splicer port's flag (unset = off)
  std::function<bool(const QByteArray&)> gatewayForward;  // to the COM gateway; true = sent
  std::function<void(const QString&)> memo;               // output memo lines (unset = dropped)
  // The matrix delay in ms when it is ticked, nothing otherwise; may throw
  // TConversionError when the delay text is not a whole number.
  std::function<std::optional<int>()> matrixDelay;
  std::function<QDateTime()> clock;  // unset = the current local time

  // A TProtocol frame: its length byte (byte 1) gives the count, at most 9; a
  // length of 0 sends nothing. Record, serial (only when the port is
  // enabled), network, 50 ms pause, trace (only when the port is enabled).
  bool SendFrame(const quint8* frame);
  // Frames to the switcher and rotation units. count 0 takes the frame's
  // length byte (at most 9), a given count is capped at 32, a negative one
  // sends nothing. Record, matrix delay, serial (port flag not tested),
  // network, trace (" : switch msg = " when a count was given). No 50 ms pause.
  // A matrix delay that does not convert throws before anything is sent.
  bool SendSwitcherFrame(const quint8* frame, int count = 0);
  // Byte strings not built by TProtocol, up to 32 bytes; count 0 takes byte 1
  // (capped at 32), a negative count sends nothing. Record, serial (flag not
  // tested), network, 50 ms pause, trace.
  bool SendRawFrame(const quint8* buffer, int count = 0);

  // "yyyy/M/d HH:mm:ss" + label + " %02x " per byte.
  static QString TraceLine(const QDateTime& when, const QString& label, const quint8* bytes,
                           int count);

 private:
  void WriteSerial(const quint8* bytes, int count);
  void Forward(const quint8* bytes, int count);
  void Trace(const QString& label, const quint8* bytes, int count);
  void Memo(const QString& line);
  bool Recording() const;
  bool SplicerEnabled() const { return splicerEnabled && splicerEnabled(); }
  bool Serial() const { return sendMode_ == 0 || sendMode_ == 2; }
  bool Network() const { return sendMode_ == 1 || sendMode_ == 2; }

  TPortWriter& splicer_;
  Pauser& pauser_;
  TSceneRecorder* recorder_ = nullptr;
  int sendMode_ = 0;
  int accessLevel_ = 2;
};
