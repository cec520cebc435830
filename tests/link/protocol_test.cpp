#include "link/protocol.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "link/cell_address.h"

namespace {

using Bytes = std::vector<quint8>;
using Build = std::function<int(TProtocol&, quint8*)>;

constexpr quint8 kUntouched = 0xAA;

class ProtocolTest : public ::testing::Test {
 protected:
  // Builds into a fresh buffer pre-filled with a marker and returns the
  // frame's bytes; the bytes past the frame must keep the marker.
  Bytes Run(const Build& build) {
    buffer_.fill(kUntouched);
    const int length = build(protocol_, buffer_.data());
    EXPECT_GE(length, 0);
    EXPECT_LE(length, TProtocol::kBufferSize);
    for (int i = length; i < TProtocol::kBufferSize; ++i) EXPECT_EQ(buffer_[i], kUntouched) << i;
    return Bytes(buffer_.begin(), buffer_.begin() + length);
  }

  TProtocol protocol_;
  std::array<quint8, TProtocol::kBufferSize> buffer_{};
};

// ---- golden frames -------------------------------------------------------

struct GoldenFrame {
  const char* name;
  int frameMode;
  quint16 start;
  quint16 end;
  quint8 tag;
  quint8 publicChannel;
  Build build;
  Bytes expected;
};

// clang-format off
const GoldenFrame kGoldenFrames[] = {
    {"LongPowerOnSingleCell", 1, CellAddress(3, 4), CellAddress(3, 4), 0, 0,
     &TProtocol::PowerOn, {0xC8, 0x09, 0x03, 0x04, 0x03, 0x04, 0x10, 0x01, 0xF0}},
    {"ShortPowerOnSingleCell", 0, CellAddress(3, 4), CellAddress(3, 4), 0, 0,
     &TProtocol::PowerOn, {0xC8, 0x07, 0x34, 0x34, 0x10, 0x01, 0x48}},
    {"LongSelectVgaRectangle", 1, CellAddress(1, 1), CellAddress(2, 2), 0, 0,
     &TProtocol::SelectVga, {0xC8, 0x09, 0x01, 0x01, 0x02, 0x02, 0x20, 0x02, 0xF9}},
    {"LongBroadcast", 1, CellAddress(3, 4), CellAddress(3, 4), 3, 1,
     &TProtocol::PowerOn, {0xC8, 0x09, 0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0x01, 0xDE}},
    {"ShortBroadcast", 0, CellAddress(3, 4), CellAddress(3, 4), 3, 1,
     &TProtocol::PowerOn, {0xC8, 0x07, 0xFF, 0xFF, 0x10, 0x01, 0xDE}},
    {"TagThreeWithoutPublicChannelIsNotBroadcast", 1, CellAddress(3, 4), CellAddress(3, 4), 3, 0,
     &TProtocol::PowerOn, {0xC8, 0x09, 0x03, 0x04, 0x03, 0x04, 0x10, 0x01, 0xF0}},
    {"OtherTagWithPublicChannelIsNotBroadcast", 1, CellAddress(3, 4), CellAddress(3, 4), 1, 1,
     &TProtocol::PowerOn, {0xC8, 0x09, 0x03, 0x04, 0x03, 0x04, 0x10, 0x01, 0xF0}},
    {"ShortMixerPowerOff", 0, kMixerAddress, kMixerAddress, 0, 0,
     &TProtocol::PowerOff, {0xC8, 0x07, 0x1E, 0x1E, 0x10, 0x00, 0x1B}},
    {"ShortRotatingUnit", 0, kRotatingUnitAddress, kRotatingUnitAddress, 0, 0,
     [](TProtocol& p, quint8* b) { return p.Rotate(2, b); },
     {0xC8, 0x07, 0xD1, 0xD1, 0x80, 0x02, 0xF3}},
    {"LongRotatingUnit", 1, kRotatingUnitAddress, kRotatingUnitAddress, 0, 0,
     [](TProtocol& p, quint8* b) { return p.Rotate(2, b); },
     {0xC8, 0x09, 0x1D, 0x01, 0x1D, 0x01, 0x80, 0x02, 0x8F}},
    {"ShortSwitcherFive", 0, SwitcherAddress(5), SwitcherAddress(5), 0, 0,
     &TProtocol::UsbKeyPlay, {0xC8, 0x07, 0xE5, 0xE5, 0x72, 0x04, 0x0F}},
    {"LongFactoryNumber", 1, CellAddress(5, 5), CellAddress(6, 6), 0, 0,
     [](TProtocol& p, quint8* b) { return p.SetFactoryNumber(0x01020304, b); },
     {0xC8, 0x09, 0x01, 0x02, 0x03, 0x04, 0x77, 0x01, 0x53}},
    {"ShortFactoryNumber", 0, CellAddress(5, 5), CellAddress(6, 6), 0, 0,
     [](TProtocol& p, quint8* b) { return p.SetFactoryNumber(0x01020304, b); },
     {0xC8, 0x07, 0x03, 0x04, 0x77, 0x01, 0x4E}},
    {"LongCellId", 1, CellAddress(5, 5), CellAddress(6, 6), 0, 0,
     [](TProtocol& p, quint8* b) { return p.SetCellId(CellAddress(2, 3), 0x0102, b); },
     {0xC8, 0x09, 0x02, 0x03, 0x01, 0x02, 0x66, 0x01, 0x40}},
    {"ShortCellId", 0, CellAddress(5, 5), CellAddress(6, 6), 0, 0,
     [](TProtocol& p, quint8* b) { return p.SetCellId(CellAddress(2, 3), 0x0102, b); },
     {0xC8, 0x07, 0x01, 0x02, 0x66, 0x23, 0x5B}},
    // Hand-built frames carry their own address bytes even in broadcast mode.
    {"LongCellIdIgnoresBroadcast", 1, CellAddress(5, 5), CellAddress(6, 6), 3, 1,
     [](TProtocol& p, quint8* b) { return p.SetCellId(CellAddress(2, 3), 0x0102, b); },
     {0xC8, 0x09, 0x02, 0x03, 0x01, 0x02, 0x66, 0x01, 0x40}},
    {"ShortFactoryNumberIgnoresBroadcast", 0, CellAddress(5, 5), CellAddress(6, 6), 3, 1,
     [](TProtocol& p, quint8* b) { return p.SetFactoryNumber(0x01020304, b); },
     {0xC8, 0x07, 0x03, 0x04, 0x77, 0x01, 0x4E}},
    {"LongRequestFactoryNumber", 1, CellAddress(5, 5), CellAddress(6, 6), 3, 1,
     &TProtocol::RequestFactoryNumber, {0xC8, 0x09, 0x00, 0x00, 0x00, 0x00, 0x77, 0x00, 0x48}},
    {"ShortRequestFactoryNumber", 0, CellAddress(5, 5), CellAddress(6, 6), 0, 0,
     &TProtocol::RequestFactoryNumber, {0xC8, 0x07, 0x00, 0x00, 0x77, 0x00, 0x46}},
};
// clang-format on

void PrintTo(const GoldenFrame& golden, std::ostream* os) { *os << golden.name; }

class GoldenFrameTest : public ProtocolTest, public ::testing::WithParamInterface<GoldenFrame> {};

TEST_P(GoldenFrameTest, BuildsExactBytes) {
  const GoldenFrame& golden = GetParam();
  protocol_.SetFrameMode(golden.frameMode);
  protocol_.SetAddress(golden.start, golden.end);
  protocol_.SetAddressMode(golden.tag, golden.publicChannel);
  const Bytes frame = Run(golden.build);
  EXPECT_EQ(frame, golden.expected);
  EXPECT_EQ(protocol_.LastChecksum(), golden.expected.back());
}

INSTANTIATE_TEST_SUITE_P(Frames, GoldenFrameTest, ::testing::ValuesIn(kGoldenFrames),
                         [](const auto& test) { return std::string(test.param.name); });

// ---- builder state -------------------------------------------------------

TEST_F(ProtocolTest, StartsWithLongFramesAndNoBroadcast) {
  EXPECT_TRUE(protocol_.LongFrames());
  EXPECT_EQ(protocol_.FrameMode(), 1);
  EXPECT_EQ(protocol_.FrameLength(), 9);
  EXPECT_FALSE(protocol_.Broadcast());
  EXPECT_EQ(Run(&TProtocol::PowerOn)[0], 0xC8);
}

TEST_F(ProtocolTest, AnyModeOtherThanOneGivesShortFrames) {
  for (int mode : {0, 2, -1, 255}) {
    protocol_.SetFrameMode(mode);
    EXPECT_EQ(protocol_.FrameMode(), 0) << mode;
    EXPECT_EQ(Run(&TProtocol::PowerOn).size(), 7u) << mode;
  }
  protocol_.SetFrameMode(1);
  EXPECT_EQ(Run(&TProtocol::PowerOn).size(), 9u);
}

TEST_F(ProtocolTest, BroadcastStaysUntilTheModeIsSetAgain) {
  protocol_.SetAddress(CellAddress(1, 1), CellAddress(2, 2));
  protocol_.SetAddressMode(3, 1);
  const Build commands[] = {&TProtocol::UsbKeyOk, &TProtocol::PowerOff, &TProtocol::SelectVga,
                            [](TProtocol& p, quint8* b) { return p.SetBacklight(7, b); }};
  for (int mode : {1, 0}) {
    protocol_.SetFrameMode(mode);
    for (const Build& command : commands) {
      const Bytes frame = Run(command);
      for (size_t i = 2; i < frame.size() - 3; ++i) EXPECT_EQ(frame[i], 0xFF) << i;
    }
    protocol_.SetAddress(CellAddress(4, 4), CellAddress(5, 5));  // a new selection changes nothing
    EXPECT_EQ(Run(&TProtocol::PowerOn)[2], 0xFF);
  }
  protocol_.SetAddressMode(3, 0);
  EXPECT_EQ(Run(&TProtocol::PowerOn), (Bytes{0xC8, 0x07, 0x44, 0x55, 0x10, 0x01, 0x79}));
}

TEST_F(ProtocolTest, AddressIsReusedUntilChanged) {
  protocol_.SetAddress(CellAddress(3, 4), CellAddress(3, 4));
  Run(&TProtocol::PowerOff);
  EXPECT_EQ(Run(&TProtocol::PowerOn),
            (Bytes{0xC8, 0x09, 0x03, 0x04, 0x03, 0x04, 0x10, 0x01, 0xF0}));
  EXPECT_EQ(protocol_.StartAddress(), 0x0304);
  EXPECT_EQ(protocol_.EndAddress(), 0x0304);
}

TEST_F(ProtocolTest, HandBuiltFramesLeaveAddressAndModeAlone) {
  protocol_.SetAddress(CellAddress(3, 4), CellAddress(3, 4));
  Run([](TProtocol& p, quint8* b) { return p.SetCellId(CellAddress(9, 9), 0xABCD, b); });
  Run([](TProtocol& p, quint8* b) { return p.SetFactoryNumber(0xDEADBEEF, b); });
  Run(&TProtocol::RequestFactoryNumber);
  EXPECT_EQ(protocol_.StartAddress(), CellAddress(3, 4));
  EXPECT_EQ(protocol_.EndAddress(), CellAddress(3, 4));
  EXPECT_EQ(Run(&TProtocol::PowerOn),
            (Bytes{0xC8, 0x09, 0x03, 0x04, 0x03, 0x04, 0x10, 0x01, 0xF0}));
}

TEST_F(ProtocolTest, ChecksumWrapsAtEightBits) {
  protocol_.SetAddress(CellAddress(30, 30), CellAddress(30, 30));
  const Bytes frame = Run([](TProtocol& p, quint8* b) { return p.SetBacklight(0xFF, b); });
  // C8 09 1E 1E 1E 1E 21 FF: the sum is 0x269.
  EXPECT_EQ(frame.back(), 0x69);
  EXPECT_EQ(protocol_.LastClass(), 0x21);
  EXPECT_EQ(protocol_.LastCode(), 0xFF);
}

// ---- arguments -----------------------------------------------------------

TEST_F(ProtocolTest, DviWithFlagIsTheHdmiFrame) {
  protocol_.SetAddress(CellAddress(1, 2), CellAddress(3, 4));
  const Bytes hdmi = Run(&TProtocol::SelectHdmi);
  EXPECT_EQ(Run([](TProtocol& p, quint8* b) { return p.SelectDvi(true, b); }), hdmi);
  EXPECT_EQ(Run([](TProtocol& p, quint8* b) { return p.SelectDvi(false, b); })[7], 0x03);
}

TEST_F(ProtocolTest, SourceNumberIsCodePlusOne) {
  using Select = int (TProtocol::*)(quint8*);
  const std::pair<int, Select> sources[] = {
      {1, &TProtocol::SelectVideo1}, {2, &TProtocol::SelectVideo2}, {3, &TProtocol::SelectVga},
      {5, &TProtocol::SelectHdmi},   {6, &TProtocol::SelectUsb},    {7, &TProtocol::SelectLc},
      {8, &TProtocol::SelectVga2},   {9, &TProtocol::SelectYuv},    {10, &TProtocol::SelectVideo3},
      {11, &TProtocol::SelectUsb2}};
  for (const auto& [number, select] : sources) {
    const Bytes bySource =
        Run([n = number](TProtocol& p, quint8* b) { return p.SelectSource(n, b); });
    EXPECT_EQ(bySource, Run(select)) << number;
    EXPECT_EQ(bySource[6], 0x20);
    EXPECT_EQ(bySource[7], number - 1);
  }
  EXPECT_EQ(Run([](TProtocol& p, quint8* b) { return p.SelectSource(4, b); })[7], 0x03);
}

TEST_F(ProtocolTest, SourceNumberOutOfRangeBuildsNothing) {
  for (int number : {0, 12, -1, 256}) {
    EXPECT_TRUE(
        Run([number](TProtocol& p, quint8* b) { return p.SelectSource(number, b); }).empty())
        << number;
  }
}

TEST_F(ProtocolTest, FanTemperatureIsTheCode) {
  EXPECT_EQ(Run([](TProtocol& p, quint8* b) { return p.FanTemperature(35, b); }),
            (Bytes{0xC8, 0x09, 0x00, 0x00, 0x00, 0x00, 0x69, 0x23, 0x5D}));
  for (int degrees = 30; degrees <= 40; ++degrees) {
    const Bytes frame =
        Run([degrees](TProtocol& p, quint8* b) { return p.FanTemperature(degrees, b); });
    EXPECT_EQ(frame[7], 0x1E + degrees - 30);
  }
}

TEST_F(ProtocolTest, ArgumentsGoIntoTheCodeUnchanged) {
  protocol_.SetFrameMode(0);
  struct Case {
    Build build;
    quint8 cls;
    quint8 code;
  };
  const Case cases[] = {
      {[](TProtocol& p, quint8* b) { return p.SetBacklight(250, b); }, 0x21, 250},
      {[](TProtocol& p, quint8* b) { return p.Rotate(3, b); }, 0x80, 3},
      {[](TProtocol& p, quint8* b) { return p.Rotate(9, b); }, 0x80, 9},
      {[](TProtocol& p, quint8* b) { return p.SetReshowH(0x40, b); }, 0x5A, 0x40},
      {[](TProtocol& p, quint8* b) { return p.SetReshowV(0x00, b); }, 0x5B, 0x00},
      {[](TProtocol& p, quint8* b) { return p.SetOutputResolution(0, b); }, 0x78, 0},
      {[](TProtocol& p, quint8* b) { return p.SetOutputResolution(3, b); }, 0x78, 3},
  };
  for (const Case& c : cases) {
    const Bytes frame = Run(c.build);
    ASSERT_EQ(frame.size(), 7u);
    EXPECT_EQ(frame[4], c.cls);
    EXPECT_EQ(frame[5], c.code);
  }
}

TEST_F(ProtocolTest, OutputResolutionOutOfRangeLeavesEverythingAsItWas) {
  Run(&TProtocol::PowerOn);
  const quint8 checksum = protocol_.LastChecksum();
  for (int type : {4, -1, 100}) {
    EXPECT_TRUE(
        Run([type](TProtocol& p, quint8* b) { return p.SetOutputResolution(type, b); }).empty());
    EXPECT_EQ(protocol_.LastChecksum(), checksum);
    EXPECT_EQ(protocol_.LastClass(), 0x10);
  }
}

// ---- catalogue -----------------------------------------------------------

struct CatalogueEntry {
  const char* name;
  int (TProtocol::*build)(quint8*);
  quint8 cls;
  quint8 code;
};

// At least one command of every table of the catalogue, both ends of each range.
const CatalogueEntry kCatalogue[] = {
    {"PowerOff", &TProtocol::PowerOff, 0x10, 0x00},
    {"PowerOn", &TProtocol::PowerOn, 0x10, 0x01},
    {"SelectVideo1", &TProtocol::SelectVideo1, 0x20, 0x00},
    {"SelectUsb2", &TProtocol::SelectUsb2, 0x20, 0x0A},
    {"VideoContrastUp", &TProtocol::VideoContrastUp, 0x30, 0x01},
    {"VideoContrastDown", &TProtocol::VideoContrastDown, 0x30, 0x00},
    {"VideoHSizeUp", &TProtocol::VideoHSizeUp, 0x39, 0x01},
    {"VideoVPositionDown", &TProtocol::VideoVPositionDown, 0x40, 0x00},
    {"VideoVSizeUp", &TProtocol::VideoVSizeUp, 0x41, 0x01},
    {"VgaContrastDown", &TProtocol::VgaContrastDown, 0x42, 0x00},
    {"VgaAdcBlueGainUp", &TProtocol::VgaAdcBlueGainUp, 0x4C, 0x01},
    {"VgaHPositionUp", &TProtocol::VgaHPositionUp, 0x4E, 0x01},
    {"VgaVPositionDown", &TProtocol::VgaVPositionDown, 0x50, 0x00},
    {"VgaSharpnessUp", &TProtocol::VgaSharpnessUp, 0x54, 0x01},
    {"VgaAutoPosition", &TProtocol::VgaAutoPosition, 0x4D, 0x01},
    {"VgaAutoColour", &TProtocol::VgaAutoColour, 0x51, 0x01},
    {"DisplayScale16x9", &TProtocol::DisplayScale16x9, 0x11, 0x01},
    {"Flip180Off", &TProtocol::Flip180Off, 0x12, 0x00},
    {"UsbLogo", &TProtocol::UsbLogo, 0x14, 0x01},
    {"BootLogoOn", &TProtocol::BootLogoOn, 0x15, 0x01},
    {"SystemReset", &TProtocol::SystemReset, 0x60, 0x01},
    {"BitDepth10", &TProtocol::BitDepth10, 0x61, 0x02},
    {"TiModemOn", &TProtocol::TiModemOn, 0x62, 0x01},
    {"PnSwapOff", &TProtocol::PnSwapOff, 0x63, 0x00},
    {"SwapOn", &TProtocol::SwapOn, 0x64, 0x01},
    {"BacklightDown", &TProtocol::BacklightDown, 0x65, 0x00},
    {"BlueBackground", &TProtocol::BlueBackground, 0x67, 0x00},
    {"BlackBackground", &TProtocol::BlackBackground, 0x67, 0x01},
    {"UsbUpgrade", &TProtocol::UsbUpgrade, 0x68, 0x01},
    {"FanAlwaysOff", &TProtocol::FanAlwaysOff, 0x69, 0x00},
    {"FanAlwaysOn", &TProtocol::FanAlwaysOn, 0x69, 0x01},
    {"UsbKeyUp", &TProtocol::UsbKeyUp, 0x72, 0x00},
    {"UsbKeyOk", &TProtocol::UsbKeyOk, 0x72, 0x0A},
    {"UsbKeyVolumeDown", &TProtocol::UsbKeyVolumeDown, 0x72, 0x0C},
    {"StillPicture", &TProtocol::StillPicture, 0x73, 0x01},
    {"ShowVersion", &TProtocol::ShowVersion, 0x74, 0x01},
    {"AgingModeOff", &TProtocol::AgingModeOff, 0x75, 0x00},
    {"NoiseReductionHigh", &TProtocol::NoiseReductionHigh, 0x76, 0x03},
};

void PrintTo(const CatalogueEntry& entry, std::ostream* os) { *os << entry.name; }

class CatalogueTest : public ProtocolTest, public ::testing::WithParamInterface<CatalogueEntry> {};

TEST_P(CatalogueTest, ClassAndCodeInBothFrameModes) {
  const CatalogueEntry& entry = GetParam();
  const Bytes longFrame = Run(entry.build);
  ASSERT_EQ(longFrame.size(), 9u);
  EXPECT_EQ(longFrame[6], entry.cls);
  EXPECT_EQ(longFrame[7], entry.code);
  protocol_.SetFrameMode(0);
  const Bytes shortFrame = Run(entry.build);
  ASSERT_EQ(shortFrame.size(), 7u);
  EXPECT_EQ(shortFrame[4], entry.cls);
  EXPECT_EQ(shortFrame[5], entry.code);
  // The decoding table names the same command.
  const TProtocol::Command* found = TProtocol::FindCommand(entry.cls, entry.code);
  ASSERT_NE(found, nullptr);
  EXPECT_STREQ(found->name, entry.name);
}

INSTANTIATE_TEST_SUITE_P(Commands, CatalogueTest, ::testing::ValuesIn(kCatalogue),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(CatalogueTableTest, NamesAndClassCodePairsAreUnique) {
  std::set<std::string> names;
  std::set<std::pair<int, int>> pairs;
  for (const TProtocol::Command& command : TProtocol::FixedCommands()) {
    EXPECT_TRUE(names.insert(command.name).second) << command.name;
    EXPECT_TRUE(pairs.insert({command.cls, command.code}).second) << command.name;
  }
  EXPECT_EQ(TProtocol::FindCommand(0x66, 0x01), nullptr);  // hand-built, not in the table
}

// ---- addresses -----------------------------------------------------------

TEST(CellAddressTest, RowHighColumnLow) {
  EXPECT_EQ(CellAddress(1, 1), 0x0101);
  EXPECT_EQ(CellAddress(2, 3), 0x0203);
  EXPECT_EQ(CellAddress(30, 30), 0x1E1E);
  EXPECT_EQ(CellRow(0x1D01), 29);
  EXPECT_EQ(CellColumn(0x1D01), 1);
  EXPECT_EQ(kMixerAddress, 0x1E1E);
  EXPECT_EQ(kRotatingUnitAddress, 0x1D01);
  EXPECT_EQ(SwitcherAddress(0), 0x1E01);  // "ALL"
  EXPECT_EQ(SwitcherAddress(20), 0x1E14);
}

TEST(PackShortAddressTest, StatedExamples) {
  EXPECT_EQ(PackShortAddress(CellAddress(2, 3)), 0x23);
  EXPECT_EQ(PackShortAddress(CellAddress(1, 16)), 0x10);
  EXPECT_EQ(PackShortAddress(CellAddress(29, 1)), 0xD1);
  EXPECT_EQ(PackShortAddress(CellAddress(30, 30)), 0x1E);
  EXPECT_EQ(PackShortAddress(CellAddress(15, 15)), 0xFF);
  EXPECT_EQ(PackShortAddress(0), 0x00);
}

TEST(PackShortAddressTest, SwitcherAddressesOfTheQn23Family) {
  EXPECT_EQ(PackShortAddress(SwitcherAddress(0)), 0xE1);
  for (int n = 1; n <= 20; ++n) {
    const int expected = n <= 15 ? 0xE0 + n : 0x10 + (n - 16);
    EXPECT_EQ(PackShortAddress(SwitcherAddress(n)), expected) << n;
  }
}

TEST(PackShortAddressTest, WholeWallFollowsTheNumeralRule) {
  for (int row = 1; row <= 30; ++row) {
    for (int column = 1; column <= 30; ++column) {
      const int packed = PackShortAddress(CellAddress(row, column));
      if (column >= 16) {
        // A two-digit column fills the byte; the row's numeral is shifted out.
        EXPECT_EQ(packed, column) << row << "," << column;
      } else {
        // The column is the low nibble, the row's last hexadecimal digit the high one.
        EXPECT_EQ(packed & 0x0F, column) << row << "," << column;
        EXPECT_EQ(packed >> 4, row % 16) << row << "," << column;
      }
    }
  }
}

TEST(PackShortAddressTest, RowZeroIsTheIdentity) {
  // The short factory-number frame relies on this for its two address bytes.
  for (int value = 0; value <= 0xFF; ++value) EXPECT_EQ(PackShortAddress(value), value);
}

}  // namespace
