#include "linkage/matrix_commands.h"

#include <optional>
#include <utility>

#include "linkage/matrix_fields.h"

const QStringList& MatrixBrands(TMatrixKind kind) {
  static const QStringList video = {
      QStringLiteral("BRELUND"),    QStringLiteral("VINET"),     QStringLiteral("PELCO"),
      QStringLiteral("Zhiming"),    QStringLiteral("Infinova"),  QStringLiteral("Samplex"),
      QStringLiteral("shenshiyin"), QStringLiteral("Chunzhong"), QStringLiteral("ACON"),
      QStringLiteral("AV03"),       QStringLiteral("AV04"),      QStringLiteral("RedApple"),
      QStringLiteral("BOXALL"),     QStringLiteral("SEEKOO"),    QStringLiteral("AV01"),
      QStringLiteral("VIDEO1"),     QStringLiteral("HOPETIDE"),  QStringLiteral("VIDEO 02"),
      QStringLiteral("TrueColor"),  QStringLiteral("VIDEO 03"),  QStringLiteral("seekoo"),
      QStringLiteral("VIDEO 06"),   QStringLiteral("VIDEO 07"),  QStringLiteral("JinCan")};
  static const QStringList vga = {
      QStringLiteral("BRELUND"),   QStringLiteral("CREATEK"),    QStringLiteral("Samplex"),
      QStringLiteral("Chunzhong"), QStringLiteral("ACON"),       QStringLiteral("ANTECE"),
      QStringLiteral("Triolion"),  QStringLiteral("CK-VGA"),     QStringLiteral("SEEKOO"),
      QStringLiteral("VGA01"),     QStringLiteral("HOPETIDE"),   QStringLiteral("VGA 02"),
      QStringLiteral("VGA 03"),    QStringLiteral("TrueColor"),  QStringLiteral("VGA 04"),
      QStringLiteral("VGA 05"),    QStringLiteral("seekoo"),     QStringLiteral("VGA 06"),
      QStringLiteral("VGA 07"),    QStringLiteral("fnbell-vga"), QStringLiteral("Zhiming"),
      QStringLiteral("VGA 08"),    QStringLiteral("JinCan"),     QStringLiteral("VGA 09")};
  static const QStringList dvi = {QStringLiteral("BRELUND"),  QStringLiteral("Chunzhong"),
                                  QStringLiteral("SEEKOO"),   QStringLiteral("HOPETIDE"),
                                  QStringLiteral("Qutronix"), QStringLiteral("HDMI 1"),
                                  QStringLiteral("TESSARAN"), QStringLiteral("HDMI 2"),
                                  QStringLiteral("DVI 1"),    QStringLiteral("JinCan")};
  switch (kind) {
    case TMatrixKind::Vga:
      return vga;
    case TMatrixKind::Dvi:
      return dvi;
    case TMatrixKind::Video:
      break;
  }
  return video;
}

