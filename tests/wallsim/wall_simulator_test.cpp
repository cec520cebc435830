#include "wall_simulator.h"

#include <gtest/gtest.h>

#include "support/test_bytes.h"

// Readable failures: gtest prints a QString as text, not as its code units.

namespace {

using namespace Qt::StringLiterals;

class WallSimulatorTest : public testing::Test {
 protected:
  WallSimulatorTest() {
    QObject::connect(&sim, &TWallSimulator::reported, [this](const QString& l) { lines << l; });
    QObject::connect(&sim, &TWallSimulator::changed, [this] { ++changes; });
  }
  void Feed(const char* hex) { sim.Feed(QByteArray::fromHex(hex)); }

  TWallSimulator sim{4, 4};
  QStringList lines;
  int changes = 0;
};

TEST_F(WallSimulatorTest, ReportsTheTypicalRequestAsOneLine) {
  Feed("c809010102022002f9");
  EXPECT_EQ(lines,
            QStringList{u"frame c8 09 01 01 02 02 20 02 f9 select-source VGA rows 1-2 cols 1-2"_s});
  EXPECT_EQ(sim.Frames(), 1);
  EXPECT_EQ(sim.State().Screen(2, 2).source, 3);
  EXPECT_EQ(changes, 1);
}

TEST_F(WallSimulatorTest, BadAndUnknownFramesAreCountedButNeverActedOn) {
  // Noise, a checksum off by one, a length that does not exist, a class that
  // does not exist.
  Feed(
      "0000"
      "c809010102022002fa"
      "c80a"
      "c8090101010199016f");
  ASSERT_EQ(lines.size(), 4);
  EXPECT_EQ(lines[0], u"noise 00 00"_s);
  EXPECT_EQ(lines[1], u"bad c8 09 01 01 02 02 20 02 fa checksum"_s);
  EXPECT_EQ(lines[2], u"bad c8 0a length"_s);
  EXPECT_EQ(lines[3], u"unknown c8 09 01 01 01 01 99 01 6f class 99 code 01"_s);
  EXPECT_EQ(sim.Frames(), 0);
  EXPECT_EQ(sim.BadFrames(), 2);
  EXPECT_EQ(sim.Unknown(), 1);
  EXPECT_EQ(sim.NoiseBytes(), 2);
  EXPECT_EQ(sim.State().Screen(1, 1).source, 0);
  EXPECT_EQ(sim.CountersText(), u"frames 0 bad 2 unknown 1 noise 2"_s);
}

TEST_F(WallSimulatorTest, ABurstOfFramesIsOneChange) {
  // A dissolve of four screens arriving in one read.
  Feed("c809010101012000f5c809010201022000f7c809020102012000f7c809020202022000f9");
  EXPECT_EQ(lines.size(), 4);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(sim.Frames(), 4);
}

TEST_F(WallSimulatorTest, HalfAFrameChangesNothingYet) {
  Feed("c80901010202");
  EXPECT_TRUE(lines.isEmpty());
  EXPECT_EQ(changes, 0);
  Feed("2002f9");
  EXPECT_EQ(lines.size(), 1);
  EXPECT_EQ(changes, 1);
}

}  // namespace
