#include "app/lang_table.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>

#include "core/gbk.h"
#include "support/source_tree.h"
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

// --- one section read in one pass ---------------------------------------

class LangTableSectionTest : public testing::Test {
 protected:
  TLangTable Load(const QByteArray& bytes, const QString& section) {
    EXPECT_TRUE(home.Write(u"lang.ini"_s, bytes));
    return TLangTable::Load(section);
  }
  TTempHome home;
};

TEST_F(LangTableSectionTest, ReadsOnlyTheWantedSectionWithoutRegardToCase) {
  const QByteArray table = "[chs]\r\nID_A=" + Gbk::Encode(u"确定"_s) +
                           "\r\nID_B=" + Gbk::Encode(u"取消"_s) +
                           "\r\n[ENG]\r\nid_a =  OK \r\nID_B=Cancel\r\n";
  const TLangTable chs = Load(table, u"CHS"_s);
  EXPECT_TRUE(chs.Exists());
  EXPECT_EQ(chs.Count(), 2);
  EXPECT_EQ(chs.Text(u"id_a"), u"确定"_s);
  EXPECT_EQ(chs.Text(u"ID_B"), u"取消"_s);
  const TLangTable eng = Load(table, u"eng"_s);
  EXPECT_EQ(eng.Text(u"ID_A"), u"OK"_s);
  EXPECT_EQ(eng.Text(u"ID_B"), u"Cancel"_s);
  EXPECT_TRUE(eng.Text(u"ID_C").isEmpty());
  EXPECT_FALSE(eng.Contains(u"ID_C"));
}

TEST_F(LangTableSectionTest, FirstOfDuplicateSectionsAndKeysWins) {
  const TLangTable t = Load(
      "[eng]\nID_A=first\nID_A=second\n[chs]\nID_A=x\n[eng]\nID_A=third\nID_B=late\n", u"eng"_s);
  EXPECT_EQ(t.Text(u"ID_A"), u"first"_s);
  // The later duplicate section is invisible, as in the profile reader.
  EXPECT_FALSE(t.Contains(u"ID_B"));
  EXPECT_EQ(LangText(u"eng"_s, u"ID_A"_s), t.Text(u"ID_A"));
  EXPECT_EQ(LangText(u"eng"_s, u"ID_B"_s), t.Text(u"ID_B"));
}

TEST_F(LangTableSectionTest, ABracketInsideAChineseSectionNameDoesNotEndIt) {
  // 0x81 0x5D is one GBK character whose second byte is ']'.
  const QByteArray table = "[x\x81\x5D]\nID_A=wrong\n[eng]\nID_A=right\n";
  EXPECT_EQ(Load(table, u"eng"_s).Text(u"ID_A"), u"right"_s);
  EXPECT_EQ(Load(table, u"x"_s + Gbk::Decode("\x81\x5D")).Text(u"ID_A"), u"wrong"_s);
}

TEST_F(LangTableSectionTest, SkipsCommentsGarbageAndKeylessLines) {
  const TLangTable t = Load(
      "garbage before any section\n[eng]\n; ID_A=comment\n=no key\nno equals sign\n"
      "ID_B=a=b\n\n  ID_C  =  spaced  \n",
      u"eng"_s);
  EXPECT_EQ(t.Count(), 2);
  EXPECT_FALSE(t.Contains(u"ID_A"));
  EXPECT_EQ(t.Text(u"ID_B"), u"a=b"_s);
  EXPECT_EQ(t.Text(u"ID_C"), u"spaced"_s);
}

// Whatever the file holds, loading gives a table and never fails.
struct OddTable {
  const char* name;
  QByteArray bytes;
  qsizetype keys;      // keys found in [eng]
  const char16_t* id;  // a key to read, and what it must give (nullptr: no check)
  const char16_t* text;
};

class LangTableOddFileTest : public LangTableSectionTest,
                             public testing::WithParamInterface<OddTable> {};

