#include "frame_meaning.h"

#include <algorithm>
#include <array>

#include "link/cell_address.h"
#include "link/protocol.h"
#include "short_address.h"
#include "unit_addresses.h"

namespace {

constexpr std::array<const char*, 12> kSourceNames = {
    "none", "Video1", "Video2", "VGA", "DVI", "HDMI", "USB", "LC", "VGA2", "YUV", "Video3", "USB2"};

QString Hex2(int value) { return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')); }

// "VgaAdcRedOffsetUp" -> "vga-adc-red-offset-up"
QString Kebab(const char* name) {
  const QString s = QString::fromLatin1(name);
  QString out;
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar ch = s[i];
    if (i > 0 && ch.isUpper() && (s[i - 1].isLower() || s[i - 1].isDigit())) out += u'-';
    out += ch.toLower();
  }
  return out;
}

QString RangeText(const TCellRange& r) {
  return QStringLiteral("rows %1-%2 cols %3-%4").arg(r.top).arg(r.bottom).arg(r.left).arg(r.right);
}

// Long frame: rows and columns as they are, clipped to the wall.
TFrameTarget LongTarget(const quint8* a, int rows, int cols) {
  TFrameTarget t;
  if (a[0] == 0xFF && a[1] == 0xFF && a[2] == 0xFF && a[3] == 0xFF) {
    t.broadcast = true;
    t.screens = TCellRange{1, 1, rows, cols};
    t.text = QStringLiteral("all screens");
    return t;
  }
  const TCellRange asSent{std::min(a[0], a[2]), std::min(a[1], a[3]), std::max(a[0], a[2]),
                          std::max(a[1], a[3])};
  const TCellRange clipped{std::max(asSent.top, 1), std::max(asSent.left, 1),
                           std::min(asSent.bottom, rows), std::min(asSent.right, cols)};
  const bool inside = clipped.top <= clipped.bottom && clipped.left <= clipped.right;
  if (inside) t.screens = clipped;
  if (a[0] == a[2] && a[1] == a[3]) {
    if (auto unit = UnitAt(a[0], a[1])) t.unit = unit->name;
  }
  if (!t.unit.isEmpty()) {
    t.text = inside ? t.unit + QStringLiteral(" and ") + RangeText(clipped) : t.unit;
  } else {
    t.text = RangeText(asSent);
    if (!inside)
      t.text += QStringLiteral(" outside the wall");
    else if (!(clipped == asSent))
      t.text += QStringLiteral(" partly outside the wall");
  }
  return t;
}

// Short frame: each byte is one packed cell address.
TFrameTarget ShortTarget(const quint8* a, int rows, int cols) {
  TFrameTarget t;
  if (a[0] == 0xFF && a[1] == 0xFF) {
    t.broadcast = true;
    t.screens = TCellRange{1, 1, rows, cols};
    t.text = QStringLiteral("all screens");
    return t;
  }
  // The unit bytes are also cells (the mixer's 1E is 1-14, the rotating
  // unit's D1 is 13-1, switchers 17 to 20 are 1-1 to 1-4): where the wall
  // has that cell the frame is for its screen, which is what the splicers on
  // the line take it for.
  if (a[0] == a[1] && !UnpackShortAddress(a[0], rows, cols)) {
    for (const TUnitAddress& unit : AllUnits()) {
      if (PackShortAddress(CellAddress(unit.row, unit.col)) != a[0]) continue;
      t.unit = unit.name;
      break;
    }
  }
  const auto start = UnpackShortAddress(a[0], rows, cols);
  const auto end = start ? UnpackShortEnd(a[1], *start, rows, cols) : std::nullopt;
  if (start && end) {
    t.screens = TCellRange{std::min(start->row, end->row), std::min(start->col, end->col),
                           std::max(start->row, end->row), std::max(start->col, end->col)};
  }
  if (!t.unit.isEmpty()) {
    t.text = t.screens ? t.unit + QStringLiteral(" and ") + RangeText(*t.screens) : t.unit;
  } else if (t.screens) {
    t.text = RangeText(*t.screens);
  } else {
    t.text = QStringLiteral("cells %1-%2 outside the wall").arg(Hex2(a[0]), Hex2(a[1]));
  }
  return t;
}

QString CellText(int row, int col) { return QStringLiteral("%1-%2").arg(row).arg(col); }

}  // namespace

