#include "app/device_types.h"

#include <array>

#include "core/ini_params_op.h"

namespace {
struct DeviceType {
  const char16_t* name;
  quint8 family;
};
constexpr std::array<DeviceType, kDeviceTypeCount> kTypes{{
    {u"QN-51", 0},  {u"QN-46/45", 1}, {u"QN-22", 3}, {u"QN-K8", 4},  {u"QN-HV6", 5},
    {u"TR-5000", 6}, {u"PL-39", 7},    {u"QN-23", 8}, {u"QN-HV8", 9}, {u"QN-24", 9},
    {u"QN-T1", 10}, {u"QN-44", 11},   {u"QN-51N", 12},
}};
}  // namespace

QString DefaultDeviceTypeName(int position) {
  if (position < 0 || position >= kDeviceTypeCount) return {};
  return QString::fromUtf16(kTypes[static_cast<size_t>(position)].name);
}

quint8 DeviceFamilyForPosition(int position) {
  if (position < 0 || position >= kDeviceTypeCount) return 0;
  return kTypes[static_cast<size_t>(position)].family;
}

QStringList LoadDeviceTypeNames(const TIniParamsOp& ini, int count) {
  QStringList names;
  for (int i = 0; i < count && i < kDeviceTypeCount; ++i) names << ini.ReadTvType(i + 1);
  return names;
}
