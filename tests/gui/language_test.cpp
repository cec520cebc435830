// The main window's texts from the language table and the switch between
// Chinese and English, with the shipped table and with broken ones.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMetaMethod>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

#include "app/quvial_form.h"
#include "app/setup_type_form.h"
#include "app/user_manager_form.h"
#include "core/gbk.h"
#include "core/pauser.h"
#include "core/profile_file.h"
#include "support/source_tree.h"
#include "support/temp_home.h"
#include "wall/family_menu_view.h"

using namespace Qt::StringLiterals;

namespace {

class LanguageTest : public testing::Test {
 protected:
  void SetUp() override {
    shipped = ReadSourceTreeFile(u"resources/lang.ini"_s);
    ASSERT_FALSE(shipped.isEmpty());
  }
  void WriteLang(int lang) {
    ASSERT_TRUE(home.Write(u"Quvial.ini"_s, "[COM]\r\nLANG=" + QByteArray::number(lang) + "\r\n"));
  }
  void UseShippedTable() { ASSERT_TRUE(home.Write(u"lang.ini"_s, shipped)); }
  void Start(quint8 family = 0) {
    TDeviceChoice choice;
    choice.family = family;
    choice.deviceName = u"QN-51"_s;
    choice.portListHidden = true;
    form = std::make_unique<TQuvialForm>(choice, pauser);
    form->show();
  }
  template <typename T = QObject>
  T* Find(const char* name) const {
    T* o = form->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(o, nullptr) << name;
    return o;
  }
  // A caption as read, without its accelerator ("&File", "文件(&F)").
  static QString Read(QString caption) {
    return caption.remove(QRegularExpression(u"\\(&.\\)$|&"_s));
  }
  QString MenuTitle(const char* name) const {
    QMenu* m = Find<QMenu>(name);
    return m ? Read(m->title()) : QString();
  }
  QString ActionText(const char* name) const {
    QAction* a = Find<QAction>(name);
    return a ? a->text() : QString();
  }
  int StoredLang() const {
    return TProfileFile(home.File(u"Quvial.ini"_s)).ReadInteger(u"COM"_s, u"LANG"_s, 0);
  }

