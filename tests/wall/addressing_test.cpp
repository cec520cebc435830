#include "wall/addressing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <ostream>
#include <string>

#include "link/protocol.h"

namespace {

constexpr quint16 kUntouched = 0x0909;  // what the builder held before the call

TEST(SelectionAddressTest, TopLeftSquareGivesTheSpecifiedVgaFrame) {
  TProtocol protocol;
  ASSERT_TRUE(SelectionAddress({0, 0, 1, 1}, protocol));
  EXPECT_EQ(protocol.StartAddress(), 0x0101);
  EXPECT_EQ(protocol.EndAddress(), 0x0202);
  std::array<quint8, TProtocol::kBufferSize> frame{};
  ASSERT_EQ(protocol.SelectVga(frame.data()), 9);
  const std::array<quint8, 9> expected{0xC8, 0x09, 0x01, 0x01, 0x02, 0x02, 0x20, 0x02, 0xF9};
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), frame.begin()));
}

TEST(SelectionAddressTest, StartIsTopLeftAndEndBottomRight) {
  TProtocol protocol;
  ASSERT_TRUE(SelectionAddress({3, 2, 29, 29}, protocol));  // columns 4..30, rows 3..30
  EXPECT_EQ(protocol.StartAddress(), 0x0304);
  EXPECT_EQ(protocol.EndAddress(), 0x1E1E);
}

TEST(SelectionAddressTest, EmptySelectionChangesNothing) {
  TProtocol protocol;
  protocol.SetAddress(kUntouched, kUntouched);
  EXPECT_FALSE(SelectionAddress(TCellRect{}, protocol));
  EXPECT_EQ(protocol.StartAddress(), kUntouched);
  EXPECT_EQ(protocol.EndAddress(), kUntouched);
}

// One row per situation: the device family, the frame mode, the switcher
// group and the selection, and the address the builder ends up with.
struct SettingsCase {
  const char* what;
  quint8 family;
  bool longFrames;
  bool ticked;
  const char* label;
  int switcherIndex;
  bool selected;
  bool result;
  quint16 address;  // start and end alike for units; kUntouched: no change
};

void PrintTo(const SettingsCase& c, std::ostream* os) { *os << c.what; }

constexpr TCellRect kSelection{1, 0, 2, 1};  // rows 1..2, columns 2..3
constexpr quint16 kSelStart = 0x0102;
constexpr quint16 kSelEnd = 0x0203;
constexpr quint16 kSel = 0xFFFF;  // marker: the selection's start and end

const SettingsCase kSettingsCases[] = {
    {"mixer family short", 7, false, false, "", 0, true, true, 0x1E1E},
    {"mixer family long", 7, true, false, "", 0, true, true, 0x1E1E},
    {"mixer family needs no selection", 7, false, false, "", 0, false, true, 0x1E1E},
    {"mixer family, QN-T1 switcher in use", 7, true, true, "QN-T1", 0, true, true, 0x1D01},
    {"mixer family ignores its own PL-39 label", 7, false, true, "PL-39", 3, true, true, 0x1E1E},
    {"rotating family short", 10, false, false, "", 0, true, true, 0x1D01},
    {"rotating family long", 10, true, false, "", 0, false, true, 0x1D01},
    {"rotating family, PL-39 in use", 10, true, true, "PL-39", 0, true, true, 0x1E1E},
    {"rotating family ignores its own QN-T1 label", 10, false, true, "QN-T1", 2, true, true,
     0x1D01},
    {"QN-23 short, switch ALL", 8, false, true, "QN-23", 0, true, true, 0x1E01},
    {"QN-23 short, switch unit 5", 8, false, true, "QN-23", 5, true, true, 0x1E05},
    {"QN-23 long, switch unit 20", 8, true, true, "QN-23", 20, false, true, 0x1E14},
    {"QN-23 short, not ticked: selection", 8, false, false, "", 0, true, true, kSel},
    {"QN-23 long, not ticked: selection", 8, true, false, "", 0, true, true, kSel},
    {"QN-23 short, nothing selected", 8, false, false, "", 0, false, false, kUntouched},
    {"QN-23 long, nothing selected", 8, true, false, "", 0, false, false, kUntouched},
    {"other family long, QN-23 switcher", 0, true, true, "QN-23", 3, true, true, 0x1E03},
    {"other family short keeps wall for QN-23", 0, false, true, "QN-23", 3, true, true, kUntouched},
    {"other family short, PL-39 switcher", 1, false, true, "PL-39", 0, true, true, 0x1E1E},
    {"other family long, PL-39 without selection", 3, true, true, "PL-39", 0, false, true, 0x1E1E},
    {"other family short, QN-T1 switcher", 5, false, true, "QN-T1", 0, true, true, 0x1D01},
    {"other family, label without tick", 0, true, false, "PL-39", 0, true, true, kSel},
    {"other family short, no switcher", 0, false, false, "", 0, true, true, kUntouched},
    {"other family long, no switcher", 12, true, false, "", 0, true, true, kSel},
    {"other family long, nothing selected", 0, true, false, "", 0, false, false, kUntouched},
};

