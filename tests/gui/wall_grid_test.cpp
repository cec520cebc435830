#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleInterface>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>

#include "wall/wall_cell_delegate.h"
#include "wall/wall_grid_view.h"
#include "wall/wall_model.h"

namespace {

class WallGridTest : public testing::Test {
 protected:
  void SetUp() override {
    view.setFrameShape(QFrame::NoFrame);  // the grid's whole size is the cells' area
    view.SetWallModel(&model);
    model.LayOut(4, 4);
    view.resize(408, 308);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  }

  QPoint CellCentre(int row0, int col0) const {
    return view.visualRect(model.index(row0, col0)).center();
  }
  void Click(int row0, int col0, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, CellCentre(row0, col0));
  }
  // A point of the cell far from its labels.
  QPoint QuietPoint(int row0, int col0) const {
    return view.visualRect(model.index(row0, col0)).bottomRight() - QPoint(8, 8);
  }
  QImage Grab() { return view.grab().toImage(); }
  QRgb Colour(QPalette::ColorRole role) const { return view.palette().color(role).rgb(); }

  TWallModel model;
  TWallGridView view;
};

TEST_F(WallGridTest, CellsTakeTheGridSizeLessSix) {
  for (int c = 0; c < 4; ++c) EXPECT_EQ(view.columnWidth(c), 408 / 4 - 6) << c;
  for (int r = 0; r < 4; ++r) EXPECT_EQ(view.rowHeight(r), 308 / 4 - 6) << r;
  EXPECT_FALSE(view.horizontalScrollBar()->isVisible());
  EXPECT_FALSE(view.verticalScrollBar()->isVisible());
}

TEST_F(WallGridTest, ResizeLaysTheCellsOutAgain) {
  view.resize(811, 613);
  EXPECT_EQ(view.columnWidth(3), 811 / 4 - 6);
  EXPECT_EQ(view.rowHeight(3), 613 / 4 - 6);
}

TEST_F(WallGridTest, NewWallSizeTakesEffectAtOnce) {
  model.LayOut(3, 7);
  EXPECT_EQ(view.model()->columnCount(), 7);
  EXPECT_EQ(view.columnWidth(6), 408 / 7 - 6);
  EXPECT_EQ(view.rowHeight(2), 308 / 3 - 6);
}

TEST_F(WallGridTest, TinyGridKeepsEveryCellVisible) {
  model.LayOut(30, 30);
  view.resize(90, 60);
  EXPECT_EQ(view.columnWidth(29), TWallGridView::kMinCellSize);
  EXPECT_EQ(view.rowHeight(29), TWallGridView::kMinCellSize);
  EXPECT_FALSE(Grab().isNull());  // paints without trouble
}

TEST_F(WallGridTest, WideLineKeepsRecordsUntilTheNextLayOut) {
  model.Combine(QStringLiteral("VGA"), 3, {1, 1, 2, 2});
  view.SetLineWidth(TWallGridView::kWideLineWidth);
  EXPECT_EQ(view.LineWidth(), 4);
  EXPECT_EQ(model.Cell(1, 1).state, 1);
  EXPECT_EQ(model.Cell(2, 2).name, QStringLiteral("VGA"));
  EXPECT_EQ(view.columnWidth(0), 408 / 4 - 6);
  model.LayOut(4, 4);
  EXPECT_EQ(view.LineWidth(), 2);
}

TEST_F(WallGridTest, WideLineIsVisiblyWider) {
  // Count the grid-line pixels on a scan across the border of two cells.
  auto lineRun = [this] {
    const QImage image = Grab();
    const QRgb line = view.palette().color(QPalette::Mid).rgb();
    const int y = QuietPoint(0, 0).y();
    const int border = view.visualRect(model.index(0, 1)).left();
    int run = 0;
    for (int x = border - 4; x <= border + 4; ++x) run += image.pixel(x, y) == line;
    return run;
  };
  EXPECT_EQ(lineRun(), 2);
  view.SetLineWidth(4);
  EXPECT_EQ(lineRun(), 4);
}

TEST_F(WallGridTest, CombinedCellsShowTheirColour) {
  view.SelectRect({3, 3, 3, 3});
  model.Combine(QStringLiteral("VGA"), 3, {1, 1, 1, 1});  // offset 0
  model.Combine(QStringLiteral("DVI"), 4, {2, 2, 2, 2});  // offset 80
  const QImage image = Grab();
  EXPECT_EQ(image.pixel(QuietPoint(1, 1)), qRgb(0x00, 0x80, 0x00));
  EXPECT_EQ(image.pixel(QuietPoint(2, 2)), qRgb(0x50, 0x80, 0x00));  // red is the low byte
  EXPECT_EQ(image.pixel(QuietPoint(0, 0)), Colour(QPalette::Base));
  EXPECT_EQ(image.pixel(QuietPoint(3, 3)), Colour(QPalette::Highlight));
}

