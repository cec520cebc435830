#include "wall_state.h"

#include <gtest/gtest.h>

#include "frame_meaning.h"
#include "link/cell_address.h"
#include "link/protocol.h"
#include "support/test_bytes.h"

// Readable failures: gtest prints a QString as text, not as its code units.

namespace {

using namespace Qt::StringLiterals;

// Builds frames with the console's own frame builder, so that the wall is
// tested against exactly what the console sends.
class WallStateTest : public testing::Test {
 protected:
  void Send(quint16 start, quint16 end, int (TProtocol::*command)(quint8*)) {
    protocol.SetAddress(start, end);
    Apply((protocol.*command)(buffer));
  }
  void SendSource(quint16 start, quint16 end, int source) {
    protocol.SetAddress(start, end);
    Apply(protocol.SelectSource(source, buffer));
  }
  void Apply(int length) {
    lastChanged =
        wall.Apply(InterpretFrame(QByteArrayView(buffer, length), wall.Rows(), wall.Cols()));
  }
  QString Line(int row, int col) const {
    return wall.Dump().at((row - 1) * wall.Cols() + (col - 1));
  }

  TWallState wall{4, 4};
  TProtocol protocol;
  quint8 buffer[TProtocol::kBufferSize] = {};
  bool lastChanged = false;
};

TEST_F(WallStateTest, StartsSwitchedOnWithEveryScreenItsOwnPicture) {
  EXPECT_EQ(wall.Dump().size(), 16);
  EXPECT_EQ(Line(2, 3), u"screen 2-3 power on source none picture 2-3..2-3"_s);
  EXPECT_TRUE(wall.Units().empty());
}

TEST_F(WallStateTest, RectangleSourceCombinesAndSingleCellDissolves) {
  SendSource(CellAddress(1, 1), CellAddress(2, 2), 3);
  EXPECT_TRUE(lastChanged);
  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 2; ++c)
      EXPECT_EQ(Line(r, c),
                QStringLiteral("screen %1-%2 power on source VGA picture 1-1..2-2").arg(r).arg(c));
  EXPECT_EQ(Line(1, 3), u"screen 1-3 power on source none picture 1-3..1-3"_s);

  // The dissolve walk: one frame per screen.
  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 2; ++c) SendSource(CellAddress(r, c), CellAddress(r, c), 1);
  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 2; ++c) EXPECT_EQ(wall.Screen(r, c).picture, (TCellRange{r, c, r, c}));
  EXPECT_EQ(wall.Screen(2, 2).source, 1);
}

TEST_F(WallStateTest, OverlappingCombineTakesScreensOutOfTheOldPicture) {
  SendSource(CellAddress(1, 1), CellAddress(2, 2), 3);
  SendSource(CellAddress(2, 2), CellAddress(3, 3), 5);
  EXPECT_EQ(wall.Screen(1, 1).picture, (TCellRange{1, 1, 2, 2}));
  EXPECT_EQ(wall.Screen(2, 2).picture, (TCellRange{2, 2, 3, 3}));
  EXPECT_EQ(wall.Screen(2, 2).source, 5);
  EXPECT_EQ(wall.Screen(1, 1).source, 3);
}

TEST_F(WallStateTest, PowerFollowsTheRectangle) {
  Send(CellAddress(1, 1), CellAddress(2, 2), &TProtocol::PowerOff);
  EXPECT_FALSE(wall.Screen(2, 2).power);
  EXPECT_TRUE(wall.Screen(3, 3).power);
  EXPECT_EQ(Line(1, 2), u"screen 1-2 power off source none picture 1-2..1-2"_s);
  Send(CellAddress(1, 1), CellAddress(1, 1), &TProtocol::PowerOn);
  EXPECT_TRUE(wall.Screen(1, 1).power);
  EXPECT_FALSE(wall.Screen(1, 2).power);
}

TEST_F(WallStateTest, RepeatingAFrameChangesNothing) {
  SendSource(CellAddress(1, 1), CellAddress(2, 2), 3);
  EXPECT_TRUE(lastChanged);
  SendSource(CellAddress(1, 1), CellAddress(2, 2), 3);
  EXPECT_FALSE(lastChanged);
}

