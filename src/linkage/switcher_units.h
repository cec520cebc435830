#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <span>

// The external input switchers that can stand in front of any splicer and the
// mixer family's units. They take ordinary splicer source frames at fixed
// pseudo-addresses on the splicer line.
enum class TSwitcherModel { PL39, QN23, QNT1 };

// One entry of a model's channel list: its caption and the source frame it
// sends (a source number 1..11; DVI's code follows dviFlag).
struct TSwitcherChannel {
  const char16_t* caption;
  int source;
  bool dviFlag;  // DVI as code 0x04 (PL-39) rather than 0x03
};

// The model a switcher label or a model list names; nothing for any other text.
std::optional<TSwitcherModel> SwitcherModelNamed(const QString& name);
QString SwitcherModelName(TSwitcherModel model);

// How many units "ALL" runs over: 9 for PL-39, 20 for the others.
int SwitcherUnitCount(TSwitcherModel model);
// The pseudo-address of unit 1..SwitcherUnitCount; 0 for any other unit.
quint16 SwitcherUnitAddress(TSwitcherModel model, int unit);
std::span<const TSwitcherChannel> SwitcherChannels(TSwitcherModel model);

// The address and channel lists the model gives the main window's boxes:
// "ALL" then the unit numbers; the channel captions in order. Before any
// model is applied the boxes hold PL-39's lists.
QStringList SwitcherAddressItems(TSwitcherModel model);
QStringList SwitcherChannelItems(TSwitcherModel model);

// Channels that play from a USB stick or SD card open the USB remote.
bool SwitcherChannelOpensUsbRemote(const QString& caption);

// Whether the USB remote offers its volume keys: the families whose players
// have a volume, or a switcher in use whose player has one.
bool UsbVolumeKeysShown(quint8 family, bool switcherTicked, const QString& switcherModel);
