// TQuvialForm: the main window's texts from the language table and the
// switch between Chinese and English while the program runs.
//
// Controls are found by object name, so that the captions follow the controls
// wherever the other parts of the window build them; a control that is not
// there (yet) is skipped.

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>

#include "app/lang_table.h"
#include "app/quvial_form.h"
#include "app/user_manager_form.h"
#include "core/bilingual.h"
#include "core/unsaved_setting.h"
#include "linkage/switcher_sources_view.h"
#include "scenes/scene_form.h"
#include "setup/setup_form.h"
#include "setup/version_form.h"
#include "wall/family_menu_view.h"
#include "wall/family_menus.h"
#include "wall/qnt1_form.h"
#include "wall/wall_grid_view.h"

namespace {

// A key and the object names of the controls it captions (several names
// where a control is known under more than one).
struct Caption {
  const char16_t* key;
  const char16_t* names[4];
};

// The menu bar: sub-menus take the text as their title, items as their text.
constexpr Caption kMenuCaptions[] = {
    {u"ID_QUVIAL_FORM_MAIN_MENU_FILEMENUITEM", {u"menuFile"}},
    {u"ID_QUVIAL_FORM_MAIN_MENU_MENUITEMSCENE", {u"menuItemScene"}},
    {u"ID_QUVIAL_FORM_MAIN_MENU_EXIT", {u"menuItemExit"}},
    {u"ID_QUVIAL_FORM_MAIN_MENU_SETUPMENUITEM", {u"menuSetup"}},
    {u"ID_QUVIAL_FORM_MAIN_MENU_MANAGER", {u"menuItemManager"}},
    {u"ID_QUVIAL_FORM_MAIN_MENU_SUPERMANAGER", {u"menuItemSuperManager"}},
    {u"ID_QUVIAL_FORM_MAIN_MENU_MENUITEMSYSSETUP", {u"menuItemSystemSetup"}},
    {u"ID_QUVIAL_FORM_MAIN_MENU_MATRIXSETUP", {u"menuItemMatrixSetup", u"menuMatrixSetup"}},
    {u"ID_QUVIAL_FORM_MAIN_MENU_DVRSETUP", {u"menuItemDVRSetup", u"menuDVRSetup"}},
    {u"ID_QUVIAL_FORM_MAIN_MENU_OPT", {u"menuOperate"}},
    {u"ID_QUVIAL_FORM_MAIN_MENU_MENUITEMSETUPCOM", {u"menuItemSetupCOM"}},
    {u"ID_QUVIAL_FORM_MAIN_MENU_LANGCHOOSEMENUITEM", {u"menuItemLanguage"}},
    {u"ID_QUVIAL_FORM_MAIN_MENU_HELP", {u"menuHelp"}},
    {u"ID_QUVIAL_FORM_MAIN_MENU_MENUITEMABOUT", {u"menuItemAbout"}},
    {u"ID_QUVIAL_FORM_MAIN_MENU_FACTORYMODE", {u"menuItemFactoryMode"}},
};

// The top menus' accelerator letters, kept in both languages.
struct Accelerator {
  const char16_t* name;
  char16_t letter;
};
constexpr Accelerator kMenuAccelerators[] = {
    {u"menuFile", u'F'}, {u"menuSetup", u'S'}, {u"menuOperate", u'O'}, {u"menuHelp", u'H'}};

// "File" becomes "&File"; a caption without the letter ("文件") takes it in
// brackets: "文件(&F)". A caption with an '&' of its own, or none, is kept.
QString WithAccelerator(const QString& caption, QChar letter) {
  if (caption.isEmpty() || caption.contains(u'&')) return caption;
  bool latin = true;
  for (QChar c : caption) latin = latin && c.unicode() < 0x80;
  const qsizetype at = latin ? caption.indexOf(letter, 0, Qt::CaseInsensitive) : -1;
  if (at >= 0) return caption.left(at) + u'&' + caption.mid(at);
  return caption + QStringLiteral("(&") + letter + u')';
}

// The toolbar buttons take the text as their hint.
constexpr Caption kToolbarHints[] = {
    {u"ID_QUVIAL_FORM_TOOLBAR_COM", {u"btnConnect"}},
    {u"ID_QUVIAL_FORM_TOOLBAR_USERMANAGER", {u"btnUserManager"}},
    {u"ID_QUVIAL_FORM_TOOLBAR_SETUP", {u"btnSystemSetup"}},
    {u"ID_QUVIAL_FORM_TOOLBAR_USB", {u"btnUSBChannel"}},
    {u"ID_QUVIAL_FORM_TOOLBAR_STOPPIC", {u"btnStillPicture"}},
    {u"ID_QUVIAL_FORM_TOOLBAR_SCENE", {u"btnScene"}},
    {u"ID_QUVIAL_FORM_TOOLBAR_COMSETUP", {u"btnSetupCOM"}},
    {u"ID_QUVIAL_FORM_TOOLBAR_VERSION", {u"btnVersion"}},
    {u"ID_QUVIAL_FORM_TOOLBAR_HELP", {u"btnHelp"}},
};

// The controls beside the wall grid. The "视频1"/"视频2" keys of the QN-51
// page also caption the same buttons where other pages repeat them.
constexpr Caption kPanelCaptions[] = {
    {u"ID_QUVIAL_FORM_GRID_SETUPMATRIX", {u"gbArray"}},
    {u"ID_QUVIAL_FORM_GRID_BTNROWSET", {u"btnRowColSet"}},
    {u"ID_QUVIAL_FORM_GRID_RBQN22VIDEO", {u"rbQN22Video"}},
    {u"ID_QUVIAL_FORM_GRID_RBTR5000VIDEO", {u"rbTR5000Video"}},
    {u"ID_QUVIAL_FORM_GRID_RBQN51VIDEO1",
     {u"rbQN51Video1", u"rbQN4645G2Video1", u"rbQN33Video1", u"rbQN33G2Video1"}},
    {u"ID_QUVIAL_FORM_GRID_RBQN51VIDEO2",
     {u"rbQN51Video2", u"rbQN4645G2Video2", u"rbQN33Video2", u"rbQN33G2Video2"}},
    {u"ID_QUVIAL_FORM_GRID_NBSIGNALSOURCE", {u"pcSource", u"nbSignalSource"}},
    {u"ID_QUVIAL_FORM_GRID_RBQN4645VIDEO", {u"rbQN4645Video"}},
    {u"ID_QUVIAL_FORM_GRID_MATRIXCMB", {u"cbMatrixCMB", u"cbMatrix"}},
    {u"ID_QUVIAL_FORM_GRID_LBLCHANNEL", {u"lblChannel"}},
    {u"ID_QUVIAL_FORM_GRID_DVRCMB", {u"cbDVRCMB", u"cbDVR"}},
    {u"ID_QUVIAL_FORM_GRID_LBLDVRCHANNEL", {u"lblDVRChannel"}},
    {u"ID_QUVIAL_FORM_GRID_BtnManultDVRADDRESS", {u"btnDVRManult"}},
    {u"ID_QUVIAL_FORM_GRID_CBDELAYSTART", {u"cbDelayPowerOn"}},
    {u"ID_QUVIAL_FORM_GRID_LBLSEC", {u"lblSeconds"}},
    {u"ID_QUVIAL_FORM_GRID_BTNSTARTMAC", {u"btnPowerOn"}},
    {u"ID_QUVIAL_FORM_GRID_BTNSTOPMAC", {u"btnPowerOff"}},
    {u"ID_QUVIAL_FORM_GRID_GBREFRESH", {u"gbReshow"}},
    {u"ID_QUVIAL_FORM_GRID_CBSETUPRESHOW", {u"cbReshow"}},
    {u"ID_QUVIAL_FORM_GRID_LBLH", {u"lblReshowH"}},
    {u"ID_QUVIAL_FORM_GRID_LBLP", {u"lblReshowV"}},
    {u"ID_QUVIAL_FORM_GRID_BTNRESHOW", {u"btnReshowOK"}},
    {u"ID_QUVIAL_FORM_CB_MIXER_SWITCH", {u"cbMixerSwitch"}},
    {u"ID_QUVIAL_FORM_SWITCH_CHANNEL_LABEL", {u"lblSwitcherChannel"}},
    {u"ID_QUVIAL_FORM_SWITCH_ADDR", {u"lblSwitcherAddress", u"lblSwitcherAddr"}},
    {u"ID_QUVIAL_FORM_GRID_PUBLICCHANNEL", {u"cbPublicChannel"}},
};

// The source pages' group boxes: the QN-22 and TR-5000 pages have keys of
// their own, every other group shares one.
constexpr const char16_t* kGroupKeyQn22 = u"ID_QUVIAL_FORM_GRID_GB3SIGNALTYPE";
constexpr const char16_t* kGroupKeyTr5000 = u"ID_QUVIAL_FORM_GRID_GB6SIGNALTYPE";
constexpr const char16_t* kGroupKey = u"ID_QUVIAL_FORM_GRID_GBSINGALTYPE";

// Context-menu keys by family, section and entry as designed (an empty entry
// is the section's own caption). Family -1 is the fallback for any family:
// the general menu's keys, and the ones whose caption other families repeat.
struct MenuKey {
  int family;
  const char16_t* section;
  const char16_t* entry;
  const char16_t* key;
};
constexpr MenuKey kMenuKeys[] = {
    {0, u"拼接", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuCombineQN51"},
    {0, u"拼接", u"视频1", u"ID_QUVIAL_FORM_POPMENUOP_menuCombineQN51Video1"},
    {0, u"拼接", u"视频2", u"ID_QUVIAL_FORM_POPMENUOP_menuCombineQN51Video2"},
    {0, u"分解", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuUnCombineQN51"},
    {0, u"分解", u"视频1", u"ID_QUVIAL_FORM_POPMENUOP_menuUnCombineVideo1QN51"},
    {0, u"分解", u"视频2", u"ID_QUVIAL_FORM_POPMENUOP_menuUnCombineVideo2QN51"},
    {0, u"开关控制", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuSwitchControlQN51"},
    {0, u"开关控制", u"开机", u"ID_QUVIAL_FORM_POPMENUOP_menuPowerOnQN51"},
    {0, u"开关控制", u"关机", u"ID_QUVIAL_FORM_POPMENUOP_menuPowerOffQn51"},
    {1, u"拼接", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuCombineQN46"},
    {1, u"拼接", u"视频", u"ID_QUVIAL_FORM_POPMENUOP_menuVIDEOQN46"},
    {1, u"分解", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuUnCombineQN46"},
    {1, u"分解", u"视频", u"ID_QUVIAL_FORM_POPMENUOP_menuUnCombineVideoQN46"},
    {1, u"开关控制", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuSwichControlQn46"},
    // As designed, the QN-46/45 power-on item carries the "PowerOff" key.
    {1, u"开关控制", u"开机", u"ID_QUVIAL_FORM_POPMENUOP_menuPowerOffQN46"},
    {1, u"开关控制", u"关机", u"ID_QUVIAL_FORM_POPMENUOP_menuPowerOffQN46_"},
    {3, u"拼接", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuCombineQN22"},
    {3, u"拼接", u"视频", u"ID_QUVIAL_FORM_POPMENUOP_menuCombineVideoQN22"},
    {3, u"分解", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuUnCombineQn22"},
    {3, u"分解", u"视频", u"ID_QUVIAL_FORM_POPMENUOP_menuUnCombineVideoQN22"},
    {3, u"开关控制", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuSwitchControlQn22"},
    {3, u"开关控制", u"开机", u"ID_QUVIAL_FORM_POPMENUOP_menuPowerOnQn22"},
    {3, u"开关控制", u"关机", u"ID_QUVIAL_FORM_POPMENUOP_menuPowerOffQN22"},
    {4, u"", u"拼接VGA", u"ID_QUVIAL_FORM_POPMENUOP_menuQNK7CombineVGA"},
    {4, u"", u"分解VGA", u"ID_QUVIAL_FORM_POPMENUOP_menuQNK7UnCombineVGA"},
    {4, u"开关控制", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuQNK7SwitchCtl"},
    {4, u"开关控制", u"开机", u"ID_QUVIAL_FORM_POPMENUOP_menuQNK7SwitchCtlOn"},
    {4, u"开关控制", u"关机", u"ID_QUVIAL_FORM_POPMENUOP_menuQNK7SwitchCtlOff"},
    {5, u"拼接", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuQNHV6Combine"},
    {5, u"分解", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuQNHV6UnCombine"},
    {5, u"开关控制", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuQNHV6OnOff"},
    {6, u"拼接", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuTR5000Combine"},
    {6, u"拼接", u"视频", u"ID_QUVIAL_FORM_POPMENUOP_menuTR5000VIDEO"},
    {6, u"分解", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuTR5000UnCombine"},
    {6, u"分解", u"视频", u"ID_QUVIAL_FORM_POPMENUOP_menuTR5000VIDEO"},
    {6, u"开关控制", u"", u"ID_QUVIAL_FORM_POPMENUOP_menuTR5000OnOff"},
    {6, u"开关控制", u"开机", u"ID_QUVIAL_FORM_POPMENUOP_menuPowerOnTR5000"},
    {6, u"开关控制", u"关机", u"ID_QUVIAL_FORM_POPMENUOP_menuPowerOffTR5000"},
    {-1, u"开关控制", u"", u"ID_QUVIAL_FORM_POPMENUOP_TURNONOFF"},
    {-1, u"开关控制", u"开机", u"ID_QUVIAL_FORM_POPMENUOP_TURNON"},
    {-1, u"开关控制", u"关机", u"ID_QUVIAL_FORM_POPMENUOP_TURNOFF"},
    {-1, u"拼接", u"", u"ID_QUVIAL_FORM_POPMENUOP_COMBINE"},
    {-1, u"", u"拼接", u"ID_QUVIAL_FORM_POPMENUOP_COMBINE"},
    {-1, u"分解", u"", u"ID_QUVIAL_FORM_POPMENUOP_UNCOMB"},
    {-1, u"", u"分解", u"ID_QUVIAL_FORM_POPMENUOP_UNCOMB"},
    {-1, u"拼接", u"视频", u"ID_QUVIAL_FORM_POPMENUOP_menuVIDEOQN46"},
    {-1, u"分解", u"视频", u"ID_QUVIAL_FORM_POPMENUOP_menuUnCombineVideoQN46"},
};

// The key of a context-menu caption, or nullptr when the caption has none
// (a source name such as "VGA" reads the same in both languages).
const char16_t* MenuKeyFor(int family, const QString& section, const QString& entry) {
  for (int pass = 0; pass < 2; ++pass) {
    const int wanted = pass == 0 ? family : -1;
    for (const MenuKey& k : kMenuKeys)
      if (k.family == wanted && section == QStringView(k.section) && entry == QStringView(k.entry))
        return k.key;
  }
  return nullptr;
}

// Sets what a control shows as its caption; a notebook has none to show, so
// the text names it for accessibility.
void SetCaption(QObject* o, const QString& text) {
  if (auto* a = qobject_cast<QAction*>(o))
    a->setText(text);
  else if (auto* m = qobject_cast<QMenu*>(o))
    m->setTitle(text);
  else if (auto* g = qobject_cast<QGroupBox*>(o))
    g->setTitle(text);
  else if (auto* b = qobject_cast<QAbstractButton*>(o))
    b->setText(text);
  else if (auto* l = qobject_cast<QLabel*>(o))
    l->setText(text);
  else if (auto* w = qobject_cast<QWidget*>(o))
    w->setAccessibleName(text);
}

QString Key(const char16_t* key) { return QString::fromUtf16(key); }

// Every object under root with one of the names.
QList<QObject*> Named(const QObject* root, const char16_t* const (&names)[4]) {
  QList<QObject*> found;
  for (const char16_t* name : names)
    if (name) found += root->findChildren<QObject*>(QString::fromUtf16(name));
  return found;
}

}  // namespace

void TQuvialForm::WireLanguage() {
  // A radio pair: ticking one unticks the other. Neither is ticked while
  // "LANG" holds a value the program does not write.
  auto* group = new QActionGroup(this);
  group->addAction(menuItemEnglish_);
  group->addAction(menuItemChinese_);
  connect(menuItemEnglish_, &QAction::triggered, this, [this] { SwitchLanguage(false); });
  connect(menuItemChinese_, &QAction::triggered, this, [this] { SwitchLanguage(true); });
}

void TQuvialForm::SwitchLanguage(bool chinese) {
  (chinese ? menuItemChinese_ : menuItemEnglish_)->setChecked(true);
  const bool stored = ini_ ? ini_->WriteLang(chinese ? 1 : 2)
                           : TIniParamsOp(TIniParamsOp::DefaultPath()).WriteLang(chinese ? 1 : 2);
  chinese_ = chinese;
  if (!stored)
    QMessageBox::warning(this, windowTitle(),
                         UnsavedSettingText(QStringLiteral("Quvial.ini"), chinese));

  // The windows that follow a switch at once, in this order: the main window,
  // the version dialog, the user manager, the USB channel remote, the matrix
  // setup, the port setup, the scene manager, the system setup, and the mixer
  // panel when the family has one. The others take the language when shown.
  LoadTexts();
  if (versionForm_) versionForm_->LoadTexts();
  if (userManagerForm_) userManagerForm_->LoadTexts();
  LoadUsbRemoteTexts();
  LoadLinkageTexts();
  if (sceneForm_) sceneForm_->LoadTexts();
  if (setupForm_) setupForm_->LoadTexts();
  LoadMixerPanelTexts();
}

void TQuvialForm::LoadTexts() {
  const TLangTable table = TLangTable::Load(LangSection(chinese_ ? 1 : 2));
  if (table.Exists()) {
    LoadMenuTexts(table);
    LoadPanelTexts(table);
    LoadWallMenuTexts(table);
  }
  // Texts the table does not hold.
  for (const Accelerator& a : kMenuAccelerators)
    if (auto* menu = menuBar()->findChild<QMenu*>(Key(a.name)))
      menu->setTitle(WithAccelerator(menu->title(), QChar(a.letter)));
  if (auto* clear = memoOutput_->findChild<QAction*>(QStringLiteral("menuItemClearOutput")))
    clear->setText(Bilingual(chinese_, u"清除所有内容", u"Clear All"));
  if (switcherSources_) switcherSources_->LoadTexts(chinese_);
  if (qnt1_) qnt1_->LoadTexts(chinese_);
  // Controls without a caption of their own, named for a screen reader.
  grid_->setAccessibleName(Bilingual(chinese_, u"拼接墙", u"Video Wall"));
  cbbRow_->setAccessibleName(Bilingual(chinese_, u"行数", u"Rows"));
  cbbCol_->setAccessibleName(Bilingual(chinese_, u"列数", u"Columns"));
  edtDelay_->setAccessibleName(cbDelayPowerOn_->text().remove(u'&'));
  memoOutput_->setAccessibleName(tabOutput_->tabText(0));
  FillRowColLists();
}

void TQuvialForm::LoadMenuTexts(const TLangTable& table) {
  // Only the menu bar: dialogs that are children of this window have menus
  // and buttons of their own.
  for (const Caption& c : kMenuCaptions)
    for (QObject* o : Named(menuBar(), c.names)) SetCaption(o, table.Text(Key(c.key)));
  for (const Caption& c : kToolbarHints) {
    for (QObject* o : Named(this, c.names)) {
      auto* button = qobject_cast<QToolButton*>(o);
      if (!button || button->window() != this) continue;
      const QString hint = table.Text(Key(c.key));
      button->setToolTip(hint);
      button->setAccessibleName(hint);
    }
  }
}

void TQuvialForm::LoadPanelTexts(const TLangTable& table) {
  for (const Caption& c : kPanelCaptions) {
    for (QObject* o : Named(this, c.names)) {
      auto* w = qobject_cast<QWidget*>(o);
      if (w && w->window() == this) SetCaption(o, table.Text(Key(c.key)));
    }
  }

  // The group boxes of the source pages; the broadcast group has no caption.
  for (int i = 0; i < pcSource_->count(); ++i) {
    QWidget* page = pcSource_->widget(i);
    const QList<QGroupBox*> groups =
        page->findChildren<QGroupBox*>(QString(), Qt::FindDirectChildrenOnly);
    bool first = true;
    for (QGroupBox* g : groups) {
      if (g->objectName() == u"gbPublicChannel") continue;
      const char16_t* key = kGroupKey;
      if (first && page->objectName() == u"QN-22") key = kGroupKeyQn22;
      if (first && page->objectName() == u"TR-5000") key = kGroupKeyTr5000;
      g->setTitle(table.Text(Key(key)));
      first = false;
    }
  }

  // The output area: its one tab, under the caption of the current language.
  tabOutput_->clear();
  tabOutput_->addTab(memoOutput_, table.Text(u"ID_QUVIAL_FORM_GRID_OUTPUTMSG"));
}

void TQuvialForm::LoadWallMenuTexts(const TLangTable& table) {
  if (!pmWall_) return;
  // The menu view adds its actions in the order of the family's menu data:
  // a sub-menu per captioned section, the entries of the others in place.
  const std::vector<TMenuSectionDef>& sections = FamilyMenu(family_);
  const QList<QAction*> top = pmWall_->actions();
  qsizetype at = 0;
  auto caption = [&](QAction* action, const QString& section, const QString& entry) {
    if (const char16_t* key = MenuKeyFor(family_, section, entry))
      action->setText(table.Text(Key(key)));
    else if (entry == u"网络搜索设备")  // not in the table: held in both languages
      action->setText(Bilingual(chinese_, u"网络搜索设备", u"Search Network Devices"));
  };
  for (const TMenuSectionDef& section : sections) {
    if (section.caption.isEmpty()) {
      for (const TMenuEntryDef& entry : section.entries) {
        if (at >= top.size()) return;
        caption(top[at++], QString(), entry.caption);
      }
      continue;
    }
    if (at >= top.size()) return;
    QAction* sub = top[at++];
    caption(sub, section.caption, QString());
    if (!sub->menu()) continue;
    const QList<QAction*> entries = sub->menu()->actions();
    for (std::size_t e = 0; e < section.entries.size() && e < std::size_t(entries.size()); ++e)
      caption(entries[qsizetype(e)], section.caption, section.entries[e].caption);
  }
}

TWindowTexts TQuvialForm::WindowTexts() {
  TWindowTexts texts;
  texts.chinese = [this] { return chinese_; };
  texts.caption = [this](const QString& key) {
    if (!LangTableExists()) return QString();  // designed captions stay
    const QString text = LangText(LangSection(chinese_ ? 1 : 2), key);
    return text.isNull() ? QStringLiteral("") : text;  // a missing key: captionless
  };
  return texts;
}