TEST_F(WallStateTest, BroadcastSwitchesEveryScreenAndKeepsThePictures) {
  SendSource(CellAddress(1, 1), CellAddress(2, 2), 3);
  protocol.SetAddressMode(3, 1);
  SendSource(CellAddress(0, 255), CellAddress(0, 255), 6);
  for (int r = 1; r <= 4; ++r)
    for (int c = 1; c <= 4; ++c) EXPECT_EQ(wall.Screen(r, c).source, 6);
  EXPECT_EQ(wall.Screen(2, 2).picture, (TCellRange{1, 1, 2, 2}));
  EXPECT_EQ(wall.Screen(4, 4).picture, (TCellRange{4, 4, 4, 4}));
}

TEST_F(WallStateTest, ShortFramesAddressTheSameScreens) {
  protocol.SetFrameMode(0);
  SendSource(CellAddress(2, 3), CellAddress(3, 4), 5);
  EXPECT_EQ(wall.Screen(3, 4).picture, (TCellRange{2, 3, 3, 4}));
  EXPECT_EQ(wall.Screen(3, 4).source, 5);
}

TEST_F(WallStateTest, FixedUnitsAreKeptApartFromTheScreens) {
  Send(kMixerAddress, kMixerAddress, &TProtocol::PowerOff);
  protocol.SetAddress(kRotatingUnitAddress, kRotatingUnitAddress);
  Apply(protocol.Rotate(1, buffer));
  protocol.SetAddress(kMixerAddress, kMixerAddress);
  Apply(protocol.SetOutputResolution(2, buffer));
  ASSERT_EQ(wall.Units().size(), 2u);
  EXPECT_FALSE(wall.Units().at(QStringLiteral("mixer")).power);
  EXPECT_EQ(wall.Units().at(QStringLiteral("rotating-unit")).rotation, 1);
  const QStringList dump = wall.Dump();
  EXPECT_EQ(dump.at(16), u"unit mixer power off source none resolution 2"_s);
  EXPECT_EQ(dump.at(17), u"unit rotating-unit power on source none rotation 90"_s);
  for (int r = 1; r <= 4; ++r)
    for (int c = 1; c <= 4; ++c) EXPECT_TRUE(wall.Screen(r, c).power);
}

TEST_F(WallStateTest, OnAFullWallTheMixerAddressAlsoReachesItsScreen) {
  TWallState full(30, 30);
  protocol.SetAddress(kMixerAddress, kMixerAddress);
  const int n = protocol.PowerOff(buffer);
  full.Apply(InterpretFrame(QByteArrayView(buffer, n), 30, 30));
  EXPECT_FALSE(full.Units().at(QStringLiteral("mixer")).power);
  EXPECT_FALSE(full.Screen(30, 30).power);
  EXPECT_TRUE(full.Screen(29, 30).power);
}

TEST_F(WallStateTest, StillPictureTogglesAndReshowIsKept) {
  Send(CellAddress(1, 1), CellAddress(1, 2), &TProtocol::StillPicture);
  EXPECT_TRUE(wall.Screen(1, 2).still);
  protocol.SetAddress(CellAddress(1, 1), CellAddress(1, 1));
  Apply(protocol.SetReshowH(12, buffer));
  Apply(protocol.SetReshowV(5, buffer));
  EXPECT_EQ(Line(1, 1),
            u"screen 1-1 power on source none picture 1-1..1-1 still reshow-h 12 reshow-v 5"_s);
  Send(CellAddress(1, 1), CellAddress(1, 2), &TProtocol::StillPicture);
  EXPECT_FALSE(wall.Screen(1, 1).still);
}

TEST_F(WallStateTest, SettingsAndOutsideFramesChangeNothing) {
  const QStringList before = wall.Dump();
  Send(CellAddress(1, 1), CellAddress(4, 4), &TProtocol::VgaContrastUp);
  EXPECT_FALSE(lastChanged);
  SendSource(CellAddress(5, 5), CellAddress(6, 6), 3);
  EXPECT_FALSE(lastChanged);
  EXPECT_EQ(wall.Dump(), before);
}

TEST_F(WallStateTest, PartlyOutsideRectangleCombinesWhatIsInside) {
  SendSource(CellAddress(3, 3), CellAddress(5, 5), 3);
  EXPECT_EQ(wall.Screen(4, 4).picture, (TCellRange{3, 3, 4, 4}));
}

}  // namespace