TEST_F(WallGridTest, DissolvedCellsKeepTheNormalFill) {
  view.SelectRect({0, 0, 0, 0});
  model.MutableCell(1, 1) = {2, QStringLiteral("VGA"), 400, 3};
  model.MutableCell(0, 0) = {2, QStringLiteral("VGA"), 400, 3};
  model.CellsChanged({0, 0, 1, 1});
  const QImage image = Grab();
  EXPECT_EQ(image.pixel(QuietPoint(1, 1)), Colour(QPalette::Base));
  EXPECT_EQ(image.pixel(QuietPoint(0, 0)), Colour(QPalette::Highlight));
}

TEST(WallGridLifetimeTest, ModelMayGoBeforeTheView) {
  TWallGridView view;
  auto* model = new TWallModel;
  model->LayOut(3, 3);
  view.SetWallModel(model);
  view.resize(200, 200);
  delete model;
  EXPECT_EQ(view.WallModel(), nullptr);
  view.resize(300, 300);
  view.SelectRect({0, 0, 1, 1});
  view.SetLineWidth(4);
  EXPECT_TRUE(view.Selection().Empty());
  TWallModel other;
  view.SetWallModel(&other);
  EXPECT_EQ(view.Selection(), (TCellRect{0, 0, 0, 0}));
}

class WallSelectionTest : public WallGridTest {};

TEST_F(WallSelectionTest, NewWallSelectsTheFirstCell) {
  EXPECT_EQ(view.Selection(), (TCellRect{0, 0, 0, 0}));
  view.SelectRect({1, 1, 3, 3});
  model.LayOut(2, 2);
  EXPECT_EQ(view.Selection(), (TCellRect{0, 0, 0, 0}));
}

TEST_F(WallSelectionTest, ClickSelectsOneCellAndReportsIt) {
  std::vector<TCellRect> reported;
  QObject context;
  QObject::connect(&view, &TWallGridView::selectionRectChanged, &context,
                   [&](const TCellRect& rect) { reported.push_back(rect); });
  Click(2, 3);
  EXPECT_EQ(view.Selection(), (TCellRect{3, 2, 3, 2}));
  ASSERT_FALSE(reported.empty());
  EXPECT_EQ(reported.back(), (TCellRect{3, 2, 3, 2}));
}

TEST_F(WallSelectionTest, DragSelectsTheRectangle) {
  QTest::mousePress(view.viewport(), Qt::LeftButton, {}, CellCentre(1, 2));
  QTest::mouseMove(view.viewport(), CellCentre(2, 1));
  QTest::mouseMove(view.viewport(), CellCentre(3, 0));
  QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, CellCentre(3, 0));
  EXPECT_EQ(view.Selection(), (TCellRect{0, 1, 2, 3}));
}

TEST_F(WallSelectionTest, ShiftArrowsExtendFromTheClickedCell) {
  Click(1, 1);
  QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(view.Selection(), (TCellRect{1, 1, 2, 2}));
  QTest::keyClick(&view, Qt::Key_Left);  // plain arrow: one cell again
  EXPECT_EQ(view.Selection().Count(), 1);
}

TEST_F(WallSelectionTest, ControlClickNeverEmptiesTheSelection) {
  Click(1, 1);
  Click(1, 1, Qt::ControlModifier);
  EXPECT_EQ(view.Selection(), (TCellRect{1, 1, 1, 1}));
  Click(3, 3, Qt::ControlModifier);  // starts a new rectangle, never a second one
  EXPECT_EQ(view.Selection(), (TCellRect{3, 3, 3, 3}));
}

TEST_F(WallSelectionTest, ClickBesideTheCellsKeepsTheSelection) {
  Click(2, 2);
  const QPoint beside(view.viewport()->width() - 2, view.viewport()->height() - 2);
  ASSERT_FALSE(view.indexAt(beside).isValid());
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, beside);
  EXPECT_EQ(view.Selection(), (TCellRect{2, 2, 2, 2}));
}

