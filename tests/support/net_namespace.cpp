#include "support/net_namespace.h"

#include <sched.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

QString Run(const QString& command) {
  const QByteArray line = (command + QStringLiteral(" >/dev/null 2>&1")).toLocal8Bit();
  const int status = std::system(line.constData());
  if (status != 0) return QStringLiteral("'%1' failed (status %2)").arg(command).arg(status);
  return {};
}

}  // namespace

QString EnterNetNamespace(const QStringList& addresses) {
  if (::unshare(CLONE_NEWNET) != 0)
    return QStringLiteral("cannot create a network namespace: %1")
        .arg(QString::fromLocal8Bit(std::strerror(errno)));
  for (const QString& step :
       {QStringLiteral("ip link set lo up"),
        QStringLiteral("ip link add qv0 type veth peer name qv0p"),
        QStringLiteral("ip link set qv0p up"), QStringLiteral("ip link set qv0 up")}) {
    if (QString why = Run(step); !why.isEmpty()) return why;
  }
  for (const QString& address : addresses) {
    if (QString why = AddNetNamespaceAddress(address); !why.isEmpty()) return why;
  }
  return Run(QStringLiteral("ip route add default dev qv0"));
}

QString AddNetNamespaceAddress(const QString& dotted) {
  return Run(QStringLiteral("ip addr add %1/24 dev qv0").arg(dotted));
}
