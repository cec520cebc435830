#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <utility>

#include "wall/cell_rect.h"

class Pauser;
class TProtocol;
class TSceneRecorder;
class TSendPath;
class TWallModel;

// Everything a wall action reads from the window, as values.
struct TWallContext {
  quint8 family = 0;
  TCellRect selection;             // the grid's selection
  bool publicChannel = false;      // "公共通道" on the QN-22 page
  bool mixerSwitchTicked = false;  // "混合切换器"
  QString switcherLabel;           // lblSwitcherName
  int switcherAddressIndex = 0;    // cbbSwitcherAddress
};

// What a re-display "确定" has to show: empty when nothing, else the text for
// the message box.
struct TReshowResult {
  QString message;
};

// The operator's wall actions: choosing a source (with combining on the grid
// and the linkages that follow it), dissolving, power, re-display rate, still
// picture and the QN-T1 rotation. Each action takes the window's state as a
// TWallContext, builds its frames with the shared TProtocol and sends them
// through the send path, so that every pause goes through the Pauser and
// every frame reaches the scene being recorded. An action with nothing
// selected sends nothing and changes nothing.
class TWallCommands {
 public:
  TWallCommands(TProtocol& protocol, TSendPath& send, TWallModel& wall, Pauser& pauser);

  void SetRecorder(
      TSceneRecorder* recorder);  // nullptr = not recording (same object as the send path's)
  void SetChinese(bool chinese);  // language of returned messages

  // Linkage seams, run in this order by SelectSource; unset = nothing.
  std::function<void(int kind, quint16 start, quint16 end)> matrixLinkage;
  std::function<void()> dvrLinkage;
  std::function<void(int source)> switcherLinkage;  // DVI and HDMI when the mixer switch is ticked
  // Progress of long actions (one frame per cell, delayed power-on): called
  // before each step with done (0-based) and total, and once more with
  // done == total at the end.
  std::function<void(int done, int total)> progress;

  // The shared routine: address (mixer 30,30 / QN-T1 29,1 / selection),
  // build, SendFrame, linkage, USB-remote flag. Returns false when nothing was
  // sent (no selection, or a source number outside 1..11). Called directly
  // (mixer and QN-T1 panels) it records a command step; the grid's actions
  // below record a combine step instead.
  bool SelectSource(int source, bool mixerFlag, bool qnt1Flag, const TWallContext& ctx);
  // A radio button of a source page: Combine(caption, source) on the grid,
  // then SelectSource; the QN-22 page's buttons set address mode tag 1 (with
  // the box state) after combining. Source 0 (a button without action) and
  // an empty selection do nothing and return false.
  bool SourceButton(const QString& caption, int source, const TWallContext& ctx);
  // A "拼接" menu entry: address mode (tag, public channel) first, then as
  // SourceButton.
  bool CombineEntry(const QString& gridName, int source, quint8 tag, const TWallContext& ctx);
  // The QN-22 broadcast group: 0 DVI, 1 VGA, 2 CVBS, 3 USB. Sends only while
  // the public channel is ticked (the group is hidden otherwise).
  void PublicChannelButton(int which, const TWallContext& ctx);
  // "公共通道" unticked: frames go to the selection again, not to every screen.
  void PublicChannelUnticked();
  // Dissolve with source 1..9, or 0 for each cell's own source (cells with
  // none, or 10/11, are skipped and keep their state). tag: set the address
  // mode first (menu entries); std::nullopt: leave it (general menu).
  void Dissolve(int source, std::optional<quint8> tag, const TWallContext& ctx);
  // Power: the tag (if any) is set with the public-channel state first.
  // delayText is read only when delayed; a non-number, or a delay outside
  // 0..kMaxPowerOnDelay seconds, throws TConversionError before anything is
  // sent or changed.
  void PowerOnWall(std::optional<quint8> tag, bool delayed, const QString& delayText,
                   const TWallContext& ctx);
  void PowerOffWall(std::optional<quint8> tag, const TWallContext& ctx);
  TReshowResult SendReshow(const QString& horizontal, const QString& vertical,
                           const TWallContext& ctx);
  void ReshowUnticked(
      const TWallContext& ctx);  // clears the rate-set flag and sends 0/0 when it was set
  bool RateSet() const { return rateSet_; }
  void StillPictureWall(const TWallContext& ctx);
  // QN-T1, SendSwitcherFrame to (29, 1); indexes outside 0..3 send nothing.
  // A matrix delay that does not convert throws TConversionError unsent.
  void RotateOutput(int index);
  bool UsbRemote() const { return usbRemote_; }  // the USB-remote flag
  // A switcher channel change to a USB or SD-card input also opens the remote.
  void SetUsbRemote(bool on) { usbRemote_ = on; }

  // Which tag the "开机"/"关机" buttons use for a family (3 QN-22, 1 QN-51,
  // 2 QN-46_45, none otherwise).
  static std::optional<quint8> PowerButtonTag(quint8 family);

  // The longest wait between two screens of a delayed power-on, in seconds
  // (its milliseconds must fit an int).
  static constexpr int kMaxPowerOnDelay = 2147483;

 private:
  static constexpr int kFrameBuffer = 9;  // TProtocol's buffer size

  TCellRect Selected(const TWallContext& ctx) const;
  bool Recording() const;
  void Prepare(quint8 kind, quint8 subKind = 0, const QString& name = {});
  void SetTag(std::optional<quint8> tag, const TWallContext& ctx);
  bool CombineAndSelect(const QString& caption, int source, std::optional<quint8> tagAfterCombine,
                        const TWallContext& ctx);
  bool Select(int source, bool mixerFlag, bool qnt1Flag, const TWallContext& ctx);
  void SendPower(bool on, const TWallContext& ctx);
  void SendReshowValue(bool horizontal, int value, const TWallContext& ctx);
  void Progress(int done, int total);
  // Start and end as the linkage reads them from the frame just sent.
  std::pair<quint16, quint16> LinkageAddresses() const;

  TProtocol& protocol_;
  TSendPath& send_;
  TWallModel& wall_;
  Pauser& pauser_;
  TSceneRecorder* recorder_ = nullptr;
  bool chinese_ = true;
  bool rateSet_ = false;
  bool usbRemote_ = false;
  quint8 frame_[kFrameBuffer] = {};
};
