#include "matrix_formats.h"

#include <array>

#include "byte_cursor.h"

namespace {

using TResult = TParsed<TMatrixCommand>;

// The largest wall has 30 x 30 screens; a longer list is not a command.
constexpr size_t kMaxScreens = 900;
// Widest decimal fields: an input is a 16-bit number, outputs and addresses are bytes.
constexpr int kInDigits = 5;
constexpr int kOutDigits = 3;
constexpr quint8 kCr = 0x0D;

TResult Miss(const TByteCursor& c) {
  return {c.Short() ? TParseStatus::Partial : TParseStatus::NoMatch, 0, {}, {}};
}

TResult Bad(const TByteCursor& c, const QString& why) {
  return {TParseStatus::Bad, c.Pos(), {}, why};
}

TResult Routes(const TByteCursor& c, int address, std::vector<TRoute> routes) {
  for (const TRoute& r : routes) {
    if (r.output < 1 || r.output > 256) return Bad(c, QStringLiteral("output %1").arg(r.output));
    if (r.input < 1 || r.input > 0xFFFF) return Bad(c, QStringLiteral("input %1").arg(r.input));
  }
  return {TParseStatus::Command, c.Pos(), {address, std::move(routes)}, {}};
}

TResult Route(const TByteCursor& c, int address, int output, int input) {
  return Routes(c, address, {{output, input}});
}

// A route behind a check byte: a wrong check makes the command bad.
TResult Checked(const TByteCursor& c, int got, int want, int address, int output, int input) {
  if (got != (want & 0xFF)) return Bad(c, QStringLiteral("checksum"));
  return Route(c, address, output, input);
}

int Sum(const TByteCursor& c, int from, int to) {
  int sum = 0;
  for (int i = from; i <= to; ++i) sum += static_cast<quint8>(c.Bytes()[i]);
  return sum & 0xFF;
}

int Xor(const TByteCursor& c, int from, int to) {
  int x = 0;
  for (int i = from; i <= to; ++i) x ^= static_cast<quint8>(c.Bytes()[i]);
  return x;
}

// A raw output or input byte, and a number written as the text of a byte
// value: 256 travels as 0 in both.
int Raw(int value) { return value == 0 ? 256 : value; }

// ---- byte formats -------------------------------------------------------

// F2, 00, inL, 22, out, id, 00, XOR(1..6)
TResult Brelund(QByteArrayView b) {
  TByteCursor c(b);
  int in, out, id, x;
  if (!(c.Byte(0xF2) && c.Byte(0x00) && c.Any(in) && c.Byte(0x22) && c.Any(out) && c.Any(id) &&
        c.Byte(0x00) && c.Any(x)))
    return Miss(c);
  return Checked(c, x, Xor(c, 1, 6), id, Raw(out), Raw(in));
}

// F4, inL, 21, out, id, 00, SUM(1..5)
TResult Zhiming(QByteArrayView b) {
  TByteCursor c(b);
  int in, out, id, sum;
  if (!(c.Byte(0xF4) && c.Any(in) && c.Byte(0x21) && c.Any(out) && c.Any(id) && c.Byte(0x00) &&
        c.Any(sum)))
    return Miss(c);
  return Checked(c, sum, Sum(c, 1, 5), id, Raw(out), Raw(in));
}

// F4, inL, 21, out, id, 00, K, inH; K = (SUM of bytes 1-5 and 7) XOR 4D
TResult Video07(QByteArrayView b) {
  TByteCursor c(b);
  int inL, out, id, k, inH;
  if (!(c.Byte(0xF4) && c.Any(inL) && c.Byte(0x21) && c.Any(out) && c.Any(id) && c.Byte(0x00) &&
        c.Any(k) && c.Any(inH)))
    return Miss(c);
  return Checked(c, k, (Sum(c, 1, 5) + inH) ^ 0x4D, id, Raw(out), inH << 8 | inL);
}

// A5, 00, id, 01, out, inL, 01, SUM(0..6)
TResult A5Frame(QByteArrayView b) {
  TByteCursor c(b);
  int id, out, in, sum;
  if (!(c.Byte(0xA5) && c.Byte(0x00) && c.Any(id) && c.Byte(0x01) && c.Any(out) && c.Any(in) &&
        c.Byte(0x01) && c.Any(sum)))
    return Miss(c);
  return Checked(c, sum, Sum(c, 0, 6), id, Raw(out), Raw(in));
}

// BB, 01, out0, in0, (in - 1) div 256, 00, 00, SUM(0..6)
TResult Video03(QByteArrayView b) {
  TByteCursor c(b);
  int out0, in0, inHigh, sum;
  if (!(c.Byte(0xBB) && c.Byte(0x01) && c.Any(out0) && c.Any(in0) && c.Any(inHigh) &&
        c.Byte(0x00) && c.Byte(0x00) && c.Any(sum)))
    return Miss(c);
  return Checked(c, sum, Sum(c, 0, 6), -1, out0 + 1, (inHigh << 8 | in0) + 1);
}

// FC, 01, 00, in0, out0, 01, SUM(0..5) AND 7F
TResult Vinet(QByteArrayView b) {
  TByteCursor c(b);
  int in0, out0, sum;
  if (!(c.Byte(0xFC) && c.Byte(0x01) && c.Byte(0x00) && c.Any(in0) && c.Any(out0) && c.Byte(0x01) &&
        c.Any(sum)))
    return Miss(c);
  return Checked(c, sum, Sum(c, 0, 5) & 0x7F, -1, out0 + 1, in0 + 1);
}

// 02 "00F0" inL "0" out 03
TResult Av04(QByteArrayView b) {
  TByteCursor c(b);
  int in, out;
  if (!(c.Byte(0x02) && c.Text("00F0") && c.Any(in) && c.Byte('0') && c.Any(out) && c.Byte(0x03)))
    return Miss(c);
  return Route(c, -1, Raw(out), Raw(in));
}

// F8, inL, 00, 81, out, 00, 00, SUM(1..6), FF
TResult Av03(QByteArrayView b) {
  TByteCursor c(b);
  int in, out, sum;
  if (!(c.Byte(0xF8) && c.Any(in) && c.Byte(0x00) && c.Byte(0x81) && c.Any(out) && c.Byte(0x00) &&
        c.Byte(0x00) && c.Any(sum) && c.Byte(0xFF)))
    return Miss(c);
  return Checked(c, sum, Sum(c, 1, 6), -1, Raw(out), Raw(in));
}

// BA, id, 01, 04, T, out0, in0, SUM(0..6): T tells the kind of matrix.
template <int... kTypes>
TResult Hopetide(QByteArrayView b) {
  TByteCursor c(b);
  int id, type, out0, in0, sum;
  if (!(c.Byte(0xBA) && c.Any(id) && c.Byte(0x01) && c.Byte(0x04) && c.OneOf({kTypes...}, type) &&
        c.Any(out0) && c.Any(in0) && c.Any(sum)))
    return Miss(c);
  return Checked(c, sum, Sum(c, 0, 6), id, out0 + 1, in0 + 1);
}

// BB, id - 1, in0, out0
TResult Video1(QByteArrayView b) {
  TByteCursor c(b);
  int id1, in0, out0;
  if (!(c.Byte(0xBB) && c.Any(id1) && c.Any(in0) && c.Any(out0))) return Miss(c);
  return Route(c, (id1 + 1) & 0xFF, out0 + 1, in0 + 1);
}

// FF, id, code, inL, out, AA
template <int kCode>
TResult FfFrame(QByteArrayView b) {
  TByteCursor c(b);
  int id, in, out;
  if (!(c.Byte(0xFF) && c.Any(id) && c.Byte(kCode) && c.Any(in) && c.Any(out) && c.Byte(0xAA)))
    return Miss(c);
  return Route(c, id, Raw(out), Raw(in));
}

// BB, 04, id, 02, inL, out, 55
TResult Vga06(QByteArrayView b) {
  TByteCursor c(b);
  int id, in, out;
  if (!(c.Byte(0xBB) && c.Byte(0x04) && c.Any(id) && c.Byte(0x02) && c.Any(in) && c.Any(out) &&
        c.Byte(0x55)))
    return Miss(c);
  return Route(c, id, Raw(out), Raw(in));
}

// BB, H, L, out0: inputs up to 128 as 00, in0; above as 01, in - 129.
TResult Vga03(QByteArrayView b) {
  TByteCursor c(b);
  int high, low, out0;
  if (!(c.Byte(0xBB) && c.OneOf({0x00, 0x01}, high) && c.Any(low) && c.Any(out0))) return Miss(c);
  return Route(c, -1, out0 + 1, high ? low + 129 : low + 1);
}

// inL "V" out
TResult Createk(QByteArrayView b) {
  TByteCursor c(b);
  int in, out;
  if (!(c.Any(in) && c.Byte('V') && c.Any(out))) return Miss(c);
  return Route(c, -1, Raw(out), Raw(in));
}

// "!" id ":G" inL "*" out "~" CR, every number a raw byte
TResult Antece(QByteArrayView b) {
  TByteCursor c(b);
  int id, in, out;
  if (!(c.Byte('!') && c.Any(id) && c.Text(":G") && c.Any(in) && c.Byte('*') && c.Any(out) &&
        c.Byte('~') && c.Byte(kCr)))
    return Miss(c);
  return Route(c, id, Raw(out), Raw(in));
}

// The 96-frame: 96, id, 01, 2n + 2, T, n pairs out0 in0, K; K is the sum of
// the bytes before it, 6A where that sum is 96. One screen comes as one pair
// written twice.
template <int kType>
TResult Frame96(QByteArrayView b) {
  TByteCursor c(b);
  int id, length, type, check;
  if (!(c.Byte(0x96) && c.Any(id) && c.Byte(0x01) && c.Any(length))) return Miss(c);
  if (length < 2 || length % 2) return Miss(c);
  if (!c.OneOf({kType}, type)) return Miss(c);
  std::vector<TRoute> routes;
  for (int i = 0; i < (length - 2) / 2; ++i) {
    int out0, in0;
    if (!(c.Any(out0) && c.Any(in0))) return Miss(c);
    const TRoute route{out0 + 1, in0 + 1};
    if (routes.empty() || !(routes.back() == route)) routes.push_back(route);
  }
  if (!c.Any(check)) return Miss(c);
  int sum = Sum(c, 0, static_cast<int>(c.Pos()) - 2);
  if (sum == 0x96) sum = 0x6A;
  if (check != sum) return Bad(c, QStringLiteral("checksum"));
  if (routes.empty()) return Bad(c, QStringLiteral("no screens"));
  return Routes(c, id, std::move(routes));
}

// Per screen inL "," out ","; then "V". A "V" where a screen would start
// ends the command (the first screen may have input 86, the code of "V").
TResult DviList(QByteArrayView b) {
  TByteCursor c(b);
  std::vector<TRoute> routes;
  for (;;) {
    int in, out;
    if (!c.Any(in)) return Miss(c);
    if (in == 'V' && !routes.empty()) break;
    if (!(c.Byte(',') && c.Any(out) && c.Byte(','))) return Miss(c);
    routes.push_back({Raw(out), Raw(in)});
    if (routes.size() > kMaxScreens) return {};
  }
  return Routes(c, -1, std::move(routes));
}

// "00" and one lowercase hexadecimal digit: (out - 1) x 4 + (in - 1)
TResult Hdmi2(QByteArrayView b) {
  TByteCursor c(b);
  int digit;
  if (!(c.Text("00") && c.Any(digit))) return Miss(c);
  int code = -1;
  if (digit >= '0' && digit <= '9') code = digit - '0';
  if (digit >= 'a' && digit <= 'f') code = digit - 'a' + 10;
  if (code < 0) return Miss(c);
  return Route(c, -1, code / 4 + 1, code % 4 + 1);
}

// BA BA BF C6 "4", then the code in decimal: 8 to 23 for outputs 1-4 by inputs 1-4.
TResult Tessaran(QByteArrayView b) {
  // Rows: outputs 1-4; columns: inputs 1-4.
  static constexpr int kCodes[4][4] = {
      {8, 12, 16, 20}, {9, 13, 18, 21}, {10, 14, 19, 22}, {11, 15, 17, 23}};
  TByteCursor c(b);
  int first;
  if (!(c.Byte(0xBA) && c.Byte(0xBA) && c.Byte(0xBF) && c.Byte(0xC6) && c.Byte('4') &&
        c.Any(first)))
    return Miss(c);
  int code = -1;
  if (first == '8' || first == '9') {
    code = first - '0';
  } else if (first == '1' || first == '2') {
    int second;
    if (!c.Digits(1, second)) return c.Short() ? Miss(c) : Bad(c, QStringLiteral("code"));
    code = (first - '0') * 10 + second;
  }
  for (int out = 0; out < 4; ++out)
    for (int in = 0; in < 4; ++in)
      if (kCodes[out][in] == code) return Route(c, -1, out + 1, in + 1);
  return Bad(c, QStringLiteral("code"));
}

// ---- text formats -------------------------------------------------------

// "*" D(out as a byte value) "<" D(in) "!"
TResult JinCan(QByteArrayView b) {
  TByteCursor c(b);
  int out, in;
  if (!(c.Byte('*') && c.Number(kOutDigits, out) && c.Byte('<') && c.Number(kInDigits, in) &&
        c.Byte('!')))
    return Miss(c);
  return Route(c, -1, Raw(out), in);
}

// D(in) sep D(out) end; the output as a byte value when byteOut
template <char kSeparator, char kEnd, bool kByteOut>
TResult InSepOut(QByteArrayView b) {
  TByteCursor c(b);
  int in, out;
  if (!(c.Number(kInDigits, in) && c.Byte(kSeparator) && c.Number(kOutDigits, out) && c.Byte(kEnd)))
    return Miss(c);
  return Route(c, -1, kByteOut ? Raw(out) : out, in);
}

// "00V" P2(out as a byte value) "M" P2(in)
TResult SeekooText(QByteArrayView b) {
  TByteCursor c(b);
  int out, in;
  if (!(c.Text("00V") && c.Digits(2, out) && c.Byte('M') && c.Digits(2, in))) return Miss(c);
  return Route(c, -1, Raw(out), in);
}

// "00V" P2(in) "V" P2(out as a byte value)
TResult Vga09(QByteArrayView b) {
  TByteCursor c(b);
  int in, out;
  if (!(c.Text("00V") && c.Digits(2, in) && c.Byte('V') && c.Digits(2, out))) return Miss(c);
  return Route(c, -1, Raw(out), in);
}

// "*" P2(out) "<" P2(in) "!"
TResult StarP2(QByteArrayView b) {
  TByteCursor c(b);
  int out, in;
  if (!(c.Byte('*') && c.Digits(2, out) && c.Byte('<') && c.Digits(2, in) && c.Byte('!')))
    return Miss(c);
  return Route(c, -1, out, in);
}

// "P" kind P2(id) "SW" P2(in) P2(out) "NT"
template <char kKind>
TResult Samplex(QByteArrayView b) {
  TByteCursor c(b);
  int id, in, out;
  if (!(c.Byte('P') && c.Byte(kKind) && c.Digits(2, id) && c.Text("SW") && c.Digits(2, in) &&
        c.Digits(2, out) && c.Text("NT")))
    return Miss(c);
  return Route(c, id, out, in);
}

// "L", 30 + id, P3(in), ">", P3(out), "R#"
TResult Av01(QByteArrayView b) {
  TByteCursor c(b);
  int id, in, out;
  if (!(c.Byte('L') && c.Any(id) && c.Digits(3, in) && c.Byte('>') && c.Digits(3, out) &&
        c.Text("R#")))
    return Miss(c);
  return Route(c, (id - 0x30) & 0xFF, out, in);
}

// "N01" P3(id) P3(out) P4(in) "031" "000000" "B"
TResult RedApple(QByteArrayView b) {
  TByteCursor c(b);
  int id, out, in;
  if (!(c.Text("N01") && c.Digits(3, id) && c.Digits(3, out) && c.Digits(4, in) &&
        c.Text("031000000B")))
    return Miss(c);
  return Route(c, id, out, in);
}

// "<" D(in) "," D(out) ",B>"
TResult Vga08(QByteArrayView b) {
  TByteCursor c(b);
  int in, out;
  if (!(c.Byte('<') && c.Number(kInDigits, in) && c.Byte(',') && c.Number(kOutDigits, out) &&
        c.Text(",B>")))
    return Miss(c);
  return Route(c, -1, out, in);
}

// P3(in) "B" P3(out) "."
TResult Fnbell(QByteArrayView b) {
  TByteCursor c(b);
  int in, out;
  if (!(c.Digits(3, in) && c.Byte('B') && c.Digits(3, out) && c.Byte('.'))) return Miss(c);
  return Route(c, -1, out, in);
}

// "!" D(id) ":G" D(in) "*" D(out as a byte value) "~" CR
TResult Vga04(QByteArrayView b) {
  TByteCursor c(b);
  int id, in, out;
  if (!(c.Byte('!') && c.Number(kOutDigits, id) && c.Text(":G") && c.Number(kInDigits, in) &&
        c.Byte('*') && c.Number(kOutDigits, out) && c.Byte('~') && c.Byte(kCr)))
    return Miss(c);
  return Route(c, id, Raw(out), in);
}

// P2(out) P2(in) "C"
TResult Qutronix(QByteArrayView b) {
  TByteCursor c(b);
  int out, in;
  if (!(c.Digits(2, out) && c.Digits(2, in) && c.Byte('C'))) return Miss(c);
  return Route(c, -1, out, in);
}

struct TBrandFormat {
  TMatrixKind kind;
  const char* brand;
  TMatrixParser parser;
};

constexpr TMatrixKind V = TMatrixKind::Video;
constexpr TMatrixKind G = TMatrixKind::Vga;
constexpr TMatrixKind D = TMatrixKind::Dvi;

const std::array kFormats = {
    // VIDEO
    TBrandFormat{V, "JinCan", JinCan},
    TBrandFormat{V, "VIDEO 07", Video07},
    TBrandFormat{V, "VIDEO 06", A5Frame},
    TBrandFormat{V, "TrueColor", InSepOut<'V', '.', false>},
    TBrandFormat{V, "seekoo", SeekooText},
    TBrandFormat{V, "VIDEO 03", Video03},
    TBrandFormat{V, "VIDEO 02", StarP2},
    TBrandFormat{V, "VINET", Vinet},
    TBrandFormat{V, "Zhiming", Zhiming},
    TBrandFormat{V, "Samplex", Samplex<'A'>},
    TBrandFormat{V, "AV04", Av04},
    TBrandFormat{V, "AV03", Av03},
    TBrandFormat{V, "AV01", Av01},
    TBrandFormat{V, "Chunzhong", Frame96<0xA4>},
    TBrandFormat{V, "SEEKOO", Frame96<0xA4>},
    TBrandFormat{V, "BRELUND", Brelund},
    TBrandFormat{V, "HOPETIDE", Hopetide<0xA1>},
    TBrandFormat{V, "VIDEO1", Video1},
    TBrandFormat{V, "ACON", FfFrame<0x03>},
    TBrandFormat{V, "RedApple", RedApple},
    // VGA
    TBrandFormat{G, "VGA 09", Vga09},
    TBrandFormat{G, "JinCan", JinCan},
    TBrandFormat{G, "VGA 08", Vga08},
    TBrandFormat{G, "Zhiming", Zhiming},
    TBrandFormat{G, "fnbell-vga", Fnbell},
    TBrandFormat{G, "VGA 07", A5Frame},
    TBrandFormat{G, "TrueColor", InSepOut<'V', '.', false>},
    TBrandFormat{G, "VGA 06", Vga06},
    TBrandFormat{G, "seekoo", SeekooText},
    TBrandFormat{G, "VGA 05", InSepOut<'*', '!', true>},
    TBrandFormat{G, "VGA 04", Vga04},
    TBrandFormat{G, "VGA 03", Vga03},
    TBrandFormat{G, "VGA 02", StarP2},
    TBrandFormat{G, "Samplex", Samplex<'V'>},
    TBrandFormat{G, "CREATEK", Createk},
    TBrandFormat{G, "CK-VGA", FfFrame<0x04>},
    TBrandFormat{G, "ANTECE", Antece},
    TBrandFormat{G, "ACON", FfFrame<0x03>},
    TBrandFormat{G, "Chunzhong", Frame96<0xA0>},
    TBrandFormat{G, "SEEKOO", Frame96<0xA0>},
    TBrandFormat{G, "HOPETIDE", Hopetide<0xA0>},
    TBrandFormat{G, "BRELUND", Brelund},
    // DVI
    TBrandFormat{D, "JinCan", JinCan},
    TBrandFormat{D, "BRELUND", Brelund},
    TBrandFormat{D, "HDMI 2", Hdmi2},
    TBrandFormat{D, "TESSARAN", Tessaran},
    TBrandFormat{D, "HDMI 1", InSepOut<'B', '.', false>},
    TBrandFormat{D, "Qutronix", Qutronix},
    // The type byte follows the latest source: DVI, HDMI or neither.
    TBrandFormat{D, "HOPETIDE", Hopetide<0x00, 0xA5, 0xA6>},
    TBrandFormat{D, "Chunzhong", DviList},
    TBrandFormat{D, "SEEKOO", DviList},
    TBrandFormat{D, "DVI 1", InSepOut<'*', '!', true>},
};

}  // namespace

TMatrixParser MatrixParser(TMatrixKind kind, const QString& brand) {
  for (const TBrandFormat& f : kFormats)
    if (f.kind == kind && brand == QLatin1String(f.brand)) return f.parser;
  return nullptr;
}

QString MatrixKindName(TMatrixKind kind) {
  switch (kind) {
    case TMatrixKind::Vga:
      return QStringLiteral("VGA");
    case TMatrixKind::Dvi:
      return QStringLiteral("DVI");
    case TMatrixKind::Video:
      break;
  }
  return QStringLiteral("VIDEO");
}
