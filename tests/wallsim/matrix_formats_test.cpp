#include "matrix_formats.h"

#include <gtest/gtest.h>

#include "matrix_unit.h"
#include "support/test_bytes.h"

// Readable failures: gtest prints a QString as text, not as its code units.

namespace {

using namespace Qt::StringLiterals;

constexpr TMatrixKind V = TMatrixKind::Video;
constexpr TMatrixKind G = TMatrixKind::Vga;
constexpr TMatrixKind D = TMatrixKind::Dvi;

struct TFormatCase {
  TMatrixKind kind;
  const char* brand;
  const char* hex;  // one command, built by hand from the brand's format
  int address;      // -1: the format carries none
  std::vector<TRoute> routes;
};

void PrintTo(const TFormatCase& c, std::ostream* os) { *os << c.brand << ": " << c.hex; }

class MatrixFormat : public testing::TestWithParam<TFormatCase> {};

// Each command alone, then byte by byte: the line may split it anywhere.
TEST_P(MatrixFormat, ReadsTheRoutesWhateverTheSplit) {
  const TFormatCase& c = GetParam();
  const QByteArray bytes = QByteArray::fromHex(c.hex);
  const TMatrixParser parser = MatrixParser(c.kind, QString::fromLatin1(c.brand));
  ASSERT_NE(parser, nullptr);
  for (const qsizetype step : {bytes.size(), qsizetype(1)}) {
    TCommandStream<TMatrixCommand> stream(parser);
    std::vector<TCommandStream<TMatrixCommand>::TItem> items;
    for (qsizetype i = 0; i < bytes.size(); i += step) {
      auto more = stream.Feed(QByteArrayView(bytes).sliced(i, std::min(step, bytes.size() - i)));
      items.insert(items.end(), more.begin(), more.end());
    }
    ASSERT_EQ(items.size(), 1u) << "step " << step;
    EXPECT_EQ(items[0].verdict, TStreamVerdict::Command) << items[0].reason.toStdString();
    EXPECT_EQ(items[0].bytes, bytes);
    EXPECT_EQ(items[0].payload.address, c.address);
    EXPECT_EQ(items[0].payload.routes, c.routes);
    EXPECT_EQ(stream.Pending(), 0);
  }
}

const TFormatCase kFormats[] = {
    {V, "BRELUND", "f2 00 03 22 05 01 00 25", 1, {{5, 3}}},
    {V, "VINET", "fc 01 00 00 00 01 7e", -1, {{1, 1}}},
    {V, "Zhiming", "f4 03 21 05 01 00 2a", 1, {{5, 3}}},
    {V, "Samplex", "50 41 30 31 53 57 30 33 30 35 4e 54", 1, {{5, 3}}},
    {V, "Chunzhong", "96 01 01 06 a4 02 01 02 01 48", 1, {{3, 2}}},
    {V, "ACON", "ff 01 03 03 05 aa", 1, {{5, 3}}},
    {V, "AV03", "f8 03 00 81 05 00 00 89 ff", -1, {{5, 3}}},
    {V, "AV04", "02 30 30 46 30 03 30 05 03", -1, {{5, 3}}},
    {V,
     "RedApple",
     "4e 30 31 30 30 31 30 30 35 30 30 30 33 30 33 31 30 30 30 30 30 30 42",
     1,
     {{5, 3}}},
    // A 2 x 2 rectangle on a 4-column wall: one command, pairs in walk order.
    {V, "SEEKOO", "96 01 01 0a a4 00 02 01 02 04 02 05 02 58", 1, {{1, 3}, {2, 3}, {5, 3}, {6, 3}}},
    {V, "AV01", "4c 31 30 30 33 3e 30 30 35 52 23", 1, {{5, 3}}},
    {V, "VIDEO1", "bb 00 02 04", 1, {{5, 3}}},
    {V, "HOPETIDE", "ba 01 01 04 a1 04 02 67", 1, {{5, 3}}},
    {V, "VIDEO 02", "2a 30 35 3c 30 33 21", -1, {{5, 3}}},
    {V, "TrueColor", "31 32 56 31 35 30 2e", -1, {{150, 12}}},
    {V, "VIDEO 03", "bb 01 04 2b 01 00 00 ec", -1, {{5, 300}}},
    // The input field holds the first two digits of 150.
    {V, "seekoo", "30 30 56 30 33 4d 31 35", -1, {{3, 15}}},
    {V, "VIDEO 06", "a5 00 01 01 05 03 01 b0", 1, {{5, 3}}},
    {V, "VIDEO 07", "f4 03 21 05 01 00 67 00", 1, {{5, 3}}},
    // Output 256 is written as the byte value 0.
    {V, "JinCan", "2a 30 3c 33 30 30 21", -1, {{256, 300}}},
    {G, "BRELUND", "f2 00 0c 22 07 02 00 2b", 2, {{7, 12}}},
    {G, "CREATEK", "03 56 05", -1, {{5, 3}}},
    {G, "Samplex", "50 56 30 31 53 57 30 33 30 35 4e 54", 1, {{5, 3}}},
    {G, "Chunzhong", "96 01 01 06 a0 04 02 04 02 4a", 1, {{5, 3}}},
    {G, "ACON", "ff 01 03 03 05 aa", 1, {{5, 3}}},
    {G, "ANTECE", "21 01 3a 47 03 2a 05 7e 0d", 1, {{5, 3}}},
    {G, "CK-VGA", "ff 01 04 03 05 aa", 1, {{5, 3}}},
    {G, "SEEKOO", "96 01 01 06 a0 00 00 01 00 3f", 1, {{1, 1}, {2, 1}}},
    {G, "HOPETIDE", "ba 01 01 04 a0 04 02 66", 1, {{5, 3}}},
    {G, "VGA 02", "2a 30 35 3c 30 33 21", -1, {{5, 3}}},
    {G, "VGA 03", "bb 01 01 04", -1, {{5, 130}}},
    {G, "TrueColor", "33 56 35 2e", -1, {{5, 3}}},
    {G, "VGA 04", "21 31 3a 47 31 32 2a 37 7e 0d", 1, {{7, 12}}},
    {G, "VGA 05", "33 2a 35 21", -1, {{5, 3}}},
    {G, "seekoo", "30 30 56 30 35 4d 30 33", -1, {{5, 3}}},
    {G, "VGA 06", "bb 04 01 02 03 05 55", 1, {{5, 3}}},
    {G, "VGA 07", "a5 00 02 01 05 03 01 b1", 2, {{5, 3}}},
    {G, "fnbell-vga", "30 30 33 42 30 30 35 2e", -1, {{5, 3}}},
    {G, "Zhiming", "f4 03 21 00 01 00 25", 1, {{256, 3}}},
    {G, "VGA 08", "3c 33 2c 35 2c 42 3e", -1, {{5, 3}}},
    {G, "JinCan", "2a 37 3c 31 32 21", -1, {{7, 12}}},
    {G, "VGA 09", "30 30 56 30 33 56 30 35", -1, {{5, 3}}},
    {D, "BRELUND", "f2 00 03 22 05 01 00 25", 1, {{5, 3}}},
    {D, "Chunzhong", "02 2c 01 2c 02 2c 02 2c 56", -1, {{1, 2}, {2, 2}}},
    {D, "SEEKOO", "03 2c 05 2c 56", -1, {{5, 3}}},
    {D, "HOPETIDE", "ba 01 01 04 a5 04 02 6b", 1, {{5, 3}}},
    {D, "HOPETIDE", "ba 01 01 04 00 04 02 c6", 1, {{5, 3}}},
    {D, "Qutronix", "30 35 30 33 43", -1, {{5, 3}}},
    {D, "HDMI 1", "33 42 35 2e", -1, {{5, 3}}},
    {D, "TESSARAN", "ba ba bf c6 34 38", -1, {{1, 1}}},
    {D, "TESSARAN", "ba ba bf c6 34 31 37", -1, {{4, 3}}},
    {D, "TESSARAN", "ba ba bf c6 34 32 33", -1, {{4, 4}}},
    {D, "HDMI 2", "30 30 39", -1, {{3, 2}}},
    {D, "HDMI 2", "30 30 66", -1, {{4, 4}}},
    {D, "DVI 1", "33 2a 30 21", -1, {{256, 3}}},
    {D, "JinCan", "2a 35 3c 33 21", -1, {{5, 3}}},
};

INSTANTIATE_TEST_SUITE_P(Brands, MatrixFormat, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<TFormatCase>& p) {
                           std::string name = MatrixKindName(p.param.kind).toStdString() + "_" +
                                              p.param.brand + "_" + std::to_string(p.index);
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

struct TMatrixStreamCase {
  const char* name;
  TMatrixKind kind;
  const char* brand;
  const char* hex;
  std::vector<const char*> lines;  // what the matrix reports, in order
};

void PrintTo(const TMatrixStreamCase& c, std::ostream* os) { *os << c.name; }

class MatrixStream : public testing::TestWithParam<TMatrixStreamCase> {};

TEST_P(MatrixStream, ReportsEveryCommandBadCommandAndStrayByte) {
  const TMatrixStreamCase& c = GetParam();
  TMatrixUnit unit(c.kind);
  unit.SetBrand(QString::fromLatin1(c.brand));
  QStringList lines;
  QObject::connect(&unit, &TMatrixUnit::reported, [&](const QString& l) { lines << l; });
  unit.Feed(QByteArray::fromHex(c.hex));
  QStringList want;
  for (const char* line : c.lines) want << QString::fromLatin1(line);
  EXPECT_EQ(lines, want);
}

const TMatrixStreamCase kMatrixStreams[] = {
    {"GarbageBeforeACommand",
     V,
     "BRELUND",
     "00 ff f2 00 03 22 05 01 00 25",
     {"matrix VIDEO noise 00 ff", "matrix VIDEO command f2 00 03 22 05 01 00 25 id 1 out 5 in 3"}},
    {"WrongChecksumThenAGoodCommand",
     V,
     "BRELUND",
     "f2 00 03 22 05 01 00 26 f2 00 03 22 05 01 00 25",
     {"matrix VIDEO bad f2 00 03 22 05 01 00 26 checksum",
      "matrix VIDEO command f2 00 03 22 05 01 00 25 id 1 out 5 in 3"}},
    // A command that lost its tail: the good one after it is still found.
    {"TornTextCommandThenAGoodOne",
     G,
     "VGA 04",
     "21 31 3a 47 31 21 31 3a 47 31 32 2a 37 7e 0d",
     {"matrix VGA noise 21 31 3a 47 31",
      "matrix VGA command 21 31 3a 47 31 32 2a 37 7e 0d id 1 out 7 in 12"}},
    // Output 42, input 2: the sum comes out as 96 and travels as 6A.
    {"NinetySixChecksumTravelsAs6A",
     V,
     "Chunzhong",
     "96 01 01 06 a4 29 01 29 01 6a 96 01 01 06 a4 29 01 29 01 96",
     {"matrix VIDEO command 96 01 01 06 a4 29 01 29 01 6a id 1 out 42 in 2",
      // The last byte could start the next frame: it waits for the rest.
      "matrix VIDEO bad 96 01 01 06 a4 29 01 29 01 checksum"}},
    {"TessaranCodeOutsideTheTable",
     D,
     "TESSARAN",
     "ba ba bf c6 34 32 39",
     {"matrix DVI bad ba ba bf c6 34 32 39 code"}},
    {"OutputZeroInADecimalField",
     G,
     "VGA 02",
     "2a 30 30 3c 30 33 21",
     {"matrix VGA bad 2a 30 30 3c 30 33 21 output 0"}},
    {"BrandWithoutCommandSet",
     G,
     "Triolion",
     "41 42",
     {"matrix VGA ignored 41 42 brand Triolion has no command set"}},
    {"IndexOutsideTheBrandList",
     D,
     "",
     "30 30 39",
     {"matrix DVI ignored 30 30 39 brand none has no command set"}},
};

INSTANTIATE_TEST_SUITE_P(Streams, MatrixStream, testing::ValuesIn(kMatrixStreams),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(MatrixUnit, KeepsTheLatestInputPerOutputAndANewBrandDropsAHalfCommand) {
  TMatrixUnit unit(TMatrixKind::Vga);
  unit.SetBrand(u"BRELUND"_s);
  unit.Feed(QByteArray::fromHex("f2 00 03 22 05 01 00 25 f2 00 0c 22 07 02 00 2b f2 00 01"));
  unit.SetBrand(u"CREATEK"_s);
  unit.Feed(QByteArray::fromHex("0c 56 05"));
  EXPECT_EQ(unit.Dump(), (QStringList{u"matrix VGA brand CREATEK out 5 in 12"_s,
                                      u"matrix VGA brand CREATEK out 7 in 12"_s}));
  EXPECT_EQ(unit.Commands(), 3);
  EXPECT_EQ(unit.NoiseBytes(), 0) << "the half command went with the old brand";
}

}  // namespace
