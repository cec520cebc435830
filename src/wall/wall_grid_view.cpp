#include "wall/wall_grid_view.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <algorithm>

#include "wall/wall_cell_delegate.h"
#include "wall/wall_model.h"

TWallGridView::TWallGridView(QWidget* parent)
    : QTableView(parent), delegate_(new TWallCellDelegate(this)) {
  setItemDelegate(delegate_);
  setShowGrid(false);  // the delegate draws the grid line at the chosen width
  horizontalHeader()->hide();
  verticalHeader()->hide();
  for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
    header->setMinimumSectionSize(1);
    header->setSectionResizeMode(QHeaderView::Fixed);
  }
  setCornerButtonEnabled(false);
  setWordWrap(false);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The arrow keys move within the wall; Tab leaves it for the next control.
  setTabKeyNavigation(false);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setDragDropMode(QAbstractItemView::DropOnly);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDropIndicatorShown(false);
}

void TWallGridView::SetWallModel(TWallModel* model) {
  if (wallModel_) disconnect(wallModel_.data(), nullptr, this, nullptr);
  wallModel_ = model;
  QItemSelectionModel* previous = selectionModel();
  setModel(model);  // gives the view a new selection model
  if (previous != selectionModel()) delete previous;
  if (!model) return;
  connect(model, &QAbstractItemModel::modelReset, this, &TWallGridView::OnModelReset,
          Qt::UniqueConnection);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TWallGridView::OnSelectionChanged, Qt::UniqueConnection);
  OnModelReset();
}

void TWallGridView::OnModelReset() {
  // A new lay-out of the wall brings the normal grid line back.
  delegate_->SetLineWidth(kNormalLineWidth);
  LayOutCells();
  lastRect_ = {};  // the new wall's selection is always reported
  SelectRect({0, 0, 0, 0});
}

void TWallGridView::LayOutCells() {
  if (!wallModel_) return;
  // The size the cells may fill when no scroll bar is shown; it does not
  // change when a scroll bar comes or goes, so laying out never feeds back.
  const QSize area = maximumViewportSize();
  const int width = std::max(area.width() / wallModel_->Cols() - 6, kMinCellSize);
  const int height = std::max(area.height() / wallModel_->Rows() - 6, kMinCellSize);
  horizontalHeader()->setDefaultSectionSize(width);
  verticalHeader()->setDefaultSectionSize(height);
  viewport()->update();
}

void TWallGridView::SetLineWidth(int width) {
  delegate_->SetLineWidth(width);
  LayOutCells();
}

int TWallGridView::LineWidth() const { return delegate_->LineWidth(); }

TCellRect TWallGridView::Selection() const {
  if (!wallModel_ || !selectionModel()) return {};
  const QItemSelection selection = selectionModel()->selection();
  TCellRect rect;
  for (const QItemSelectionRange& range : selection) {
    if (!range.isValid()) continue;
    if (rect.Empty()) {
      rect = {range.left(), range.top(), range.right(), range.bottom()};
    } else {
      rect = {std::min(rect.left, range.left()), std::min(rect.top, range.top()),
              std::max(rect.right, range.right()), std::max(rect.bottom, range.bottom())};
    }
  }
  return rect;
}

void TWallGridView::SelectRect(const TCellRect& rect) {
  if (!wallModel_ || rect.Empty()) return;
  const int left = std::max(rect.left, 0);
  const int top = std::max(rect.top, 0);
  const int right = std::min(rect.right, wallModel_->Cols() - 1);
  const int bottom = std::min(rect.bottom, wallModel_->Rows() - 1);
  if (right < left || bottom < top) return;
  const QModelIndex first = wallModel_->index(top, left);
  selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
  selectionModel()->select(QItemSelection(first, wallModel_->index(bottom, right)),
                           QItemSelectionModel::ClearAndSelect);
}

void TWallGridView::OnSelectionChanged() {
  if (!wallModel_) return;
  TCellRect rect = Selection();
  if (rect.Empty()) {
    // Whatever the input did, the wall keeps one selected cell: the current one.
    QModelIndex current = currentIndex();
    if (!current.isValid()) current = wallModel_->index(0, 0);
    SelectRect({current.column(), current.row(), current.column(), current.row()});
    return;  // the selection change above reports the new rectangle
  }
  if (rect == lastRect_) return;
  lastRect_ = rect;
  Q_EMIT selectionRectChanged(rect);
}

QItemSelectionModel::SelectionFlags TWallGridView::selectionCommand(const QModelIndex& index,
                                                                    const QEvent* event) const {
  // A click beside the cells keeps the selection; Ctrl with the mouse acts as
  // without it, so the selection stays one rectangle.
  if (!index.isValid()) return QItemSelectionModel::NoUpdate;
  QItemSelectionModel::SelectionFlags flags;
  const auto* mouse = dynamic_cast<const QMouseEvent*>(event);
  if (mouse && mouse->modifiers().testFlag(Qt::ControlModifier)) {
    const QMouseEvent plain(mouse->type(), mouse->position(), mouse->scenePosition(),
                            mouse->globalPosition(), mouse->button(), mouse->buttons(),
                            mouse->modifiers() & ~Qt::ControlModifier);
    flags = QTableView::selectionCommand(index, &plain);
  } else {
    flags = QTableView::selectionCommand(index, event);
  }
  if (flags.testAnyFlags(QItemSelectionModel::Toggle | QItemSelectionModel::Deselect)) {
    flags &= ~(QItemSelectionModel::Toggle | QItemSelectionModel::Deselect);
    flags |= QItemSelectionModel::ClearAndSelect;
  }
  return flags;
}

void TWallGridView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  LayOutCells();
}

bool TWallGridView::Accepts(QDropEvent* event) const {
  return canAcceptDrop && canAcceptDrop(event->source());
}

void TWallGridView::dragEnterEvent(QDragEnterEvent* event) {
  if (Accepts(event)) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void TWallGridView::dragMoveEvent(QDragMoveEvent* event) {
  if (Accepts(event)) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void TWallGridView::dropEvent(QDropEvent* event) {
  if (!Accepts(event)) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  if (onDrop) onDrop();
}
