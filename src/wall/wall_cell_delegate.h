#pragma once

#include <QColor>
#include <QStyledItemDelegate>

// Paints one wall cell from its record: the grid line around it, the fill
// (the combined picture's own colour, or the normal fill), the "row-column"
// label and, for combined and dissolved cells, the source name below it.
class TWallCellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  // Below this the labels of a large wall would be unreadable.
  static constexpr int kMinPointSize = 7;
  // The colour of a combined picture is this base plus the cell's offset,
  // read as a colour value with red in the low byte.
  static constexpr qint32 kCombinedBase = 0x8000;

  explicit TWallCellDelegate(QObject* parent = nullptr);

  void SetLineWidth(int width) { lineWidth_ = width < 0 ? 0 : width; }
  int LineWidth() const { return lineWidth_; }

  // Fill colour of a combined cell with this colour offset.
  static QColor CombinedColour(qint32 colourOffset);
  // Label font size for a wall of this many rows.
  static int PointSize(int rows);
  // Offset of the second line below the cell's top, kept below the first
  // line (of height lineHeight) and, where the cell allows, inside it.
  static int SecondLineOffset(int rows, int lineHeight, int cellHeight);
  // The part of a section left for the cell once the grid line is drawn:
  // the line between two cells is lineWidth wide, half from each side.
  static QRect Interior(const QRect& section, int lineWidth);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  int lineWidth_ = 2;
};
