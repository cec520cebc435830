#include "linkage/switcher_units.h"

#include "link/cell_address.h"
#include "wall/family_codes.h"

namespace {

constexpr int kVideo1 = 1, kVideo2 = 2, kVga = 3, kDvi = 4, kHdmi = 5, kUsb = 6, kYuv = 9,
              kVideo3 = 10, kUsb2 = 11;

constexpr TSwitcherChannel kPl39Channels[] = {
    {u"Video 1", kVideo1, false}, {u"Video 2", kVideo2, false}, {u"Video 3", kVideo3, false},
    {u"YUV", kYuv, false},        {u"VGA", kVga, false},        {u"DVI", kDvi, true},
    {u"USB1", kUsb, false},       {u"USB2", kUsb2, false},
};
constexpr TSwitcherChannel kQn23Channels[] = {
    {u"Video 1", kVideo1, false}, {u"Video 2", kVideo2, false}, {u"Video 3", kVideo3, false},
    {u"VGA", kVga, false},        {u"HDMI", kHdmi, false},      {u"USB", kUsb, false},
    {u"SD Card", kUsb2, false},
};
constexpr TSwitcherChannel kQnt1Channels[] = {
    {u"Video 1", kVideo1, false}, {u"Video 2", kVideo2, false}, {u"VGA", kVga, false},
    {u"DVI", kDvi, false},        {u"USB", kUsb, false},
};

struct ModelName {
  TSwitcherModel model;
  const char16_t* name;
};
constexpr ModelName kModelNames[] = {
    {TSwitcherModel::PL39, u"PL-39"},
    {TSwitcherModel::QN23, u"QN-23"},
    {TSwitcherModel::QNT1, u"QN-T1"},
};

}  // namespace

std::optional<TSwitcherModel> SwitcherModelNamed(const QString& name) {
  for (const ModelName& m : kModelNames)
    if (name == QStringView(m.name)) return m.model;
  return std::nullopt;
}

QString SwitcherModelName(TSwitcherModel model) {
  for (const ModelName& m : kModelNames)
    if (m.model == model) return QString::fromUtf16(m.name);
  return {};
}

int SwitcherUnitCount(TSwitcherModel model) { return model == TSwitcherModel::PL39 ? 9 : 20; }

quint16 SwitcherUnitAddress(TSwitcherModel model, int unit) {
  if (unit < 1 || unit > SwitcherUnitCount(model)) return 0;
  switch (model) {
    case TSwitcherModel::PL39:
      // A 3 x 3 block counted from the corner (30, 30): down the rows first,
      // then one column to the left.
      return CellAddress(30 - (unit - 1) % 3, 30 - (unit - 1) / 3);
    case TSwitcherModel::QN23:
      return CellAddress(30, unit);
    case TSwitcherModel::QNT1:
      return CellAddress(29, unit);
  }
  return 0;
}

std::span<const TSwitcherChannel> SwitcherChannels(TSwitcherModel model) {
  switch (model) {
    case TSwitcherModel::QN23:
      return kQn23Channels;
    case TSwitcherModel::QNT1:
      return kQnt1Channels;
    case TSwitcherModel::PL39:
      break;
  }
  return kPl39Channels;
}

QStringList SwitcherAddressItems(TSwitcherModel model) {
  QStringList items{QStringLiteral("ALL")};
  for (int unit = 1; unit <= SwitcherUnitCount(model); ++unit) items << QString::number(unit);
  return items;
}

QStringList SwitcherChannelItems(TSwitcherModel model) {
  QStringList items;
  for (const TSwitcherChannel& c : SwitcherChannels(model)) items << QString::fromUtf16(c.caption);
  return items;
}

bool SwitcherChannelOpensUsbRemote(const QString& caption) {
  for (const char16_t* usb : {u"USB", u"SD Card", u"USB1", u"USB2"})
    if (caption == QStringView(usb)) return true;
  return false;
}

bool UsbVolumeKeysShown(quint8 family, bool switcherTicked, const QString& switcherModel) {
  switch (family) {
    case 4:
    case 5:
    case kMixerFamily:
    case kQn23Family:
    case 9:
      return true;
    default:
      break;
  }
  if (!switcherTicked) return false;
  // A switcher of the family's own model is the family's device, not an
  // extra player.
  const std::optional<TSwitcherModel> model = SwitcherModelNamed(switcherModel);
  if (!model) return false;
  switch (*model) {
    case TSwitcherModel::PL39:
      return family != kMixerFamily;
    case TSwitcherModel::QN23:
      return family != kQn23Family;
    case TSwitcherModel::QNT1:
      return family != kQnT1Family;
  }
  return false;
}
