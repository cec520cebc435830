#include "net_gateway_device.h"

namespace {

constexpr quint8 kHead = 0xA5;
constexpr quint8 kManage = 0x01;
constexpr quint8 kForward = 0x02;
constexpr int kRecord = 4;  // the port record's first byte in a frame
constexpr int kNameBytes = 8;

// The channel code that goes with each role in a forward (VIDEO and VGA cross).
constexpr std::array<int, 6> kChannelOfRole = {0, 1, 3, 2, 4, 5};
constexpr std::array<int, 3> kBauds = {600, 9600, 115200};
constexpr std::array<int, 4> kDataBits = {5, 6, 7, 8};
constexpr std::array<const char*, 3> kParities = {"Odd", "Even", "None"};

QByteArray Reply(quint8 group, quint8 command) {
  QByteArray r(TGatewayDevice::kFrameSize, '\0');
  r[0] = char(kHead);
  r[1] = char(group);
  r[2] = char(command);
  return r;
}

QByteArray Result(quint8 group, quint8 command, bool ok) {
  QByteArray r = Reply(group, command);
  r[kRecord] = ok ? 0x01 : 0x00;
  return r;
}

QString Hex(QByteArrayView bytes) { return QString::fromLatin1(bytes.toByteArray().toHex(' ')); }

}  // namespace

TGatewayDevice::TGatewayDevice() {
  for (int i = 0; i < kPortCount; ++i) ports_[i].name = QStringLiteral("COM%1").arg(i + 1);
}

QString TGatewayDevice::RoleName(int role) {
  static const std::array<QString, 6> names = {QStringLiteral("closed"), QStringLiteral("splicer"),
                                               QStringLiteral("VIDEO"),  QStringLiteral("VGA"),
                                               QStringLiteral("DVI"),    QStringLiteral("DVR")};
  return role >= 0 && role < int(names.size()) ? names[role] : QStringLiteral("role-%1").arg(role);
}

int TGatewayDevice::PortOfRole(int role) const {
  for (int i = 0; i < kPortCount; ++i)
    if (ports_[i].role == role) return i;
  return -1;
}

TGatewayDevice::TResult TGatewayDevice::Answer(QByteArrayView f) {
  if (f.size() != kFrameSize || quint8(f[0]) != kHead) {
    TResult r;
    r.bad = true;
    r.text = QStringLiteral("bad header %1").arg(Hex(f.first(std::min<qsizetype>(f.size(), 4))));
    return r;
  }
  const quint8 group = quint8(f[1]);
  if (group == kManage) return Manage(f);
  if (group == kForward) return Forward(f);
  TResult r;
  r.bad = true;
  r.text = QStringLiteral("bad group %1").arg(group);
  r.reply = Result(group, quint8(f[2]), false);
  return r;
}

TGatewayDevice::TResult TGatewayDevice::Manage(QByteArrayView f) {
  const quint8 command = quint8(f[2]);
  TResult r;
  switch (command) {
    case 0x01:
      r.reply = Reply(kManage, command);
      r.reply[kRecord] = char(kPortCount);
      r.text = QStringLiteral("port-count %1").arg(kPortCount);
      return r;
    case 0x02: {
      const int index = quint8(f[kRecord]);
      if (index >= kPortCount) {
        // No such port: an answer the console cannot take for a record.
        r.bad = true;
        r.reply = Reply(kManage, 0x82);
        r.text = QStringLiteral("read-port %1 no such port").arg(index);
        return r;
      }
      r.reply = Reply(kManage, command);
      const QByteArray name = ports_[index].name.toLatin1().left(kNameBytes);
      r.reply.replace(kRecord, name.size(), name);
      r.text = QStringLiteral("read-port %1 %2").arg(index).arg(ports_[index].name);
      return r;
    }
    case 0x03: {
      const auto rec = f.sliced(kRecord, 15);
      const int index = quint8(rec[0]), role = quint8(rec[1]), baud = quint8(rec[2]),
                data = quint8(rec[3]), parity = quint8(rec[12]);
      const bool ok = index < kPortCount && role >= 1 && role <= 5 && baud < int(kBauds.size()) &&
                      data < int(kDataBits.size()) && parity < int(kParities.size());
      r.reply = Result(kManage, command, ok);
      if (!ok) {
        r.bad = true;
        r.text = QStringLiteral("set-port refused %1").arg(Hex(rec));
        return r;
      }
      // A role lives on one port: giving it to another port moves it.
      for (TPort& p : ports_)
        if (p.role == role) p.role = 0;
      ports_[index].role = role;
      ports_[index].baudIndex = baud;
      ports_[index].dataIndex = data;
      ports_[index].parityIndex = parity;
      r.text = QStringLiteral("set-port %1 role %2 baud %3 data %4 parity %5")
                   .arg(ports_[index].name, RoleName(role))
                   .arg(kBauds[baud])
                   .arg(kDataBits[data])
                   .arg(QLatin1String(kParities[parity]));
      return r;
    }
    case 0x05:
      // The request names no port: the console's "close port" closes them all.
      for (TPort& p : ports_) p.role = 0;
      r.reply = Result(kManage, command, true);
      r.text = QStringLiteral("close-ports");
      return r;
    default:
      r.bad = true;
      r.reply = Result(kManage, command, false);
      r.text = QStringLiteral("unknown command %1").arg(command);
      return r;
  }
}

TGatewayDevice::TResult TGatewayDevice::Forward(QByteArrayView f) {
  const quint8 channel = quint8(f[2]);
  const int length = quint8(f[4]);
  const int role = quint8(f[5]);
  TResult r;
  r.reply = Result(kForward, channel, false);
  if (length < 1 || length > kMaxForward) {
    r.bad = true;
    r.text = QStringLiteral("forward bad length %1").arg(length);
    return r;
  }
  if (role < 1 || role > 5 || kChannelOfRole[role] != channel) {
    r.bad = true;
    r.text = QStringLiteral("forward bad channel %1 role %2").arg(channel).arg(role);
    return r;
  }
  const int port = PortOfRole(role);
  if (port < 0) {
    // Like the box: bytes for a role that no port carries go nowhere.
    r.bad = true;
    r.text = QStringLiteral("forward role %1 has no port").arg(RoleName(role));
    return r;
  }
  r.reply[kRecord] = 0x01;
  r.forwardRole = role;
  r.forwarded = f.sliced(6, length).toByteArray();
  r.text = QStringLiteral("forward %1 via %2: %3")
               .arg(RoleName(role), ports_[port].name, Hex(r.forwarded));
  return r;
}

QStringList TGatewayDevice::Dump() const {
  QStringList lines;
  for (const TPort& p : ports_) {
    if (p.role == 0) continue;
    lines << QStringLiteral("gateway port %1 role %2 baud %3 data %4 parity %5")
                 .arg(p.name, RoleName(p.role))
                 .arg(kBauds[p.baudIndex])
                 .arg(kDataBits[p.dataIndex])
                 .arg(QLatin1String(kParities[p.parityIndex]));
  }
  return lines;
}
