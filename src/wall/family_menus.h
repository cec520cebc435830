#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

// What a context-menu entry does: Combine calls TWallCommands::CombineEntry
// (gridName, source, tag), Dissolve calls Dissolve(source, tag), PowerOn and
// PowerOff call PowerOnWall / PowerOffWall with the tag, NetworkSearch runs
// the network device search, NoAction does nothing.
enum class TMenuAction { Combine, Dissolve, PowerOn, PowerOff, NoAction, NetworkSearch };

// One entry of a context menu. gridName is the fixed name a combine gives
// the cells (empty: the caption shown); tag is the address-mode tag set first.
struct TMenuEntryDef {
  QString caption;
  TMenuAction action = TMenuAction::NoAction;
  int source = 0;
  std::optional<quint8> tag;
  bool hidden = false;
  QString gridName;
};

// A sub-menu ("拼接", "分解", "开关控制") with its entries, or, with an empty
// caption, entries that stand in the menu itself.
struct TMenuSectionDef {
  QString caption;
  std::vector<TMenuEntryDef> entries;
};

// Each device family's wall-grid context menu as data. Families 7 and 10
// have an empty menu, 12 only the network search; a family without a menu of
// its own (2, or an unknown index) gets the general menu.
const std::vector<TMenuSectionDef>& FamilyMenu(quint8 family);
// The grid's general menu: power, an empty "拼接" and "分解" with each
// cell's own source.
const std::vector<TMenuSectionDef>& GeneralMenu();
