#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <vector>

// The small field language the matrix command tables are written in. A
// per-screen command is a list of tokens, one per byte or text field; the
// interpreter fills them for one screen of the walk. Checksums are filled last,
// over the finished bytes, so a checksum may cover bytes written after it.
namespace matrix_fields {

// What a command is built for: one screen of the walk.
struct TScreenRoute {
  int out = 1;           // output number, 1..256
  int row = 0;           // 0-based wall row of the screen
  quint16 in = 1;        // input number, 1-based
  quint8 id = 0;         // matrix address modulo 256
  int latestSource = 0;  // source number of the latest source selection
};

using TToken = quint16;

// 0x00..0xFF stand for that byte itself. The rest are fields:
inline constexpr TToken kParam = 0x100;     // the brand entry's own token (a byte or a field)
inline constexpr TToken kOut = 0x101;       // out as a byte (256 -> 00)
inline constexpr TToken kOut0 = 0x102;      // out - 1
inline constexpr TToken kInL = 0x103;       // low byte of in
inline constexpr TToken kInH = 0x104;       // high byte of in
inline constexpr TToken kIn0 = 0x105;       // (in - 1) mod 256
inline constexpr TToken kIn0High = 0x106;   // (in - 1) div 256
inline constexpr TToken kId = 0x107;        // id
inline constexpr TToken kIdLess1 = 0x108;   // (id - 1) mod 256
inline constexpr TToken kIdDigit = 0x109;   // 0x30 + id mod 256
inline constexpr TToken kBankHigh = 0x10A;  // in 1..128 -> 00, from 129 -> 01
inline constexpr TToken kBankLow = 0x10B;   // in - 1, or in - 129 from 129, mod 256
inline constexpr TToken kSourceX = 0x10C;   // A5 after a DVI selection, A6 after HDMI, else 00
// Decimal text: D without padding, P2/P3/P4 padded and cut to that width.
// "Byte" marks the fields that write out as its byte value (256 -> "0").
inline constexpr TToken kDOut = 0x110;
inline constexpr TToken kDOutByte = 0x111;
inline constexpr TToken kDIn = 0x112;
inline constexpr TToken kDId = 0x113;
inline constexpr TToken kP2Out = 0x114;
inline constexpr TToken kP2OutByte = 0x115;
inline constexpr TToken kP2In = 0x116;
inline constexpr TToken kP2Id = 0x117;
inline constexpr TToken kP3Out = 0x118;
inline constexpr TToken kP3In = 0x119;
inline constexpr TToken kP3Id = 0x11A;
inline constexpr TToken kP4In = 0x11B;
// Codes of the four-by-four switchers; a screen outside their range gets no
// command at all, because any byte sent there would switch the wrong route.
inline constexpr TToken kHexCode = 0x120;       // lowercase hex digit (out-1)*4 + in-1, 4x4 only
inline constexpr TToken kTessaranCode = 0x121;  // decimal code, 4x4 and rows 1-3 only
// Checksums over bytes i..j (numbered from 0) of the finished command.
inline constexpr TToken kVideo07Key = 0x4000;  // (bytes 1..5 + byte 7) XOR 4D
constexpr TToken Sum(int i, int j) { return TToken(0x1000 | i << 4 | j); }
constexpr TToken Xor(int i, int j) { return TToken(0x2000 | i << 4 | j); }
constexpr TToken SumLow7(int i, int j) { return TToken(0x3000 | i << 4 | j); }  // SUM AND 7F

// The command for one screen; empty when the screen has no valid command.
QByteArray EncodeScreen(const std::vector<TToken>& tokens, TToken param, const TScreenRoute& route);

// The 96-frame for a whole rectangle, outs in walk order, with T the kind's
// byte 4. A single screen gives its pair twice. The length byte is written
// modulo 256 as the frame defines it, but every pair is written: a wall of
// more than 127 screens overflows that byte, and cutting pairs would leave
// screens unrouted without saying so.
QByteArray EncodeFrame96(const std::vector<int>& outs, quint16 in, quint8 id, quint8 t);

// The comma list for a whole rectangle: inL "," out "," per screen, then "V".
QByteArray EncodeCommaList(const std::vector<int>& outs, quint16 in);

}  // namespace matrix_fields
