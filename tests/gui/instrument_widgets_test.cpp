// The knob, the two-state switch and the thermometer driven as an operator
// drives them: keys, wheel and mouse on the real widget.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QHBoxLayout>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <functional>
#include <set>

#include "widgets/knob.h"
#include "widgets/thermometer.h"
#include "widgets/two_state_switch.h"

using namespace Qt::StringLiterals;

namespace {

std::vector<double> Values(const QSignalSpy& spy) {
  std::vector<double> values;
  for (const QList<QVariant>& args : spy) values.push_back(args.at(0).toDouble());
  return values;
}

void Wheel(QWidget* w, int angle) {
  const QPointF at = QRectF(w->rect()).center();
  QWheelEvent event(at, w->mapToGlobal(at), {}, {0, angle}, Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &event);
}

// Paints a widget at twice the pixel density and counts what it drew.
QImage PaintAt2x(QWidget* w) {
  QImage image(w->size() * 2, QImage::Format_ARGB32);
  image.setDevicePixelRatio(2.0);
  image.fill(Qt::transparent);
  w->render(&image);
  return image;
}

int MercuryPixels(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      n += c.alpha() > 200 && c.red() > 150 && c.green() < 90 && c.blue() < 90;
    }
  return n;
}

// The fan knob: 30 to 40, starting at 30, on screen with its caption.
class KnobTest : public testing::Test {
 protected:
  void SetUp() override {
    knob.SetRange(30, 40);
    knob.SetValue(30);
    knob.SetCaption(u"风扇"_s);
    knob.resize(160, 180);
    knob.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&knob));
    knob.setFocus();
    changed.clear();
  }

  TKnob knob;
  QSignalSpy changed{&knob, &TKnob::valueChanged};
  QSignalSpy released{&knob, &TKnob::released};
};

TEST_F(KnobTest, KeysStepByOneWithinTheEndsAndReleaseOncePerKey) {
  const std::pair<Qt::Key, double> steps[] = {{Qt::Key_Up, 31},
                                              {Qt::Key_Right, 32},
                                              {Qt::Key_PageUp, 32 + TKnob::kPageSteps},
                                              {Qt::Key_PageUp, 40},
                                              {Qt::Key_Up, 40},
                                              {Qt::Key_Down, 39},
                                              {Qt::Key_Left, 38},
                                              {Qt::Key_PageDown, 38 - TKnob::kPageSteps},
                                              {Qt::Key_Home, 30},
                                              {Qt::Key_Down, 30},
                                              {Qt::Key_End, 40}};
  std::vector<double> expected;
  for (const auto& [key, value] : steps) {
    QTest::keyClick(&knob, key);
    EXPECT_EQ(knob.Value(), value) << key;
    expected.push_back(value);
  }
  EXPECT_EQ(Values(released), expected) << "one release per key, also at an end";

  QTest::keyPress(&knob, Qt::Key_Down);
  EXPECT_EQ(released.size(), static_cast<qsizetype>(expected.size())) << "not while held";
  QTest::keyRelease(&knob, Qt::Key_Down);
  EXPECT_EQ(Values(released).back(), 39);
}

TEST_F(KnobTest, ProgramValueStaysRealAndStepsGoToTheNeighbouringWholeDegree) {
  knob.SetValue(35.7);
  EXPECT_EQ(knob.Value(), 35.7);
  knob.SetValue(99);
  EXPECT_EQ(knob.Value(), 40);
  EXPECT_EQ(Values(changed), (std::vector<double>{35.7, 40}));
  EXPECT_TRUE(released.isEmpty()) << "the program's changes send nothing";

  knob.SetValue(35.7);
  QTest::keyClick(&knob, Qt::Key_Up);
  knob.SetValue(35.7);
  QTest::keyClick(&knob, Qt::Key_Down);
  EXPECT_EQ(Values(released), (std::vector<double>{36, 35}));
}

