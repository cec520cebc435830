// The virtual wall's trigger control knocks on the console's listening line
// (COM6); the console switches the whole wall once, then keeps the line
// locked. Both programs run as the operator runs them, in real time.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "console_process.h"
#include "wall_process.h"

namespace {

using namespace Qt::StringLiterals;
using e2e::Program;

TEST(ListeningRelayEndToEnd, TriggerSwitchesTheWholeWallOncePerMinute) {
  QTemporaryDir home;
  ASSERT_TRUE(QFileInfo::exists(Program(u"quvial-wallsim"_s))) << "build quvial-wallsim first";
  ASSERT_TRUE(QFileInfo::exists(Program(u"quvial"_s))) << "build quvial first";
  e2e::TWallProcess wall;
  e2e::TConsoleProcess console;
  ASSERT_EQ(wall.Start(home.path(), {u"--rows"_s, u"2"_s, u"--cols"_s, u"2"_s}), QString());
  ASSERT_EQ(console.Start(home.path()), QString());
  ASSERT_TRUE(console.Ask(u"choose 0"_s).startsWith(u"ok"_s));
  ASSERT_EQ(console.Ask(u"idle"_s), u"ok"_s);

  wall.Command(u"trigger"_s);
  EXPECT_EQ(wall.Next(), u"trigger 1 sent"_s);
  EXPECT_EQ(wall.Next(),
            u"frame c8 09 01 01 02 02 20 00 f7 select-source Video1 rows 1-2 cols 1-2"_s);

  wall.Command(u"trigger"_s);
  EXPECT_EQ(wall.Next(), u"trigger 2 sent"_s);
  EXPECT_FALSE(wall.Next(1500).has_value()) << "the line is locked for a minute";
  const QStringList state = wall.State();
  EXPECT_EQ(state.filter(u"source Video1 picture 1-1..2-2"_s).size(), 4);

  for (const QString& errors : {console.Stop(), wall.Stop()})
    EXPECT_FALSE(e2e::SanitizerFault(errors)) << errors.toStdString();
}

}  // namespace
