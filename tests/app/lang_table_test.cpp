#include "app/lang_table.h"

#include <gtest/gtest.h>

#include "core/gbk.h"
#include "support/temp_home.h"

using namespace Qt::StringLiterals;

namespace {

class LangTableTest : public testing::Test {
 protected:
  TTempHome home;
};

TEST_F(LangTableTest, SectionFollowsTheLanguageNumber) {
  EXPECT_EQ(LangSection(1), u"chs"_s);
  EXPECT_EQ(LangSection(2), u"eng"_s);
  // Values the program never writes fall back to Chinese.
  EXPECT_EQ(LangSection(0), u"chs"_s);
  EXPECT_EQ(LangSection(3), u"chs"_s);
  EXPECT_EQ(LangSection(-2), u"chs"_s);
}

TEST_F(LangTableTest, MissingTableGivesEmptyTexts) {
  ASSERT_TRUE(home.IsValid());
  EXPECT_FALSE(LangTableExists());
  EXPECT_TRUE(LangText(u"chs"_s, u"ID_CHOOSE_FORM_CAPTION"_s).isEmpty());
}

TEST_F(LangTableTest, ReadsGbkTextsOfBothSections) {
  const QByteArray table = "[chs]\r\nID_CHOOSE_FORM_CAPTION=" + Gbk::Encode(u"选择设备参数"_s) +
                           "\r\n[ENG]\r\nid_choose_form_caption = Choose device \r\n";
  ASSERT_TRUE(home.Write(u"lang.ini"_s, table));
  EXPECT_TRUE(LangTableExists());
  EXPECT_EQ(LangText(u"chs"_s, u"ID_CHOOSE_FORM_CAPTION"_s), u"选择设备参数"_s);
  EXPECT_EQ(LangText(u"eng"_s, u"ID_CHOOSE_FORM_CAPTION"_s), u"Choose device"_s);
}

TEST_F(LangTableTest, MissingKeyOrSectionGivesEmptyTextWithoutFallback) {
  ASSERT_TRUE(home.Write(u"lang.ini"_s, "[chs]\nID_CHOOSE_FORM_LBLTYPE=Type\n"));
  EXPECT_TRUE(LangText(u"chs"_s, u"ID_CHOOSE_FORM_BTNCHOOSE"_s).isEmpty());
  EXPECT_TRUE(LangText(u"eng"_s, u"ID_CHOOSE_FORM_LBLTYPE"_s).isEmpty());
}

TEST_F(LangTableTest, EditsTakeEffectAtTheNextRead) {
  ASSERT_TRUE(home.Write(u"lang.ini"_s, "[eng]\nID_X=old\n"));
  EXPECT_EQ(LangText(u"eng"_s, u"ID_X"_s), u"old"_s);
  ASSERT_TRUE(home.Write(u"lang.ini"_s, "[eng]\nID_X=new\n"));
  EXPECT_EQ(LangText(u"eng"_s, u"ID_X"_s), u"new"_s);
}

}  // namespace
