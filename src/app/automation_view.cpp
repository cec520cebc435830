#include "app/automation_view.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "app/choose_form.h"
#include "app/quvial_form.h"
#include "wall/family_menu_view.h"
#include "wall/wall_grid_view.h"

namespace {

// Whole-number arguments; false when any is not one.
bool ToInts(const QStringList& args, std::vector<int>& out) {
  out.clear();
  for (const QString& a : args) {
    bool ok = false;
    out.push_back(a.toInt(&ok));
    if (!ok) return false;
  }
  return true;
}

QString Caption(const QAbstractButton* button) {
  QString text = button->text();
  text.remove(u'&');  // mnemonics are not part of what the operator reads
  return text;
}

// The first visible, enabled control of that kind and object name in any
// shown window (the main window, the scene manager, a dialog).
template <typename W>
W* FindControl(const QString& name) {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible()) continue;
    QList<W*> found = window->findChildren<W*>(name);
    if (auto* self = qobject_cast<W*>(window); self && window->objectName() == name)
      found.prepend(self);
    for (W* w : found)
      if (w->isVisible() && w->isEnabled()) return w;
  }
  return nullptr;
}

// The enabled, visible menu item of that object name in any shown window.
QAction* FindMenuItem(const QString& name) {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible()) continue;
    for (QAction* item : window->findChildren<QAction*>(name))
      if (item->isEnabled() && item->isVisible()) return item;
  }
  return nullptr;
}

}  // namespace

TAutomationServer::TAutomationServer(TChooseForm& choose, std::function<TQuvialForm*()> mainForm,
                                     QObject* parent)
    : QObject(parent), choose_(choose), mainForm_(std::move(mainForm)) {
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &TAutomationServer::OnConnection);
  retry_ = new QTimer(this);
  retry_->setSingleShot(true);
  retry_->setInterval(10);
  connect(retry_, &QTimer::timeout, this, &TAutomationServer::Pump);
}

TAutomationServer::~TAutomationServer() = default;

bool TAutomationServer::Listen(const QString& path, QString* error) {
  QLocalServer::removeServer(path);
  if (server_->listen(path)) return true;
  if (error) *error = server_->errorString();
  return false;
}

void TAutomationServer::OnConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  }
}

void TAutomationServer::OnReadyRead(QLocalSocket* socket) {
  while (socket->canReadLine()) {
    const QString line = QString::fromUtf8(socket->readLine()).trimmed();
    if (!line.isEmpty()) queue_.push_back({socket, line});
  }
  // A line without its end that grows without bound is not a command.
  if (socket->bytesAvailable() > 4096) {
    socket->readAll();
    Reply(socket, QStringLiteral("error line too long"));
  }
  // Not from inside this handler: a click pauses in a local event loop, and
  // the socket does not announce new lines again until the handler returns.
  QMetaObject::invokeMethod(this, &TAutomationServer::Pump, Qt::QueuedConnection);
}

bool TAutomationServer::ActionRunning() const {
  const TQuvialForm* form = mainForm_ ? mainForm_() : nullptr;
  return form && form->ActionRunning();
}

// Runs the queued commands in order. One that arrives while an action runs
// waits until the action ends. A gesture is made outside the loop, so that
// the commands after it are answered while a message box or dialog that it
// opened waits (in the gesture) for the operator, as its answer is.
void TAutomationServer::Pump() {
  if (pumping_) return;
  pumping_ = true;
  Gesture gesture;
  while (!queue_.empty() && !gesture) {
    if (ActionRunning()) {
      retry_->start();
      break;
    }
    const TRequest request = queue_.front();
    queue_.pop_front();
    if (request.socket) gesture = Execute(request);
  }
  pumping_ = false;
  if (!gesture) return;
  if (!queue_.empty())
    QMetaObject::invokeMethod(this, &TAutomationServer::Pump, Qt::QueuedConnection);
  gesture();
}

TAutomationServer::Gesture TAutomationServer::Execute(const TRequest& request) {
  QStringList args = request.line.split(u' ', Qt::SkipEmptyParts);
  const QString command = args.takeFirst();
  const QString rest = request.line.section(u' ', 1).trimmed();
  Gesture gesture;
  QString answer;
  if (command == u"choose")
    answer = Choose(args);
  else if (command == u"select")
    answer = Select(args);
  else if (command == u"cell")
    answer = Cell(args);
  else if (command == u"idle")
    answer = QStringLiteral("ok");
  else if (command == u"click")
    answer = Click(rest, gesture);
  else if (command == u"press")
    answer = Press(args, gesture);
  else if (command == u"tick")
    answer = Tick(args, gesture);
  else if (command == u"text")
    answer = Type(request.line);
  else if (command == u"index")
    answer = Pick(args, gesture);
  else if (command == u"menu")
    answer = Menu(rest, gesture);
  else if (command == u"read")
    answer = Read(args);
  else if (command == u"message")
    answer = Message(gesture);
  else if (command == u"where")
    answer = Where(rest);
  else
    answer = QStringLiteral("error unknown command ") + command;
  Reply(request.socket, answer);
  return gesture;
}

