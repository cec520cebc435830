#pragma once

#include <QStringList>

// The host's own IPv4 addresses as dotted strings: every interface that is up
// and not loopback, in the system's interface order. The environment
// variable QUVIAL_LOCAL_ADDRESSES, when set, replaces the list (addresses
// separated by commas; empty means none), so that the virtual wall and tests
// can name the addresses to probe from.
QStringList ListLocalAddresses();