  QByteArray shipped;
  TTempHome home;
  RecordingPauser pauser;
  std::unique_ptr<TQuvialForm> form;
};

TEST_F(LanguageTest, EnglishAtStartWhenLangIsTwo) {
  UseShippedTable();
  WriteLang(2);
  Start();
  EXPECT_FALSE(form->ChineseInterface());
  EXPECT_TRUE(Find<QAction>("menuItemEnglish")->isChecked());
  EXPECT_FALSE(Find<QAction>("menuItemChinese")->isChecked());
  EXPECT_EQ(MenuTitle("menuFile"), u"File"_s);
  EXPECT_EQ(ActionText("menuItemScene"), u"Scene Manager..."_s);
  EXPECT_EQ(ActionText("menuItemExit"), u"Exit"_s);
  EXPECT_EQ(MenuTitle("menuSetup"), u"Settings"_s);
  EXPECT_EQ(MenuTitle("menuItemLanguage"), u"Language"_s);
  EXPECT_EQ(ActionText("menuItemAbout"), u"About..."_s);
  EXPECT_EQ(Find<QToolButton>("btnConnect")->toolTip(), u"Connect"_s);
  EXPECT_EQ(Find<QGroupBox>("gbArray")->title(), u"Wall Array"_s);
  EXPECT_EQ(Find<QPushButton>("btnPowerOn")->text(), u"Power On"_s);
  auto* tab = Find<QTabWidget>("pcOutput");
  ASSERT_EQ(tab->count(), 1);
  EXPECT_EQ(tab->tabText(0), u"Output"_s);
  EXPECT_EQ(Find<QComboBox>("cbbRow")->itemText(0), u"1 row"_s);
  EXPECT_EQ(Find<QComboBox>("cbbCol")->itemText(29), u"30 col"_s);
  // The radio items themselves are the same in both languages.
  EXPECT_EQ(ActionText("menuItemEnglish"), u"English"_s);
  EXPECT_EQ(ActionText("menuItemChinese"), u"中文"_s);
}

TEST_F(LanguageTest, ChineseAtStartWhenLangIsOne) {
  UseShippedTable();
  WriteLang(1);
  Start();
  EXPECT_TRUE(form->ChineseInterface());
  EXPECT_TRUE(Find<QAction>("menuItemChinese")->isChecked());
  EXPECT_EQ(MenuTitle("menuFile"), u"文件"_s);
  EXPECT_EQ(MenuTitle("menuOperate"), u"操作"_s);
  EXPECT_EQ(Find<QComboBox>("cbbRow")->itemText(0), u"1 行"_s);
}

TEST_F(LanguageTest, SwitchingChangesCaptionsAtOnceStoresLangAndKeepsListPositions) {
  UseShippedTable();
  WriteLang(1);
  Start();
  auto* rows = Find<QComboBox>("cbbRow");
  auto* cols = Find<QComboBox>("cbbCol");
  rows->setCurrentIndex(4);
  cols->setCurrentIndex(7);

  Find<QAction>("menuItemEnglish")->trigger();
  EXPECT_FALSE(form->ChineseInterface());
  EXPECT_EQ(StoredLang(), 2) << "written at once";
  EXPECT_TRUE(Find<QAction>("menuItemEnglish")->isChecked());
  EXPECT_FALSE(Find<QAction>("menuItemChinese")->isChecked());
  EXPECT_EQ(MenuTitle("menuHelp"), u"Help"_s);
  EXPECT_EQ(Find<QToolButton>("btnStillPicture")->toolTip(), u"Still Picture"_s);
  EXPECT_EQ(rows->currentIndex(), 4);
  EXPECT_EQ(rows->currentText(), u"5 row"_s);
  EXPECT_EQ(cols->currentText(), u"8 col"_s);
  EXPECT_EQ(Find<QTabWidget>("pcOutput")->count(), 1);

  Find<QAction>("menuItemChinese")->trigger();
  EXPECT_TRUE(form->ChineseInterface());
  EXPECT_EQ(StoredLang(), 1);
  EXPECT_FALSE(Find<QAction>("menuItemEnglish")->isChecked());
  EXPECT_EQ(MenuTitle("menuHelp"), u"帮助"_s);
  EXPECT_EQ(rows->currentText(), u"5 行"_s);
  EXPECT_EQ(Find<QTabWidget>("pcOutput")->tabText(0), u"输出信息"_s);
}

TEST_F(LanguageTest, WallMenuFollowsTheLanguage) {
  UseShippedTable();
  WriteLang(1);
  Start(0);
  TFamilyMenuView* menu = form->WallMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_NE(menu->EntryAction(u"拼接"_s, u"视频1"_s), nullptr);
  Find<QAction>("menuItemEnglish")->trigger();
  EXPECT_NE(menu->EntryAction(u"Combine"_s, u"Video 1"_s), nullptr);
  EXPECT_NE(menu->EntryAction(u"Combine"_s, u"VGA"_s), nullptr) << "source names stay";
  EXPECT_NE(menu->EntryAction(u"Power"_s, u"Power Off"_s), nullptr);
}

TEST_F(LanguageTest, OpenUserManagerChangesItsCaptionsAtOnce) {
  UseShippedTable();
  WriteLang(1);
  Start();
  auto* users = form->findChild<TUserManagerForm*>();
  ASSERT_NE(users, nullptr);
  QString before, after;
  bool seen = false;
  QElapsedTimer clock;
  clock.start();
  std::function<void()> poll = [&] {
    if (users->isVisible()) {
      seen = true;
      before = users->windowTitle();
      Find<QAction>("menuItemEnglish")->trigger();  // the switch while it is open
      after = users->windowTitle();
      users->reject();
      return;
    }
    if (clock.elapsed() < 5000) QTimer::singleShot(5, form.get(), poll);
  };
  QTimer::singleShot(5, form.get(), poll);
  Find<QAction>("menuItemManager")->trigger();  // modal until rejected
  ASSERT_TRUE(seen);
  EXPECT_EQ(before, u"用户管理"_s);
  EXPECT_EQ(after, u"User Management"_s);
  auto* login = users->findChild<QPushButton*>(u"btnLogin"_s);
  ASSERT_NE(login, nullptr);
  EXPECT_EQ(login->text(), u"OK"_s);
}

TEST_F(LanguageTest, DeviceTypeEditorChangesOnlyAtItsNextShowing) {
  UseShippedTable();
  WriteLang(1);
  Start();
  TSetupTypeForm editor;
  editor.show();
  EXPECT_EQ(editor.windowTitle(), u"设置设备类型"_s);
  Find<QAction>("menuItemEnglish")->trigger();
  EXPECT_EQ(editor.windowTitle(), u"设置设备类型"_s) << "not a window that follows a switch";
  editor.hide();
  editor.show();
  EXPECT_EQ(editor.windowTitle(), u"Device Types"_s);
}

TEST_F(LanguageTest, ExitWithoutCaptionStillEndsTheProgram) {
  QByteArray table;
  for (const QByteArray& line : shipped.split('\n'))
    if (!line.startsWith("ID_QUVIAL_FORM_MAIN_MENU_EXIT=")) table += line + '\n';
  table.chop(1);
  ASSERT_TRUE(home.Write(u"lang.ini"_s, table));
  WriteLang(2);
  Start();
  auto* exitItem = Find<QAction>("menuItemExit");
  ASSERT_NE(exitItem, nullptr);
  EXPECT_TRUE(exitItem->text().isEmpty());
  EXPECT_EQ(ActionText("menuItemScene"), u"Scene Manager..."_s) << "the other captions load";
  EXPECT_TRUE(exitItem->isVisible());
  EXPECT_TRUE(exitItem->isEnabled());
  // Triggering it would end the test process; its handler is what makes it
  // work, and taking that away proves it was there.
  EXPECT_TRUE(QObject::disconnect(exitItem, QMetaMethod::fromSignal(&QAction::triggered), nullptr,
                                  QMetaMethod()));
}

// Every main-window key reaches a control: with a table whose texts are the
// keys themselves, each key shows up somewhere in the windows of the
// families that use it.
TEST_F(LanguageTest, EveryMainWindowKeyCaptionsAControl) {
  const QStringList keys = LangFileKeys(shipped, u"eng"_s).filter(u"ID_QUVIAL_FORM_"_s);
  ASSERT_EQ(keys.size(), 96);
  QByteArray table = "[eng]\r\n";
  for (const QString& k : keys) table += k.toLatin1() + "=<" + k.toLatin1() + ">\r\n";
  ASSERT_TRUE(home.Write(u"lang.ini"_s, table));
  WriteLang(2);

  QSet<QString> shown;
  for (quint8 family : {0, 1, 2, 3, 4, 5, 6}) {
    Start(family);
    for (QAction* a : form->findChildren<QAction*>()) shown << Read(a->text());
    for (QWidget* w : form->findChildren<QWidget*>()) {
      if (w->window() != form.get() && w->window() != form->WallMenu()) continue;
      shown << w->toolTip() << w->accessibleName();
      if (auto* b = qobject_cast<QAbstractButton*>(w)) shown << b->text();
      if (auto* g = qobject_cast<QGroupBox*>(w)) shown << g->title();
      if (auto* l = qobject_cast<QLabel*>(w)) shown << l->text();
      if (auto* t = qobject_cast<QTabWidget*>(w))
        for (int i = 0; i < t->count(); ++i) shown << t->tabText(i);
    }
    form.reset();
  }
  // Controls that the linkage parts add to the window later.
  const QStringList notYetBuilt = {u"ID_QUVIAL_FORM_GRID_LBLCHANNEL"_s,
                                   u"ID_QUVIAL_FORM_GRID_LBLDVRCHANNEL"_s,
                                   u"ID_QUVIAL_FORM_GRID_BtnManultDVRADDRESS"_s};
  for (const QString& k : keys) {
    if (notYetBuilt.contains(k)) continue;
    EXPECT_TRUE(shown.contains(u'<' + k + u'>')) << k.toStdString();
  }
}

// A broken, odd or missing table never stops the window.
struct TableCase {
  const char* name;
  std::function<QByteArray(const QByteArray& shipped)> make;  // nullptr: no file
  const char16_t* fileMenu;  // the "文件" menu's title in English mode
};

class LanguageTableCaseTest : public LanguageTest, public testing::WithParamInterface<TableCase> {};

TEST_P(LanguageTableCaseTest, WindowStarts) {
  const TableCase& c = GetParam();
  if (c.make) {
    ASSERT_TRUE(home.Write(u"lang.ini"_s, c.make(shipped)));
  }
  WriteLang(2);
  Start();
  EXPECT_TRUE(form->Ready());
  EXPECT_FALSE(form->ChineseInterface());
  if (c.fileMenu) {
    EXPECT_EQ(MenuTitle("menuFile"), QString::fromUtf16(c.fileMenu));
  }
  // The run-time lists follow the language with or without a table.
  EXPECT_EQ(Find<QComboBox>("cbbRow")->itemText(1), u"2 row"_s);
  Find<QAction>("menuItemChinese")->trigger();
  EXPECT_TRUE(form->ChineseInterface());
}

QByteArray TenThousandKeys(const QByteArray& shipped) {
  QByteArray table = shipped;
  QByteArray pad;
  for (int i = 0; i < 10000; ++i) pad += "ID_FILLER_" + QByteArray::number(i) + "=filler\r\n";
  table.replace("[eng]\r\n", "[eng]\r\n" + pad);
  return table;
}

INSTANTIATE_TEST_SUITE_P(
    Tables, LanguageTableCaseTest,
    testing::Values(
        // No table: the designed captions stay.
        TableCase{"Missing", nullptr, u"文件"},
        TableCase{"Empty", [](const QByteArray&) { return QByteArray(); }, u""},
        // UTF-8 read as GBK: wrong characters in the Chinese section, no crash.
        TableCase{"Utf8", [](const QByteArray& s) { return Gbk::Decode(s).toUtf8(); }, u"File"},
        TableCase{"Garbage", [](const QByteArray&) { return QByteArray(4096, '\xFF'); }, u""},
        TableCase{"TenThousandKeys", TenThousandKeys, u"File"}),
    [](const testing::TestParamInfo<TableCase>& p) { return std::string(p.param.name); });

}  // namespace
