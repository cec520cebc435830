#include "wall/family_menus.h"

#include <initializer_list>

namespace {

// One source entry: caption, source number, address-mode tag, hidden.
struct Entry {
  const char16_t* caption;
  int source;
  quint8 tag;
  bool hidden = false;
};

const QString kCombine = QStringLiteral("拼接");
const QString kDissolve = QStringLiteral("分解");
const QString kPower = QStringLiteral("开关控制");

// Without a fixed grid name the cells take the caption as shown when the
// entry is clicked, in the current language.
TMenuEntryDef CombineEntry(const Entry& e, const QString& gridName = {}) {
  return {QString::fromUtf16(e.caption), TMenuAction::Combine, e.source, e.tag, e.hidden, gridName};
}

TMenuEntryDef DissolveEntry(const Entry& e) {
  return {QString::fromUtf16(e.caption), TMenuAction::Dissolve, e.source, e.tag, e.hidden, {}};
}

TMenuSectionDef CombineSection(std::initializer_list<Entry> entries) {
  TMenuSectionDef section{kCombine, {}};
  for (const Entry& e : entries) section.entries.push_back(CombineEntry(e));
  return section;
}

TMenuSectionDef DissolveSection(std::initializer_list<Entry> entries) {
  TMenuSectionDef section{kDissolve, {}};
  for (const Entry& e : entries) section.entries.push_back(DissolveEntry(e));
  return section;
}

TMenuSectionDef PowerSection(std::optional<quint8> tag, TMenuAction on = TMenuAction::PowerOn,
                             TMenuAction off = TMenuAction::PowerOff) {
  return {kPower,
          {{QStringLiteral("开机"), on, 0, tag, false, {}},
           {QStringLiteral("关机"), off, 0, tag, false, {}}}};
}

// Most families use one tag for all their entries and the same sources for
// combining and dissolving.
std::vector<TMenuSectionDef> Uniform(std::initializer_list<Entry> entries) {
  const quint8 tag = entries.begin()->tag;
  return {CombineSection(entries), DissolveSection(entries), PowerSection(tag)};
}

std::vector<std::vector<TMenuSectionDef>> BuildMenus() {
  std::vector<std::vector<TMenuSectionDef>> menus(13);
  menus[0] = Uniform({{u"视频1", 1, 1},
                      {u"视频2", 2, 1},
                      {u"VGA", 3, 1},
                      {u"DVI", 4, 1},
                      {u"HDMI", 5, 1},
                      {u"LC", 7, 1}});
  menus[1] = Uniform({{u"视频", 1, 2}, {u"VGA", 3, 2}});
  menus[2] = GeneralMenu();  // QN-33 has no menu of its own
  menus[3] = Uniform({{u"DVI", 4, 3}, {u"VGA", 3, 3}, {u"VGA2", 8, 3}, {u"视频", 1, 3}});
  // One entry each, standing in the menu itself; the cells are named "VGA".
  menus[4] = {{{},
               {CombineEntry({u"拼接VGA", 3, 5}, QStringLiteral("VGA")),
                DissolveEntry({u"分解VGA", 3, 5})}},
              PowerSection(5)};
  menus[5] = Uniform({{u"Video1", 1, 4},
                      {u"Video2", 2, 4},
                      {u"YUV", 9, 4},
                      {u"VGA", 3, 4},
                      {u"HDMI", 5, 4},
                      {u"USB", 6, 4}});
  // The TR-5000 "DVI" is the splicer's HDMI input; its USB entries are hidden.
  menus[6] = Uniform(
      {{u"DVI", 5, 6}, {u"VGA", 3, 6}, {u"视频", 1, 6}, {u"USB", 6, 6, true}, {u"LC", 7, 6}});
  // 7 (mixer/switcher) and 10 (QN-T1): empty.
  // QN-23: the "拼接" entry itself combines as HDMI; its power entries do nothing.
  menus[8] = {{{}, {CombineEntry({u"拼接", 5, 9}, QStringLiteral("拼接"))}},
              DissolveSection({{u"HDMI", 5, 9}, {u"USB", 6, 9}}),
              PowerSection(std::nullopt, TMenuAction::NoAction, TMenuAction::NoAction)};
  menus[9] = Uniform({{u"Video 1", 1, 8},
                      {u"Video 2", 2, 8},
                      {u"YUV", 9, 8},
                      {u"VGA", 3, 8},
                      {u"DVI", 5, 8},
                      {u"USB", 6, 8}});
  // QN-44: a tag per entry, different for combining and dissolving.
  menus[11] = {
      CombineSection(
          {{u"视频", 1, 2}, {u"VGA", 3, 5}, {u"DVI", 4, 1}, {u"HDMI", 5, 1}, {u"USB", 6, 4}}),
      DissolveSection(
          {{u"视频", 1, 11}, {u"VGA", 3, 5}, {u"DVI", 4, 1}, {u"HDMI", 5, 1}, {u"USB", 6, 5}}),
      PowerSection(1)};
  menus[12] = {
      {{},
       {{QStringLiteral("网络搜索设备"), TMenuAction::NetworkSearch, 0, std::nullopt, false, {}}}}};
  return menus;
}

}  // namespace

const std::vector<TMenuSectionDef>& GeneralMenu() {
  static const std::vector<TMenuSectionDef> menu = {
      PowerSection(std::nullopt),
      {kCombine, {}},
      {{}, {{kDissolve, TMenuAction::Dissolve, 0, std::nullopt, false, {}}}},
  };
  return menu;
}

const std::vector<TMenuSectionDef>& FamilyMenu(quint8 family) {
  static const std::vector<std::vector<TMenuSectionDef>> menus = BuildMenus();
  return family < menus.size() ? menus[family] : GeneralMenu();
}