QString TAutomationServer::Click(const QString& caption, Gesture& gesture) {
  TQuvialForm* form = mainForm_ ? mainForm_() : nullptr;
  if (!form || !form->isVisible()) return QStringLiteral("error no main window");
  if (caption.isEmpty()) return QStringLiteral("error click needs a caption");
  for (QAbstractButton* b : form->findChildren<QAbstractButton*>()) {
    if (Caption(b) == caption && b->isVisible() && b->isEnabled()) {
      gesture = [b] { b->click(); };
      return QStringLiteral("ok");
    }
  }
  return QStringLiteral("error no visible enabled button ") + caption;
}

QString TAutomationServer::Press(const QStringList& args, Gesture& gesture) {
  if (args.size() != 1) return QStringLiteral("error usage: press <object name>");
  if (QAbstractButton* button = FindControl<QAbstractButton>(args[0])) {
    gesture = [button] { button->click(); };
    return QStringLiteral("ok");
  }
  if (QAction* item = FindMenuItem(args[0])) {
    gesture = [item] { item->trigger(); };
    return QStringLiteral("ok");
  }
  return QStringLiteral("error no visible enabled button or menu item ") + args[0];
}

QString TAutomationServer::Tick(const QStringList& args, Gesture& gesture) {
  if (args.size() != 2 || (args[1] != u"0" && args[1] != u"1"))
    return QStringLiteral("error usage: tick <object name> 0|1");
  QAbstractButton* box = FindControl<QAbstractButton>(args[0]);
  if (!box) return QStringLiteral("error no visible enabled check box ") + args[0];
  if (!box->isCheckable()) return QStringLiteral("error not a check box ") + args[0];
  // A box already as wanted is left alone, as an operator would.
  if (box->isChecked() != (args[1] == u"1")) gesture = [box] { box->click(); };
  return QStringLiteral("ok");
}

QString TAutomationServer::Type(const QString& line) {
  const QString name = line.section(u' ', 1, 1, QString::SectionSkipEmpty);
  if (name.isEmpty()) return QStringLiteral("error usage: text <object name> <text>");
  auto* edit = FindControl<QLineEdit>(name);
  if (!edit) return QStringLiteral("error no visible enabled edit box ") + name;
  // Everything after the name is the text, blanks inside it included.
  const QString text = line.section(u' ', 2, -1, QString::SectionSkipEmpty);
  edit->setText(text);
  Q_EMIT edit->textEdited(text);
  return QStringLiteral("ok");
}

QString TAutomationServer::Pick(const QStringList& args, Gesture& gesture) {
  std::vector<int> v;
  if (args.size() != 2 || !ToInts(args.mid(1), v))
    return QStringLiteral("error usage: index <object name> <n>");
  auto* box = FindControl<QComboBox>(args[0]);
  if (!box) return QStringLiteral("error no visible enabled list box ") + args[0];
  const int index = v[0];
  if (index < 0 || index >= box->count())
    return QStringLiteral("error no item %1 in %2").arg(index).arg(args[0]);
  // As picked from the list: the change and then the activation.
  gesture = [box, index] {
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
    Q_EMIT box->textActivated(box->itemText(index));
  };
  return QStringLiteral("ok");
}

QString TAutomationServer::Menu(const QString& path, Gesture& gesture) {
  TQuvialForm* form = mainForm_ ? mainForm_() : nullptr;
  if (!form || !form->isVisible()) return QStringLiteral("error no main window");
  if (!path.contains(u'/')) return QStringLiteral("error usage: menu <section>/<entry>");
  const TFamilyMenuView* menu = form->WallMenu();
  QAction* entry =
      menu ? menu->EntryAction(path.section(u'/', 0, 0), path.section(u'/', 1)) : nullptr;
  if (!entry || !entry->isEnabled() || !entry->isVisible())
    return QStringLiteral("error no enabled entry ") + path + QStringLiteral(" in the wall menu");
  gesture = [entry] { entry->trigger(); };
  return QStringLiteral("ok");
}

QString TAutomationServer::Where(const QString& text) const {
  if (text.isEmpty()) return QStringLiteral("error usage: where <caption or object name>");
  const auto answer = [](const QWidget* w, QRect r) {
    r.moveTopLeft(w->mapToGlobal(r.topLeft()));
    return QStringLiteral("ok %1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
  };
  // An open popup first: its items are what the pointer goes for next.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    auto* menu = qobject_cast<QMenu*>(window);
    if (!menu || !menu->isVisible()) continue;
    for (QAction* item : menu->actions())
      if (item->isVisible() && item->text().remove(u'&') == text)
        return answer(menu, menu->actionGeometry(item));
  }
  if (const TQuvialForm* form = mainForm_ ? mainForm_() : nullptr; form && form->isVisible())
    for (QAbstractButton* b : form->findChildren<QAbstractButton*>())
      if (Caption(b) == text && b->isVisible() && b->isEnabled()) return answer(b, b->rect());
  if (const QWidget* w = FindControl<QWidget>(text)) return answer(w, w->rect());
  return QStringLiteral("error nothing shown is called ") + text;
}