QString SourceName(int source) {
  if (source < 0 || source >= static_cast<int>(kSourceNames.size())) return QStringLiteral("none");
  return QString::fromLatin1(kSourceNames[static_cast<size_t>(source)]);
}

TFrameMeaning InterpretFrame(QByteArrayView frame, int rows, int cols) {
  TFrameMeaning m;
  const auto* f = reinterpret_cast<const quint8*>(frame.data());
  const bool isLong = frame.size() == TProtocol::kLongFrameLength;
  const quint8* address = f + 2;
  const quint8 cls = f[frame.size() - 3];
  const quint8 code = f[frame.size() - 2];

  // Frames that carry something other than an address in the address field.
  if (cls == 0x66) {
    m.action = TFrameAction::SetCellId;
    if (isLong) {
      m.text = QStringLiteral("set-cell-id machine 0x%1%2 to %3")
                   .arg(Hex2(f[4]), Hex2(f[5]), CellText(f[2], f[3]));
    } else {
      const auto cell = UnpackShortAddress(code, 30, 30);
      m.text =
          QStringLiteral("set-cell-id machine 0x%1%2 to %3")
              .arg(Hex2(f[2]), Hex2(f[3]),
                   cell ? CellText(cell->row, cell->col) : QStringLiteral("packed ") + Hex2(code));
    }
    return m;
  }
  if (cls == 0x77 && (code == 0x00 || code == 0x01)) {
    if (code == 0x00) {
      m.action = TFrameAction::RequestFactoryNumber;
      m.text = QStringLiteral("request-factory-number");
      return m;
    }
    m.action = TFrameAction::SetFactoryNumber;
    QString number;
    for (int i = 0; i < (isLong ? 4 : 2); ++i) number += Hex2(address[i]);
    m.text = QStringLiteral("set-factory-number 0x") + number;
    return m;
  }

  m.target = isLong ? LongTarget(address, rows, cols) : ShortTarget(address, rows, cols);
  QString action;
  switch (cls) {
    case 0x10:
      if (code <= 1) {
        m.action = code ? TFrameAction::PowerOn : TFrameAction::PowerOff;
        action = code ? QStringLiteral("power-on") : QStringLiteral("power-off");
      }
      break;
    case 0x20:
      if (code <= 0x0A) {
        m.action = TFrameAction::SelectSource;
        m.value = code + 1;
        action = QStringLiteral("select-source ") + SourceName(m.value);
      }
      break;
    case 0x21:
      m.action = TFrameAction::Setting;
      m.value = code;
      action = QStringLiteral("backlight %1").arg(code);
      break;
    case 0x5A:
    case 0x5B:
      m.action = cls == 0x5A ? TFrameAction::ReshowH : TFrameAction::ReshowV;
      m.value = code;
      action = (cls == 0x5A ? QStringLiteral("reshow-h ") : QStringLiteral("reshow-v ")) +
               QString::number(code);
      break;
    case 0x69:
      if (code >= 0x1E && code <= 0x28) {
        m.action = TFrameAction::Setting;
        m.value = code;
        action = QStringLiteral("fan-temperature %1").arg(code);
      }
      break;
    case 0x73:
      if (code == 0x01) {
        m.action = TFrameAction::StillPicture;
        action = QStringLiteral("still-picture");
      }
      break;
    case 0x78:
      if (code <= 3) {
        m.action = TFrameAction::OutputResolution;
        m.value = code;
        action = QStringLiteral("output-resolution %1").arg(code);
      }
      break;
    case 0x80:
      if (code <= 3) {
        m.action = TFrameAction::Rotate;
        m.value = code;
        action = QStringLiteral("rotate %1").arg(code * 90);
      }
      break;
    default:
      break;
  }
  if (action.isEmpty()) {
    if (const TProtocol::Command* command = TProtocol::FindCommand(cls, code)) {
      m.action = TFrameAction::Setting;
      action = Kebab(command->name);
    }
  }
  if (action.isEmpty()) {
    m.action = TFrameAction::Unknown;
    m.text = QStringLiteral("class %1 code %2").arg(Hex2(cls), Hex2(code));
    return m;
  }
  m.text = action + u' ' + m.target.text;
  return m;
}
