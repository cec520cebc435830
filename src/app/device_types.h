#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class TIniParamsOp;

// The thirteen device type positions of the start dialog. The position, not
// the (editable) name, decides the device family index for the whole run.
constexpr int kDeviceTypeCount = 13;

QString DefaultDeviceTypeName(int position);
// Position 0..12 to family index; positions 8 and 9 both give 9; anything
// else (no selection) gives the initial family 0.
quint8 DeviceFamilyForPosition(int position);
// Names from "tvtype1".."tvtypeN" with the defaults for absent keys.
QStringList LoadDeviceTypeNames(const TIniParamsOp& ini, int count = kDeviceTypeCount);