TEST_P(LangTableOddFileTest, LoadsWithoutCrash) {
  const OddTable& odd = GetParam();
  const TLangTable t = Load(odd.bytes, u"eng"_s);
  EXPECT_TRUE(t.Exists());
  EXPECT_EQ(t.Count(), odd.keys);
  if (odd.id) {
    EXPECT_EQ(t.Text(QStringView(odd.id)), QString::fromUtf16(odd.text));
  }
}

QByteArray Garbage() {
  QByteArray b;
  quint32 x = 12345;
  for (int i = 0; i < 64 * 1024; ++i) {
    x = x * 1103515245u + 12345u;
    b.append(static_cast<char>(x >> 24));
  }
  return "[eng]\n" + b;
}

INSTANTIATE_TEST_SUITE_P(
    Odd, LangTableOddFileTest,
    testing::Values(OddTable{"Empty", QByteArray(), 0, u"ID_A", u""},
                    OddTable{"OnlyAHeader", "[eng]", 0, nullptr, nullptr},
                    OddTable{"NoLineEndAtTheEnd", "[eng]\nID_A=x", 1, u"ID_A", u"x"},
                    OddTable{"Utf8WithByteOrderMark",
                             "\xEF\xBB\xBF[eng]\r\nID_A=\xE7\xA1\xAE\xE5\xAE\x9A\r\n", 1, u"ID_A",
                             u"确定"},
                    // Without a byte order mark UTF-8 is read as GBK: wrong characters
                    // (or replacement characters), but the keys are found.
                    OddTable{"Utf8WithoutByteOrderMark",
                             "[eng]\nID_A=\xE7\xA1\xAE\xE5\xAE\x9A\nID_B=ok\n", 2, u"ID_B", u"ok"},
                    OddTable{"TruncatedGbkCharacter", "[eng]\nID_A=\xD6", 1, u"ID_A", u"\uFFFD"},
                    // Found by fuzzing: only the profile files' blanks are trimmed from a
                    // name, so the table and TProfileFile read the same key.
                    OddTable{"VerticalTabIsPartOfTheKey", "[eng]\nID_A\v=x\n", 1, u"ID_A\v", u"x"},
                    OddTable{"ByteOrderMarkInsideIsACharacter",
                             "\xEF\xBB\xBF[eng]\n\xEF\xBB\xBF=x\n", 1, u"\uFEFF", u"x"},
                    OddTable{"NulBytes",
                             QByteArray("[eng]\nID_A=a\0b\n", sizeof "[eng]\nID_A=a\0b\n" - 1), 1,
                             nullptr, nullptr}),
    [](const testing::TestParamInfo<OddTable>& p) { return std::string(p.param.name); });

TEST_F(LangTableSectionTest, RandomBytesLoadWithoutCrash) {
  const TLangTable t = Load(Garbage(), u"eng"_s);
  EXPECT_TRUE(t.Exists());
  // Whatever keys the bytes happen to form, each reads back as loaded.
  EXPECT_TRUE(t.Text(u"ID_NOT_THERE").isEmpty());
}

TEST_F(LangTableSectionTest, TenThousandKeysLoadOnce) {
  QByteArray table = "[chs]\r\n";
  for (int i = 0; i < 10000; ++i)
    table += "ID_KEY_" + QByteArray::number(i) + "=" + Gbk::Encode(u"文本"_s) +
             QByteArray::number(i) + "\r\n";
  const TLangTable t = Load(table, u"chs"_s);
  EXPECT_EQ(t.Count(), 10000);
  EXPECT_EQ(t.Text(u"ID_KEY_0"), u"文本0"_s);
  EXPECT_EQ(t.Text(u"id_key_9999"), u"文本9999"_s);
}

TEST_F(LangTableSectionTest, AnOversizedFileGivesNoTexts) {
  QByteArray table = "[eng]\nID_A=x\n";
  table.append(QByteArray(TLangTable::kMaxBytes, 'z'));
  const TLangTable t = Load(table, u"eng"_s);
  EXPECT_TRUE(t.Exists());
  EXPECT_EQ(t.Count(), 0);
}

