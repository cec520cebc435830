#include <QCoreApplication>
#include <gtest/gtest.h>

// Tests of the logic run with a core application so that queued events
// (port notifications, timers) can be delivered by the tests' own loops.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
