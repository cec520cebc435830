// The linkage, scene and setup windows as a keyboard or screen-reader user
// meets them: every control names itself from its caption, in Chinese and
// after a switch to English; the dialogs close on Esc and the confirming ones
// answer Enter.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <functional>

#include "app/quvial_form.h"
#include "core/pauser.h"
#include "linkage/dvr_setup_form.h"
#include "linkage/usb_channel_form.h"
#include "support/event_wait.h"
#include "support/pty_pair.h"
#include "support/source_tree.h"
#include "support/temp_home.h"

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
  if (qobject_cast<const QComboBox*>(parent) || qobject_cast<const QAbstractSpinBox*>(parent))
    return false;  // the inner parts of a composite control
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w);
}

struct TWindowCase {
  const char* window;  // the window's (for the main window: the group's) object name
  std::function<void(TQuvialForm&)> open;
  bool confirms;  // a dialog with a default button for Enter
};

const TWindowCase kWindows[] = {
    {"gbLinkage", [](TQuvialForm&) {}, false},
    {"SceneForm", [](TQuvialForm& f) { f.findChild<QAction*>(u"menuItemScene"_s)->trigger(); },
     false},
    {"TMatrixSetupForm",
     [](TQuvialForm& f) { f.findChild<QAction*>(u"menuItemMatrixSetup"_s)->trigger(); }, true},
    {"TDVRSetupForm", [](TQuvialForm& f) { f.DvrSetupForm()->show(); }, true},
    {"TSetupChannelNameForm",
     [](TQuvialForm& f) { f.findChild<QPushButton*>(u"btnSetupChannelName"_s)->click(); }, true},
    {"TSetupCOMForm", [](TQuvialForm& f) { f.findChild<QToolButton*>(u"btnSetupCOM"_s)->click(); },
     true},
    // Enter presses the remote's focused key.
    {"USBChannelForm", [](TQuvialForm& f) { f.UsbChannelForm()->show(); }, true},
    {"TFactoryNumberForm",
     [](TQuvialForm& f) { f.findChild<QAction*>(u"menuItemFactoryMode"_s)->trigger(); }, true},
};

TEST(AccessibilityTest, EveryControlIsNamedAndEveryDialogAnswersTheKeyboard) {
  TTempHome home;
  TPtyPair splicer;
  ASSERT_TRUE(splicer.IsValid());
  ASSERT_TRUE(QDir().mkpath(home.File(u"ports"_s)));
  ASSERT_TRUE(QFile::link(splicer.SlavePath(), home.File(u"ports/COM3"_s)));
  ASSERT_TRUE(home.Write(u"lang.ini"_s, ReadSourceTreeFile(u"resources/lang.ini"_s)));
  ASSERT_TRUE(home.Write(u"Quvial.ini"_s, "[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM3\r\n"));
  RecordingPauser pauser;
  TDeviceChoice choice;
  choice.deviceName = u"QN-51"_s;
  choice.portListHidden = true;
  TQuvialForm form(choice, pauser);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

  const QRegularExpression ideograph(u"[\\x{4e00}-\\x{9fff}]"_s);
  for (const bool english : {false, true}) {
    if (english) form.findChild<QAction*>(u"menuItemEnglish"_s)->trigger();
    form.UiTimerTick();  // connected: "场景管理" is enabled
    for (const TWindowCase& c : kWindows) {
      SCOPED_TRACE(testing::Message() << c.window << (english ? " (English)" : " (Chinese)"));
      bool audited = false;
      // Runs inside a modal dialog's own loop, or right after a modeless one shows.
      QTimer::singleShot(0, [&] {
        audited = true;
        auto* window = form.findChild<QWidget*>(QString::fromLatin1(c.window));
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(window->isVisible());
        int controls = 0;
        for (const QWidget* w : window->findChildren<QWidget*>()) {
          if (!Interactive(w) || w->window() != window->window()) continue;
          ++controls;
          const QString name = NameOf(w);
          EXPECT_FALSE(name.trimmed().isEmpty()) << w->objectName().toStdString();
          EXPECT_FALSE(english && name.contains(ideograph)) << name.toStdString();
        }
        EXPECT_GE(controls, 3);
        if (!qobject_cast<QDialog*>(window)) return;  // the main window's group
        const QList<QPushButton*> buttons = window->findChildren<QPushButton*>();
        EXPECT_EQ(std::any_of(buttons.begin(), buttons.end(),
                              [](const QPushButton* b) { return b->isDefault(); }),
                  c.confirms);
        QTest::keyClick(window, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible()) << "Esc closes it";
      });
      c.open(form);
      EXPECT_TRUE(ProcessEventsUntil([&audited] { return audited; }));
    }
  }
}

}  // namespace
