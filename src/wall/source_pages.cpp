#include "wall/source_pages.h"

#include <initializer_list>
#include <utility>

namespace {

using Buttons = std::initializer_list<std::pair<const char16_t*, int>>;

const QString kGroupCaption = QStringLiteral("信源类型：");

// "rb" + page + group + caption in Latin letters: "rbQN51Video1",
// "rbQN4645G2VGA", "rbQN22PublicUSB".
QString ObjectName(const QString& page, const QString& group, const QString& caption) {
  QString id = caption;
  id.replace(QStringLiteral("视频"), QStringLiteral("Video"));
  id.remove(u' ');
  return QStringLiteral("rb") + page + group + id;
}

TSourceGroupDef Group(const QString& page, const QString& group, Buttons buttons,
                      bool hidden = false, const QString& caption = kGroupCaption) {
  TSourceGroupDef def{caption, {}, hidden};
  for (const auto& [text, source] : buttons) {
    const QString captionText = QString::fromUtf16(text);
    def.buttons.push_back({captionText, source, ObjectName(page, group, captionText)});
  }
  return def;
}

// The QN-51 buttons, which two other pages repeat as their second group.
constexpr Buttons kQn51 = {{u"视频1", 1}, {u"视频2", 2}, {u"VGA", 3}, {u"DVI", 4},
                           {u"HDMI", 5},  {u"USB", 6},   {u"LC", 7}};

std::vector<TSourcePageDef> BuildPages() {
  std::vector<TSourcePageDef> pages;
  const QString g2 = QStringLiteral("G2");
  auto page = [&](quint8 family, const char16_t* name, std::vector<TSourceGroupDef> groups) {
    pages.push_back({family, QString::fromUtf16(name), std::move(groups), false});
  };
  const QString qn51 = QStringLiteral("QN51");
  const QString qn4645 = QStringLiteral("QN4645");
  const QString qn33 = QStringLiteral("QN33");
  const QString qn22 = QStringLiteral("QN22");

  page(0, u"QN-51", {Group(qn51, {}, kQn51)});
  page(1, u"QN-46_45", {Group(qn4645, {}, {{u"视频", 1}, {u"VGA", 3}}), Group(qn4645, g2, kQn51)});
  // The first group carries no action: its buttons have source 0.
  page(2, u"QN-33",
       {Group(qn33, {},
              {{u"视频1", 0},
               {u"视频2", 0},
               {u"VGA", 0},
               {u"DVI 1", 0},
               {u"DVI 2", 0},
               {u"HDMI", 0},
               {u"USB", 0}}),
        Group(qn33, g2, kQn51)});
  page(3, u"QN-22",
       {Group(qn22, {}, {{u"DVI", 4}, {u"VGA1", 3}, {u"视频", 1}, {u"VGA2", 8}}),
        // The broadcast group, in the order of TWallCommands::PublicChannelButton.
        Group(qn22, QStringLiteral("Public"), {{u"DVI", 4}, {u"VGA", 3}, {u"CVBS", 1}, {u"USB", 6}},
              true, QString())});
  pages.back().publicChannel = true;
  page(4, u"QN-K7", {Group(QStringLiteral("QNK7"), {}, {{u"VGA", 3}, {u"USB", 6}})});
  page(5, u"QN-HV6",
       {Group(
           QStringLiteral("QNHV6"), {},
           {{u"Video1", 1}, {u"Video2", 2}, {u"YUV", 9}, {u"VGA", 3}, {u"HDMI", 5}, {u"USB", 6}})});
  // Its "DVI" is the splicer's HDMI input.
  page(6, u"TR-5000",
       {Group(QStringLiteral("TR5000"), {},
              {{u"DVI", 5}, {u"VGA", 3}, {u"视频", 1}, {u"USB", 6}, {u"LC", 7}})});
  // The switcher sources stand in for the source group.
  page(8, u"QN-23", {Group(QStringLiteral("QN23"), {}, {}, true)});
  page(9, u"QN-HV8",
       {Group(QStringLiteral("QNHV8"), {},
              {{u"Video 1", 1},
               {u"Video 2", 2},
               {u"Video 3", 10},
               {u"YUV", 9},
               {u"VGA", 3},
               {u"DVI", 5},
               {u"USB", 6}})});
  page(10, u"QN-T1", {});
  page(11, u"QN-44",
       {Group(QStringLiteral("QN44"), {},
              {{u"HDMI", 5}, {u"DVI", 4}, {u"VGA", 3}, {u"CVBS", 1}, {u"USB", 6}})});
  page(12, u"QN-51N", {});
  return pages;
}

}  // namespace

const std::vector<TSourcePageDef>& SourcePages() {
  static const std::vector<TSourcePageDef> pages = BuildPages();
  return pages;
}

const TSourcePageDef* SourcePageForFamily(quint8 family) {
  for (const TSourcePageDef& page : SourcePages())
    if (page.family == family) return &page;
  return nullptr;
}
