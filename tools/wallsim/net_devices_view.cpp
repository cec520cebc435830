#include "net_devices_view.h"

#include <QPainter>
#include <QTimer>

#include "net_devices.h"
#include "net_splicer_module.h"
#include "net_subtitle_server.h"
#include "panel_boxes_view.h"

namespace {

constexpr int kTextBox = 70;  // the subtitle's own strip
constexpr int kMaxModuleLines = 12;

QColor FromPacket(quint32 colour) {
  return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

}  // namespace

TNetDevicesPanel::TNetDevicesPanel(const TNetDevices& net, QWidget* parent)
    : QWidget(parent), net_(net), scroll_(new QTimer(this)) {
  setObjectName(QStringLiteral("netDevicesPanel"));
  setAccessibleName(QStringLiteral("Network devices"));
  setMinimumWidth(260);
  connect(&net_, &TNetDevices::changed, this, qOverload<>(&QWidget::update));
  scroll_->setInterval(40);
  connect(scroll_, &QTimer::timeout, this, &TNetDevicesPanel::Tick);
  scroll_->start();
}

QSize TNetDevicesPanel::sizeHint() const { return {320, 560}; }

void TNetDevicesPanel::Tick() {
  const TNetSubtitleServer* s = net_.Subtitle();
  if (!s || !s->Running() || !s->Shown()) return;
  const TSubtitlePacket& p = *s->Shown();
  if (p.motion == 3 || p.motion == 6) return;  // static, centred
  offset_ += 1 + p.speed / 20;
  update();
}

void TNetDevicesPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  TPanelBoxes boxes(p, *this);
  const QFont& font = boxes.Font();
  const int width = boxes.Width();

  const auto text = [&](int top, const QString& line, QColor colour = QColor(200, 204, 212)) {
    p.setPen(colour);
    p.drawText(TPanelBoxes::kMargin + 6, top, width - 12, TPanelBoxes::kLine, Qt::AlignLeft, line);
  };

  if (const TNetGateway* g = net_.Gateway()) {
    const QStringList lines = g->Dump();
    int top = boxes.Box(QStringLiteral("COM gateway · %1").arg(g->Address().toString()),
                        TPanelBoxes::kLine * int(lines.size()));
    text(top, QStringLiteral("requests %1  forwards %2  bad %3")
                  .arg(g->Requests())
                  .arg(g->Forwards())
                  .arg(g->Bad()));
    for (qsizetype i = 1; i < lines.size(); ++i)
      text(top + TPanelBoxes::kLine * int(i), lines[i].mid(QStringLiteral("gateway port ").size()));
  }

  if (const TNetSubtitleServer* s = net_.Subtitle()) {
    int top = boxes.Box(QStringLiteral("Subtitle server · %1").arg(s->Address().toString()),
                        TPanelBoxes::kLine * 2 + kTextBox);
    text(top, QStringLiteral("%1  packets %2  bad %3")
                  .arg(s->Running() ? QStringLiteral("running") : QStringLiteral("stopped"))
                  .arg(s->Packets())
                  .arg(s->Bad()));
    const QRect strip(TPanelBoxes::kMargin + 6, top + TPanelBoxes::kLine, width - 12, kTextBox);
    p.fillRect(strip, Qt::black);
    if (s->Shown()) {
      const TSubtitlePacket& sp = *s->Shown();
      text(top + TPanelBoxes::kLine + kTextBox, QStringLiteral("%1 · %2 · speed %3 · %4 pt")
                                                    .arg(sp.PositionName(), sp.MotionName())
                                                    .arg(sp.speed)
                                                    .arg(sp.points));
      QFont face(sp.face.isEmpty() ? font.family() : sp.face);
      // The height the console chose, brought into the strip.
      face.setPixelSize(std::clamp(std::abs(sp.height) / 3, 10, kTextBox / 3));
      face.setBold(sp.bold);
      face.setItalic(sp.italic);
      face.setUnderline(sp.underline);
      face.setStrikeOut(sp.strikeOut);
      p.save();
      p.setClipRect(strip);
      p.setFont(face);
      p.setPen(s->Running() ? FromPacket(sp.colour) : QColor(110, 110, 110));
      const QString shown =
          sp.layout == 0 ? sp.lines.join(QStringLiteral("  ")) : sp.lines.join(u'\n');
      // One-line texts run across the strip, several lines up or down it;
      // the position places them across the motion.
      const QFontMetrics fm = p.fontMetrics();
      const int textWidth = fm.boundingRect(strip, Qt::AlignLeft, shown).width();
      const int shift = s->Running() ? offset_ : 0;
      const int acrossX = strip.width() + textWidth, acrossY = 2 * strip.height();
      const Qt::Alignment vertical = sp.position == 0   ? Qt::AlignTop
                                     : sp.position == 2 ? Qt::AlignBottom
                                                        : Qt::AlignVCenter;
      const Qt::Alignment horizontal = sp.position == 3   ? Qt::AlignLeft
                                       : sp.position == 5 ? Qt::AlignRight
                                                          : Qt::AlignHCenter;
      QRect area = strip;
      Qt::Alignment align = Qt::AlignHCenter | vertical;
      const auto runFrom = [&](int x) {
        area = QRect(strip.left() - textWidth + x, strip.top(), textWidth, strip.height());
        align = Qt::AlignLeft | vertical;
      };
      switch (sp.motion) {
        case 0:  // left to right
          runFrom(shift % acrossX);
          break;
        case 1:  // right to left
          runFrom(acrossX - shift % acrossX);
          break;
        case 2: {  // there and back
          const int t = shift % (2 * acrossX);
          runFrom(t < acrossX ? t : 2 * acrossX - t);
          break;
        }
        case 4:  // top to bottom
          area.translate(0, shift % acrossY - strip.height());
          align = horizontal | Qt::AlignVCenter;
          break;
        case 5:  // bottom to top
          area.translate(0, strip.height() - shift % acrossY);
          align = horizontal | Qt::AlignVCenter;
          break;
        default:  // static, centred
          break;
      }
      p.drawText(area, align, shown);
      p.restore();
    } else {
      text(top + TPanelBoxes::kLine + kTextBox, QStringLiteral("no subtitle yet"));
    }
  }

  const auto& modules = net_.Modules();
  if (!modules.empty()) {
    const int shown = std::min<int>(int(modules.size()), kMaxModuleLines);
    int top = boxes.Box(QStringLiteral("Network modules · %1").arg(modules.size()),
                        TPanelBoxes::kLine * shown);
    for (int i = 0; i < shown; ++i) {
      const TNetSplicerModule& m = *modules[size_t(i)];
      const bool last = i == shown - 1 && int(modules.size()) > shown;
      text(top + TPanelBoxes::kLine * i,
           last ? QStringLiteral("…")
                : QStringLiteral("%1  place %2-%3  id %4-%5  %6")
                      .arg(m.Address().toString())
                      .arg(m.Row() + 1)
                      .arg(m.Col() + 1)
                      .arg(m.Id() >> 8)
                      .arg(m.Id() & 0xFF)
                      .arg(m.IdsTaken() ? QStringLiteral("registered") : QString()));
    }
  }
}