namespace {

using namespace matrix_fields;

enum class TShape : quint8 {
  PerScreen,  // one command per screen of the walk
  Frame96,    // one 96-frame for the whole rectangle
  CommaList,  // one comma list for the whole rectangle
};

struct TFormat {
  TShape shape = TShape::PerScreen;
  std::vector<TToken> tokens;  // per-screen commands only
};

// Every command format once; brands that share one differ at most in kParam.
const TFormat kF4{TShape::PerScreen, {0xF4, kInL, 0x21, kOut, kId, 0x00, Sum(1, 5)}};
const TFormat kF4Keyed{TShape::PerScreen, {0xF4, kInL, 0x21, kOut, kId, 0x00, kVideo07Key, kInH}};
const TFormat kA5{TShape::PerScreen, {0xA5, 0x00, kId, 0x01, kOut, kInL, 0x01, Sum(0, 6)}};
const TFormat kF2{TShape::PerScreen, {0xF2, 0x00, kInL, 0x22, kOut, kId, 0x00, Xor(1, 6)}};
const TFormat kFF{TShape::PerScreen, {0xFF, kId, kParam, kInL, kOut, 0xAA}};
const TFormat kBA{TShape::PerScreen, {0xBA, kId, 0x01, 0x04, kParam, kOut0, kIn0, Sum(0, 6)}};
const TFormat kBB8{TShape::PerScreen, {0xBB, 0x01, kOut0, kIn0, kIn0High, 0x00, 0x00, Sum(0, 6)}};
const TFormat kBB4{TShape::PerScreen, {0xBB, kIdLess1, kIn0, kOut0}};
const TFormat kBBBank{TShape::PerScreen, {0xBB, kBankHigh, kBankLow, kOut0}};
const TFormat kBB7{TShape::PerScreen, {0xBB, 0x04, kId, 0x02, kInL, kOut, 0x55}};
const TFormat kFC{TShape::PerScreen, {0xFC, 0x01, 0x00, kIn0, kOut0, 0x01, SumLow7(0, 5)}};
const TFormat kF8{TShape::PerScreen, {0xF8, kInL, 0x00, 0x81, kOut, 0x00, 0x00, Sum(1, 6), 0xFF}};
const TFormat kStx{TShape::PerScreen, {0x02, '0', '0', 'F', '0', kInL, '0', kOut, 0x03}};
const TFormat kRawV{TShape::PerScreen, {kInL, 'V', kOut}};
const TFormat kRawG{TShape::PerScreen, {'!', kId, ':', 'G', kInL, '*', kOut, '~', 0x0D}};
const TFormat kTextG{TShape::PerScreen, {'!', kDId, ':', 'G', kDIn, '*', kDOutByte, '~', 0x0D}};
const TFormat kStar{TShape::PerScreen, {'*', kDOutByte, '<', kDIn, '!'}};
const TFormat kStarPadded{TShape::PerScreen, {'*', kP2Out, '<', kP2In, '!'}};
const TFormat kInLetterOut{TShape::PerScreen, {kDIn, kParam, kDOut, '.'}};
const TFormat kInLetterOutP3{TShape::PerScreen, {kP3In, 'B', kP3Out, '.'}};
const TFormat kInStarOut{TShape::PerScreen, {kDIn, '*', kDOutByte, '!'}};
const TFormat kAngle{TShape::PerScreen, {'<', kDIn, ',', kDOut, ',', 'B', '>'}};
const TFormat kOutM{TShape::PerScreen, {'0', '0', 'V', kP2OutByte, 'M', kP2In}};
const TFormat kInV{TShape::PerScreen, {'0', '0', 'V', kP2In, 'V', kP2OutByte}};
const TFormat kPSw{TShape::PerScreen, {'P', kParam, kP2Id, 'S', 'W', kP2In, kP2Out, 'N', 'T'}};
const TFormat kL{TShape::PerScreen, {'L', kIdDigit, kP3In, '>', kP3Out, 'R', '#'}};
const TFormat kN01{
    TShape::PerScreen,
    {'N', '0', '1', kP3Id, kP3Out, kP4In, '0', '3', '1', '0', '0', '0', '0', '0', '0', 'B'}};
const TFormat kOutInC{TShape::PerScreen, {kP2Out, kP2In, 'C'}};
const TFormat kHex{TShape::PerScreen, {'0', '0', kHexCode}};
const TFormat kTessaran{TShape::PerScreen, {0xBA, 0xBA, 0xBF, 0xC6, '4', kTessaranCode}};
const TFormat k96{TShape::Frame96, {}};
const TFormat kCommas{TShape::CommaList, {}};

struct TBrandEntry {
  TMatrixKind kind;
  const char* brand;
  const TFormat* format;
  TToken param;  // what kParam stands for; T of the 96-frame
};

using K = TMatrixKind;

// Keyed by (kind, brand). Brands offered without a command are absent.
const TBrandEntry kBrands[] = {
    {K::Video, "JinCan", &kStar, 0},
    {K::Video, "VIDEO 07", &kF4Keyed, 0},
    {K::Video, "VIDEO 06", &kA5, 0},
    {K::Video, "TrueColor", &kInLetterOut, 'V'},
    {K::Video, "seekoo", &kOutM, 0},
    {K::Video, "VIDEO 03", &kBB8, 0},
    {K::Video, "VIDEO 02", &kStarPadded, 0},
    {K::Video, "VINET", &kFC, 0},
    {K::Video, "Zhiming", &kF4, 0},
    {K::Video, "Samplex", &kPSw, 'A'},
    {K::Video, "AV04", &kStx, 0},
    {K::Video, "AV03", &kF8, 0},
    {K::Video, "AV01", &kL, 0},
    {K::Video, "Chunzhong", &k96, 0xA4},
    {K::Video, "SEEKOO", &k96, 0xA4},
    {K::Video, "BRELUND", &kF2, 0},
    {K::Video, "HOPETIDE", &kBA, 0xA1},
    {K::Video, "VIDEO1", &kBB4, 0},
    {K::Video, "ACON", &kFF, 0x03},
    {K::Video, "RedApple", &kN01, 0},
    {K::Vga, "VGA 09", &kInV, 0},
    {K::Vga, "JinCan", &kStar, 0},
    {K::Vga, "VGA 08", &kAngle, 0},
    {K::Vga, "Zhiming", &kF4, 0},
    {K::Vga, "fnbell-vga", &kInLetterOutP3, 0},
    {K::Vga, "VGA 07", &kA5, 0},
    {K::Vga, "TrueColor", &kInLetterOut, 'V'},
    {K::Vga, "VGA 06", &kBB7, 0},
    {K::Vga, "seekoo", &kOutM, 0},
    {K::Vga, "VGA 05", &kInStarOut, 0},
    {K::Vga, "VGA 04", &kTextG, 0},
    {K::Vga, "VGA 03", &kBBBank, 0},
    {K::Vga, "VGA 02", &kStarPadded, 0},
    {K::Vga, "Samplex", &kPSw, 'V'},
    {K::Vga, "CREATEK", &kRawV, 0},
    {K::Vga, "CK-VGA", &kFF, 0x04},
    {K::Vga, "ANTECE", &kRawG, 0},
    {K::Vga, "ACON", &kFF, 0x03},
    {K::Vga, "Chunzhong", &k96, 0xA0},
    {K::Vga, "SEEKOO", &k96, 0xA0},
    {K::Vga, "HOPETIDE", &kBA, 0xA0},
    {K::Vga, "BRELUND", &kF2, 0},
    {K::Dvi, "JinCan", &kStar, 0},
    {K::Dvi, "BRELUND", &kF2, 0},
    {K::Dvi, "HDMI 2", &kHex, 0},
    {K::Dvi, "TESSARAN", &kTessaran, 0},
    {K::Dvi, "HDMI 1", &kInLetterOut, 'B'},
    {K::Dvi, "Qutronix", &kOutInC, 0},
    {K::Dvi, "HOPETIDE", &kBA, kSourceX},
    {K::Dvi, "Chunzhong", &kCommas, 0},
    {K::Dvi, "SEEKOO", &kCommas, 0},
    {K::Dvi, "DVI 1", &kInStarOut, 0},
};

const TBrandEntry* FindBrand(TMatrixKind kind, const QString& brand) {
  for (const TBrandEntry& entry : kBrands)
    if (entry.kind == kind && brand == QLatin1String(entry.brand)) return &entry;
  return nullptr;
}

struct TCell {
  int row = -1;  // 0-based
  int column = -1;
};

// Long cells are row << 8 | column, short ones row << 4 | column; both 1-based.
std::optional<TCell> DecodeCell(quint16 cell, bool longFrames) {
  const int row = longFrames ? cell >> 8 : (cell >> 4) & 0xF;
  const int column = longFrames ? cell & 0xFF : cell & 0xF;
  if (row == 0 || column == 0) return std::nullopt;  // not a cell
  return TCell{row - 1, column - 1};
}

}  // namespace

