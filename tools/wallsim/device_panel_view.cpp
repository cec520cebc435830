#include "device_panel_view.h"

#include <QPainter>

#include "panel_boxes_view.h"
#include "virtual_wall.h"

namespace {

constexpr int kMargin = TPanelBoxes::kMargin;
constexpr int kLine = TPanelBoxes::kLine;
constexpr int kRouteWidth = 70;

}  // namespace

TDevicePanel::TDevicePanel(const TVirtualWall& wall, QWidget* parent)
    : QWidget(parent), wall_(wall) {
  setObjectName(QStringLiteral("devicePanel"));
  setAccessibleName(QStringLiteral("Matrices and DVR"));
  setMinimumWidth(240);
  for (TMatrixKind kind : {TMatrixKind::Video, TMatrixKind::Vga, TMatrixKind::Dvi})
    connect(&wall_.Matrix(kind), &TMatrixUnit::changed, this, qOverload<>(&QWidget::update));
  connect(&wall_.Dvr(), &TDvrUnit::changed, this, qOverload<>(&QWidget::update));
}

QSize TDevicePanel::sizeHint() const { return {300, 560}; }

void TDevicePanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  TPanelBoxes boxes(p, *this);
  const int width = boxes.Width();
  const int perRow = std::max(1, width / kRouteWidth);

  // A titled box whose body has `lines` lines; returns the body's top.
  const auto box = [&](const QString& title, int lines) { return boxes.Box(title, kLine * lines); };
  // The rows left for routes once the fixed lines are drawn, shared by the
  // matrices that have any: the panel ends where the widget does.
  int routed = 0;
  for (TMatrixKind kind : {TMatrixKind::Video, TMatrixKind::Vga, TMatrixKind::Dvi})
    routed += wall_.Matrix(kind).Routes().empty() ? 0 : 1;
  const int spare = height() - 2 * kMargin - kLine - 4 * (2 * kLine + 8 + kMargin);
  const int maxRows = std::max(1, spare / kLine / std::max(1, routed));

  p.setFont(boxes.Font());
  p.setPen(QColor(170, 175, 185));
  p.drawText(kMargin, boxes.Top(), width, kLine, Qt::AlignLeft,
             QStringLiteral("Matrix routes: output ← input"));
  boxes.Skip(kLine + 4);
  for (TMatrixKind kind : {TMatrixKind::Video, TMatrixKind::Vga, TMatrixKind::Dvi}) {
    const TMatrixUnit& m = wall_.Matrix(kind);
    const QString brand = m.Brand().isEmpty() ? QStringLiteral("none") : m.Brand();
    const int routes = static_cast<int>(m.Routes().size());
    const int rows = std::min(maxRows, (routes + perRow - 1) / perRow);
    int top = box(QStringLiteral("%1 matrix · %2").arg(MatrixKindName(kind), brand), rows + 1);
    p.setPen(m.HasCommandSet() ? QColor(170, 175, 185) : QColor(220, 140, 120));
    p.drawText(kMargin + 6, top, width - 12, kLine, Qt::AlignLeft,
               m.HasCommandSet()
                   ? QStringLiteral("commands %1  bad %2  noise %3")
                         .arg(m.Commands())
                         .arg(m.BadCommands())
                         .arg(m.NoiseBytes())
                   : QStringLiteral("no command set: %1 bytes ignored").arg(m.IgnoredBytes()));
    top += kLine;
    p.setPen(QColor(235, 235, 235));
    int i = 0;
    for (const auto& [out, in] : m.Routes()) {
      if (i >= rows * perRow) break;
      const bool last = i == rows * perRow - 1 && routes > rows * perRow;
      const QString text = last ? QStringLiteral("…") : QStringLiteral("%1 ← %2").arg(out).arg(in);
      p.drawText(kMargin + 6 + (i % perRow) * kRouteWidth, top + (i / perRow) * kLine, kRouteWidth,
                 kLine, Qt::AlignLeft, text);
      ++i;
    }
  }

  const TDvrUnit& dvr = wall_.Dvr();
  const int top = box(QStringLiteral("DVR"), 1);
  p.setPen(QColor(235, 235, 235));
  p.drawText(kMargin + 6, top, width - 12, kLine, Qt::AlignLeft,
             dvr.Split() ? QStringLiteral("split %1  address %2  (frames %3, bad %4)")
                               .arg(dvr.Split())
                               .arg(dvr.Address())
                               .arg(dvr.Frames())
                               .arg(dvr.BadFrames())
                         : QStringLiteral("no split yet (frames %1, bad %2)")
                               .arg(dvr.Frames())
                               .arg(dvr.BadFrames()));
}
