#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <deque>
#include <functional>

class QLocalServer;
class QLocalSocket;
class QTimer;
class TChooseForm;
class TQuvialForm;

// Lets end-to-end tests and demonstrations drive the real program the way an
// operator does, over a local socket named by the environment variable
// QUVIAL_AUTOMATION. One command per line, one answer per line ("ok ..." or
// "error <reason>"):
//   choose <type position> [<port>]  pick in the start dialog and press 确定
//   select <left> <top> <right> <bottom>  select on the wall grid (0-based)
//   click <caption>   click the visible, enabled button with that caption
//   press <name>      click the visible, enabled button of that object name
//                     in any window, or trigger the enabled menu item
//   tick <name> 0|1   tick or untick that check box as a click would
//   text <name> <text>  type the text into that edit box, replacing its text
//   index <name> <n>  pick item n (0-based) of that list box
//   menu <section>/<entry>  choose the entry of the wall grid's context menu
//   cell <row> <col>  the grid cell's accessible text ("1-1 VGA")
//   idle              answers once no wall action is running
//   read <name>       "ok <text>": the text of the shown label, edit box or
//                     log of that object name (a log's last line)
//   message           "ok <text>" of the message box shown, which is closed
//                     as by its Escape key; an error when none is shown
//   where <text>      "ok x y w h": the screen rectangle of the item with that
//                     text in a shown menu, else of the main window's visible,
//                     enabled button with that caption, else of the visible
//                     control of that object name (for pointer-level drivers)
// Commands run in order, each only when no wall action is running, exactly
// as an operator's input would wait; the commands that operate a control
// answer before they do, so a dialog it opens cannot block the answer.
class TAutomationServer : public QObject {
  Q_OBJECT

 public:
  TAutomationServer(TChooseForm& choose, std::function<TQuvialForm*()> mainForm,
                    QObject* parent = nullptr);
  ~TAutomationServer() override;

  // Listens on path (a stale socket file there is replaced), for this user only.
  bool Listen(const QString& path, QString* error = nullptr);

 private:
  struct TRequest {
    QPointer<QLocalSocket> socket;
    QString line;
  };

  void OnConnection();
  void OnReadyRead(QLocalSocket* socket);
  void Pump();
  // What the operator's hand does after the answer; empty when nothing.
  using Gesture = std::function<void()>;

  // Answers the request; returns what the hand is to do next (maybe nothing).
  Gesture Execute(const TRequest& request);
  QString Choose(const QStringList& args);
  QString Select(const QStringList& args);
  QString Cell(const QStringList& args);
  QString Click(const QString& caption, Gesture& gesture);
  QString Press(const QStringList& args, Gesture& gesture);
  QString Tick(const QStringList& args, Gesture& gesture);
  QString Type(const QString& line);
  QString Pick(const QStringList& args, Gesture& gesture);
  QString Menu(const QString& path, Gesture& gesture);
  static QString Read(const QStringList& args);
  static QString Message(Gesture& gesture);
  QString Where(const QString& text) const;
  static void Reply(QLocalSocket* socket, const QString& line);
  bool ActionRunning() const;

  TChooseForm& choose_;
  std::function<TQuvialForm*()> mainForm_;
  QLocalServer* server_ = nullptr;
  QTimer* retry_ = nullptr;
  std::deque<TRequest> queue_;
  bool pumping_ = false;
};

// Starts a TAutomationServer when QUVIAL_AUTOMATION is set; does nothing
// otherwise. A socket that cannot be opened is reported on standard error
// and the program runs on without it.
void InstallAutomation(TChooseForm& choose, std::function<TQuvialForm*()> mainForm);
