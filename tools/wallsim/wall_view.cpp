#include "wall_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "unit_addresses.h"
#include "wall_simulator.h"

namespace {

QColor SourceColour(int source) {
  if (source <= 0) return QColor(70, 78, 92);
  return QColor::fromHsv((source * 67) % 360, 120, 200);
}

QString Marks(const TScreenState& s) {
  QStringList marks;
  if (s.still) marks << QStringLiteral("still");
  if (s.rotation) marks << QStringLiteral("%1°").arg(s.rotation * 90);
  if (!s.power) marks << QStringLiteral("off");
  return marks.join(u' ');
}

}  // namespace

TWallView::TWallView(const TWallSimulator& sim, QWidget* parent) : QWidget(parent), sim_(sim) {
  setWindowTitle(QStringLiteral("Quvial virtual wall"));
  setMinimumSize(320, 240);
  connect(&sim_, &TWallSimulator::changed, this, qOverload<>(&QWidget::update));
}

QSize TWallView::sizeHint() const { return {800, 560}; }

void TWallView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(24, 26, 30));
  const TWallState& wall = sim_.State();
  const int footer = 28 + (wall.Units().empty() ? 0 : 28);
  const QRectF area = QRectF(rect()).adjusted(8, 8, -8, -8 - footer);
  const double cw = area.width() / wall.Cols();
  const double ch = area.height() / wall.Rows();
  const auto cellRect = [&](int r, int c) {
    return QRectF(area.left() + (c - 1) * cw, area.top() + (r - 1) * ch, cw, ch);
  };
  const auto rangeRect = [&](const TCellRange& g) {
    return cellRect(g.top, g.left).united(cellRect(g.bottom, g.right));
  };
  // A picture is drawn whole only while every screen of it still belongs to
  // it; screens that a later frame took out of it are drawn on their own.
  const auto intact = [&](const TCellRange& g) {
    for (int r = g.top; r <= g.bottom; ++r)
      for (int c = g.left; c <= g.right; ++c)
        if (r > wall.Rows() || c > wall.Cols() || !(wall.Screen(r, c).picture == g)) return false;
    return true;
  };

  QFont font = p.font();
  font.setPointSizeF(std::max(7.0, std::min(cw, ch) / 10));
  p.setFont(font);
  for (int r = 1; r <= wall.Rows(); ++r) {
    for (int c = 1; c <= wall.Cols(); ++c) {
      const TScreenState& s = wall.Screen(r, c);
      const QRectF cell = cellRect(r, c).adjusted(1, 1, -1, -1);
      p.fillRect(cell, s.power ? SourceColour(s.source) : QColor(8, 8, 8));
      p.setPen(QColor(40, 40, 40));
      p.drawRect(cell);
      p.setPen(s.power ? Qt::black : QColor(110, 110, 110));
      p.drawText(cell.adjusted(4, 2, -4, -2), Qt::AlignTop | Qt::AlignLeft,
                 QStringLiteral("%1-%2").arg(r).arg(c));
      const QString marks = Marks(s);
      if (!marks.isEmpty())
        p.drawText(cell.adjusted(4, 2, -4, -2), Qt::AlignBottom | Qt::AlignRight, marks);
      const bool whole = !s.picture.Single() && intact(s.picture);
      if (!whole && s.source) p.drawText(cell, Qt::AlignCenter, SourceName(s.source));
    }
  }
  // Whole pictures: one frame and one label each, drawn once at their top-left screen.
  QFont big = font;
  big.setBold(true);
  big.setPointSizeF(font.pointSizeF() * 2.5);
  for (int r = 1; r <= wall.Rows(); ++r) {
    for (int c = 1; c <= wall.Cols(); ++c) {
      const TScreenState& s = wall.Screen(r, c);
      if (s.picture.Single() || s.picture.top != r || s.picture.left != c || !intact(s.picture))
        continue;
      const QRectF g = rangeRect(s.picture).adjusted(2, 2, -2, -2);
      p.setPen(QPen(Qt::white, 3));
      p.drawRect(g);
      p.setFont(big);
      p.drawText(g, Qt::AlignCenter, SourceName(s.source));
      p.setFont(font);
    }
  }

  QFont small = p.font();
  small.setPointSize(10);
  p.setFont(small);
  p.setPen(QColor(220, 220, 220));
  double y = area.bottom() + 8;
  if (!wall.Units().empty()) {
    QStringList units;
    for (const auto& [name, u] : wall.Units()) {
      QString text = name + QStringLiteral(": ") +
                     (u.power ? QStringLiteral("on") : QStringLiteral("off")) + u' ' +
                     UnitChannelName(name, u.source);
      if (u.rotation) text += QStringLiteral(" %1°").arg(u.rotation * 90);
      if (u.resolution >= 0) text += QStringLiteral(" res %1").arg(u.resolution);
      units << text;
    }
    p.drawText(QRectF(8, y, width() - 16, 24), Qt::AlignLeft | Qt::AlignVCenter,
               units.join(QStringLiteral("   ")));
    y += 28;
  }
  p.drawText(QRectF(8, y, width() - 16, 24), Qt::AlignLeft | Qt::AlignVCenter, sim_.CountersText());
}
