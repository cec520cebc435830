#include "core/net_socket_address.h"

std::optional<TIpv4Address> TIpv4Address::Parse(QStringView dotted) {
  quint32 value = 0;
  int parts = 0;
  qsizetype i = 0;
  const qsizetype n = dotted.size();
  while (parts < 4) {
    int number = 0;
    int digits = 0;
    const qsizetype start = i;
    while (i < n && dotted[i] >= u'0' && dotted[i] <= u'9') {
      if (++digits > 3) return std::nullopt;
      number = number * 10 + (dotted[i].unicode() - u'0');
      ++i;
    }
    if (digits == 0 || number > 255) return std::nullopt;
    if (digits > 1 && dotted[start] == u'0') return std::nullopt;
    value = (value << 8) | static_cast<quint32>(number);
    ++parts;
    if (parts < 4) {
      if (i >= n || dotted[i] != u'.') return std::nullopt;
      ++i;
    }
  }
  if (i != n) return std::nullopt;
  return TIpv4Address(value);
}

QString TIpv4Address::ToString() const {
  return QStringLiteral("%1.%2.%3.%4").arg(Octet(0)).arg(Octet(1)).arg(Octet(2)).arg(Octet(3));
}
