#include "wall/wall_model.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records every dataChanged and reset of a model.
struct ChangeLog {
  explicit ChangeLog(TWallModel& model) {
    QObject::connect(&model, &QAbstractItemModel::dataChanged, &context,
                     [this](const QModelIndex& tl, const QModelIndex& br) {
                       changes.push_back({tl.column(), tl.row(), br.column(), br.row()});
                     });
    QObject::connect(&model, &QAbstractItemModel::modelReset, &context, [this] { ++resets; });
  }
  QObject context;  // ends the connections with the log
  std::vector<TCellRect> changes;
  int resets = 0;
};

class WallModelTest : public testing::Test {
 protected:
  QString Text(int row0, int col0, int role = Qt::DisplayRole) const {
    return model.data(model.index(row0, col0), role).toString();
  }
  TWallModel model;
};

TEST_F(WallModelTest, OneByOneWallShowsOneLabel) {
  model.LayOut(1, 1);
  EXPECT_EQ(model.rowCount(), 1);
  EXPECT_EQ(model.columnCount(), 1);
  EXPECT_EQ(Text(0, 0), QStringLiteral("1-1"));
}

TEST_F(WallModelTest, LargestWallLabelsItsCorners) {
  model.LayOut(30, 30);
  EXPECT_EQ(model.rowCount(), 30);
  EXPECT_EQ(model.columnCount(), 30);
  EXPECT_EQ(Text(0, 0), QStringLiteral("1-1"));
  EXPECT_EQ(Text(29, 29), QStringLiteral("30-30"));
  EXPECT_EQ(Text(1, 2), QStringLiteral("2-3"));  // row first, then column
  EXPECT_EQ(Text(2, 1), QStringLiteral("3-2"));
}

TEST_F(WallModelTest, SizeIsClampedToTheWallLimits) {
  model.LayOut(0, 31);
  EXPECT_EQ(model.Rows(), 1);
  EXPECT_EQ(model.Cols(), 30);
  model.LayOut(-5, 1000);
  EXPECT_EQ(model.Rows(), 1);
  EXPECT_EQ(model.Cols(), 30);
}

TEST_F(WallModelTest, RecordsAreStoredRowAfterRow) {
  model.LayOut(3, 4);
  model.MutableCell(2, 1).name = QStringLiteral("X");
  EXPECT_EQ(model.Cell(2, 1).name, QStringLiteral("X"));
  EXPECT_EQ(Text(2, 1, TWallModel::NameRole), QStringLiteral("X"));
  EXPECT_TRUE(model.Cell(1, 2).name.isEmpty());
}

TEST_F(WallModelTest, LayOutZeroesEveryRecordEvenAtTheSameSize) {
  model.LayOut(2, 2);
  model.Combine(QStringLiteral("VGA"), 3, {0, 0, 1, 1});
  model.LayOut(2, 2);
  for (int r = 0; r < 2; ++r) {
    for (int c = 0; c < 2; ++c) {
      const TCellRecord& cell = model.Cell(r, c);
      EXPECT_EQ(cell.state, 0);
      EXPECT_TRUE(cell.name.isEmpty());
      EXPECT_EQ(cell.colourOffset, 0);
      EXPECT_EQ(cell.source, 0);
    }
  }
}

TEST_F(WallModelTest, LayOutIsOneResetAndLeavesTheCounterToTheCaller) {
  model.LayOut(2, 2);
  model.Combine(QStringLiteral("VGA"), 3, {0, 0, 0, 0});
  ChangeLog log(model);
  model.LayOut(5, 6);
  EXPECT_EQ(log.resets, 1);
  EXPECT_TRUE(log.changes.empty());
  EXPECT_EQ(model.ColourCounter(), 80);
  model.ResetColourCounter();
  EXPECT_EQ(model.ColourCounter(), 0);
}

TEST_F(WallModelTest, AccessibleTextCarriesTheName) {
  model.LayOut(3, 3);
  model.Combine(QStringLiteral("VGA"), 3, {2, 1, 2, 1});  // row 2, column 3
  EXPECT_EQ(Text(1, 2, Qt::AccessibleTextRole), QStringLiteral("2-3 VGA"));
  EXPECT_EQ(Text(0, 0, Qt::AccessibleTextRole), QStringLiteral("1-1"));
  model.MutableCell(0, 0).state = 2;  // dissolved keeps its name
  model.MutableCell(0, 0).name = QStringLiteral("视频1");
  EXPECT_EQ(Text(0, 0, Qt::AccessibleTextRole), QStringLiteral("1-1 视频1"));
  model.MutableCell(0, 0).state = 0;  // a plain cell shows no name
  EXPECT_EQ(Text(0, 0, Qt::AccessibleTextRole), QStringLiteral("1-1"));
}

TEST_F(WallModelTest, InvalidIndexGivesNothing) {
  model.LayOut(2, 2);
  EXPECT_FALSE(model.data(QModelIndex()).isValid());
  EXPECT_FALSE(model.data(model.index(5, 5)).isValid());
}

class CombineTest : public WallModelTest {
 protected:
  void SetUp() override { model.LayOut(4, 5); }
};

