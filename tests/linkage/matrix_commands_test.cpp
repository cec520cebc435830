#include "linkage/matrix_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using K = TMatrixKind;

QByteArray H(const char* hex) { return QByteArray::fromHex(hex); }

std::vector<std::string> Hex(const std::vector<QByteArray>& commands) {
  std::vector<std::string> out;
  for (const QByteArray& c : commands) out.push_back(c.toHex(' ').toUpper().toStdString());
  return out;
}

// Cells are long (row << 8 | column) unless shortFrames.
struct TCase {
  K kind;
  const char* brand;
  int address;
  int input;
  int columns;
  quint16 start;
  quint16 end;
  std::vector<QByteArray> expected;
  int latestSource = 0;
  bool shortFrames = false;
};

void Check(const std::vector<TCase>& cases) {
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.brand) + " in " + std::to_string(c.input));
    TMatrixRequest request;
    request.kind = c.kind;
    request.brand = QLatin1String(c.brand);
    request.address = c.address;
    request.input = static_cast<quint16>(c.input);
    request.columns = c.columns;
    request.start = c.start;
    request.end = c.end;
    request.latestSource = c.latestSource;
    request.longFrames = !c.shortFrames;
    EXPECT_EQ(Hex(BuildMatrixCommands(request)), Hex(c.expected));
  }
}

TEST(MatrixCommandsTest, DocumentedExamples) {
  Check({
      {K::Video, "BRELUND", 1, 3, 4, 0x0201, 0x0201, {H("F2 00 03 22 05 01 00 25")}},
      {K::Video, "VINET", 1, 1, 4, 0x0101, 0x0101, {H("FC 01 00 00 00 01 7E")}},
      {K::Vga, "VGA 04", 1, 12, 4, 0x0203, 0x0203, {H("21 31 3A 47 31 32 2A 37 7E 0D")}},
      {K::Vga, "VGA 03", 1, 130, 4, 0x0101, 0x0101, {H("BB 01 01 00")}},
      {K::Video, "seekoo", 1, 150, 4, 0x0103, 0x0103, {H("30 30 56 30 33 4D 31 35")}},
      {K::Dvi, "HDMI 2", 1, 2, 4, 0x0103, 0x0103, {"009"}},
      {K::Dvi, "HDMI 2", 1, 5, 4, 0x0103, 0x0103, {}},
      {K::Dvi, "TESSARAN", 1, 1, 4, 0x0101, 0x0101, {H("BA BA BF C6 34 38")}},
      {K::Dvi, "TESSARAN", 1, 4, 4, 0x0104, 0x0104, {H("BA BA BF C6 34 32 33")}},
      {K::Video, "VIDEO 07", 1, 3, 4, 0x0201, 0x0201, {H("F4 03 21 05 01 00 67 00")}},
      {K::Video, "VIDEO 06", 1, 3, 4, 0x0201, 0x0201, {H("A5 00 01 01 05 03 01 B0")}},
      {K::Video, "AV03", 1, 3, 4, 0x0201, 0x0201, {H("F8 03 00 81 05 00 00 89 FF")}},
      {K::Video, "HOPETIDE", 1, 3, 4, 0x0201, 0x0201, {H("BA 01 01 04 A1 04 02 67")}},
      {K::Video, "Chunzhong", 1, 2, 4, 0x0103, 0x0103, {H("96 01 01 06 A4 02 01 02 01 48")}},
      {K::Vga, "SEEKOO", 1, 1, 4, 0x0101, 0x0102, {H("96 01 01 06 A0 00 00 01 00 3F")}},
      // 96+01+01+06+A4+00+2A+00+2A = 0x196: the checksum 96 goes out as 6A.
      {K::Video, "Chunzhong", 1, 43, 4, 0x0101, 0x0101, {H("96 01 01 06 A4 00 2A 00 2A 6A")}},
      {K::Dvi, "Chunzhong", 1, 2, 4, 0x0101, 0x0102, {H("02 2C 01 2C 02 2C 02 2C 56")}},
      // Row 1 column 2 to row 2 column 3 of a 4-column wall: outputs 2, 3, 6, 7.
      {K::Video, "TrueColor", 1, 1, 4, 0x0102, 0x0203, {"1V2.", "1V3.", "1V6.", "1V7."}},
      {K::Video, "TrueColor", 1, 1, 4, 0x12, 0x23, {"1V2.", "1V3.", "1V6.", "1V7."}, 0, true},
      {K::Vga, "JinCan", 1, 1, 16, 0xFF, 0xFF, {"*239<1!"}, 0, true},
  });
}

