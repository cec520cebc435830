#include "unit_addresses.h"

#include "frame_meaning.h"

namespace {

std::vector<TUnitAddress> BuildUnits() {
  std::vector<TUnitAddress> units;
  units.push_back({30, 30, QStringLiteral("mixer")});
  units.push_back({29, 1, QStringLiteral("rotating-unit")});
  for (int n = 1; n <= 20; ++n) units.push_back({30, n, QStringLiteral("switcher-%1").arg(n)});
  for (int n = 2; n <= 20; ++n) units.push_back({29, n, QStringLiteral("qnt1-%1").arg(n)});
  // PL-39 unit k sits at row 30 - (k - 1) % 3, column 30 - (k - 1) / 3.
  for (int k = 2; k <= 9; ++k)
    units.push_back({30 - (k - 1) % 3, 30 - (k - 1) / 3, QStringLiteral("pl39-%1").arg(k)});
  return units;
}

}  // namespace

const std::vector<TUnitAddress>& AllUnits() {
  static const std::vector<TUnitAddress> units = BuildUnits();
  return units;
}

std::optional<TUnitAddress> UnitAt(int row, int col) {
  for (const TUnitAddress& u : AllUnits())
    if (u.row == row && u.col == col) return u;
  return std::nullopt;
}

QString UnitChannelName(const QString& unit, int source) {
  const bool dviAsFour = unit == u"mixer" || unit.startsWith(QStringLiteral("pl39-"));
  if (dviAsFour && source == 5) return QStringLiteral("DVI");
  return SourceName(source);
}