QString TAutomationServer::Read(const QStringList& args) {
  if (args.size() != 1) return QStringLiteral("error usage: read <object name>");
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible()) continue;
    // Status panels and logs are shown even where a hidden tab holds them.
    if (const auto* label = window->findChild<QLabel*>(args[0]))
      return QStringLiteral("ok ") + label->text();
    if (const auto* edit = window->findChild<QLineEdit*>(args[0]))
      return QStringLiteral("ok ") + edit->text();
    if (const auto* log = window->findChild<QPlainTextEdit*>(args[0]))
      return QStringLiteral("ok ") + log->toPlainText().section(u'\n', -1);
  }
  return QStringLiteral("error no label, edit box or log ") + args[0];
}

QString TAutomationServer::Message(Gesture& gesture) {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box) return QStringLiteral("error no message box is shown");
  // Closed after the answer: its own event loop returns only then.
  gesture = [box = QPointer<QMessageBox>(box)] {
    if (box) box->reject();
  };
  return QStringLiteral("ok ") + box->text();
}

QString TAutomationServer::Choose(const QStringList& args) {
  if (args.isEmpty() || args.size() > 2)
    return QStringLiteral("error usage: choose <type position> [<port>]");
  if (!choose_.isVisible()) return QStringLiteral("error the start dialog is not shown");
  auto* types = choose_.findChild<QComboBox*>(QStringLiteral("cbbType"));
  auto* ports = choose_.findChild<QComboBox*>(QStringLiteral("cbbPort"));
  auto* button = choose_.findChild<QPushButton*>(QStringLiteral("btnChoose"));
  if (!types || !ports || !button) return QStringLiteral("error the start dialog has no controls");
  bool ok = false;
  const int position = args[0].toInt(&ok);
  if (!ok || position < 0 || position >= types->count())
    return QStringLiteral("error no device type at position ") + args[0];
  types->setCurrentIndex(position);
  if (args.size() == 2) {
    if (ports->isHidden()) return QStringLiteral("error no port list: Quvial.ini names the ports");
    const int index = ports->findText(args[1]);
    if (index < 0) return QStringLiteral("error no port ") + args[1];
    ports->setCurrentIndex(index);
  }
  button->click();
  const TQuvialForm* form = mainForm_ ? mainForm_() : nullptr;
  if (!form) return QStringLiteral("error no main window came up");
  return QStringLiteral("ok ") + types->currentText();
}

QString TAutomationServer::Select(const QStringList& args) {
  TQuvialForm* form = mainForm_ ? mainForm_() : nullptr;
  if (!form || !form->Grid()) return QStringLiteral("error no main window");
  std::vector<int> v;
  if (args.size() != 4 || !ToInts(args, v))
    return QStringLiteral("error usage: select <left> <top> <right> <bottom>");
  const TCellRect wanted{v[0], v[1], v[2], v[3]};
  if (wanted.Empty() || v[0] < 0 || v[1] < 0 || v[2] >= form->Wall().Cols() ||
      v[3] >= form->Wall().Rows())
    return QStringLiteral("error not a rectangle of the %1 x %2 wall")
        .arg(form->Wall().Rows())
        .arg(form->Wall().Cols());
  form->Grid()->SelectRect(wanted);
  const TCellRect got = form->Grid()->Selection();
  if (!(got == wanted)) return QStringLiteral("error the grid did not take the selection");
  return QStringLiteral("ok");
}

QString TAutomationServer::Cell(const QStringList& args) {
  TQuvialForm* form = mainForm_ ? mainForm_() : nullptr;
  if (!form) return QStringLiteral("error no main window");
  std::vector<int> v;
  if (args.size() != 2 || !ToInts(args, v)) return QStringLiteral("error usage: cell <row> <col>");
  const TWallModel& wall = form->Wall();
  if (v[0] < 0 || v[0] >= wall.Rows() || v[1] < 0 || v[1] >= wall.Cols())
    return QStringLiteral("error no cell %1 %2").arg(v[0]).arg(v[1]);
  return QStringLiteral("ok ") + wall.index(v[0], v[1]).data(Qt::AccessibleTextRole).toString();
}

void TAutomationServer::Reply(QLocalSocket* socket, const QString& line) {
  if (!socket) return;
  socket->write(line.toUtf8() + '\n');
  socket->flush();
}

void InstallAutomation(TChooseForm& choose, std::function<TQuvialForm*()> mainForm) {
  const QString path = qEnvironmentVariable("QUVIAL_AUTOMATION");
  if (path.isEmpty()) return;
  auto* server = new TAutomationServer(choose, std::move(mainForm), QCoreApplication::instance());
  QString error;
  if (!server->Listen(path, &error)) {
    std::fprintf(stderr, "quvial: automation socket %s: %s\n", path.toLocal8Bit().constData(),
                 error.toLocal8Bit().constData());
    delete server;
  }
}