// One more case per brand: inputs and outputs above 99 (cell 8,5 of a
// 16-column wall is output 117), output 256 (cell 16,16), multi-row
// rectangles, addresses above 255, and the screens a brand cannot address.
TEST(MatrixCommandsTest, OneMoreCasePerBrand) {
  Check({
      {K::Video, "JinCan", 1, 300, 16, 0x1010, 0x1010, {"*0<300!"}},
      {K::Video, "VIDEO 07", 2, 258, 16, 0x1010, 0x1010, {H("F4 02 21 00 02 00 6B 01")}},
      {K::Video,
       "VIDEO 06",
       1,
       7,
       3,
       0x0103,
       0x0203,
       {H("A5 00 01 01 03 07 01 B2"), H("A5 00 01 01 06 07 01 B5")}},
      {K::Video, "TrueColor", 1, 512, 16, 0x0805, 0x0805, {"512V117."}},
      {K::Video, "seekoo", 1, 7, 16, 0x1010, 0x1010, {"00V00M07"}},
      {K::Video, "VIDEO 03", 1, 300, 16, 0x0D08, 0x0D08, {H("BB 01 C7 2B 01 00 00 AF")}},
      {K::Video, "VIDEO 02", 1, 150, 16, 0x0805, 0x0805, {"*11<15!"}},
      {K::Video, "VINET", 1, 256, 16, 0x1010, 0x1010, {H("FC 01 00 FF FF 01 7C")}},
      {K::Video, "Zhiming", 300, 5, 4, 0x0102, 0x0102, {H("F4 05 21 02 2C 00 54")}},
      {K::Video, "Samplex", 3, 12, 4, 0x0201, 0x0201, {"PA03SW1205NT"}},
      {K::Video, "AV04", 1, 321, 4, 0x0302, 0x0302, {H("02 30 30 46 30 41 30 0A 03")}},
      {K::Video, "AV03", 1, 256, 16, 0x1010, 0x1010, {H("F8 00 00 81 00 00 00 81 FF")}},
      {K::Video, "AV01", 2, 1000, 4, 0x0203, 0x0203, {"L2100>007R#"}},
      {K::Video,
       "Chunzhong",
       1,
       3,
       3,
       0x0102,
       0x0203,
       {H("96 01 01 0A A4 01 02 02 02 04 02 05 02 5A")}},
      {K::Video, "BRELUND", 257, 515, 16, 0x1010, 0x1010, {H("F2 00 03 22 00 01 00 20")}},
      {K::Video, "HOPETIDE", 1, 256, 16, 0x0805, 0x0805, {H("BA 01 01 04 A1 74 FF D4")}},
      {K::Video, "VIDEO1", 0, 3, 16, 0x1010, 0x1010, {H("BB FF 02 FF")}},
      {K::Video, "ACON", 5, 200, 16, 0x0805, 0x0805, {H("FF 05 03 C8 75 AA")}},
      {K::Video, "RedApple", 12, 12345, 16, 0x1010, 0x1010, {"N010122561234031000000B"}},
      {K::Vga, "VGA 09", 1, 5, 16, 0x1010, 0x1010, {"00V05V00"}},
      {K::Vga, "JinCan", 1, 11, 2, 0x0102, 0x0202, {"*2<11!", "*4<11!"}},
      {K::Vga, "VGA 08", 1, 123, 16, 0x1010, 0x1010, {"<123,256,B>"}},
      {K::Vga, "Zhiming", 1, 384, 16, 0x0805, 0x0805, {H("F4 80 21 75 01 00 17")}},
      {K::Vga, "fnbell-vga", 1, 1234, 4, 0x0203, 0x0203, {"123B007."}},
      {K::Vga, "VGA 07", 2, 261, 16, 0x1010, 0x1010, {H("A5 00 02 01 00 05 01 AE")}},
      {K::Vga, "TrueColor", 1, 1, 16, 0x1010, 0x1010, {"1V256."}},
      {K::Vga, "VGA 06", 3, 100, 16, 0x0805, 0x0805, {H("BB 04 03 02 64 75 55")}},
      {K::Vga, "seekoo", 1, 9, 16, 0x0805, 0x0805, {"00V11M09"}},
      {K::Vga, "VGA 05", 1, 100, 16, 0x1010, 0x1010, {"100*0!"}},
      {K::Vga, "VGA 04", 300, 5, 16, 0x1010, 0x1010, {"!44:G5*0~\r"}},
      {K::Vga, "VGA 03", 1, 128, 16, 0x1010, 0x1010, {H("BB 00 7F FF")}},
      {K::Vga, "VGA 02", 1, 1000, 16, 0x1010, 0x1010, {"*25<10!"}},
      {K::Vga, "Samplex", 1, 150, 16, 0x0805, 0x0805, {"PV01SW1511NT"}},
      {K::Vga, "CREATEK", 1, 66, 16, 0x1010, 0x1010, {H("42 56 00")}},
      {K::Vga, "CK-VGA", 1, 2, 4, 0x0103, 0x0103, {H("FF 01 04 02 03 AA")}},
      {K::Vga, "ANTECE", 321, 528, 16, 0x1010, 0x1010, {H("21 41 3A 47 10 2A 00 7E 0D")}},
      {K::Vga, "ACON", 1, 1, 16, 0x1010, 0x1010, {H("FF 01 03 01 00 AA")}},
      {K::Vga, "Chunzhong", 2, 256, 16, 0x1010, 0x1010, {H("96 02 01 06 A0 FF FF FF FF 3B")}},
      {K::Vga, "SEEKOO", 1, 2, 4, 0x0104, 0x0204, {H("96 01 01 06 A0 03 01 07 01 4A")}},
      {K::Vga, "HOPETIDE", 1, 1, 16, 0x1010, 0x1010, {H("BA 01 01 04 A0 FF 00 5F")}},
      {K::Vga, "BRELUND", 4, 300, 16, 0x0805, 0x0805, {H("F2 00 2C 22 75 04 00 7F")}},
      {K::Dvi, "JinCan", 1, 1, 16, 0x0805, 0x0805, {"*117<1!"}},
      {K::Dvi, "BRELUND", 1, 1, 4, 0x0101, 0x0101, {H("F2 00 01 22 01 01 00 23")}},
      {K::Dvi, "HDMI 2", 1, 4, 8, 0x0104, 0x0105, {"00f"}},  // output 5: no command
      {K::Dvi, "TESSARAN", 1, 3, 2, 0x0202, 0x0302, {H("BA BA BF C6 34 31 37")}},  // 6: none
      {K::Dvi, "TESSARAN", 1, 1, 1, 0x0401, 0x0401, {}},                           // row 4
      {K::Dvi, "HDMI 1", 1, 300, 16, 0x1010, 0x1010, {"300B256."}},
      {K::Dvi, "Qutronix", 1, 5, 16, 0x0805, 0x0805, {"1105C"}},
      {K::Dvi, "HOPETIDE", 1, 3, 4, 0x0201, 0x0201, {H("BA 01 01 04 A5 04 02 6B")}, 4},
      {K::Dvi, "HOPETIDE", 1, 3, 4, 0x0201, 0x0201, {H("BA 01 01 04 A6 04 02 6C")}, 5},
      {K::Dvi, "HOPETIDE", 1, 3, 4, 0x0201, 0x0201, {H("BA 01 01 04 00 04 02 C6")}, 3},
      {K::Dvi,
       "Chunzhong",
       1,
       0x105,
       2,
       0x0101,
       0x0202,
       {H("05 2C 01 2C 05 2C 02 2C 05 2C 03 2C 05 2C 04 2C 56")}},
      {K::Dvi, "SEEKOO", 1, 1, 16, 0x1010, 0x1010, {H("01 2C 00 2C 56")}},
      {K::Dvi, "DVI 1", 1, 12, 16, 0x1010, 0x1010, {"12*0!"}},
  });
}

