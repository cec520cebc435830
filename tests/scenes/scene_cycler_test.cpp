// Automatic cycling, stepped by hand: which scenes play, the timer's
// intervals, the refusals, and steps that wait for a running action.
#include "scenes/scene_cycler.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

class SceneCyclerTest : public testing::Test {
 protected:
  SceneCyclerTest() {
    cycler.ticked = [this](int n) { return marked.count(n) > 0; };
    cycler.play = [this](int n) { played.push_back(n); };
  }

  TSceneCycler cycler;
  std::set<int> marked;
  std::vector<int> played;
};

TEST_F(SceneCyclerTest, PlaysTheMarkedScenesInTurnWrappingAfterSixteen) {
  struct Case {
    std::set<int> marked;
    std::vector<int> played;
  };
  const Case cases[] = {
      {{16}, {16, 16, 16}},
      {{3, 7}, {3, 7, 3, 7}},
      {{1, 16}, {1, 16, 1}},
  };
  for (const Case& c : cases) {
    marked = c.marked;
    played.clear();
    ASSERT_FALSE(cycler.Start(u"6"_s, true).has_value());
    EXPECT_EQ(cycler.TimerInterval(), TSceneCycler::kFirstStepMs);
    for (size_t i = 0; i < c.played.size(); ++i) {
      cycler.Tick();
      EXPECT_TRUE(cycler.TimerActive());
      EXPECT_EQ(cycler.TimerInterval(), 6000);
    }
    EXPECT_EQ(played, c.played);
  }
  cycler.Stop();
  EXPECT_FALSE(cycler.TimerActive());
}

TEST_F(SceneCyclerTest, RefusesWithoutAMarkedSceneOrAWholeTimeOfFiveSecondsOrMore) {
  EXPECT_EQ(cycler.Start(u"6"_s, true), u"请选择要切换的场景"_s);
  EXPECT_EQ(cycler.Start(u"6"_s, false), u"Please Choose Scene"_s);
  EXPECT_FALSE(cycler.Running());

  marked = {2};
  for (const QString& bad : {u"abc"_s, u"6.5"_s, u"4"_s, u""_s, u"-6"_s, u"0"_s, u"2147484"_s}) {
    const std::optional<QString> chinese = cycler.Start(bad, true);
    const std::optional<QString> english = cycler.Start(bad, false);
    ASSERT_TRUE(chinese && english) << bad.toStdString();
    EXPECT_NE(*chinese, *english);
    EXPECT_FALSE(cycler.Running());
    EXPECT_FALSE(cycler.TimerActive());
  }
  EXPECT_FALSE(cycler.Start(u" 5 "_s, false).has_value());
  EXPECT_EQ(cycler.IntervalSeconds(), 5);

  // While cycling a bad time is refused and the running one stays.
  EXPECT_TRUE(cycler.SetInterval(u"3"_s, true).has_value());
  cycler.Tick();
  EXPECT_EQ(cycler.TimerInterval(), 5000);
  EXPECT_TRUE(cycler.Running());
}

TEST_F(SceneCyclerTest, AStepWaitsForTheRunningActionAndAFailedOneKeepsTheCycle) {
  std::deque<std::function<void()>> waiting;
  cycler.runWhenIdle = [&waiting](std::function<void()> work) { waiting.push_back(work); };
  cycler.play = [this](int n) {
    played.push_back(n);
    throw std::runtime_error("conversion");
  };
  marked = {5, 9};
  ASSERT_FALSE(cycler.Start(u"8"_s, true).has_value());
  cycler.Tick();
  EXPECT_TRUE(played.empty());
  EXPECT_FALSE(cycler.TimerActive()) << "no second step while one waits";
  EXPECT_THROW(waiting.front()(), std::runtime_error);
  waiting.pop_front();
  EXPECT_EQ(played, std::vector<int>{5});
  EXPECT_EQ(cycler.TimerInterval(), 8000);
  EXPECT_TRUE(cycler.TimerActive()) << "a failed playback does not stop the cycle";

  cycler.Tick();
  cycler.Stop();
  waiting.front()();
  EXPECT_EQ(played, std::vector<int>{5}) << "a step queued before the stop does nothing";
  EXPECT_FALSE(cycler.TimerActive());
  EXPECT_EQ(TSceneCycler::LabelText(false, u"Scene9"_s), u"Current Scene：Scene9"_s);
}

}  // namespace
