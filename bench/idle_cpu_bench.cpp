// Idle CPU: the console program as an operator leaves it, its main window up
// over all six serial lines of the virtual wall program (COM1 splicers, COM2
// to COM4 the matrices, COM5 the DVR, COM6 the listening line) and nothing
// to do. After it settled, the console's processor time (user and system,
// from /proc/PID/stat) is measured over a while and given as a share of one
// core; per thread too, with the thread's wake-ups (context switches) per
// second, which show a poll or timer that runs too often.
// Goal: under 0.5 % of one core; exit 1 when missed.
// Usage: idle_cpu_bench [--seconds N] [--settle N]   (defaults 60 and 10)
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <map>

#include "support/end_process.h"

namespace {

constexpr double kGoalPercent = 0.5;

// One thread's processor ticks and context switches so far.
struct TThreadTimes {
  QString name;
  qint64 ticks = 0;
  qint64 switches = 0;
};

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// utime + stime of a /proc stat line; its name field may hold blanks.
qint64 StatTicks(const QByteArray& stat) {
  const qsizetype close = stat.lastIndexOf(')');
  if (close < 0) return -1;
  const QList<QByteArray> f = stat.mid(close + 2).split(' ');
  // After the name: state is field 3, utime 14 and stime 15 of the line.
  return f.size() > 12 ? f[11].toLongLong() + f[12].toLongLong() : -1;
}

qint64 Switches(const QByteArray& status) {
  qint64 n = 0;
  for (const QByteArray& line : status.split('\n'))
    if (line.startsWith("voluntary_ctxt_switches:") ||
        line.startsWith("nonvoluntary_ctxt_switches:"))
      n += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
  return n;
}

std::map<QString, TThreadTimes> Threads(qint64 pid) {
  std::map<QString, TThreadTimes> threads;
  const QString task = QStringLiteral("/proc/%1/task").arg(pid);
  for (const QString& tid : QDir(task).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    const QString dir = task + u'/' + tid;
    threads[tid] = {QString::fromUtf8(ReadAll(dir + QStringLiteral("/comm")).trimmed()),
                    StatTicks(ReadAll(dir + QStringLiteral("/stat"))),
                    Switches(ReadAll(dir + QStringLiteral("/status")))};
  }
  return threads;
}

// The devices the process holds open.
QStringList OpenDevices(qint64 pid) {
  QStringList devices;
  const QString fd = QStringLiteral("/proc/%1/fd").arg(pid);
  for (const QString& entry : QDir(fd).entryList(QDir::System | QDir::NoDotAndDotDot))
    devices << QFileInfo(fd + u'/' + entry).symLinkTarget();
  return devices;
}

void Wait(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

int Fail(const QString& why) {
  std::fprintf(stderr, "idle_cpu_bench: %s\n", why.toUtf8().constData());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int seconds = 60, settle = 10;
  for (int i = 1; i < argc; ++i) {
    const bool known =
        std::strcmp(argv[i], "--seconds") == 0 || std::strcmp(argv[i], "--settle") == 0;
    if (!known || i + 1 >= argc) {
      std::fprintf(stderr, "usage: idle_cpu_bench [--seconds N] [--settle N]\n");
      return 2;
    }
    (std::strcmp(argv[i], "--seconds") == 0 ? seconds : settle) = std::atoi(argv[i + 1]);
    ++i;
  }
  if (seconds < 1 || settle < 0) return Fail(QStringLiteral("--seconds from 1, --settle from 0"));
  QTemporaryDir home;
  if (!home.isValid()) return Fail(QStringLiteral("no temporary directory"));
  const QString bin = QCoreApplication::applicationDirPath();

  // The wall first: it links ports/COM1 to COM6 and writes Quvial.ini using them.
  QProcess wall;
  wall.start(bin + QStringLiteral("/quvial-wallsim"),
             {QStringLiteral("--headless"), QStringLiteral("--home"), home.path(),
              QStringLiteral("--wire-ports")});
  QDeadlineTimer ready(10000);
  while (!wall.canReadLine() && !ready.hasExpired() && wall.state() != QProcess::NotRunning)
    wall.waitForReadyRead(50);
  const QString readyLine = QString::fromUtf8(wall.readLine()).trimmed();
  const QStringList words = readyLine.split(u' ', Qt::SkipEmptyParts);
  QStringList lines;  // the six devices, COM1 first
  for (qsizetype i = 2; i < words.size(); i += 2) lines << words[i];
  if (!readyLine.startsWith(QStringLiteral("ready ")) || lines.size() != 6)
    return Fail(QStringLiteral("the wall did not offer six lines: ") + readyLine +
                QString::fromUtf8(wall.readAllStandardError()));
  QObject::connect(&wall, &QProcess::readyReadStandardOutput, [&wall] { wall.readAll(); });

  // The console, offscreen, its start dialog answered through its automation socket.
  QProcess console;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  const QString socketPath = home.filePath(QStringLiteral("automation"));
  env.insert(QStringLiteral("QUVIAL_HOME"), home.path());
  env.insert(QStringLiteral("QUVIAL_AUTOMATION"), socketPath);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  console.setProcessEnvironment(env);
  console.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  console.start(bin + QStringLiteral("/quvial"), {});
  if (!console.waitForStarted(10000)) return Fail(QStringLiteral("the console did not start"));
  QLocalSocket automation;
  QDeadlineTimer connectBy(20000);
  do {
    automation.connectToServer(socketPath);
  } while (!automation.waitForConnected(100) && !connectBy.hasExpired());
  automation.write("choose 0\n");
  automation.waitForBytesWritten(1000);
  QDeadlineTimer answerBy(15000);
  while (!automation.canReadLine() && !answerBy.hasExpired()) automation.waitForReadyRead(50);
  const QString answer = QString::fromUtf8(automation.readLine()).trimmed();
  if (!answer.startsWith(QStringLiteral("ok")))
    return Fail(QStringLiteral("the main window did not come up: ") + answer);

  std::printf("console %lld with its main window up; settling %d s\n",
              static_cast<long long>(console.processId()), settle);
  std::fflush(stdout);
  Wait(settle * 1000);
  const qint64 pid = console.processId();
  const QStringList open = OpenDevices(pid);
  int opened = 0;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const bool held = open.contains(lines[i]);
    opened += held;
    if (!held)
      std::printf("  COM%lld (%s) is not open\n", static_cast<long long>(i + 1),
                  lines[i].toUtf8().constData());
  }
  if (opened != 6) {
    EndProcess(console);
    EndProcess(wall, "quit\n");
    return Fail(QStringLiteral("only %1 of the six lines are open").arg(opened));
  }

  std::printf("all six lines held open by the console: %s\n",
              lines.join(QStringLiteral(" ")).toUtf8().constData());
  const std::map<QString, TThreadTimes> first = Threads(pid);
  const qint64 firstTicks = StatTicks(ReadAll(QStringLiteral("/proc/%1/stat").arg(pid)));
  QElapsedTimer clock;
  clock.start();
  Wait(seconds * 1000);
  const double elapsed = clock.nsecsElapsed() / 1e9;
  const qint64 lastTicks = StatTicks(ReadAll(QStringLiteral("/proc/%1/stat").arg(pid)));
  const std::map<QString, TThreadTimes> last = Threads(pid);
  const bool alive = console.state() == QProcess::Running;
  EndProcess(console);
  EndProcess(wall, "quit\n");
  if (!alive || firstTicks < 0 || lastTicks < 0)
    return Fail(QStringLiteral("the console ended during the measurement"));

  const double hz = static_cast<double>(::sysconf(_SC_CLK_TCK));
  const auto percent = [&](qint64 ticks) { return ticks / hz / elapsed * 100.0; };
  std::printf("idle with six lines open, over %.1f s (ticks of %.0f ms):\n", elapsed, 1000 / hz);
  std::printf("  %-18s %9s %12s\n", "thread", "% of core", "wake-ups/s");
  qint64 wakeUps = 0;
  for (const auto& [tid, now] : last) {
    const auto was = first.find(tid);
    if (was == first.end()) continue;
    const qint64 ticks = now.ticks - was->second.ticks;
    const qint64 switches = now.switches - was->second.switches;
    wakeUps += switches;
    if (ticks > 0 || switches > 0)
      std::printf("  %-18s %9.3f %12.1f\n", now.name.toUtf8().constData(), percent(ticks),
                  switches / elapsed);
  }
  const double total = percent(lastTicks - firstTicks);
  const bool met = total < kGoalPercent;
  std::printf("console: %.3f %% of one core, %.1f wake-ups per second (goal under %.1f %%: %s)\n",
              total, wakeUps / elapsed, kGoalPercent, met ? "met" : "MISSED");
  return met ? 0 : 1;
}
