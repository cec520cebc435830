#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>

#include "e2e_programs.h"
#include "support/end_process.h"
#include "support/event_wait.h"

namespace e2e {

// The console, offscreen, on a program directory, driven through its
// automation socket (see src/app/automation_view.h) as an operator would.
// It can be started again on the same directory after it ended.
class TConsoleProcess {
 public:
  ~TConsoleProcess() { Stop(); }

  // Starts it and connects to its automation socket; empty when connected,
  // else why not.
  QString Start(const QString& home) {
    socket_.abort();
    const QString path = QDir(home).filePath(QStringLiteral("automation"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUVIAL_HOME"), home);
    env.insert(QStringLiteral("QUVIAL_AUTOMATION"), path);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process_.setProcessEnvironment(env);
    process_.setProgram(Program(QStringLiteral("quvial")));
    process_.start();
    if (!process_.waitForStarted(10000)) return QStringLiteral("the console did not start");
    const bool connected = ProcessEventsUntil(
        [&] {
          socket_.connectToServer(path);
          return socket_.waitForConnected(100);
        },
        20000);
    return connected ? QString() : QStringLiteral("the console's automation socket never opened");
  }

  // Sends one command and returns its answer.
  QString Ask(const QString& command, int timeoutMs = 15000) {
    socket_.write(command.toUtf8() + '\n');
    socket_.flush();
    QDeadlineTimer deadline(timeoutMs);
    while (!socket_.canReadLine()) {
      if (deadline.hasExpired() || socket_.state() != QLocalSocket::ConnectedState)
        return QStringLiteral("(no answer)");
      socket_.waitForReadyRead(50);
    }
    return QString::fromUtf8(socket_.readLine()).trimmed();
  }

  // Asks again until the answer is "ok..." (a control that the console's
  // one-second timer enables) or timeoutMs passes; the last answer.
  QString AskUntilOk(const QString& command, int timeoutMs = 5000) {
    QDeadlineTimer deadline(timeoutMs);
    QString answer;
    do {
      answer = Ask(command);
      if (answer.startsWith(QStringLiteral("ok"))) break;
      ProcessEventsFor(50);
    } while (!deadline.hasExpired());
    return answer;
  }

  // Waits until it ended by itself; false after timeoutMs.
  bool WaitEnded(int timeoutMs = 10000) { return process_.waitForFinished(timeoutMs); }
  int ExitCode() const { return process_.exitCode(); }

  // Ends it (terminated, killed when it will not end) and returns its error output.
  QString Stop() {
    socket_.abort();
    EndProcess(process_);
    return QString::fromUtf8(process_.readAllStandardError());
  }

 private:
  QProcess process_;
  QLocalSocket socket_;
};

}  // namespace e2e
