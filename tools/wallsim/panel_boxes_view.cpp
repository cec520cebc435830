#include "panel_boxes_view.h"

#include <QPainter>
#include <QWidget>

TPanelBoxes::TPanelBoxes(QPainter& p, const QWidget& widget)
    : p_(p), font_(p.font()), width_(widget.width() - 2 * kMargin) {
  p_.fillRect(widget.rect(), QColor(32, 34, 40));
  font_.setPointSize(9);
  bold_ = font_;
  bold_.setBold(true);
}

int TPanelBoxes::Box(const QString& title, int bodyHeight) {
  const QRect frame(kMargin, y_, width_, kLine + 8 + bodyHeight);
  p_.setPen(QColor(90, 96, 110));
  p_.drawRect(frame);
  p_.setFont(bold_);
  p_.setPen(QColor(235, 235, 235));
  p_.drawText(frame.adjusted(6, 2, -6, 0), Qt::AlignTop | Qt::AlignLeft, title);
  p_.setFont(font_);
  y_ = frame.bottom() + kMargin;
  return frame.top() + kLine + 4;
}
