// The console's windows as a keyboard or screen-reader user meets them: Tab
// reaches every control and comes back, every control names itself from its
// caption, in Chinese and after a switch to English; the dialogs close on Esc
// and the confirming ones answer Enter; the menus open from the keyboard.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <memory>

#include "app/choose_form.h"
#include "app/quvial_form.h"
#include "core/pauser.h"
#include "linkage/dvr_setup_form.h"
#include "linkage/usb_channel_form.h"
#include "support/event_wait.h"
#include "support/pty_pair.h"
#include "support/source_tree.h"
#include "support/temp_home.h"
#include "wall/family_menu_view.h"
#include "wall/wall_grid_view.h"

using namespace Qt::StringLiterals;

namespace {

// What a screen reader announces: the accessible name, else a button's
// caption or the caption of the label that is the control's buddy. Qt's
// last resort, the surrounding group's title, names nothing in particular
// and does not count.
QString NameOf(const QWidget* w) {
  if (!w->accessibleName().trimmed().isEmpty()) return w->accessibleName();
  if (const auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text().remove(u'&');
  for (const QLabel* l : w->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
    if (l->buddy() == w) return l->text();
  return {};
}

bool Interactive(const QWidget* w) {
  const QWidget* parent = w->parentWidget();
  if (qobject_cast<const QComboBox*>(parent) || qobject_cast<const QAbstractSpinBox*>(parent) ||
      qobject_cast<const QTabBar*>(parent) || qobject_cast<const QAbstractItemView*>(parent) ||
      w->objectName().startsWith(u"qt_"_s))
    return false;  // the inner parts of a composite control, or of the toolkit
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
         qobject_cast<const QTextEdit*>(w);
}

// A control that Tab is to reach: shown, enabled, taking focus by Tab, not
// the inner part of a composite control and not standing in for another.
bool Focusable(const QWidget* w, const QWidget* window) {
  return w->window() == window && w->isVisible() && w->isEnabled() &&
         (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && !w->isWindow() &&
         (Interactive(w) || qobject_cast<const QTabBar*>(w) ||
          qobject_cast<const QAbstractSlider*>(w) || !qobject_cast<const QFrame*>(w));
}

QString ReachedName(const QWidget* w) {
  if (const auto* tabs = qobject_cast<const QTabBar*>(w))
    return tabs->tabText(tabs->currentIndex());
  return NameOf(w);
}

// Tab from the window's first control until the focus is back there (a
// failure when it never comes back); the controls reached.
QSet<const QWidget*> TabWalk(QWidget* window) {
  QApplication::setActiveWindow(window);
  QWidget* first = window->nextInFocusChain();
  while (first != window && !Focusable(first, window)) first = first->nextInFocusChain();
  first->setFocus(Qt::TabFocusReason);
  first = QApplication::focusWidget();
  QSet<const QWidget*> reached{first};
  for (int press = 0; press < 300; ++press) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    if (QApplication::focusWidget() == first) return reached;
    reached.insert(QApplication::focusWidget());
  }
  ADD_FAILURE() << "the focus is trapped at "
                << QApplication::focusWidget()->objectName().toStdString();
  return reached;
}

struct TWindowCase {
  int family;                          // the main window's device family; -1: the start dialog
  const char* window;                  // the window's object name
  std::function<void(QWidget&)> open;  // from the main window or the start dialog
  bool confirms;                       // a dialog with a default button for Enter
};

TQuvialForm& Main(QWidget& w) { return static_cast<TQuvialForm&>(w); }
void Trigger(QWidget& w, const char* action) {
  w.findChild<QAction*>(QLatin1String(action))->trigger();
}
void Click(QWidget& w, const char* button) {
  w.findChild<QAbstractButton*>(QLatin1String(button))->click();
}

const TWindowCase kWindows[] = {
    {-1, "TChooseForm", [](QWidget& w) { w.show(); }, true},
    {-1, "TSetupTypeForm", [](QWidget& w) { Click(w, "btnSetupType"); }, true},
    {0, "QuvialForm", [](QWidget&) {}, false},
    {7, "QuvialForm", [](QWidget&) {}, false},   // with the mixer panel
    {10, "QuvialForm", [](QWidget&) {}, false},  // with the QN-T1 panel
    // Enter in the password box logs in; the buttons are no defaults.
    {0, "TUserManagerForm", [](QWidget& w) { Trigger(w, "menuItemManager"); }, false},
    {0, "SceneForm", [](QWidget& w) { Trigger(w, "menuItemScene"); }, false},
    {0, "TMatrixSetupForm", [](QWidget& w) { Trigger(w, "menuItemMatrixSetup"); }, true},
    {0, "TDVRSetupForm", [](QWidget& w) { Main(w).DvrSetupForm()->show(); }, true},
    {0, "TSetupChannelNameForm", [](QWidget& w) { Click(w, "btnSetupChannelName"); }, true},
    {0, "TSetupCOMForm", [](QWidget& w) { Click(w, "btnSetupCOM"); }, true},
    {0, "TSetupForm", [](QWidget& w) { Main(w).OpenSetupForm(false); }, false},
    // Enter presses the remote's focused key.
    {0, "USBChannelForm", [](QWidget& w) { Main(w).UsbChannelForm()->show(); }, true},
    {0, "TFactoryNumberForm", [](QWidget& w) { Trigger(w, "menuItemFactoryMode"); }, true},
    {0, "TVersionForm", [](QWidget& w) { Click(w, "btnVersion"); }, true},
};

// Every control named, in both languages; Tab reaches every control of each
// window (each page of a notebook) and comes back; Esc closes the dialogs.
void Audit(QWidget* window, bool english) {
  ASSERT_TRUE(window->isVisible());
  const QRegularExpression ideograph(u"[\\x{4e00}-\\x{9fff}]"_s);
  auto named = [&](const QWidget* w, const QString& name) {
    EXPECT_FALSE(name.trimmed().isEmpty())
        << w->objectName().toStdString() << " (" << w->metaObject()->className() << ")";
    EXPECT_FALSE(english && name.contains(ideograph)) << name.toStdString();
  };
  for (const QWidget* w : window->findChildren<QWidget*>())
    if (Interactive(w) && w->window() == window) named(w, NameOf(w));
  auto* pages = window->objectName() == u"TSetupForm" ? window->findChild<QTabWidget*>() : nullptr;
  for (int page = 0; page < (pages ? pages->count() : 1); ++page) {
    if (page > 0) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
      EXPECT_EQ(pages->currentIndex(), page) << "Ctrl+Tab turns the page";
    }
    const QSet<const QWidget*> reached = TabWalk(window);
    for (const QWidget* w : reached) {
      EXPECT_EQ(w->window(), window) << "the focus left for " << w->objectName().toStdString();
      named(w, ReachedName(w));
    }
    int controls = 0;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
      if (!Focusable(w, window)) continue;
      ++controls;
      EXPECT_TRUE(reached.contains(w)) << "Tab misses " << w->objectName().toStdString() << " ("
                                       << w->metaObject()->className() << ")";
    }
    EXPECT_GE(controls, 2);
  }
}

TEST(AccessibilityTest, TabReachesEveryNamedControlAndDialogsAnswerTheKeyboard) {
  TTempHome home;
  TPtyPair splicer;
  ASSERT_TRUE(splicer.IsValid());
  ASSERT_TRUE(QDir().mkpath(home.File(u"ports"_s)));
  ASSERT_TRUE(QFile::link(splicer.SlavePath(), home.File(u"ports/COM3"_s)));
  ASSERT_TRUE(home.Write(u"lang.ini"_s, ReadSourceTreeFile(u"resources/lang.ini"_s)));
  ASSERT_TRUE(home.Write(u"Quvial.ini"_s, "[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM3\r\n"));
  RecordingPauser pauser;

  for (const bool english : {false, true}) {
    for (const int family : {0, 7, 10, -1}) {
      std::unique_ptr<QWidget> root;
      if (family < 0) {
        root = std::make_unique<TChooseForm>();
      } else {
        TDeviceChoice choice;
        choice.family = quint8(family);
        choice.deviceName = u"QN-51"_s;
        choice.portListHidden = true;
        auto form = std::make_unique<TQuvialForm>(choice, pauser);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        if (english) Trigger(*form, "menuItemEnglish");
        form->UiTimerTick();  // connected: "场景管理" is enabled
        root = std::move(form);
      }
      for (const TWindowCase& c : kWindows) {
        if (c.family != family) continue;
        SCOPED_TRACE(testing::Message() << c.window << " of family " << family
                                        << (english ? " (English)" : " (Chinese)"));
        bool audited = false;
        // Runs inside a modal dialog's own loop, or right after a modeless one shows.
        QTimer::singleShot(0, [&] {
          audited = true;
          QWidget* window = root->objectName() == QLatin1String(c.window)
                                ? root.get()
                                : root->findChild<QWidget*>(QLatin1String(c.window));
          ASSERT_NE(window, nullptr);
          const QList<QPushButton*> buttons = window->findChildren<QPushButton*>();
          EXPECT_EQ(std::any_of(buttons.begin(), buttons.end(),
                                [&](const QPushButton* b) {
                                  return b->isDefault() && b->window() == window;
                                }),
                    c.confirms);
          Audit(window, english);
          if (!qobject_cast<QDialog*>(window)) return;
          QTest::keyClick(window, Qt::Key_Escape);
          EXPECT_FALSE(window->isVisible()) << "Esc closes it";
        });
        c.open(*root);
        EXPECT_TRUE(ProcessEventsUntil([&audited] { return audited; }));
      }
    }
  }
}

// Alt and a menu's letter open that menu in either language; the wall's
// menu opens from the keyboard where the focus is.
TEST(AccessibilityTest, MenusOpenFromTheKeyboard) {
  TTempHome home;
  ASSERT_TRUE(home.Write(u"lang.ini"_s, ReadSourceTreeFile(u"resources/lang.ini"_s)));
  RecordingPauser pauser;
  TDeviceChoice choice;
  choice.deviceName = u"QN-51"_s;
  choice.portListHidden = true;
  TQuvialForm form(choice, pauser);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QApplication::setActiveWindow(&form);
  QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(form.menuBar());
  ASSERT_NE(bar, nullptr);
  for (const bool english : {false, true}) {
    if (english) Trigger(form, "menuItemEnglish");
    QSet<int> letters;
    const QList<QAction*> titles = form.menuBar()->actions();
    for (int i = 0; i < titles.size(); ++i) {
      SCOPED_TRACE(titles[i]->text().toStdString());
      const QKeySequence mnemonic = QKeySequence::mnemonic(titles[i]->text());
      ASSERT_EQ(mnemonic.count(), 1);
      EXPECT_TRUE(letters.insert(mnemonic[0].toCombined()) != letters.end());
      EXPECT_FALSE(bar->child(i)->text(QAccessible::Name).contains(u'&'));
      QTest::keyClick(&form, mnemonic[0].key(), mnemonic[0].keyboardModifiers());
      EXPECT_TRUE(ProcessEventsUntil([&] { return titles[i]->menu()->isVisible(); }));
      titles[i]->menu()->close();
    }
    EXPECT_EQ(letters.size(), 4);
  }
  for (const QKeyCombination key : {QKeyCombination(Qt::Key_Menu), Qt::SHIFT | Qt::Key_F10}) {
    form.Grid()->setFocus();
    QTest::keyClick(form.windowHandle(), key.key(), key.keyboardModifiers());
    EXPECT_TRUE(ProcessEventsUntil([&] { return form.WallMenu()->isVisible(); })) << key.key();
    form.WallMenu()->close();
  }
}

}  // namespace
