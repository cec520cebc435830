#include "setup/local_addresses.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include "core/net_socket_address.h"

QStringList ListLocalAddresses() {
  QStringList list;
  if (qEnvironmentVariableIsSet("QUVIAL_LOCAL_ADDRESSES")) {
    const QString given = qEnvironmentVariable("QUVIAL_LOCAL_ADDRESSES");
    for (const QString& part : given.split(u',', Qt::SkipEmptyParts)) {
      if (const auto address = TIpv4Address::Parse(part.trimmed()))
        list.append(address->ToString());
    }
    return list;
  }
  // The interfaces, not the host name: on Linux the host name usually
  // resolves to a loopback address (127.0.1.1), from which no module can be
  // reached.
  ifaddrs* all = nullptr;
  if (::getifaddrs(&all) != 0) return list;
  for (const ifaddrs* a = all; a != nullptr; a = a->ifa_next) {
    if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET) continue;
    if (!(a->ifa_flags & IFF_UP) || (a->ifa_flags & IFF_LOOPBACK)) continue;
    const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
    const QString dotted = TIpv4Address(ntohl(in->sin_addr.s_addr)).ToString();
    if (!list.contains(dotted)) list.append(dotted);
  }
  ::freeifaddrs(all);
  return list;
}
