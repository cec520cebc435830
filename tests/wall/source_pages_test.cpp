#include "wall/source_pages.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QStringList>
#include <ostream>

#include "support/test_bytes.h"

namespace {

// One group as "caption=source|..." with a leading "hidden:" when hidden.
QString Describe(const TSourceGroupDef& group) {
  QStringList buttons;
  for (const TSourceButtonDef& b : group.buttons)
    buttons << QStringLiteral("%1=%2").arg(b.caption).arg(b.source);
  return (group.hidden ? QStringLiteral("hidden:") : QString()) + buttons.join(u'|');
}

struct PageExpectation {
  quint8 family;
  const char16_t* name;
  std::vector<const char16_t*> groups;
};

// The source pages as the operator knows them: caption and source number of
// every radio button (0: no action), group by group.
const std::vector<PageExpectation> kPages = {
    {0, u"QN-51", {u"视频1=1|视频2=2|VGA=3|DVI=4|HDMI=5|USB=6|LC=7"}},
    {1, u"QN-46_45", {u"视频=1|VGA=3", u"视频1=1|视频2=2|VGA=3|DVI=4|HDMI=5|USB=6|LC=7"}},
    {2,
     u"QN-33",
     {u"视频1=0|视频2=0|VGA=0|DVI 1=0|DVI 2=0|HDMI=0|USB=0",
      u"视频1=1|视频2=2|VGA=3|DVI=4|HDMI=5|USB=6|LC=7"}},
    {3, u"QN-22", {u"DVI=4|VGA1=3|视频=1|VGA2=8", u"hidden:DVI=4|VGA=3|CVBS=1|USB=6"}},
    {4, u"QN-K7", {u"VGA=3|USB=6"}},
    {5, u"QN-HV6", {u"Video1=1|Video2=2|YUV=9|VGA=3|HDMI=5|USB=6"}},
    {6, u"TR-5000", {u"DVI=5|VGA=3|视频=1|USB=6|LC=7"}},
    {8, u"QN-23", {u"hidden:"}},
    {9, u"QN-HV8", {u"Video 1=1|Video 2=2|Video 3=10|YUV=9|VGA=3|DVI=5|USB=6"}},
    {10, u"QN-T1", {}},
    {11, u"QN-44", {u"HDMI=5|DVI=4|VGA=3|CVBS=1|USB=6"}},
    {12, u"QN-51N", {}},
};

TEST(SourcePagesTest, EveryFamilysButtonsAndSources) {
  const std::vector<TSourcePageDef>& pages = SourcePages();
  ASSERT_EQ(pages.size(), kPages.size());
  for (size_t i = 0; i < kPages.size(); ++i) {
    const PageExpectation& want = kPages[i];
    const TSourcePageDef& page = pages[i];
    SCOPED_TRACE(QString::fromUtf16(want.name).toStdString());
    EXPECT_EQ(page.family, want.family);
    EXPECT_EQ(page.name, QString::fromUtf16(want.name));
    EXPECT_EQ(page.publicChannel, want.family == 3);
    QStringList groups;
    for (const TSourceGroupDef& g : page.groups) groups << Describe(g);
    QStringList expected;
    for (const char16_t* g : want.groups) expected << QString::fromUtf16(g);
    EXPECT_EQ(groups, expected);
    EXPECT_EQ(SourcePageForFamily(want.family), &page);
  }
}

TEST(SourcePagesTest, FamiliesWithoutAPage) {
  EXPECT_EQ(SourcePageForFamily(7), nullptr);
  EXPECT_EQ(SourcePageForFamily(13), nullptr);
  EXPECT_EQ(SourcePageForFamily(255), nullptr);
}

TEST(SourcePagesTest, VisibleGroupsCarryTheSourceTypeCaption) {
  for (const TSourcePageDef& page : SourcePages()) {
    for (const TSourceGroupDef& g : page.groups) {
      if (!g.hidden) {
        EXPECT_EQ(g.caption, QStringLiteral("信源类型：")) << page.family;
      }
    }
  }
}

TEST(SourcePagesTest, ObjectNamesAreStableAndUniquePerPage) {
  QSet<QString> all;
  for (const TSourcePageDef& page : SourcePages()) {
    QSet<QString> names;
    for (const TSourceGroupDef& g : page.groups) {
      for (const TSourceButtonDef& b : g.buttons) {
        EXPECT_TRUE(b.objectName.startsWith(QStringLiteral("rb"))) << b.objectName.toStdString();
        EXPECT_FALSE(b.objectName.contains(u' ')) << b.objectName.toStdString();
        for (QChar ch : b.objectName) EXPECT_LT(ch.unicode(), 0x80) << b.objectName.toStdString();
        EXPECT_FALSE(names.contains(b.objectName)) << b.objectName.toStdString();
        names.insert(b.objectName);
      }
    }
    EXPECT_FALSE(all.intersects(names)) << page.family;
    all.unite(names);
  }
  // Names the windows and their tests rely on.
  for (const char* name :
       {"rbQN51Video1", "rbQN51Video2", "rbQN51LC", "rbQN4645Video", "rbQN22Video", "rbQN22VGA2",
        "rbQN22PublicUSB", "rbTR5000Video", "rbQNHV8Video3", "rbQN44CVBS"})
    EXPECT_TRUE(all.contains(QString::fromLatin1(name))) << name;
}

}  // namespace