TEST_F(KnobTest, DragMovesContinuouslyAndReleasesOnceWithARealValue) {
  QTest::mousePress(&knob, Qt::LeftButton, {}, knob.ValuePoint(31));
  QTest::mouseMove(&knob, knob.ValuePoint(33.2));
  QTest::mouseMove(&knob, knob.ValuePoint(35.7));
  EXPECT_GE(changed.size(), 3);
  EXPECT_TRUE(released.isEmpty());
  QTest::mouseRelease(&knob, Qt::LeftButton, {}, knob.ValuePoint(35.7));
  ASSERT_EQ(released.size(), 1);
  const double v = Values(released).front();
  EXPECT_NEAR(v, 35.7, 0.15);
  EXPECT_GT(v - std::floor(v), 0.5) << "a drag keeps the fraction";
}

TEST_F(KnobTest, DragThroughTheGapBelowStaysAtTheNearerEnd) {
  const QPoint below = knob.ValuePoint(30) + (knob.ValuePoint(40) - knob.ValuePoint(30)) / 2;
  QTest::mousePress(&knob, Qt::LeftButton, {}, knob.ValuePoint(39));
  QTest::mouseMove(&knob, below + QPoint(1, 0));
  QTest::mouseMove(&knob, below - QPoint(1, 0));
  QTest::mouseRelease(&knob, Qt::LeftButton, {}, below - QPoint(1, 0));
  EXPECT_EQ(Values(released), std::vector<double>{40});
}

TEST_F(KnobTest, WheelStepsAndReleasesOnceWhenItRests) {
  knob.SetWheelSettleInterval(0);
  Wheel(&knob, 120);
  Wheel(&knob, 60);  // half a notch turns nothing yet ...
  Wheel(&knob, 60);  // ... two make a step
  Wheel(&knob, -120 * 5);
  EXPECT_EQ(Values(changed), (std::vector<double>{31, 32, 30}));
  EXPECT_TRUE(released.isEmpty()) << "the wheel is still turning";
  QCoreApplication::processEvents();
  EXPECT_EQ(Values(released), std::vector<double>{30});
}

TEST_F(KnobTest, WheelTurnEndsWhenThePointerLeavesAndNothingIsSentOnceDisabled) {
  Wheel(&knob, 240);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&knob, &leave);
  EXPECT_EQ(Values(released), std::vector<double>{32});

  knob.SetWheelSettleInterval(0);
  Wheel(&knob, 120);
  knob.setEnabled(false);
  QTest::keyClick(&knob, Qt::Key_Up);
  QCoreApplication::processEvents();
  EXPECT_EQ(knob.Value(), 33);
  EXPECT_EQ(released.size(), 1) << "a disabled knob sends nothing";
}

TEST_F(KnobTest, AssistiveToolsReadTheValueAndSetItLikeTheOperator) {
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&knob);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->role(), QAccessible::Dial);
  EXPECT_EQ(a->text(QAccessible::Name), u"风扇"_s);
  QAccessibleValueInterface* value = a->valueInterface();
  ASSERT_NE(value, nullptr);
  knob.SetValue(34.5);
  EXPECT_EQ(value->currentValue().toDouble(), 34.5);
  EXPECT_EQ(value->maximumValue().toDouble(), 40);
  value->setCurrentValue(37.0);
  EXPECT_EQ(Values(released), std::vector<double>{37});
}

TEST(TwoStateSwitchTest, EveryKindOfClickSeesTheOldStateThenToggles) {
  TTwoStateSwitch sw(u"TI-MODEM"_s);
  sw.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&sw));
  sw.setFocus();
  std::vector<std::pair<bool, bool>> seen;  // (event's state, state shown during it)
  QObject::connect(&sw, &TTwoStateSwitch::clicked,
                   [&](bool wasOn) { seen.emplace_back(wasOn, sw.IsOn()); });
  const std::vector<std::function<void()>> clicks = {
      [&] { QTest::mouseClick(&sw, Qt::LeftButton); },
      [&] { QTest::keyClick(&sw, Qt::Key_Space); },
      [&] { QTest::keyClick(&sw, Qt::Key_Return); },
      [&] { QTest::keyClick(&sw, Qt::Key_Enter); },
      [&] {
        QAccessible::queryAccessibleInterface(&sw)->actionInterface()->doAction(
            QAccessibleActionInterface::toggleAction());
      },
  };
  bool on = sw.IsOn();
  for (size_t i = 0; i < clicks.size(); ++i) {
    clicks[i]();
    ASSERT_EQ(seen.size(), i + 1) << i;
    EXPECT_EQ(seen.back(), std::make_pair(on, on)) << i;
    EXPECT_EQ(sw.IsOn(), !on) << i;
    on = !on;
  }
}

