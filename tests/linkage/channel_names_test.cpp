#include "linkage/channel_names.h"

#include <gtest/gtest.h>

#include <optional>

#include "core/gbk.h"
#include "core/profile_file.h"
#include "support/temp_home.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray NumberedNames(int count) {
  QByteArray ini = "[NAME]\r\n";
  for (int n = 1; n <= count; ++n)
    ini += "INDEX" + QByteArray::number(n) + "=Cam " + QByteArray::number(n) + "\r\n";
  return ini;
}

TEST(ChannelNamesTest, EveryFileGivesFiveHundredTwelveEntries) {
  QByteArray garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 167 + 13) % 256);
  struct {
    const char* what;
    std::optional<QByteArray> file;  // nullopt: no chname.ini
    int rename;                      // entry renamed first, -1 for none
    QString newName;
    bool renamed;  // what Rename() answers
    int probe;     // the entry looked at afterwards, and its text
    QString entry;
  } const cases[] = {
      {"missing file", std::nullopt, -1, {}, false, 511, u"512 "_s},
      {"600 keys", NumberedNames(600), -1, {}, false, 511, u"512 Cam 512"_s},
      {"binary garbage", garbage, -1, {}, false, 0, u"1 "_s},
      {"10 MB line",
       "[NAME]\r\nINDEX2=" + QByteArray(10 << 20, 'x') + "\r\nINDEX3=ok\r\n",
       -1,
       {},
       false,
       1,
       u"2 "_s + QString(TChannelNames::kMaxShownName, u'x')},
      {"control characters",
       "[name]\nindex5=a\x01\x1b"
       "b\n",
       -1,
       {},
       false,
       4,
       u"5 a  b"_s},
      {"rename input 3", NumberedNames(4), 2, u"Hall B 大厅"_s, true, 2, u"3 Hall B 大厅"_s},
      {"index past the end", NumberedNames(4), 512, u"x"_s, false, 3, u"4 Cam 4"_s},
      {"negative index", NumberedNames(4), -2, u"x"_s, false, 0, u"1 Cam 1"_s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TTempHome home;
    const QString fileName = u"chname.ini"_s;
    if (c.file) {
      ASSERT_TRUE(home.Write(fileName, *c.file));
    }
    TChannelNames names;
    if (c.rename != -1) {
      EXPECT_EQ(names.Rename(c.rename, c.newName), c.renamed);
    }
    const QByteArray before = home.Read(fileName);
    const QStringList entries = names.Entries();
    ASSERT_EQ(entries.size(), TChannelNames::kCount);
    EXPECT_EQ(entries[c.probe], c.entry);
    const TProfileFile file(home.File(fileName));
    if (c.file) {
      EXPECT_EQ(home.Read(fileName), before) << "an existing file is only read";
    } else {
      EXPECT_EQ(file.ReadSection(u"NAME"_s).size(), TChannelNames::kCount) << "created";
    }
    if (c.renamed) {
      EXPECT_EQ(file.ReadString(u"NAME"_s, u"INDEX%1"_s.arg(c.rename + 1), {}), c.newName);
      EXPECT_TRUE(home.Read(fileName).contains(Gbk::Encode(c.newName))) << "stored in GBK";
    }
  }
}

}  // namespace
