#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

// The COM gateway's 70-byte frames: management requests (group 1), device
// frames forwarded to one of its serial lines (group 2), and the checks of
// the replies. Pure functions from values to bytes and back.

// The device lines a gateway port can carry, in the order of the setup tabs.
enum class TGatewayLine { Splicer, Video, Vga, Dvi, Dvr };
inline constexpr int kGatewayLineCount = 5;

// A line's codes: the channel code of a forward (byte 2) and the role code of
// the port record and of a forward (byte 5). VIDEO and VGA swap them.
struct TGatewayCodes {
  quint8 channel;
  quint8 role;
};
TGatewayCodes GatewayCodesOf(TGatewayLine line);

inline constexpr quint16 kGatewayTcpPort = 8082;
inline constexpr int kGatewayFrameSize = 70;
inline constexpr int kGatewayMaxData = 64;  // device bytes one forward carries
inline constexpr int kGatewayRecordSize = 15;

using TGatewayPortRecord = std::array<quint8, kGatewayRecordSize>;

// One role tab as indexes into its selectors: the gateway port's position in
// the port list, baud 0 = 600, 1 = 9600, 2 = 115200, data bits 0..3 = 5..8,
// parity 0 = Odd, 1 = Even, 2 = None. The stop bits are not transmitted.
struct TGatewayPortSettings {
  int portIndex = 0;
  TGatewayLine line = TGatewayLine::Splicer;
  int baudIndex = 1;
  int dataBitsIndex = 3;
  int parityIndex = 2;
};

// False when an index is outside its selector (a port list with nothing
// chosen): such a record would name a port or a speed that does not exist.
bool GatewaySettingsValid(const TGatewayPortSettings& settings);
// The write form of the port record (valid settings).
TGatewayPortRecord GatewayWriteRecord(const TGatewayPortSettings& settings);

// Group-1 requests, 70 bytes each.
QByteArray GatewayPortCountRequest();
QByteArray GatewayReadPortRequest(quint8 index);
QByteArray GatewaySetPortRequest(const TGatewayPortRecord& record);
QByteArray GatewayClosePortRequest();
// A group-2 forward of 1..64 device bytes; empty when the data is empty or
// does not fit one frame.
QByteArray GatewayForwardRequest(TGatewayCodes codes, const QByteArray& data);

// Reply checks. Only the first 70 bytes of a reply count; a shorter reply
// reads as if zero-filled to 70 bytes (a bounded decoder: any length is safe).
std::optional<int> GatewayPortCountReply(const QByteArray& reply);
std::optional<TGatewayPortRecord> GatewayReadPortReply(const QByteArray& reply);
bool GatewaySetPortReplyOk(const QByteArray& reply);
bool GatewayClosePortReplyOk(const QByteArray& reply);
// A5 02 at 0 and 1 with result 01 at 4; the echoed channel code is not checked.
bool GatewayForwardReplyOk(const QByteArray& reply);

// The port name in a read record: up to 8 single-byte characters, ended by
// the first zero byte.
QString GatewayPortName(const TGatewayPortRecord& record);