TEST(TwoStateSwitchTest, ProgramChangesDisabledSwitchesAndDraggedOffClicksRaiseNothing) {
  TTwoStateSwitch sw(u"SWAP"_s);
  sw.resize(sw.sizeHint());
  sw.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&sw));
  QSignalSpy clicked(&sw, &TTwoStateSwitch::clicked);
  sw.SetOn(true);
  QTest::mousePress(&sw, Qt::LeftButton);
  QTest::mouseRelease(&sw, Qt::LeftButton, {}, QPoint(-5, -5));
  sw.setEnabled(false);
  QTest::mouseClick(&sw, Qt::LeftButton);
  QTest::keyClick(&sw, Qt::Key_Space);
  EXPECT_TRUE(sw.IsOn());
  EXPECT_TRUE(clicked.isEmpty());
}

TEST(TwoStateSwitchTest, AccessibleNameFollowsTheCaptionUntilSetAndStateIsChecked) {
  TTwoStateSwitch sw(u"P/N交换"_s);
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&sw);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->role(), QAccessible::CheckBox);
  EXPECT_EQ(a->text(QAccessible::Name), u"P/N交换"_s);
  sw.SetCaption(u"P/N swap"_s);
  EXPECT_EQ(sw.accessibleName(), u"P/N swap"_s);
  sw.setAccessibleName(u"polarity"_s);
  sw.SetCaption(u"P/N交换"_s);
  EXPECT_EQ(sw.accessibleName(), u"polarity"_s) << "a name set on purpose stays";
  EXPECT_FALSE(a->state().checked);
  sw.SetOn(true);
  EXPECT_TRUE(a->state().checked);
}

TEST(ThermometerTest, MercuryRisesWithTheValueWithinTheScale) {
  TThermometer meter;
  meter.SetRange(20, 40);
  meter.resize(80, 220);
  int previous = -1;
  for (const double v : {20.0, 30.0, 35.5, 40.0}) {
    meter.SetValue(v);
    const int mercury = MercuryPixels(PaintAt2x(&meter));
    EXPECT_GT(mercury, previous) << v;
    previous = mercury;
  }
  meter.SetValue(55);
  EXPECT_EQ(MercuryPixels(PaintAt2x(&meter)), previous) << "the column stops at the top";
  EXPECT_EQ(meter.Value(), meter.Maximum());

  QAccessibleValueInterface* value =
      QAccessible::queryAccessibleInterface(&meter)->valueInterface();
  ASSERT_NE(value, nullptr);
  value->setCurrentValue(25.0);
  EXPECT_EQ(value->currentValue().toDouble(), meter.Maximum()) << "it only shows";
}

TEST(InstrumentWidgetsTest, TabSkipsTheThermometerAndAllPaintCrisplyAt2x) {
  QWidget panel;
  auto* layout = new QHBoxLayout(&panel);
  auto* knob = new TKnob;
  auto* meter = new TThermometer;
  auto* sw = new TTwoStateSwitch(u"开机Logo"_s);
  for (QWidget* w : std::initializer_list<QWidget*>{knob, meter, sw}) layout->addWidget(w);
  panel.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  knob->setFocus();
  QTest::keyClick(knob, Qt::Key_Tab);
  EXPECT_TRUE(sw->hasFocus());

  for (QWidget* w : std::initializer_list<QWidget*>{knob, meter, sw}) {
    const QImage image = PaintAt2x(w);
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
      for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 8u) << w->metaObject()->className()
                                  << ": antialiased drawing, not an empty picture";
    EXPECT_FALSE(w->grab().isNull());
  }
}

}  // namespace
