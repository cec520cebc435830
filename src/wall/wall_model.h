#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <vector>

#include "wall/cell_rect.h"

// What the console remembers about one screen of the wall.
struct TCellRecord {
  quint8 state = 0;  // 0 plain, 1 part of a combined picture, 2 dissolved
  QString name;      // source name shown in the cell
  qint32 colourOffset = 0;
  quint8 source = 0;  // source number of the combine (1 Video 1, 3 VGA, ...)
};

// The wall as the operator sees it: rows x columns cell records (stored row
// after row), the colour counter that gives each combined picture its own
// colour, and the last combined source. A table model so that the grid view
// paints straight from it; it holds no widgets and no selection.
class TWallModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Role {
    StateRole = Qt::UserRole + 1,
    NameRole,
    ColourOffsetRole,
    SourceRole,
  };

  static constexpr int kMinSize = 1;
  static constexpr int kMaxSize = 30;

  explicit TWallModel(QObject* parent = nullptr);

  // Sets the wall size (each clamped to 1..30) and replaces every record by a
  // zeroed one, as a model reset. The colour counter is left alone: resetting
  // it is a separate step of the caller.
  void LayOut(int rows, int cols);
  int Rows() const { return rows_; }
  int Cols() const { return cols_; }

  // 0-based row and column; the index must lie inside the wall.
  const TCellRecord& Cell(int row0, int col0) const;
  // For dissolving and scene replay; call CellsChanged once afterwards.
  TCellRecord& MutableCell(int row0, int col0);

  // Marks every selected cell as one combined picture under name and source:
  // remembers the source, lets the scene recorder prepare its item, stores
  // the colour counter in the cells, advances the counter and repaints the
  // area with one change notification. Parts of the selection outside the
  // wall are ignored.
  void Combine(const QString& name, quint8 source, const TCellRect& selection);
  // Scene recording seam, called after the source is remembered and before
  // the cells change.
  std::function<void(const QString& name, quint8 source)> onCombine;

  qint32 ColourCounter() const { return colourCounter_; }
  void ResetColourCounter() { colourCounter_ = 0; }
  quint8 LastCombinedSource() const { return lastSource_; }
  // The counter after a combine: +80 while below 10001, otherwise back to 0,
  // so the values run 0, 80, ..., 10080, 0, ...
  static qint32 NextColourCounter(qint32 counter);

  // One dataChanged over the part of area inside the wall (nothing for an
  // empty area): repaints are merged, never sent per cell.
  void CellsChanged(const TCellRect& area);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  TCellRect Clip(const TCellRect& area) const;
  static QString Label(int row0, int col0);

  int rows_ = kMinSize;
  int cols_ = kMinSize;
  std::vector<TCellRecord> cells_;
  qint32 colourCounter_ = 0;
  quint8 lastSource_ = 0;
};
