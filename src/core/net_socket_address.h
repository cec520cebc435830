#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// An IPv4 address, held in host byte order. Parses and prints the dotted
// form ("10.0.1.21"); the octets count from the left (Octet(0) is 10).
class TIpv4Address {
 public:
  constexpr TIpv4Address() = default;
  constexpr explicit TIpv4Address(quint32 hostOrder) : value_(hostOrder) {}
  constexpr TIpv4Address(quint8 a, quint8 b, quint8 c, quint8 d)
      : value_((quint32(a) << 24) | (quint32(b) << 16) | (quint32(c) << 8) | d) {}

  // Exactly four decimal numbers 0..255 separated by dots, no blanks, signs
  // or leading zeros beyond a single "0"; anything else is refused.
  static std::optional<TIpv4Address> Parse(QStringView dotted);
  QString ToString() const;

  constexpr quint32 Value() const { return value_; }
  constexpr quint8 Octet(int index) const {
    return static_cast<quint8>(value_ >> (8 * (3 - index)));
  }

  static constexpr TIpv4Address Any() { return TIpv4Address(0u); }
  static constexpr TIpv4Address Broadcast() { return TIpv4Address(0xffffffffu); }
  static constexpr TIpv4Address Loopback() { return TIpv4Address(127, 0, 0, 1); }

  friend constexpr bool operator==(TIpv4Address a, TIpv4Address b) = default;

 private:
  quint32 value_ = 0;
};
