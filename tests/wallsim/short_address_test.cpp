#include "short_address.h"

#include <gtest/gtest.h>

#include "link/cell_address.h"

namespace {

struct TUnpackCase {
  const char* name;
  quint8 packed;
  int rows;
  int cols;
  int row;  // 0: no cell of the wall
  int col;
};

class ShortAddressUnpack : public testing::TestWithParam<TUnpackCase> {};

TEST_P(ShortAddressUnpack, FindsTheCellOfTheWall) {
  const TUnpackCase& c = GetParam();
  const auto cell = UnpackShortAddress(c.packed, c.rows, c.cols);
  if (c.row == 0) {
    EXPECT_FALSE(cell.has_value());
  } else {
    ASSERT_TRUE(cell.has_value());
    EXPECT_EQ(*cell, (TShortAddress{c.row, c.col}));
  }
}

const TUnpackCase kUnpack[] = {
    {"NibblesRow2Col3", 0x23, 4, 4, 2, 3},
    {"NibblesRow3Col4", 0x34, 4, 4, 3, 4},
    {"OutsideASmallWall", 0x55, 4, 4, 0, 0},
    {"ColumnSixteenIsByteSixteen", 0x10, 1, 16, 1, 16},
    {"RotatingUnitByteOnATallWall", 0xD1, 30, 30, 13, 1},
    {"RotatingUnitByteOnASmallWall", 0xD1, 4, 4, 0, 0},
    {"MixerByteReadsAsNibblesFirst", 0x1E, 30, 30, 1, 14},
    {"MixerByteOnAWallWithoutColumn14", 0x1E, 30, 13, 0, 0},
    // 0x11 is 1,1 and also 1,17 and 17,1: the nibble reading wins.
    {"TieGoesToTheFirstInRowOrder", 0x11, 30, 30, 1, 1},
    {"RowAboveFifteenWithoutTheNibbleCell", 0x05, 16, 16, 16, 5},
    {"RowZeroNeverMatches", 0x00, 30, 30, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, ShortAddressUnpack, testing::ValuesIn(kUnpack),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(ShortAddress, EveryCellUpToFifteenComesBackAsItself) {
  for (int r = 1; r <= 15; ++r)
    for (int c = 1; c <= 15; ++c) {
      const auto cell = UnpackShortAddress(PackShortAddress(CellAddress(r, c)), 15, 15);
      ASSERT_TRUE(cell.has_value());
      EXPECT_EQ(*cell, (TShortAddress{r, c}));
    }
}

TEST(ShortAddress, EndLiesRightOfAndBelowTheStart) {
  // 0x11 from 2,2: 1,1 would turn the rectangle inside out; 2,17 packs alike.
  const auto end = UnpackShortEnd(0x11, {2, 2}, 20, 20);
  ASSERT_TRUE(end.has_value());
  EXPECT_EQ(*end, (TShortAddress{2, 17}));
  // From 1,1 the nibble reading is still the first choice.
  EXPECT_EQ(*UnpackShortEnd(0x11, {1, 1}, 20, 20), (TShortAddress{1, 1}));
  // No candidate below and right: the first of the wall.
  EXPECT_EQ(*UnpackShortEnd(0x11, {3, 3}, 4, 4), (TShortAddress{1, 1}));
}

}  // namespace