TEST_F(LangTableSectionTest, MissingFileGivesAnEmptyTable) {
  const TLangTable t = TLangTable::Load(u"eng"_s);
  EXPECT_FALSE(t.Exists());
  EXPECT_EQ(t.Count(), 0);
  EXPECT_TRUE(t.Text(u"ID_CHOOSE_FORM_CAPTION").isEmpty());
}

// --- the shipped table ---------------------------------------------------

// Every key the windows use, by window.
const char* const kAllKeys[] = {
    // start dialog, device type editor
    "ID_CHOOSE_FORM_CAPTION",
    "ID_CHOOSE_FORM_LBLTYPE",
    "ID_CHOOSE_FORM_BTNCHOOSE",
    "ID_CHOOSE_FORM_BTNCANCEL",
    "ID_SETUP_TYPE_FORM_CAPTION",
    "ID_SETUP_TYPE_FORM_lblTypeList",
    "ID_SETUP_TYPE_FORM_lblNewType",
    "ID_SETUP_TYPE_FORM_btnEdit",
    // main window
    "ID_QUVIAL_FORM_MAIN_MENU_FILEMENUITEM",
    "ID_QUVIAL_FORM_MAIN_MENU_MENUITEMSCENE",
    "ID_QUVIAL_FORM_MAIN_MENU_EXIT",
    "ID_QUVIAL_FORM_MAIN_MENU_SETUPMENUITEM",
    "ID_QUVIAL_FORM_MAIN_MENU_MANAGER",
    "ID_QUVIAL_FORM_MAIN_MENU_SUPERMANAGER",
    "ID_QUVIAL_FORM_MAIN_MENU_MENUITEMSYSSETUP",
    "ID_QUVIAL_FORM_MAIN_MENU_MATRIXSETUP",
    "ID_QUVIAL_FORM_MAIN_MENU_DVRSETUP",
    "ID_QUVIAL_FORM_MAIN_MENU_OPT",
    "ID_QUVIAL_FORM_MAIN_MENU_MENUITEMSETUPCOM",
    "ID_QUVIAL_FORM_MAIN_MENU_LANGCHOOSEMENUITEM",
    "ID_QUVIAL_FORM_MAIN_MENU_HELP",
    "ID_QUVIAL_FORM_MAIN_MENU_MENUITEMABOUT",
    "ID_QUVIAL_FORM_MAIN_MENU_FACTORYMODE",
    "ID_QUVIAL_FORM_GRID_SETUPMATRIX",
    "ID_QUVIAL_FORM_GRID_BTNROWSET",
    "ID_QUVIAL_FORM_GRID_GBSINGALTYPE",
    "ID_QUVIAL_FORM_GRID_RBQN22VIDEO",
    "ID_QUVIAL_FORM_GRID_GB3SIGNALTYPE",
    "ID_QUVIAL_FORM_GRID_GB6SIGNALTYPE",
    "ID_QUVIAL_FORM_GRID_RBTR5000VIDEO",
    "ID_QUVIAL_FORM_GRID_RBQN51VIDEO1",
    "ID_QUVIAL_FORM_GRID_RBQN51VIDEO2",
    "ID_QUVIAL_FORM_GRID_NBSIGNALSOURCE",
    "ID_QUVIAL_FORM_GRID_RBQN4645VIDEO",
    "ID_QUVIAL_FORM_GRID_MATRIXCMB",
    "ID_QUVIAL_FORM_GRID_LBLCHANNEL",
    "ID_QUVIAL_FORM_GRID_DVRCMB",
    "ID_QUVIAL_FORM_GRID_LBLDVRCHANNEL",
    "ID_QUVIAL_FORM_GRID_BtnManultDVRADDRESS",
    "ID_QUVIAL_FORM_GRID_CBDELAYSTART",
    "ID_QUVIAL_FORM_GRID_LBLSEC",
    "ID_QUVIAL_FORM_GRID_BTNSTARTMAC",
    "ID_QUVIAL_FORM_GRID_BTNSTOPMAC",
    "ID_QUVIAL_FORM_GRID_GBREFRESH",
    "ID_QUVIAL_FORM_GRID_CBSETUPRESHOW",
    "ID_QUVIAL_FORM_GRID_LBLH",
    "ID_QUVIAL_FORM_GRID_LBLP",
    "ID_QUVIAL_FORM_GRID_BTNRESHOW",
    "ID_QUVIAL_FORM_CB_MIXER_SWITCH",
    "ID_QUVIAL_FORM_SWITCH_CHANNEL_LABEL",
    "ID_QUVIAL_FORM_SWITCH_ADDR",
    "ID_QUVIAL_FORM_GRID_OUTPUTMSG",
    "ID_QUVIAL_FORM_GRID_PUBLICCHANNEL",
    "ID_QUVIAL_FORM_POPMENUOP_TURNONOFF",
    "ID_QUVIAL_FORM_POPMENUOP_TURNON",
    "ID_QUVIAL_FORM_POPMENUOP_TURNOFF",
    "ID_QUVIAL_FORM_POPMENUOP_COMBINE",
    "ID_QUVIAL_FORM_POPMENUOP_UNCOMB",
    "ID_QUVIAL_FORM_POPMENUOP_menuCombineQN51",
    "ID_QUVIAL_FORM_POPMENUOP_menuCombineQN51Video1",
    "ID_QUVIAL_FORM_POPMENUOP_menuCombineQN51Video2",
    "ID_QUVIAL_FORM_POPMENUOP_menuUnCombineQN51",
    "ID_QUVIAL_FORM_POPMENUOP_menuUnCombineVideo1QN51",
    "ID_QUVIAL_FORM_POPMENUOP_menuUnCombineVideo2QN51",
    "ID_QUVIAL_FORM_POPMENUOP_menuSwitchControlQN51",
    "ID_QUVIAL_FORM_POPMENUOP_menuPowerOnQN51",
    "ID_QUVIAL_FORM_POPMENUOP_menuPowerOffQn51",
    "ID_QUVIAL_FORM_POPMENUOP_menuCombineQN46",
    "ID_QUVIAL_FORM_POPMENUOP_menuVIDEOQN46",
    "ID_QUVIAL_FORM_POPMENUOP_menuUnCombineQN46",
    "ID_QUVIAL_FORM_POPMENUOP_menuUnCombineVideoQN46",
    "ID_QUVIAL_FORM_POPMENUOP_menuSwichControlQn46",
    "ID_QUVIAL_FORM_POPMENUOP_menuPowerOffQN46",
    "ID_QUVIAL_FORM_POPMENUOP_menuPowerOffQN46_",
    "ID_QUVIAL_FORM_POPMENUOP_menuCombineQN22",
    "ID_QUVIAL_FORM_POPMENUOP_menuCombineVideoQN22",
    "ID_QUVIAL_FORM_POPMENUOP_menuUnCombineQn22",
    "ID_QUVIAL_FORM_POPMENUOP_menuUnCombineVideoQN22",
    "ID_QUVIAL_FORM_POPMENUOP_menuSwitchControlQn22",
    "ID_QUVIAL_FORM_POPMENUOP_menuPowerOnQn22",
    "ID_QUVIAL_FORM_POPMENUOP_menuPowerOffQN22",
    "ID_QUVIAL_FORM_POPMENUOP_menuQNHV6Combine",
    "ID_QUVIAL_FORM_POPMENUOP_menuQNHV6UnCombine",
    "ID_QUVIAL_FORM_POPMENUOP_menuQNHV6OnOff",
    "ID_QUVIAL_FORM_POPMENUOP_menuQNK7CombineVGA",
    "ID_QUVIAL_FORM_POPMENUOP_menuQNK7UnCombineVGA",
    "ID_QUVIAL_FORM_POPMENUOP_menuQNK7SwitchCtl",
    "ID_QUVIAL_FORM_POPMENUOP_menuQNK7SwitchCtlOn",
    "ID_QUVIAL_FORM_POPMENUOP_menuQNK7SwitchCtlOff",
    "ID_QUVIAL_FORM_POPMENUOP_menuTR5000Combine",
    "ID_QUVIAL_FORM_POPMENUOP_menuTR5000UnCombine",
    "ID_QUVIAL_FORM_POPMENUOP_menuTR5000OnOff",
    "ID_QUVIAL_FORM_POPMENUOP_menuPowerOnTR5000",
    "ID_QUVIAL_FORM_POPMENUOP_menuPowerOffTR5000",
    "ID_QUVIAL_FORM_POPMENUOP_menuTR5000VIDEO",
    "ID_QUVIAL_FORM_TOOLBAR_COM",
    "ID_QUVIAL_FORM_TOOLBAR_USERMANAGER",
    "ID_QUVIAL_FORM_TOOLBAR_SETUP",
    "ID_QUVIAL_FORM_TOOLBAR_USB",
    "ID_QUVIAL_FORM_TOOLBAR_STOPPIC",
    "ID_QUVIAL_FORM_TOOLBAR_SCENE",
    "ID_QUVIAL_FORM_TOOLBAR_COMSETUP",
    "ID_QUVIAL_FORM_TOOLBAR_VERSION",
    "ID_QUVIAL_FORM_TOOLBAR_HELP",
    // user manager
    "ID_USERMANAGER_FORM_CAPTION",
    "ID_USERMANAGER_FORM_LBLINPUTUSERNAME",
    "ID_USERMANAGER_FORM_BTNLOGIN",
    "ID_USERMANAGER_FORM_LBLMANAGERSTATUS",
    "ID_USERMANAGER_FORM_BTNLOGOUT",
    "ID_USERMANAGER_FORM_GBEDITPASSWD",
    "ID_USERMANAGER_FORM_LBLSRCPASSWD",
    "ID_USERMANAGER_FORM_LBLNEWPASSWD",
    "ID_USERMANAGER_FORM_LBLNEWPASSWD2",
    "ID_USERMANAGER_FORM_BTNCONFIRM",
    "ID_USERMANAGER_FORM_LBLSUPERMANAGERSTATUS",
    "ID_USERMANAGER_FORM_GBSUPEREDITPASSWD",
    "ID_USERMANAGER_FORM_LBLSUPERSRCPASSWD",
    "ID_USERMANAGER_FORM_LBLSUPERNEWPASSWD",
    "ID_USERMANAGER_FORM_LBLSUPERNEWPASSWD2",
    "ID_USERMANAGER_FORM_BTNEDITSUPERPASSWD",
    "ID_USERMANAGER_FORM_LBLINPUTSUPERPASSWD",
    "ID_USERMANAGER_FORM_BTNSUPERUSERLOGIN",
    "ID_USERMANAGER_FORM_BTNSUPERUSERLOGOUT",
    // scene manager
    "ID_SCENE_FORM_CAPTION",
    "ID_SCENE_FORM_GBOPT",
    "ID_SCENE_FORM_CBAUTOCHANGE",
    "ID_SCENE_FORM_LBLCHANGETIME",
    "ID_SCENE_FORM_LBLSEC",
    "ID_SCENE_FORM_BTNSAVECURSCENE",
    "ID_SCENE_FORM_BTNSAVE",
    // matrix and DVR setup, mixer panel
    "ID_MATRIX_SETUP_FORM_CAPTION",
    "ID_MATRIX_SETUP_FORM_LBLVIDEO",
    "ID_MATRIX_SETUP_FORM_CBMATRIXDELAY",
    "ID_MATRIX_SETUP_FORM_BTNOK",
    "ID_MATRIX_SETUP_FORM_BTNCANCEL",
    "ID_MATRIX_SETUP_FORM_GBBOX",
    "ID_DVR_SETUP_FORM_CAPTION",
    "ID_DVR_SETUP_FORM_CBDVRDELAY",
    "ID_DVR_SETUP_FORM_BTNOK",
    "ID_DVR_SETUP_FORM_BTNCANCEL",
    "ID_TR39_GBINPUTCHANNEL_CAPTION",
    "ID_TR39_RBYUV_CAPTION",
    "ID_TR39_GBOUTPUTCHANNEL_CAPTION",
    // USB channel remote
    "ID_USBCHANNELFORM_CAPTION",
    "ID_USBCHANNELFORM_SBUP",
    "ID_USBCHANNELFORM_SBLEFT",
    "ID_USBCHANNELFORM_SBRIGHT",
    "ID_USBCHANNELFORM_SBDOWN",
    "ID_USBCHANNELFORM_SBOK",
    "ID_USBCHANNELFORM_SBPLAY",
    "ID_USBCHANNELFORM_SBPAUSE",
    "ID_USBCHANNELFORM_SBSTOP",
    "ID_USBCHANNELFORM_SBPREV",
    "ID_USBCHANNELFORM_SBLEFTPREV",
    "ID_USBCHANNELFORM_SBEXIT",
    "ID_USBCHANNELFORM_VOLDOWN",
    "ID_USBCHANNELFORM_VOLUP",
    // channel names, system setup, version, factory number
    "ID_SETUP_CHANNELNAME_FORM_CAPTION",
    "ID_SETUP_CHANNELNAME_FORM_lblChannelList",
    "ID_SETUP_CHANNELNAME_FORM_lblNewName",
    "ID_SETUP_CHANNELNAME_FORM_btnEdit",
    "ID_Get_SETUP",
    "ID_Get_SETUP_FACTORYNUMBER",
    "ID_GET_MACID",
    "ID_VERSION_FORM_LBLVERSIONNAME",
    "ID_VERSION_FORM_BTNVERSION",
    "ID_SETUP_FACTORYNUMBER_FORM_CAPTION",
    "ID_SETUP_FACTORYNUMBER_FORM_lblName",
    "ID_SETUP_FACTORYNUMBER_FORM_btnOK",
    "ID_SETUP_FACTORYNUMBER_FORM_btnCancel",
};

