#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

// One radio button of a source page. source 0: a button without action (the
// QN-33 page's first group).
struct TSourceButtonDef {
  QString caption;
  int source = 0;
  QString objectName;
};

// A group of radio buttons ("信源类型："). A hidden group is built but not
// shown: on the QN-22 page it is the broadcast group that the "公共通道" box
// reveals (its buttons in order 0 DVI, 1 VGA, 2 CVBS, 3 USB); on the QN-23
// page the switcher sources take its place.
struct TSourceGroupDef {
  QString caption;
  std::vector<TSourceButtonDef> buttons;
  bool hidden = false;
};

// The source page shown beside the grid for one device family. publicChannel:
// the page carries the "公共通道" box (QN-22).
struct TSourcePageDef {
  quint8 family = 0;
  QString name;
  std::vector<TSourceGroupDef> groups;
  bool publicChannel = false;
};

// The source pages as data, so that a window can build them and tests can
// check them: families 0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12 in that order.
const std::vector<TSourcePageDef>& SourcePages();
// nullptr for a family without a page (7, or an unknown index).
const TSourcePageDef* SourcePageForFamily(quint8 family);
