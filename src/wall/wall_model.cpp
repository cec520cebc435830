#include "wall/wall_model.h"

#include <algorithm>

TWallModel::TWallModel(QObject* parent) : QAbstractTableModel(parent), cells_(1) {}

void TWallModel::LayOut(int rows, int cols) {
  beginResetModel();
  rows_ = std::clamp(rows, kMinSize, kMaxSize);
  cols_ = std::clamp(cols, kMinSize, kMaxSize);
  cells_.assign(static_cast<size_t>(rows_ * cols_), TCellRecord{});
  endResetModel();
}

const TCellRecord& TWallModel::Cell(int row0, int col0) const {
  Q_ASSERT(row0 >= 0 && row0 < rows_ && col0 >= 0 && col0 < cols_);
  return cells_[static_cast<size_t>(col0 + row0 * cols_)];
}

TCellRecord& TWallModel::MutableCell(int row0, int col0) {
  Q_ASSERT(row0 >= 0 && row0 < rows_ && col0 >= 0 && col0 < cols_);
  return cells_[static_cast<size_t>(col0 + row0 * cols_)];
}

qint32 TWallModel::NextColourCounter(qint32 counter) { return counter < 10001 ? counter + 80 : 0; }

void TWallModel::Combine(const QString& name, quint8 source, const TCellRect& selection) {
  lastSource_ = source;
  if (onCombine) onCombine(name, source);
  const TCellRect area = Clip(selection);
  for (int r = area.top; r <= area.bottom; ++r) {
    for (int c = area.left; c <= area.right; ++c) {
      TCellRecord& cell = MutableCell(r, c);
      cell.state = 1;
      cell.name = name;
      cell.colourOffset = colourCounter_;
      cell.source = source;
    }
  }
  // The counter advances even when nothing was selected, so a scene replay
  // gives its combines the same colours as the recording did.
  colourCounter_ = NextColourCounter(colourCounter_);
  CellsChanged(area);
}

void TWallModel::CellsChanged(const TCellRect& area) {
  const TCellRect clipped = Clip(area);
  if (clipped.Empty()) return;
  Q_EMIT dataChanged(index(clipped.top, clipped.left), index(clipped.bottom, clipped.right));
}

TCellRect TWallModel::Clip(const TCellRect& area) const {
  if (area.Empty()) return {};
  TCellRect clipped{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, cols_ - 1),
                    std::min(area.bottom, rows_ - 1)};
  return clipped.Empty() ? TCellRect{} : clipped;
}

int TWallModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TWallModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : cols_;
}

QString TWallModel::Label(int row0, int col0) {
  return QStringLiteral("%1-%2").arg(row0 + 1).arg(col0 + 1);
}

QVariant TWallModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
    return {};
  const TCellRecord& cell = Cell(index.row(), index.column());
  switch (role) {
    case Qt::DisplayRole:
      return Label(index.row(), index.column());
    case Qt::AccessibleTextRole:
      if ((cell.state == 1 || cell.state == 2) && !cell.name.isEmpty())
        return Label(index.row(), index.column()) + u' ' + cell.name;
      return Label(index.row(), index.column());
    case StateRole:
      return cell.state;
    case NameRole:
      return cell.name;
    case ColourOffsetRole:
      return cell.colourOffset;
    case SourceRole:
      return cell.source;
    default:
      return {};
  }
}

Qt::ItemFlags TWallModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
}
