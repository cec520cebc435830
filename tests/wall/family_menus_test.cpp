#include "wall/family_menus.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <ostream>

#include "support/test_bytes.h"

namespace {

// A menu as one line: "Section{entry, ...}" per section, entries as
// "C caption=source/tag" (combine; ">name" when the grid name differs),
// "D caption=source/tag" (dissolve), "ON/tag", "OFF/tag", "NONE caption",
// "SEARCH caption"; "/-" for no tag, "!" for a hidden entry.
QString Describe(const std::vector<TMenuSectionDef>& menu) {
  QStringList sections;
  for (const TMenuSectionDef& s : menu) {
    QStringList entries;
    for (const TMenuEntryDef& e : s.entries) {
      const QString tag = e.tag ? QString::number(*e.tag) : QStringLiteral("-");
      QString text;
      switch (e.action) {
        case TMenuAction::Combine:
          text = QStringLiteral("C %1=%2/%3").arg(e.caption).arg(e.source).arg(tag);
          if (!e.gridName.isEmpty() && e.gridName != e.caption) text += u'>' + e.gridName;
          break;
        case TMenuAction::Dissolve:
          text = QStringLiteral("D %1=%2/%3").arg(e.caption).arg(e.source).arg(tag);
          break;
        case TMenuAction::PowerOn:
          text = QStringLiteral("ON %1/%2").arg(e.caption, tag);
          break;
        case TMenuAction::PowerOff:
          text = QStringLiteral("OFF %1/%2").arg(e.caption, tag);
          break;
        case TMenuAction::NoAction:
          text = QStringLiteral("NONE ") + e.caption;
          break;
        case TMenuAction::NetworkSearch:
          text = QStringLiteral("SEARCH ") + e.caption;
          break;
      }
      if (e.hidden) text += u'!';
      entries << text;
    }
    sections << s.caption + u'{' + entries.join(QStringLiteral(", ")) + u'}';
  }
  return sections.join(u' ');
}

const char16_t* const kGeneral = u"开关控制{ON 开机/-, OFF 关机/-} 拼接{} {D 分解=0/-}";

// Each family's menu as the operator sees it, with the tag every entry sets.
const std::vector<const char16_t*> kMenus = {
    // 0 QN-51
    u"拼接{C 视频1=1/1, C 视频2=2/1, C VGA=3/1, C DVI=4/1, C HDMI=5/1, C LC=7/1} "
    u"分解{D 视频1=1/1, D 视频2=2/1, D VGA=3/1, D DVI=4/1, D HDMI=5/1, D LC=7/1} "
    u"开关控制{ON 开机/1, OFF 关机/1}",
    // 1 QN-46_45
    u"拼接{C 视频=1/2, C VGA=3/2} 分解{D 视频=1/2, D VGA=3/2} 开关控制{ON 开机/2, OFF 关机/2}",
    // 2 QN-33: no menu of its own
    kGeneral,
    // 3 QN-22
    u"拼接{C DVI=4/3, C VGA=3/3, C VGA2=8/3, C 视频=1/3} "
    u"分解{D DVI=4/3, D VGA=3/3, D VGA2=8/3, D 视频=1/3} 开关控制{ON 开机/3, OFF 关机/3}",
    // 4 QN-K7 / QN-K8
    u"{C 拼接VGA=3/5>VGA, D 分解VGA=3/5} 开关控制{ON 开机/5, OFF 关机/5}",
    // 5 QN-HV6
    u"拼接{C Video1=1/4, C Video2=2/4, C YUV=9/4, C VGA=3/4, C HDMI=5/4, C USB=6/4} "
    u"分解{D Video1=1/4, D Video2=2/4, D YUV=9/4, D VGA=3/4, D HDMI=5/4, D USB=6/4} "
    u"开关控制{ON 开机/4, OFF 关机/4}",
    // 6 TR-5000
    u"拼接{C DVI=5/6, C VGA=3/6, C 视频=1/6, C USB=6/6!, C LC=7/6} "
    u"分解{D DVI=5/6, D VGA=3/6, D 视频=1/6, D USB=6/6!, D LC=7/6} "
    u"开关控制{ON 开机/6, OFF 关机/6}",
    // 7 mixer/switcher
    u"",
    // 8 QN-23
    u"{C 拼接=5/9} 分解{D HDMI=5/9, D USB=6/9} 开关控制{NONE 开机, NONE 关机}",
    // 9 QN-HV8
    u"拼接{C Video 1=1/8, C Video 2=2/8, C YUV=9/8, C VGA=3/8, C DVI=5/8, C USB=6/8} "
    u"分解{D Video 1=1/8, D Video 2=2/8, D YUV=9/8, D VGA=3/8, D DVI=5/8, D USB=6/8} "
    u"开关控制{ON 开机/8, OFF 关机/8}",
    // 10 QN-T1
    u"",
    // 11 QN-44
    u"拼接{C 视频=1/2, C VGA=3/5, C DVI=4/1, C HDMI=5/1, C USB=6/4} "
    u"分解{D 视频=1/11, D VGA=3/5, D DVI=4/1, D HDMI=5/1, D USB=6/5} "
    u"开关控制{ON 开机/1, OFF 关机/1}",
    // 12 QN-51N
    u"{SEARCH 网络搜索设备}",
};

TEST(FamilyMenusTest, EveryFamilysEntriesSourcesAndTags) {
  for (size_t family = 0; family < kMenus.size(); ++family) {
    EXPECT_EQ(Describe(FamilyMenu(static_cast<quint8>(family))), QString::fromUtf16(kMenus[family]))
        << "family " << family;
  }
}

TEST(FamilyMenusTest, GeneralMenu) {
  EXPECT_EQ(Describe(GeneralMenu()), QString::fromUtf16(kGeneral));
  EXPECT_EQ(Describe(FamilyMenu(13)), QString::fromUtf16(kGeneral));  // no family of that number
}

TEST(FamilyMenusTest, OnlyQn22EntriesCanBroadcast) {
  // Tag 3 is the only one the public channel turns into a broadcast.
  for (quint8 family = 0; family < 13; ++family) {
    for (const TMenuSectionDef& s : FamilyMenu(family)) {
      for (const TMenuEntryDef& e : s.entries) {
        if (e.tag == 3) {
          EXPECT_EQ(family, 3) << e.caption.toStdString();
        }
      }
    }
  }
}

}  // namespace