TEST(MatrixCommandsTest, NothingToSend) {
  Check({
      {K::Video, "CREATEK", 1, 1, 4, 0x0101, 0x0101, {}},  // a VGA brand
      {K::Video, "brelund", 1, 1, 4, 0x0101, 0x0101, {}},  // brands are case-sensitive
      {K::Video, "BRELUND", 1, 1, 4, 0x0202, 0x0201, {}},  // end column before start
      {K::Dvi, "Chunzhong", 1, 1, 4, 0x0202, 0x0201, {}},
      {K::Video, "SEEKOO", 1, 1, 4, 0x0202, 0x0102, {}},   // end row before start
      {K::Video, "BRELUND", 1, 1, 4, 0x0100, 0x0101, {}},  // column 0 is no cell
  });
}

// Every brand the dialog offers has a command, but for the six without one.
TEST(MatrixCommandsTest, DialogBrandsHaveCommands) {
  const QStringList silent = {QStringLiteral("PELCO"),      QStringLiteral("Infinova"),
                              QStringLiteral("shenshiyin"), QStringLiteral("BOXALL"),
                              QStringLiteral("Triolion"),   QStringLiteral("VGA01")};
  for (const K kind : {K::Video, K::Vga, K::Dvi}) {
    for (const QString& brand : MatrixBrands(kind)) {
      TMatrixRequest request;
      request.kind = kind;
      request.brand = brand;
      request.start = request.end = 0x0101;
      EXPECT_EQ(BuildMatrixCommands(request).size(), silent.contains(brand) ? 0U : 1U)
          << brand.toStdString();
    }
  }
}