class ShippedLangTableTest : public testing::Test {
 protected:
  void SetUp() override {
    bytes = ReadSourceTreeFile(u"resources/lang.ini"_s);
    ASSERT_FALSE(bytes.isEmpty()) << "resources/lang.ini not found under "
                                  << SourceTreeRoot().toStdString();
    ASSERT_TRUE(home.Write(u"lang.ini"_s, bytes));
  }
  QByteArray bytes;
  TTempHome home;
};

TEST_F(ShippedLangTableTest, BothSectionsHoldTheSameKeysOnceEach) {
  const QStringList chs = LangFileKeys(bytes, u"chs"_s);
  const QStringList eng = LangFileKeys(bytes, u"eng"_s);
  EXPECT_EQ(chs, eng);  // same keys, same order
  // Keys match without regard to case, so no two may differ by case only.
  QSet<QString> folded;
  for (const QString& k : chs) {
    EXPECT_FALSE(folded.contains(k.toCaseFolded())) << "twice: " << k.toStdString();
    folded.insert(k.toCaseFolded());
  }
  EXPECT_GE(static_cast<std::size_t>(folded.size()), std::size(kAllKeys));
}

TEST_F(ShippedLangTableTest, EveryKeyOfEveryWindowHasATextInBothLanguages) {
  const TLangTable chs = TLangTable::Load(u"chs"_s);
  const TLangTable eng = TLangTable::Load(u"eng"_s);
  static const QRegularExpression cjk(u"[\u3000-\u9FFF\uFF00-\uFFEF]"_s);
  for (const char* key : kAllKeys) {
    const QString k = QString::fromLatin1(key);
    EXPECT_FALSE(chs.Text(k).isEmpty()) << key;
    EXPECT_FALSE(eng.Text(k).isEmpty()) << key;
    EXPECT_FALSE(eng.Text(k).contains(cjk)) << key << " is not English";
  }
  EXPECT_EQ(std::size(kAllKeys), 170u);
}

