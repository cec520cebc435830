#include "app/action_runner.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/conversion.h"

namespace {

// A runner on a hand-turned clock, with its window seams logged.
class ActionRunnerTest : public testing::Test {
 protected:
  ActionRunnerTest() : runner([this] { return now; }) {
    runner.showProgress = [this](int done, int total) {
      log.push_back("show " + std::to_string(done) + "/" + std::to_string(total));
    };
    runner.hideProgress = [this] { log.push_back("hide"); };
    runner.onError = [this](const QString& text) {
      log.push_back("error " + text.toStdString() + (runner.Running() ? " (running)" : ""));
    };
  }
  // A long action: steps of stepMs each, reporting progress before each one.
  std::function<void()> Steps(int steps, qint64 stepMs) {
    return [this, steps, stepMs] {
      for (int i = 0; i < steps; ++i) {
        runner.Progress(i, steps);
        now += stepMs;
      }
      runner.Progress(steps, steps);
    };
  }

  qint64 now = 0;
  std::vector<std::string> log;
  TActionRunner runner;
};

using Log = std::vector<std::string>;

TEST_F(ActionRunnerTest, ProgressAppearsOnlyAfterTheDelayAndGoesAtTheEnd) {
  runner.Run(Steps(5, 400));  // steps begin at 0, 400, 800, 1200, 1600 ms
  EXPECT_EQ(log, (Log{"show 3/5", "show 4/5", "hide"}));
  EXPECT_FALSE(runner.ProgressShown());
}

TEST_F(ActionRunnerTest, QuickActionsShowNothing) {
  runner.Run(Steps(10, 99));
  EXPECT_TRUE(log.empty());
}

TEST_F(ActionRunnerTest, ProgressIsHiddenEvenWhenTheActionStopsEarly) {
  runner.Run([this] {
    runner.Progress(0, 4);
    now += 2000;
    runner.Progress(1, 4);
    throw TConversionError(QStringLiteral("'x' is not a valid integer value"));
  });
  EXPECT_EQ(log, (Log{"show 1/4", "hide", "error 'x' is not a valid integer value"}))
      << "the error is reported once the action is over";
  EXPECT_FALSE(runner.Running());
}

TEST_F(ActionRunnerTest, ProgressOutsideAnActionIsIgnored) {
  now = 5000;
  runner.Progress(1, 3);
  runner.Progress(0, 0);
  EXPECT_TRUE(log.empty());
}

TEST_F(ActionRunnerTest, WorkAskedForDuringAnActionWaitsAndRunsInOrder) {
  runner.Run([this] {
    log.push_back("first begins");
    runner.Run([this] { log.push_back("second"); });
    runner.Run([this] {
      log.push_back("third");
      runner.Run([this] { log.push_back("fourth"); });
    });
    EXPECT_EQ(runner.Waiting(), 2u);
    log.push_back("first ends");
  });
  EXPECT_EQ(log, (Log{"first begins", "first ends", "second", "third", "fourth"}));
  EXPECT_FALSE(runner.Running());
  EXPECT_EQ(runner.Waiting(), 0u);
}

TEST_F(ActionRunnerTest, AFailedActionDoesNotLoseTheWorkBehindIt) {
  runner.Run([this] {
    runner.Run([this] { log.push_back("queued"); });
    throw std::runtime_error("broken");
  });
  EXPECT_EQ(log, (Log{"error broken", "queued"}));
}

TEST_F(ActionRunnerTest, ErrorsOfAnyKindEndTheActionNotTheCaller) {
  runner.Run([] { throw 42; });
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].rfind("error ", 0), 0u);
  EXPECT_FALSE(runner.Running());
  runner.Run({});  // an empty action is nothing to do
  EXPECT_EQ(log.size(), 1u);
}

TEST_F(ActionRunnerTest, EachActionMeasuresItsOwnTime) {
  now = 100000;  // long after the runner was made
  runner.Run(Steps(2, 10));
  EXPECT_TRUE(log.empty());
}

}  // namespace
