#pragma once

#include <QPointer>
#include <QTableView>
#include <functional>

#include "wall/cell_rect.h"

class TWallCellDelegate;
class TWallModel;

// The wall grid: one cell per screen of a TWallModel, painted by
// TWallCellDelegate, without headers. The operator selects one rectangle
// (a click selects one cell, dragging or Shift+arrows extends it); there is
// always a current cell, so at least one cell is selected. Cell sizes follow
// the grid's size; the grid line is 2 px after each lay-out of the wall and
// 4 px after a super-manager log-in or log-out until the next lay-out.
class TWallGridView : public QTableView {
  Q_OBJECT

 public:
  static constexpr int kNormalLineWidth = 2;
  static constexpr int kWideLineWidth = 4;
  // Even in a tiny window a cell keeps some colour inside the widest grid
  // line and stays clickable; scroll bars appear when such cells don't fit.
  static constexpr int kMinCellSize = 5;

  explicit TWallGridView(QWidget* parent = nullptr);

  void SetWallModel(TWallModel* model);
  TWallModel* WallModel() const { return wallModel_.data(); }

  // Column width (grid width / C) - 6 and row height (grid height / R) - 6,
  // integer division, never below kMinCellSize.
  void LayOutCells();
  // Sets the grid line width and lays the cells out again; records stay.
  void SetLineWidth(int width);
  int LineWidth() const;

  TCellRect Selection() const;
  // Selects the part of rect inside the wall and makes its top-left cell
  // current; an empty rect changes nothing.
  void SelectRect(const TCellRect& rect);

  // A drop is taken only when this says yes for the drag's source (the
  // matrix input list, after a linkage); without it every drop is refused.
  std::function<bool(QObject* source)> canAcceptDrop;
  std::function<void()> onDrop;

 Q_SIGNALS:
  void selectionRectChanged(const TCellRect& rect);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  QItemSelectionModel::SelectionFlags selectionCommand(
      const QModelIndex& index, const QEvent* event = nullptr) const override;

 private:
  void OnModelReset();
  void OnSelectionChanged();
  bool Accepts(QDropEvent* event) const;

  QPointer<TWallModel> wallModel_;  // the model may go first
  TWallCellDelegate* delegate_ = nullptr;
  TCellRect lastRect_;
};
