#include "wall_state.h"

#include <algorithm>

#include "unit_addresses.h"

TWallState::TWallState(int rows, int cols)
    : rows_(std::clamp(rows, 1, 30)), cols_(std::clamp(cols, 1, 30)) {
  screens_.resize(static_cast<size_t>(rows_ * cols_));
  for (int r = 1; r <= rows_; ++r)
    for (int c = 1; c <= cols_; ++c) At(r, c).picture = TCellRange{r, c, r, c};
}

const TScreenState& TWallState::Screen(int row, int col) const {
  return screens_[static_cast<size_t>((row - 1) * cols_ + (col - 1))];
}

TScreenState& TWallState::At(int row, int col) {
  return screens_[static_cast<size_t>((row - 1) * cols_ + (col - 1))];
}

bool TWallState::ApplyTo(TScreenState& s, const TFrameMeaning& m, const TCellRange* picture) {
  const TScreenState before = s;
  switch (m.action) {
    case TFrameAction::PowerOff:
      s.power = false;
      break;
    case TFrameAction::PowerOn:
      s.power = true;
      break;
    case TFrameAction::SelectSource:
      s.source = m.value;
      if (picture) s.picture = *picture;
      break;
    case TFrameAction::StillPicture:
      s.still = !s.still;
      break;
    case TFrameAction::ReshowH:
      s.reshowH = m.value;
      break;
    case TFrameAction::ReshowV:
      s.reshowV = m.value;
      break;
    case TFrameAction::Rotate:
      s.rotation = m.value;
      break;
    case TFrameAction::OutputResolution:
      s.resolution = m.value;
      break;
    default:
      return false;
  }
  return s.power != before.power || s.source != before.source || !(s.picture == before.picture) ||
         s.still != before.still || s.rotation != before.rotation || s.reshowH != before.reshowH ||
         s.reshowV != before.reshowV || s.resolution != before.resolution;
}

bool TWallState::Apply(const TFrameMeaning& m) {
  bool changed = false;
  if (!m.target.unit.isEmpty()) {
    auto [it, added] = units_.try_emplace(m.target.unit);
    changed = ApplyTo(it->second, m, nullptr) || added;
  }
  if (m.target.screens) {
    const TCellRange area = *m.target.screens;
    for (int r = area.top; r <= area.bottom; ++r) {
      for (int c = area.left; c <= area.right; ++c) {
        // A single screen shows its source alone; a rectangle becomes one
        // picture; a broadcast leaves every picture as it is.
        const TCellRange own{r, c, r, c};
        const TCellRange* picture = m.target.broadcast ? nullptr : (area.Single() ? &own : &area);
        changed = ApplyTo(At(r, c), m, picture) || changed;
      }
    }
  }
  return changed;
}

QString TWallState::Line(const QString& head, const TScreenState& s, bool withPicture) {
  QString line = head + QStringLiteral(" power ") +
                 (s.power ? QStringLiteral("on") : QStringLiteral("off")) +
                 QStringLiteral(" source ") + SourceName(s.source);
  if (withPicture) line += QStringLiteral(" picture ") + s.picture.Text();
  if (s.still) line += QStringLiteral(" still");
  if (s.rotation) line += QStringLiteral(" rotation %1").arg(s.rotation * 90);
  if (s.reshowH >= 0) line += QStringLiteral(" reshow-h %1").arg(s.reshowH);
  if (s.reshowV >= 0) line += QStringLiteral(" reshow-v %1").arg(s.reshowV);
  if (s.resolution >= 0) line += QStringLiteral(" resolution %1").arg(s.resolution);
  return line;
}

QStringList TWallState::Dump() const {
  QStringList lines;
  for (int r = 1; r <= rows_; ++r)
    for (int c = 1; c <= cols_; ++c)
      lines << Line(QStringLiteral("screen %1-%2").arg(r).arg(c), Screen(r, c), true);
  for (const auto& [name, unit] : units_) {
    QString line = Line(QStringLiteral("unit ") + name, unit, false);
    // A unit whose panel names the input otherwise (the PL-39's DVI) says so.
    if (const QString channel = UnitChannelName(name, unit.source);
        channel != SourceName(unit.source))
      line += QStringLiteral(" channel ") + channel;
    lines << line;
  }
  return lines;
}
