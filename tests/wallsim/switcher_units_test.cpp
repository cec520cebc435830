// The virtual wall's switcher units at their pseudo-addresses on the splicer
// line. (Its listening line is exercised end to end with the console.)

#include <gtest/gtest.h>

#include "wall_simulator.h"

namespace {

using namespace Qt::StringLiterals;

TEST(SwitcherUnits, SourceFramesReachTheirUnits) {
  struct Case {
    const char* name;
    const char* frame;
    const char16_t* line;  // the unit's state line; empty: no unit
  };
  const Case cases[] = {
      {"PL-39 unit 2 DVI", "c8 09 1d 1e 1d 1e 20 04 6b",
       u"unit pl39-2 power on source HDMI channel DVI"},
      {"PL-39 unit 9 Video 3", "c8 09 1c 1c 1c 1c 20 09 6a", u"unit pl39-9 power on source Video3"},
      {"QN-T1 unit 5 VGA", "c8 09 1d 05 1d 05 20 02 37", u"unit qnt1-5 power on source VGA"},
      {"QN-23 unit 5 SD card", "c8 09 1e 05 1e 05 20 0a 41",
       u"unit switcher-5 power on source USB2"},
      {"short QN-T1 unit 2", "c8 07 d2 d2 20 00 93", u"unit qnt1-2 power on source Video1"},
      // 0x11 is QN-23 unit 17 and also cell 1-1, which a 4 x 4 wall has: the screen.
      {"short byte of a wall cell", "c8 07 11 11 20 02 13", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TWallSimulator sim(4, 4);
    sim.Feed(QByteArray::fromHex(c.frame));
    EXPECT_EQ(sim.Frames(), 1);
    const QStringList units = sim.State().Dump().mid(16);
    EXPECT_EQ(units, c.line[0] ? QStringList{QString::fromUtf16(c.line)} : QStringList{});
  }
}

}  // namespace