TEST_F(CombineTest, ThreeCombinesColourWithSuccessiveOffsets) {
  model.Combine(QStringLiteral("A"), 1, {0, 0, 0, 0});
  model.Combine(QStringLiteral("B"), 2, {1, 0, 1, 0});
  model.Combine(QStringLiteral("C"), 3, {2, 0, 2, 0});
  EXPECT_EQ(model.Cell(0, 0).colourOffset, 0);
  EXPECT_EQ(model.Cell(0, 1).colourOffset, 80);
  EXPECT_EQ(model.Cell(0, 2).colourOffset, 160);
  EXPECT_EQ(model.ColourCounter(), 240);
}

TEST_F(CombineTest, CounterWrapsAfterTheHundredAndTwentySeventhCombine) {
  for (int i = 1; i <= 125; ++i) model.Combine(QStringLiteral("X"), 1, {0, 0, 0, 0});
  model.Combine(QStringLiteral("X"), 1, {1, 1, 1, 1});  // 126th
  EXPECT_EQ(model.Cell(1, 1).colourOffset, 10000);
  EXPECT_EQ(model.ColourCounter(), 10080);
  model.Combine(QStringLiteral("X"), 1, {2, 2, 2, 2});  // 127th
  EXPECT_EQ(model.Cell(2, 2).colourOffset, 10080);
  EXPECT_EQ(model.ColourCounter(), 0);
  model.Combine(QStringLiteral("X"), 1, {3, 3, 3, 3});
  EXPECT_EQ(model.Cell(3, 3).colourOffset, 0);
}

TEST_F(CombineTest, NextCounterAroundTheLimit) {
  struct CounterStep {
    qint32 from, to;
  };
  for (const CounterStep& s :
       {CounterStep{0, 80}, CounterStep{9920, 10000}, CounterStep{10000, 10080},
        CounterStep{10001, 0}, CounterStep{10080, 0}, CounterStep{-80, 0},
        CounterStep{2147483647, 0}}) {
    EXPECT_EQ(TWallModel::NextColourCounter(s.from), s.to) << s.from;
  }
}

TEST_F(CombineTest, TouchesOnlyTheSelectedCellsWithOneChange) {
  ChangeLog log(model);
  const TCellRect selection{1, 1, 3, 2};  // columns 2..4, rows 2..3
  model.Combine(QStringLiteral("VGA"), 3, selection);
  ASSERT_EQ(log.changes.size(), 1u);
  EXPECT_EQ(log.changes[0], selection);
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 5; ++c) {
      const TCellRecord& cell = model.Cell(r, c);
      if (selection.Contains(c, r)) {
        EXPECT_EQ(cell.state, 1) << r << "," << c;
        EXPECT_EQ(cell.name, QStringLiteral("VGA"));
        EXPECT_EQ(cell.source, 3);
        EXPECT_EQ(cell.colourOffset, 0);
      } else {
        EXPECT_EQ(cell.state, 0) << r << "," << c;
        EXPECT_TRUE(cell.name.isEmpty());
        EXPECT_EQ(cell.source, 0);
      }
    }
  }
}

TEST_F(CombineTest, RemembersTheSourceAndCallsTheSceneHookFirst) {
  QString hookName;
  quint8 hookSource = 0;
  int stateAtHook = -1;
  model.onCombine = [&](const QString& name, quint8 source) {
    hookName = name;
    hookSource = source;
    stateAtHook = model.Cell(0, 0).state;
  };
  model.Combine(QStringLiteral("DVI"), 4, {0, 0, 1, 1});
  EXPECT_EQ(model.LastCombinedSource(), 4);
  EXPECT_EQ(hookName, QStringLiteral("DVI"));
  EXPECT_EQ(hookSource, 4);
  EXPECT_EQ(stateAtHook, 0);  // before the cells change
}

TEST_F(CombineTest, SelectionBeyondTheWallIsClipped) {
  ChangeLog log(model);
  model.Combine(QStringLiteral("V"), 1, {3, 2, 40, 40});
  ASSERT_EQ(log.changes.size(), 1u);
  EXPECT_EQ(log.changes[0], (TCellRect{3, 2, 4, 3}));
  EXPECT_EQ(model.Cell(3, 4).state, 1);
  EXPECT_EQ(model.Cell(1, 4).state, 0);
}

TEST_F(CombineTest, EmptySelectionChangesNoCellButAdvancesTheCounter) {
  ChangeLog log(model);
  model.Combine(QStringLiteral("V"), 2, TCellRect{});
  model.Combine(QStringLiteral("V"), 2, TCellRect{10, 10, 12, 12});  // wholly outside
  EXPECT_TRUE(log.changes.empty());
  EXPECT_EQ(model.ColourCounter(), 160);
  EXPECT_EQ(model.LastCombinedSource(), 2);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 5; ++c) EXPECT_EQ(model.Cell(r, c).state, 0);
}

TEST_F(CombineTest, CellsChangedMergesIntoOneClippedNotification) {
  ChangeLog log(model);
  model.CellsChanged({0, 0, 99, 99});
  model.CellsChanged({-3, -3, -1, -1});
  ASSERT_EQ(log.changes.size(), 1u);
  EXPECT_EQ(log.changes[0], (TCellRect{0, 0, 4, 3}));
}

}  // namespace
