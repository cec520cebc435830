#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <optional>

#include "e2e_programs.h"
#include "support/end_process.h"

namespace e2e {

// The virtual wall run headless on a program directory: it prints one line
// per frame or command it receives, and its state on request.
class TWallProcess {
 public:
  ~TWallProcess() { Stop(); }

  // Starts it with the extra arguments and waits for its ready line; empty
  // when ready, else why not.
  QString Start(const QString& home, const QStringList& extra = {}) {
    process_.setProgram(Program(QStringLiteral("quvial-wallsim")));
    process_.setArguments(
        QStringList{QStringLiteral("--headless"), QStringLiteral("--home"), home} + extra);
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start();
    if (!process_.waitForStarted(10000)) return QStringLiteral("the wall did not start");
    const std::optional<QString> ready = Next();
    if (!ready) return QString::fromUtf8(process_.readAllStandardError());
    if (!ready->startsWith(QStringLiteral("ready COM1 /dev/"))) return *ready;
    return {};
  }

  // The next line it printed, or none after timeoutMs.
  std::optional<QString> Next(int timeoutMs = 10000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!process_.canReadLine()) {
      if (deadline.hasExpired() || process_.state() == QProcess::NotRunning) return std::nullopt;
      process_.waitForReadyRead(50);
    }
    return QString::fromUtf8(process_.readLine()).trimmed();
  }
  bool HasLine() const { return process_.canReadLine(); }
  // Sends one command line ("trigger", ...) to its standard input.
  void Command(const QString& command) { process_.write(command.toUtf8() + '\n'); }

  // The state dump, one line per screen, unit, matrix output and DVR, without
  // the counters. The frame and command lines printed before the dump are
  // added to before when given.
  QStringList State(QStringList* before = nullptr) {
    process_.write("state\n");
    QStringList lines;
    bool inDump = false;
    while (const std::optional<QString> line = Next()) {
      if (*line == u"end" && inDump) return lines;
      if (line->startsWith(QStringLiteral("state ")))
        inDump = true;
      else if (inDump)
        lines << *line;
      else if (before)
        *before << *line;
    }
    return lines;
  }

  // Quits it (killed when it will not) and returns its error output.
  QString Stop() {
    EndProcess(process_, "quit\n");
    return QString::fromUtf8(process_.readAllStandardError());
  }

 private:
  QProcess process_;
};

}  // namespace e2e
