#pragma once

#include <QString>

// Windows-style port names ("COM3") on Linux. "COMn" (any case, also in the
// form "\\.\COMn") is the entry "COMn" of the ports directory when there is
// one (a link to a device, for example a pty of the virtual wall), otherwise
// /dev/ttyS<n-1>. An absolute path is a device path already; any other name
// is kept as it is and will not open.

// $QUVIAL_PORTS when set and non-empty, else the "ports" folder beside the
// program's files.
QString PortDirectory();

QString ResolvePortName(const QString& name);