TEST_F(WallSelectionTest, SelectRectClipsToTheWall) {
  view.SelectRect({2, 1, 50, 50});
  EXPECT_EQ(view.Selection(), (TCellRect{2, 1, 3, 3}));
  view.SelectRect(TCellRect{});
  EXPECT_EQ(view.Selection(), (TCellRect{2, 1, 3, 3}));
  view.SelectRect({10, 10, 12, 12});
  EXPECT_EQ(view.Selection(), (TCellRect{2, 1, 3, 3}));
}

class WallDropTest : public WallGridTest {
 protected:
  // Drags onto a cell and drops; true when the grid took the drag.
  bool DragAndDrop() {
    QMimeData mime;
    mime.setText(QStringLiteral("1"));
    const QPoint at = CellCentre(1, 1);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &drop);
    return enter.isAccepted() && drop.isAccepted();
  }
  int drops = 0;
};

TEST_F(WallDropTest, RefusedWithoutARule) {
  view.onDrop = [this] { ++drops; };
  EXPECT_FALSE(DragAndDrop());
  EXPECT_EQ(drops, 0);
}

TEST_F(WallDropTest, RefusedWhenTheRuleSaysNo) {
  int asked = 0;
  view.canAcceptDrop = [&](QObject*) {
    ++asked;
    return false;
  };
  view.onDrop = [this] { ++drops; };
  EXPECT_FALSE(DragAndDrop());
  EXPECT_GT(asked, 0);
  EXPECT_EQ(drops, 0);
}

TEST_F(WallDropTest, TakenWhenTheRuleSaysYes) {
  view.canAcceptDrop = [](QObject*) { return true; };
  view.onDrop = [this] { ++drops; };
  view.SelectRect({0, 0, 1, 1});
  EXPECT_TRUE(DragAndDrop());
  EXPECT_EQ(drops, 1);
  EXPECT_EQ(view.Selection(), (TCellRect{0, 0, 1, 1}));  // a drop does not move the selection
}

TEST_F(WallGridTest, AccessibleCellsReadLikeTheWall) {
  model.Combine(QStringLiteral("VGA"), 3, {2, 1, 2, 1});
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&view);
  ASSERT_NE(table, nullptr);
  ASSERT_NE(table->tableInterface(), nullptr);
  QAccessibleInterface* first = table->tableInterface()->cellAt(0, 0);
  QAccessibleInterface* combined = table->tableInterface()->cellAt(1, 2);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(combined, nullptr);
  EXPECT_EQ(first->text(QAccessible::Name), QStringLiteral("1-1"));
  EXPECT_EQ(combined->text(QAccessible::Name), QStringLiteral("2-3 VGA"));
}

TEST(WallCellDelegateTest, CombinedColourReadsRedFromTheLowByte) {
  struct Case {
    qint32 offset;
    QColor colour;
  };
  for (const Case& c :
       {Case{0, QColor(0x00, 0x80, 0x00)}, Case{160, QColor(0xA0, 0x80, 0x00)},
        Case{10080, QColor(0x60, 0xA7, 0x00)}, Case{0x7F0000, QColor(0x00, 0x80, 0x7F)},
        Case{-0x8001, QColor(0xFF, 0xFF, 0xFF)}}) {
    EXPECT_EQ(TWallCellDelegate::CombinedColour(c.offset), c.colour) << c.offset;
  }
}

TEST(WallCellDelegateTest, FontShrinksWithTheRowsToAReadableMinimum) {
  EXPECT_EQ(TWallCellDelegate::PointSize(2), 14);
  EXPECT_EQ(TWallCellDelegate::PointSize(9), 7);
  EXPECT_EQ(TWallCellDelegate::PointSize(16), TWallCellDelegate::kMinPointSize);
  EXPECT_EQ(TWallCellDelegate::PointSize(30), TWallCellDelegate::kMinPointSize);
}

TEST(WallCellDelegateTest, SecondLineStaysBelowTheFirstAndInsideTheCell) {
  EXPECT_EQ(TWallCellDelegate::SecondLineOffset(2, 20, 200), 39);  // roomy cell: as designed
  EXPECT_EQ(TWallCellDelegate::SecondLineOffset(2, 20, 50), 30);   // pulled up to fit
  EXPECT_EQ(TWallCellDelegate::SecondLineOffset(30, 12, 100),
            13);  // 43 - 60 would be above the cell
  EXPECT_EQ(TWallCellDelegate::SecondLineOffset(30, 12, 10),
            13);  // tiny: just under the label, clipped
}

}  // namespace
