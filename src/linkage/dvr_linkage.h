#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>

class Pauser;
class TPortWriter;
class TSceneRecorder;
class TSendPath;

// What the DVR setup dialog holds: the brand text, the address for automatic
// sends as typed, and the delay after each frame.
struct TDvrSettings {
  QString brand = QStringLiteral("DaHua");
  QString idText = QStringLiteral("1");
  bool delayOn = true;
  QString delayText = QStringLiteral("50");
};

// The main window's DVR controls as they are when a split update runs.
struct TDvrControls {
  int picturesIndex = 0;  // cbbPics: 0 "1", 1 "4", 2 "9", 3 "16"
  int addressIndex = 0;   // cbbDVRAddress: address = index + 1 (manual sends)
};

// The DaHua DVR's 8-byte frames: the lead frame that precedes every split,
// and the split of picturesIndex (0..3 for 1, 4, 9, 16 pictures) at address.
QByteArray DvrLeadFrame();
QByteArray DvrSplitFrame(quint8 address, int picturesIndex);

// The DVR linkage: while "DVR联动" is ticked, each linked source selection
// (and the manual "确定") resends the DVR's picture split, lead frame first,
// each frame followed by the DVR delay. Only the "DaHua" brand has frames.
// The send mode, access level, memo and clock are the send path's.
class TDVRLinkage {
 public:
  // The DVR port must outlive the linkage.
  TDVRLinkage(TSendPath& send, Pauser& pauser, TPortWriter& dvr);

  std::function<bool()> portEnabled;  // the DVR port is in use (unset: not)
  // To the COM gateway with its channel and role codes; true = confirmed.
  std::function<bool(const QByteArray& bytes, int channel, int role)> gatewayForward;

  // While a scene is recorded each frame is stored as a command for the DVR,
  // and each delay as a pause, so that a recalled scene resends the split.
  void SetRecorder(TSceneRecorder* recorder) { recorder_ = recorder; }  // nullptr = off

  const TDvrSettings& Settings() const { return settings_; }
  void SetSettings(const TDvrSettings& settings) { settings_ = settings; }

  // Ticking needs the DVR port in use or the send mode network only;
  // SetTicked(true) returns false and stays off otherwise.
  bool CanTick() const;
  bool SetTicked(bool on);
  bool Ticked() const { return ticked_; }
  static QString RefusalText(bool chinese);
  QString BrandLabel() const;  // "DVR: " + brand

  // Unticked, another brand or a picture index outside 0..3: nothing. The
  // address is the list's (manual) or the settings' text; an address or delay
  // text that is not a whole number throws TConversionError unsent.
  void UpdateSplit(bool manual, const TDvrControls& controls);
  // Sends only with the DVR port in use or the send mode network only: the
  // serial port for modes 0 and 2, the gateway for 1 and 2; traced at level 3.
  void SendDvrBytes(const QByteArray& bytes);

 private:
  TSendPath& send_;
  Pauser& pauser_;
  TPortWriter& dvr_;
  TSceneRecorder* recorder_ = nullptr;
  TDvrSettings settings_;
  bool ticked_ = false;
};