class SettingsAddressTest : public testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsAddressTest, ChoosesTheUnitThatTakesTheCommand) {
  const SettingsCase& c = GetParam();
  TProtocol protocol;
  protocol.SetFrameMode(c.longFrames ? 1 : 0);
  protocol.SetAddress(kUntouched, kUntouched);
  TSettingsAddressInput in;
  in.family = c.family;
  in.mixerSwitchTicked = c.ticked;
  in.switcherLabel = QString::fromUtf8(c.label);
  in.switcherAddressIndex = c.switcherIndex;
  in.selection = c.selected ? kSelection : TCellRect{};

  EXPECT_EQ(SettingsAddress(in, protocol), c.result);
  const quint16 start = c.address == kSel ? kSelStart : c.address;
  const quint16 end = c.address == kSel ? kSelEnd : c.address;
  EXPECT_EQ(protocol.StartAddress(), start);
  EXPECT_EQ(protocol.EndAddress(), end);
}

INSTANTIATE_TEST_SUITE_P(Families, SettingsAddressTest, testing::ValuesIn(kSettingsCases),
                         [](const testing::TestParamInfo<SettingsCase>& row) {
                           std::string name;
                           for (const char* p = row.param.what; *p; ++p)
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           return name;
                         });

// The unit addresses as they appear in frames of both modes.
struct UnitFrameCase {
  quint8 family;
  bool longFrames;
  int switcherIndex;
  std::array<quint8, 4> addressBytes;  // long: bytes 2..5; short: bytes 2, 3
};

const UnitFrameCase kUnitFrames[] = {
    {7, true, 0, {0x1E, 0x1E, 0x1E, 0x1E}},
    {7, false, 0, {0x1E, 0x1E}},
    {10, true, 0, {0x1D, 0x01, 0x1D, 0x01}},
    {10, false, 0, {0xD1, 0xD1}},
    {8, true, 7, {0x1E, 0x07, 0x1E, 0x07}},
    {8, false, 0, {0xE1, 0xE1}},
    {8, false, 15, {0xEF, 0xEF}},
    {8, false, 16, {0x10, 0x10}},
    {8, false, 20, {0x14, 0x14}},
};

TEST(SettingsAddressFrameTest, UnitAddressesReachTheFrame) {
  for (const UnitFrameCase& c : kUnitFrames) {
    TProtocol protocol;
    protocol.SetFrameMode(c.longFrames ? 1 : 0);
    TSettingsAddressInput in;
    in.family = c.family;
    in.mixerSwitchTicked = c.family == 8;
    in.switcherAddressIndex = c.switcherIndex;
    ASSERT_TRUE(SettingsAddress(in, protocol));
    std::array<quint8, TProtocol::kBufferSize> frame{};
    const int length = protocol.PowerOn(frame.data());
    const int addressBytes = c.longFrames ? 4 : 2;
    ASSERT_EQ(length, c.longFrames ? 9 : 7);
    for (int i = 0; i < addressBytes; ++i)
      EXPECT_EQ(frame[static_cast<size_t>(2 + i)], c.addressBytes[static_cast<size_t>(i)])
          << "family " << int(c.family) << (c.longFrames ? " long" : " short") << " unit "
          << c.switcherIndex << " byte " << 2 + i;
  }
}

}  // namespace
