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
//   cell <row> <col>  the grid cell's accessible text ("1-1 VGA")
//   idle              answers once no wall action is running
// Commands run in order, each only when no wall action is running, exactly
// as an operator's input would wait; a click answers before it clicks, so a
// dialog it opens cannot block the answer.
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
  void Execute(const TRequest& request);
  QString Choose(const QStringList& args);
  QString Select(const QStringList& args);
  QString Cell(const QStringList& args);
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
