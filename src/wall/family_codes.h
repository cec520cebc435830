#pragma once

#include <QtGlobal>

// The processor families (their place in the start dialog's list) whose
// addressing, commands or controls differ from the rest.
inline constexpr quint8 kQn22Family = 3;             // broadcasts on its public channel
inline constexpr quint8 kQnK8Family = 4;             // no video input
inline constexpr quint8 kMixerFamily = 7;            // TR-38 mixer panel
inline constexpr quint8 kQn23Family = 8;             // QN-23 switchers
inline constexpr quint8 kQnT1Family = 10;            // QN-T1 rotating units
inline constexpr quint8 kNetworkSplicerFamily = 12;  // QN-51N network modules
