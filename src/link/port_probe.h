#pragma once

#include <QStringList>

// The serial ports that can be opened now: "COMn" for each n in [first, last]
// whose device (see ResolvePortName) opens exclusively as a tty with a driver
// behind it. Ports in use by another opener are left out.
QStringList ProbeSerialPorts(int first = 1, int last = 254);
