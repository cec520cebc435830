#include "link/port_probe.h"

#include <QFile>
#include <algorithm>
#include <sys/stat.h>

#include "link/port_names.h"
#include "link/serial_device.h"

QStringList ProbeSerialPorts(int first, int last) {
  QStringList ports;
  for (int n = std::max(first, 1); n <= last; ++n) {
    const QString name = QStringLiteral("COM") + QString::number(n);
    const QString path = ResolvePortName(name);
    // Most names lead nowhere; a stat is much cheaper than an open.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISCHR(st.st_mode)) continue;
    TSerialDevice device;
    if (device.Open(path) != TSerialDevice::TOpenResult::Opened) continue;
    if (TSerialDevice::HasHardware(device.Fd())) ports.append(name);
  }
  return ports;
}