std::vector<QByteArray> BuildMatrixCommands(const TMatrixRequest& request) {
  const TBrandEntry* entry = FindBrand(request.kind, request.brand);
  const auto first = DecodeCell(request.start, request.longFrames);
  const auto last = DecodeCell(request.end, request.longFrames);
  if (!entry || !first || !last || last->row < first->row || last->column < first->column)
    return {};

  TScreenRoute route;
  route.in = request.input;
  route.id = static_cast<quint8>(request.address & 0xFF);
  route.latestSource = request.latestSource;
  std::vector<QByteArray> commands;
  std::vector<int> outs;
  for (int row = first->row; row <= last->row; ++row) {
    for (int column = first->column; column <= last->column; ++column) {
      // The matrices number at most 256 outputs; larger walls wrap.
      route.out =
          static_cast<int>(((qint64{row} * request.columns + column) % 256 + 256) % 256) + 1;
      route.row = row;
      if (entry->format->shape != TShape::PerScreen) {
        outs.push_back(route.out);
        continue;
      }
      QByteArray command = EncodeScreen(entry->format->tokens, entry->param, route);
      if (!command.isEmpty()) commands.push_back(std::move(command));
    }
  }
  switch (entry->format->shape) {
    case TShape::Frame96:
      commands.push_back(
          EncodeFrame96(outs, route.in, route.id, static_cast<quint8>(entry->param)));
      break;
    case TShape::CommaList:
      commands.push_back(EncodeCommaList(outs, route.in));
      break;
    case TShape::PerScreen:
      break;
  }
  return commands;
}
