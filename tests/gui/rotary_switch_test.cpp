#include "widgets/rotary_switch.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A four-position switch on screen, with spies on its two signals.
class RotarySwitchTest : public testing::Test {
 protected:
  void SetUp() override {
    rotary.SetPositions({u"0°"_s, u"90°"_s, u"180°"_s, u"270°"_s});
    rotary.resize(200, 200);
    rotary.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&rotary));
    changed.clear();
  }
  QPoint Hub() const { return rotary.rect().center(); }
  std::vector<int> Released() const {
    std::vector<int> indexes;
    for (const QList<QVariant>& args : released) indexes.push_back(args.at(0).toInt());
    return indexes;
  }

  TRotarySwitch rotary;
  QSignalSpy released{&rotary, &TRotarySwitch::released};
  QSignalSpy changed{&rotary, &TRotarySwitch::indexChanged};
};

TEST_F(RotarySwitchTest, StartsAtTheFirstPositionAndSpreadsThePositionsInOrder) {
  EXPECT_EQ(rotary.Index(), 0);
  for (int i = 1; i < 4; ++i) EXPECT_LT(rotary.PositionAngle(i - 1), rotary.PositionAngle(i));
  EXPECT_LE(rotary.PositionAngle(3) - rotary.PositionAngle(0), 270.0);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(rotary.rect().contains(rotary.PositionPoint(i))) << i;
}

TEST_F(RotarySwitchTest, ClickTowardsAPositionTurnsAndReleasesOnce) {
  QTest::mouseClick(&rotary, Qt::LeftButton, {}, rotary.PositionPoint(2));
  EXPECT_EQ(rotary.Index(), 2);
  EXPECT_EQ(Released(), std::vector<int>{2});
  // Letting go where it already stands is still one event: the command is resent.
  QTest::mouseClick(&rotary, Qt::LeftButton, {}, rotary.PositionPoint(2));
  EXPECT_EQ(Released(), (std::vector<int>{2, 2}));
}

TEST_F(RotarySwitchTest, DragTurnsThroughPositionsButReleasesOnlyAtTheEnd) {
  QTest::mousePress(&rotary, Qt::LeftButton, {}, rotary.PositionPoint(0));
  QTest::mouseMove(&rotary, rotary.PositionPoint(1));
  QTest::mouseMove(&rotary, rotary.PositionPoint(3));
  EXPECT_EQ(rotary.Index(), 3);
  EXPECT_TRUE(released.isEmpty()) << "no command while the operator still turns";
  EXPECT_EQ(changed.size(), 2);
  QTest::mouseRelease(&rotary, Qt::LeftButton, {}, rotary.PositionPoint(3));
  EXPECT_EQ(Released(), std::vector<int>{3});
}

TEST_F(RotarySwitchTest, HubClickStepsRoundToTheFirstPositionAgain) {
  rotary.SetIndex(3);
  QTest::mouseClick(&rotary, Qt::LeftButton, {}, Hub());
  EXPECT_EQ(rotary.Index(), 0);
  QTest::mouseClick(&rotary, Qt::LeftButton, {}, Hub());
  EXPECT_EQ(Released(), (std::vector<int>{0, 1}));
}

TEST_F(RotarySwitchTest, KeysTurnWithinTheEndsAndReleaseOnTheKeyRelease) {
  rotary.setFocus();
  QTest::keyClick(&rotary, Qt::Key_Right);
  QTest::keyClick(&rotary, Qt::Key_End);
  QTest::keyClick(&rotary, Qt::Key_Right);  // already at the end
  QTest::keyClick(&rotary, Qt::Key_Home);
  QTest::keyClick(&rotary, Qt::Key_Left);  // already at the start
  EXPECT_EQ(Released(), (std::vector<int>{1, 3, 3, 0, 0}));

  QTest::keyPress(&rotary, Qt::Key_Up);
  EXPECT_EQ(rotary.Index(), 1);
  EXPECT_EQ(released.size(), 5) << "nothing until the key is let go";
  QTest::keyRelease(&rotary, Qt::Key_Up);
  EXPECT_EQ(Released().back(), 1);
}

TEST_F(RotarySwitchTest, OtherKeysAndButtonsLeaveTheSwitchAlone) {
  rotary.setFocus();
  QTest::keyClick(&rotary, Qt::Key_A);
  QTest::mouseClick(&rotary, Qt::RightButton, {}, rotary.PositionPoint(2));
  EXPECT_EQ(rotary.Index(), 0);
  EXPECT_TRUE(released.isEmpty());
  EXPECT_TRUE(changed.isEmpty());
}

TEST_F(RotarySwitchTest, ProgramSetIndexIsClampedAndRaisesNoRelease) {
  rotary.SetIndex(9);
  EXPECT_EQ(rotary.Index(), 3);
  rotary.SetIndex(-4);
  EXPECT_EQ(rotary.Index(), 0);
  EXPECT_TRUE(released.isEmpty());
  EXPECT_EQ(changed.size(), 2);
}

TEST(RotarySwitchEmpty, WithoutPositionsNothingHappens) {
  TRotarySwitch rotary;
  QSignalSpy released(&rotary, &TRotarySwitch::released);
  rotary.resize(100, 100);
  EXPECT_EQ(rotary.Index(), -1);
  QTest::mouseClick(&rotary, Qt::LeftButton, {}, QPoint(50, 10));
  QTest::keyClick(&rotary, Qt::Key_Right);
  rotary.SetIndex(2);
  EXPECT_EQ(rotary.Index(), -1);
  EXPECT_TRUE(released.isEmpty());
  rotary.grab();  // paints without positions
}

}  // namespace
