#include "wall/wall_cell_delegate.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "wall/wall_model.h"

TWallCellDelegate::TWallCellDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QColor TWallCellDelegate::CombinedColour(qint32 colourOffset) {
  // Wrap like the 32-bit colour value it stands for, whatever the offset.
  const quint32 value = static_cast<quint32>(kCombinedBase) + static_cast<quint32>(colourOffset);
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

int TWallCellDelegate::PointSize(int rows) { return std::max(16 - rows, kMinPointSize); }

int TWallCellDelegate::SecondLineOffset(int rows, int lineHeight, int cellHeight) {
  const int wanted = 43 - 2 * rows;
  const int belowFirst = 1 + lineHeight;
  const int lastInside = cellHeight - lineHeight;
  int offset = std::min(wanted, lastInside);
  return std::max(offset, belowFirst);
}

QRect TWallCellDelegate::Interior(const QRect& section, int lineWidth) {
  const int before = lineWidth / 2;
  const int after = lineWidth - before;
  QRect inner = section.adjusted(before, before, -after, -after);
  if (inner.width() < 1) inner.setWidth(1);
  if (inner.height() < 1) inner.setHeight(1);
  return inner;
}

void TWallCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  const int state = index.data(TWallModel::StateRole).toInt();
  const bool selected = option.state.testFlag(QStyle::State_Selected);
  const QPalette& palette = option.palette;
  const int rows = index.model() ? index.model()->rowCount() : 1;

  painter->save();
  painter->fillRect(option.rect, palette.color(QPalette::Mid));
  const QRect cell = Interior(option.rect, lineWidth_);

  QColor fill = selected ? palette.color(QPalette::Highlight) : palette.color(QPalette::Base);
  QColor text = selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text);
  QString second;
  if (state == 1) {
    fill = CombinedColour(index.data(TWallModel::ColourOffsetRole).toInt());
    text = palette.color(QPalette::Text);
    second = index.data(TWallModel::NameRole).toString();
  } else if (state == 2) {
    second = index.data(TWallModel::NameRole).toString();
  }
  painter->fillRect(cell, fill);
  if (state == 1 && selected) {
    // The combined colour replaces the highlight; a frame keeps the selection visible.
    const int frame = std::min({2, cell.width() / 4, cell.height() / 4});
    if (frame > 0) {
      QPen pen(palette.color(QPalette::Highlight), frame);
      pen.setJoinStyle(Qt::MiterJoin);
      painter->setPen(pen);
      painter->setBrush(Qt::NoBrush);
      const qreal half = frame / 2.0;
      painter->drawRect(QRectF(cell).adjusted(half, half, -half, -half));
    }
  }

  QFont font = option.font;
  font.setPointSize(PointSize(rows));
  painter->setFont(font);
  painter->setPen(text);
  painter->setClipRect(cell);
  const QFontMetrics metrics(font);
  const int lineHeight = metrics.height();
  const QString label = index.data(Qt::DisplayRole).toString();
  painter->drawText(
      QRect(cell.left() + 5, cell.top() + 1, std::max(cell.width() - 5, 1), lineHeight),
      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, label);
  if (!second.isEmpty()) {
    const int y = cell.top() + SecondLineOffset(rows, lineHeight, cell.height());
    painter->drawText(QRect(cell.left() + 5, y, std::max(cell.width() - 5, 1), lineHeight),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, second);
  }
  painter->restore();
}
