#pragma once

#include <QByteArray>
#include <QProcess>

// Ends a program a test or a bench started: asked first (the quit line on its
// input, or SIGTERM when there is none), killed when it has not gone within
// graceMs.
inline void EndProcess(QProcess& process, const QByteArray& quitLine = {}, int graceMs = 5000) {
  if (process.state() == QProcess::NotRunning) return;
  if (quitLine.isEmpty())
    process.terminate();
  else
    process.write(quitLine);
  if (!process.waitForFinished(graceMs)) {
    process.kill();
    process.waitForFinished(graceMs);
  }
}
