#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>

#include "linkage/matrix_commands.h"

class Pauser;
class TPortWriter;
class TSceneRecorder;
class TSendPath;

// What the matrix setup dialog holds: the brand of each matrix (its display
// text), each matrix's address as typed, and the per-command delay.
struct TMatrixSettings {
  QString videoBrand;
  QString vgaBrand;
  QString dviBrand;
  QString videoId = QStringLiteral("1");
  QString vgaId = QStringLiteral("1");
  QString dviId = QStringLiteral("1");
  bool delayOn = true;
  QString delayText = QStringLiteral("50");
};

// The main window's controls a linkage reads, as they are when it runs.
struct TMatrixControls {
  int channelIndex = 0;    // cbbChannel's item index: the matrix input is index + 1
  bool longFrames = true;  // the encoding of the start and end cells
  int columns = 1;         // the wall's column count
};

// The matrix linkage: while "矩阵联动" is ticked, every linked source selection
// routes the chosen matrix input to the outputs of the selected screens on
// the VIDEO, VGA or DVI matrix, by the source's kind code. It keeps the
// linkage state (ticked, last code, current matrix kind), builds the brand's
// commands, sends them by the send mode, records them into a scene being
// recorded and waits the per-command delay. The send mode, access level,
// memo and clock are the send path's, so the two never disagree.
class TMatrixLinkage {
 public:
  // The three matrix ports in kind order; all must outlive the linkage.
  TMatrixLinkage(TSendPath& send, Pauser& pauser, TPortWriter& video, TPortWriter& vga,
                 TPortWriter& dvi);

  // Whether a matrix port is in use (unset: none is).
  std::function<bool(TMatrixKind)> portEnabled;
  // To the COM gateway with its channel and role codes; true = confirmed.
  // Unset: the network half sends nothing.
  std::function<bool(const QByteArray& bytes, int channel, int role)> gatewayForward;

  void SetRecorder(TSceneRecorder* recorder) { recorder_ = recorder; }  // nullptr = off
  const TMatrixSettings& Settings() const { return settings_; }
  void SetSettings(const TMatrixSettings& settings) { settings_ = settings; }

  // Ticking is allowed only with a matrix port in use or the send mode
  // network only; SetTicked(true) returns false and stays off otherwise.
  bool CanTick() const;
  bool SetTicked(bool on);
  bool Ticked() const { return ticked_; }
  static QString RefusalText(bool chinese);
  // The two tip lines shown while ticked: the VIDEO and VGA brands, the DVI brand.
  QString TipLine(bool chinese) const;
  QString TipLine2(bool chinese) const;

  // The kind code of the last linkage while ticked; 0 before the first.
  int LastCode() const { return lastCode_; }
  void ClearLastCode() { lastCode_ = 0; }
  // The matrix the last linkage drove (VIDEO after start); scene playback
  // sends unmarked matrix records there.
  TMatrixKind CurrentKind() const { return currentKind_; }
  // The source number of the latest source selection. Every linkage call sets
  // it from its code (the numbers the DVI brands look at equal their codes);
  // the window sets it for a selection that calls no linkage (USB).
  void SetLatestSource(int source) { latestSource_ = source; }

  // Routes controls' input to the screens from start to end on the matrix of
  // code (1, 2, 10 VIDEO; 3 VGA; 4, 5, 7 DVI; anything else none). Unticked:
  // nothing, not even the code is kept. An address or delay text that is not
  // a whole number throws TConversionError before anything is sent.
  void LinkMatrix(int code, quint16 start, quint16 end, const TMatrixControls& controls);
  // A channel change or a drop: the last code's linkage again for start to
  // end (long encoding), without a source selection. Nothing before the first.
  void Relink(quint16 start, quint16 end, const TMatrixControls& controls);

  // Sends the bytes whole to the matrix of kind: its serial port when the
  // send mode is 0 or 2, the gateway when it is 1 or 2; traced at level 3.
  // Scene playback calls it with a recorded command. Empty bytes send nothing.
  void SendMatrixBytes(const QByteArray& bytes, TMatrixKind kind);

  // The configured matrix of request.kind: its brand and address. The
  // matrix delay in ms when ticked, 0 otherwise. Both throw
  // TConversionError when their text is not a whole number.
  void SetDevice(TMatrixRequest& request) const;
  int Delay() const;

 private:
  void Link(int code, quint16 start, quint16 end, const TMatrixControls& controls);
  TPortWriter& Port(TMatrixKind kind) const;
  bool Recording() const;

  TSendPath& send_;
  Pauser& pauser_;
  TPortWriter& video_;
  TPortWriter& vga_;
  TPortWriter& dvi_;
  TSceneRecorder* recorder_ = nullptr;
  TMatrixSettings settings_;
  bool ticked_ = false;
  int lastCode_ = 0;
  int latestSource_ = 0;
  TMatrixKind currentKind_ = TMatrixKind::Video;
};
