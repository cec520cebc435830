#include "setup/gateway_frame.h"

#include <algorithm>

namespace {

constexpr quint8 kHeader = 0xA5;
constexpr quint8 kManagement = 0x01;
constexpr quint8 kForwarding = 0x02;
constexpr quint8 kPortCount = 0x01;
constexpr quint8 kReadPort = 0x02;
constexpr quint8 kSetPort = 0x03;
constexpr quint8 kClosePort = 0x05;
constexpr int kPayload = 4;  // payload / result offset
constexpr int kNameBytes = 8;

QByteArray Frame(quint8 group, quint8 command) {
  QByteArray frame(kGatewayFrameSize, '\0');
  frame[0] = static_cast<char>(kHeader);
  frame[1] = static_cast<char>(group);
  frame[2] = static_cast<char>(command);
  return frame;
}

QByteArray ManagementFrame(quint8 command, const TGatewayPortRecord& payload) {
  QByteArray frame = Frame(kManagement, command);
  std::copy(payload.begin(), payload.end(), frame.begin() + kPayload);
  return frame;
}

// The first 70 bytes, zero-filled when the reply is shorter.
std::array<quint8, kGatewayFrameSize> Bounded(const QByteArray& reply) {
  std::array<quint8, kGatewayFrameSize> bytes{};
  const auto n = std::min<qsizetype>(reply.size(), kGatewayFrameSize);
  std::copy_n(reinterpret_cast<const quint8*>(reply.constData()), n, bytes.begin());
  return bytes;
}

bool ManagementReply(const std::array<quint8, kGatewayFrameSize>& bytes, quint8 command) {
  return bytes[0] == kHeader && bytes[1] == kManagement && bytes[2] == command;
}

bool ResultOk(const QByteArray& reply, quint8 command) {
  const auto bytes = Bounded(reply);
  return ManagementReply(bytes, command) && bytes[kPayload] == 0x01;
}

}  // namespace

TGatewayCodes GatewayCodesOf(TGatewayLine line) {
  switch (line) {
    case TGatewayLine::Video:
      return {3, 2};
    case TGatewayLine::Vga:
      return {2, 3};
    case TGatewayLine::Dvi:
      return {4, 4};
    case TGatewayLine::Dvr:
      return {5, 5};
    case TGatewayLine::Splicer:
      break;
  }
  return {1, 1};
}

bool GatewaySettingsValid(const TGatewayPortSettings& s) {
  return s.portIndex >= 0 && s.portIndex <= 0xFF && s.baudIndex >= 0 && s.baudIndex <= 2 &&
         s.dataBitsIndex >= 0 && s.dataBitsIndex <= 3 && s.parityIndex >= 0 && s.parityIndex <= 2;
}

TGatewayPortRecord GatewayWriteRecord(const TGatewayPortSettings& s) {
  TGatewayPortRecord record{};
  record[0] = static_cast<quint8>(s.portIndex);
  record[1] = GatewayCodesOf(s.line).role;
  record[2] = static_cast<quint8>(s.baudIndex);
  record[3] = static_cast<quint8>(s.dataBitsIndex);
  record[12] = static_cast<quint8>(s.parityIndex);
  return record;
}

QByteArray GatewayPortCountRequest() { return Frame(kManagement, kPortCount); }

QByteArray GatewayReadPortRequest(quint8 index) {
  QByteArray frame = Frame(kManagement, kReadPort);
  frame[kPayload] = static_cast<char>(index);
  return frame;
}

QByteArray GatewaySetPortRequest(const TGatewayPortRecord& record) {
  return ManagementFrame(kSetPort, record);
}

QByteArray GatewayClosePortRequest() { return ManagementFrame(kClosePort, TGatewayPortRecord{}); }

QByteArray GatewayForwardRequest(TGatewayCodes codes, const QByteArray& data) {
  if (data.isEmpty() || data.size() > kGatewayMaxData) return {};
  QByteArray frame = Frame(kForwarding, codes.channel);
  frame[4] = static_cast<char>(data.size());
  frame[5] = static_cast<char>(codes.role);
  std::copy(data.begin(), data.end(), frame.begin() + 6);
  return frame;
}

std::optional<int> GatewayPortCountReply(const QByteArray& reply) {
  const auto bytes = Bounded(reply);
  if (!ManagementReply(bytes, kPortCount)) return std::nullopt;
  return bytes[kPayload];
}

std::optional<TGatewayPortRecord> GatewayReadPortReply(const QByteArray& reply) {
  const auto bytes = Bounded(reply);
  if (!ManagementReply(bytes, kReadPort)) return std::nullopt;
  TGatewayPortRecord record{};
  std::copy_n(bytes.begin() + kPayload, kGatewayRecordSize, record.begin());
  return record;
}

bool GatewaySetPortReplyOk(const QByteArray& reply) { return ResultOk(reply, kSetPort); }

bool GatewayClosePortReplyOk(const QByteArray& reply) { return ResultOk(reply, kClosePort); }

bool GatewayForwardReplyOk(const QByteArray& reply) {
  const auto bytes = Bounded(reply);
  return bytes[0] == kHeader && bytes[1] == kForwarding && bytes[kPayload] == 0x01;
}

QString GatewayPortName(const TGatewayPortRecord& record) {
  const auto end = std::find(record.begin(), record.begin() + kNameBytes, quint8{0});
  return QString::fromLatin1(reinterpret_cast<const char*>(record.data()), end - record.begin());
}