TEST_F(ShippedLangTableTest, IsGbkWithCrlfLineEnds) {
  EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
  EXPECT_FALSE(Gbk::Decode(bytes).contains(QChar::ReplacementCharacter));
  EXPECT_EQ(Gbk::Encode(Gbk::Decode(bytes)), bytes);  // nothing lost either way
  for (qsizetype at = bytes.indexOf('\n'); at >= 0; at = bytes.indexOf('\n', at + 1))
    ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << "bare LF at byte " << at;
  EXPECT_TRUE(bytes.endsWith("\r\n"));
}

// The Chinese section holds the captions as the windows were designed.
struct Designed {
  const char* key;
  const char16_t* chs;
};

TEST_F(ShippedLangTableTest, ChineseTextsAreTheDesignedCaptions) {
  const Designed designed[] = {
      {"ID_CHOOSE_FORM_CAPTION", u"选择设备参数"},
      {"ID_CHOOSE_FORM_LBLTYPE", u"请选择型号："},
      {"ID_QUVIAL_FORM_MAIN_MENU_FILEMENUITEM", u"文件"},
      {"ID_QUVIAL_FORM_MAIN_MENU_EXIT", u"退出"},
      {"ID_QUVIAL_FORM_MAIN_MENU_MENUITEMSETUPCOM", u"设置通讯端口"},
      {"ID_QUVIAL_FORM_MAIN_MENU_LANGCHOOSEMENUITEM", u"语言选择"},
      {"ID_QUVIAL_FORM_MAIN_MENU_FACTORYMODE", u"工厂模式"},
      {"ID_QUVIAL_FORM_GRID_SETUPMATRIX", u"拼接阵列"},
      {"ID_QUVIAL_FORM_GRID_GBSINGALTYPE", u"信源类型："},
      {"ID_QUVIAL_FORM_GRID_OUTPUTMSG", u"输出信息"},
      {"ID_QUVIAL_FORM_GRID_LBLDVRCHANNEL", u"画面分割显示"},
      {"ID_QUVIAL_FORM_SWITCH_CHANNEL_LABEL", u"输入通道："},
      {"ID_QUVIAL_FORM_POPMENUOP_menuQNK7CombineVGA", u"拼接VGA"},
      {"ID_QUVIAL_FORM_TOOLBAR_STOPPIC", u"静像"},
      {"ID_QUVIAL_FORM_TOOLBAR_COMSETUP", u"通讯端口设置"},
      {"ID_USERMANAGER_FORM_LBLINPUTSUPERPASSWD", u"请输入超级用户密码："},
      {"ID_SCENE_FORM_LBLSEC", u"秒 (>5秒）"},
      {"ID_MATRIX_SETUP_FORM_CBMATRIXDELAY", u"矩阵延时(ms)"},
      {"ID_DVR_SETUP_FORM_CBDVRDELAY", u"DVR延时(ms)"},
      {"ID_USBCHANNELFORM_SBPREV", u"快进"},
      {"ID_USBCHANNELFORM_VOLUP", u"音量+"},
      {"ID_SETUP_CHANNELNAME_FORM_lblNewName", u"新的名称为："},
      {"ID_GET_MACID", u"机器号："},
      {"ID_VERSION_FORM_BTNVERSION", u"版本信息"},
      {"ID_SETUP_FACTORYNUMBER_FORM_lblName", u"请输入机器号："},
  };
  const TLangTable chs = TLangTable::Load(u"chs"_s);
  for (const Designed& d : designed)
    EXPECT_EQ(chs.Text(QString::fromLatin1(d.key)), QString::fromUtf16(d.chs)) << d.key;
}

}  // namespace