// A whole 30 x 30 wall: 900 screens in one command, outputs wrapping after 256.
TEST(MatrixCommandsTest, LongestWholeRectangleCommands) {
  TMatrixRequest request;
  request.columns = 30;
  request.start = 0x0101;
  request.end = 0x1E1E;
  request.brand = QStringLiteral("SEEKOO");
  const auto frame = BuildMatrixCommands(request);
  ASSERT_EQ(frame.size(), 1U);
  // 900 pairs; the length byte is (2 * 900 + 2) mod 256 = 0A. K: header
  // 96+01+01+0A+A4 = 326, outputs 3 * (0 + .. + 255) + (0 + .. + 131) = 106566,
  // 106892 mod 256 = 8C. Screen 256 (pair 255, byte 515) is output FF, screen 257 00.
  EXPECT_EQ(frame[0].size(), 1806);
  EXPECT_EQ(frame[0].left(5), H("96 01 01 0A A4"));
  EXPECT_EQ(frame[0].mid(515, 4), H("FF 00 00 00"));
  EXPECT_EQ(frame[0].right(3), H("83 00 8C"));

  request.kind = K::Dvi;
  request.brand = QStringLiteral("Chunzhong");
  request.input = 300;
  const auto list = BuildMatrixCommands(request);
  ASSERT_EQ(list.size(), 1U);
  EXPECT_EQ(list[0].size(), 3601);
  EXPECT_EQ(list[0].mid(1020, 4), H("2C 2C 00 2C"));
  EXPECT_EQ(list[0].right(5), H("2C 2C 84 2C 56"));
}

}  // namespace
