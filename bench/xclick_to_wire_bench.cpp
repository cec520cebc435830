// Click to wire and dissolve pacing, black-box: the real console and a bare Qt
// window run as separate programs on an X server (an Xvfb of our own), each
// with its line on a pseudo-terminal; the clicks are real pointer input sent
// through XTEST at the button's screen position, and the frames are timed
// where a splicer would see them, at the pty master.
//
//  1. Alternating clicks on the console's "VGA" button (2 x 2 selected) and on
//     the bare window's button (it writes the same 9-byte frame with write(2)
//     in its clicked handler): press, hold, release, then the frame's last
//     byte readable at the far end. Goal: the console's median release to
//     wire within 1.2 x the bare window's.
//  2. A dissolve of the 10 x 10 wall, started by a click on its menu entry:
//     100 frames, every gap at least 50 ms, first to last frame within 1 % of
//     99 x 50 ms (4999.5 ms), and the drawing into the console's window while
//     it runs (its progress bar, shown after its one-second delay).
//
// The console is told where nothing else: its automation socket (the same one
// the end-to-end tests use) picks the device type, sets the selection and
// answers where a control is on the screen; the clicks themselves go through
// the X server like an operator's.
//
// Usage: xclick_to_wire_bench [--clicks N] [--hold MS] [--use-display] [--no-dissolve]
//   (quvial and bare_click_window are taken from the bench's own directory)
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <optional>

#include "bench_stats.h"
#include "support/end_process.h"
#include "wire_probe.h"
#include "x_driver.h"

namespace {

using Clock = TWireProbe::Clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void SleepMs(int ms) { QThread::usleep(static_cast<unsigned long>(ms) * 1000); }

QPoint Center(const QRect& r) { return {r.x() + r.width() / 2, r.y() + r.height() / 2}; }

// A radio button takes clicks only on its mark and caption, at its left end,
// not across its whole width: the point where the pointer goes for a button.
QPoint ButtonPoint(const QRect& r) {
  return {r.x() + std::min(r.width() / 2, r.height() / 2 + 4), r.y() + r.height() / 2};
}

// "ok x y w h" from the automation socket or "button x y w h" from the bare window.
std::optional<QRect> ParseRect(const QString& line) {
  const QStringList parts = line.split(u' ', Qt::SkipEmptyParts);
  if (parts.size() != 5) return std::nullopt;
  int v[4];
  for (int i = 0; i < 4; ++i) {
    bool ok = false;
    v[i] = parts[i + 1].toInt(&ok);
    if (!ok) return std::nullopt;
  }
  return QRect(v[0], v[1], v[2], v[3]);
}

// The console, on the display, with its splicer line on the given pty.
class TConsole {
 public:
  QString Start(const QString& program, const QString& display, const QString& slave, int rows,
                int cols) {
    if (!home_.isValid()) return QStringLiteral("no temporary directory");
    QDir(home_.path()).mkpath(QStringLiteral("ports"));
    QFile::link(slave, home_.filePath(QStringLiteral("ports/COM1")));
    QFile ini(home_.filePath(QStringLiteral("Quvial.ini")));
    if (!ini.open(QIODevice::WriteOnly)) return QStringLiteral("cannot write Quvial.ini");
    ini.write(QStringLiteral("[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM1\r\nCmdLen=1\r\n"
                             "row=%1\r\ncol=%2\r\n")
                  .arg(rows)
                  .arg(cols)
                  .toLatin1());
    ini.close();
    const QString socketPath = home_.filePath(QStringLiteral("automation"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUVIAL_HOME"), home_.path());
    env.insert(QStringLiteral("QUVIAL_AUTOMATION"), socketPath);
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(program, {});
    if (!process_.waitForStarted(10000)) return QStringLiteral("the console did not start");
    QDeadlineTimer deadline(20000);
    for (;;) {
      socket_.connectToServer(socketPath);
      if (socket_.waitForConnected(100)) return {};
      if (deadline.hasExpired() || process_.state() != QProcess::Running)
        return QStringLiteral("the console's automation socket never opened");
      SleepMs(50);
    }
  }

  QString Ask(const QString& command) {
    socket_.write(command.toUtf8() + '\n');
    socket_.flush();
    QDeadlineTimer deadline(15000);
    while (!socket_.canReadLine()) {
      if (deadline.hasExpired() || socket_.state() != QLocalSocket::ConnectedState)
        return QStringLiteral("(no answer)");
      socket_.waitForReadyRead(50);
    }
    return QString::fromUtf8(socket_.readLine()).trimmed();
  }

  ~TConsole() {
    socket_.abort();
    EndProcess(process_);
  }

 private:
  QTemporaryDir home_;
  QProcess process_;
  QLocalSocket socket_;
};

// The yardstick window, its line on the given pty, placed at `at`.
class TBareWindow {
 public:
  std::optional<QRect> Start(const QString& program, const QString& display, const QString& slave,
                             QPoint at) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.setReadChannel(QProcess::StandardOutput);
    process_.start(program, {slave, QString::number(at.x()), QString::number(at.y())});
    QDeadlineTimer deadline(10000);
    while (!process_.canReadLine() && !deadline.hasExpired()) process_.waitForReadyRead(100);
    return ParseRect(QString::fromLatin1(process_.readLine()).trimmed());
  }
  ~TBareWindow() { EndProcess(process_); }

 private:
  QProcess process_;
};

struct TClickTimes {
  std::vector<double> pressToWire;
  std::vector<double> releaseToWire;
};

// One click at `at`; the times from just before the press and from just
// before the release to the frame's last byte at the far end. False when not
// exactly one frame arrived after the release.
bool ClickOnce(TXDriver& x, TWireProbe& wire, QPoint at, int holdMs, TClickTimes& times) {
  x.MoveTo(at);
  SleepMs(40);  // the hover has been handled: only the click is timed
  const size_t before = wire.Count();
  const auto press = Clock::now();
  x.Button(1, true);
  SleepMs(holdMs);
  const auto release = Clock::now();
  x.Button(1, false);
  for (QDeadlineTimer deadline(2000); wire.Count() == before && !deadline.hasExpired();)
    QThread::usleep(100);
  const auto arrivals = wire.Arrivals();
  if (arrivals.size() != before + 1 || arrivals.back() < release) return false;
  times.pressToWire.push_back(Ms(arrivals.back() - press));
  times.releaseToWire.push_back(Ms(arrivals.back() - release));
  return true;
}

bool AllVgaFrames(const std::vector<unsigned char>& bytes) {
  static const unsigned char kFrame[9] = {0xC8, 0x09, 0x01, 0x01, 0x02, 0x02, 0x20, 0x02, 0xF9};
  for (size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] != kFrame[i % 9]) return false;
  return !bytes.empty();
}

void Report(const char* who, const TClickTimes& t) {
  const TBenchStats press(t.pressToWire), release(t.releaseToWire);
  std::printf(
      "  %-8s release to wire: median %.3f ms, p99 %.3f ms, min %.3f, max %.3f;"
      " press to wire: median %.3f ms, p99 %.3f ms\n",
      who, release.Median(), release.Percentile(99), release.Min(), release.Max(), press.Median(),
      press.Percentile(99));
}

// Clicks the console's and the bare window's buttons in turn; false on a fault.
bool ClickToWire(TXDriver& x, TConsole& console, TWireProbe& consoleWire, QPoint consoleButton,
                 TWireProbe& bareWire, QPoint bareButton, int clicks, int holdMs) {
  if (console.Ask(QStringLiteral("select 0 0 1 1")) != u"ok") return false;
  TClickTimes consoleTimes, bareTimes;
  for (int i = 0; i < clicks; ++i) {
    if (!ClickOnce(x, consoleWire, consoleButton, holdMs, consoleTimes)) {
      std::fprintf(stderr,
                   "console click %d: not exactly one frame after the release (%zu in all)\n",
                   i + 1, consoleWire.Count());
      return false;
    }
    SleepMs(80);  // past the console's 50 ms pause after the frame
    if (!ClickOnce(x, bareWire, bareButton, holdMs, bareTimes)) {
      std::fprintf(stderr, "bare click %d: not exactly one frame after the release\n", i + 1);
      return false;
    }
    SleepMs(80);
  }
  if (!AllVgaFrames(consoleWire.Bytes()) || !AllVgaFrames(bareWire.Bytes())) {
    std::fprintf(stderr, "a frame on the wire is not the VGA frame\n");
    return false;
  }
  const double ratio = TBenchStats(consoleTimes.releaseToWire).Median() /
                       TBenchStats(bareTimes.releaseToWire).Median();
  const double pressRatio =
      TBenchStats(consoleTimes.pressToWire).Median() / TBenchStats(bareTimes.pressToWire).Median();
  std::printf("click to wire, %d clicks each, alternating, press held %d ms:\n", clicks, holdMs);
  Report("console", consoleTimes);
  Report("bare", bareTimes);
  std::printf(
      "  ratio of the medians: release to wire %.2f x, press to wire %.3f x"
      " (goal: release to wire within 1.2 x: %s)\n",
      ratio, pressRatio, ratio <= 1.2 ? "met" : "MISSED");
  return ratio <= 1.2;
}

// Right-clicks the grid, opens 分解 and clicks 视频1; the frames and the drawing
// into the console's window are watched until the 100th frame.
bool DissolveBlackBox(TXDriver& x, TConsole& console, TWireProbe& wire) {
  const size_t before = wire.Count();
  const auto grid = ParseRect(console.Ask(QStringLiteral("where sgWall")));
  if (console.Ask(QStringLiteral("select 0 0 9 9")) != u"ok" || !grid) {
    std::fprintf(stderr, "dissolve: cannot select the wall\n");
    return false;
  }
  const QPoint gridCenter = Center(*grid);
  if (!x.WatchWindowAt(gridCenter)) {
    std::fprintf(stderr, "dissolve: no window under the grid\n");
    return false;
  }
  x.Button(3, true);
  SleepMs(40);
  x.Button(3, false);
  SleepMs(300);
  const auto section = ParseRect(console.Ask(QStringLiteral("where 分解")));
  if (!section) {
    std::fprintf(stderr, "dissolve: the wall menu did not open\n");
    return false;
  }
  x.MoveTo(Center(*section));
  SleepMs(600);  // the submenu opens on hover
  const auto entry = ParseRect(console.Ask(QStringLiteral("where 视频1")));
  if (!entry) {
    std::fprintf(stderr, "dissolve: no 视频1 entry in the open menus\n");
    return false;
  }
  x.MoveTo(Center(*entry));
  SleepMs(100);
  x.CollectDamage();
  const auto click = Clock::now();
  x.Button(1, true);
  SleepMs(40);
  x.Button(1, false);
  const size_t total = 100;
  for (QDeadlineTimer deadline(15000); wire.Count() < before + total && !deadline.hasExpired();) {
    x.CollectDamage();
    QThread::usleep(200);
  }
  SleepMs(200);
  x.CollectDamage();
  const auto all = wire.Arrivals();
  if (all.size() != before + total) {
    std::fprintf(stderr, "dissolve: %zu frames arrived instead of %zu\n", all.size() - before,
                 total);
    return false;
  }
  const std::vector<Clock::time_point> frames(all.begin() + static_cast<long>(before), all.end());
  std::vector<double> gaps;
  for (size_t i = 1; i < frames.size(); ++i) gaps.push_back(Ms(frames[i] - frames[i - 1]));
  const TBenchStats gap(gaps);
  const double firstToLast = Ms(frames.back() - frames.front());
  constexpr double kIdeal = 99 * 50.0;
  const bool gapsOk = gap.Min() >= 50.0;
  const bool wholeOk = firstToLast <= kIdeal * 1.01;

  // Drawing: from the first to the last frame, and from one second in (when
  // the progress bar shows) to the last frame.
  const auto& damage = x.Damage();
  auto longestWithout = [&](Clock::time_point from, Clock::time_point to, size_t& count) {
    std::vector<Clock::time_point> marks{from};
    for (auto t : damage)
      if (t >= from && t <= to) marks.push_back(t);
    marks.push_back(to);
    count = marks.size() - 2;
    double longest = 0;
    for (size_t i = 1; i < marks.size(); ++i)
      longest = std::max(longest, Ms(marks[i] - marks[i - 1]));
    return longest;
  };
  size_t paints = 0, paintsLater = 0;
  const double longest = longestWithout(frames.front(), frames.back(), paints);
  const auto later = frames.front() + std::chrono::milliseconds(1100);
  const double longestLater = longestWithout(later, frames.back(), paintsLater);

  std::printf("dissolve of 10 x 10 started by a click on its menu entry:\n");
  std::printf(
      "  click to first frame %.3f ms; %zu frames; first to last %.1f ms"
      " (ideal %.0f; goal <= %.1f: %s)\n",
      Ms(frames.front() - click), frames.size(), firstToLast, kIdeal, kIdeal * 1.01,
      wholeOk ? "met" : "MISSED");
  std::printf(
      "  gaps: min %.3f ms, median %.3f ms, p99 %.3f ms, max %.3f ms"
      " (every gap >= 50 ms: %s)\n",
      gap.Min(), gap.Median(), gap.Percentile(99), gap.Max(), gapsOk ? "met" : "MISSED");
  std::printf(
      "  drawing into the console's window (X damage): %zu times while the frames went"
      " out, longest stretch without %.1f ms; from 1.1 s on (progress bar shown) %zu"
      " times, longest stretch without %.1f ms\n",
      paints, longest, paintsLater, longestLater);
  return gapsOk && wholeOk;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int clicks = 200;
  int holdMs = 60;
  bool useDisplay = false;
  bool dissolve = true;
  const QStringList args = QCoreApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == u"--clicks" && i + 1 < args.size())
      clicks = std::max(1, args[++i].toInt());
    else if (args[i] == u"--hold" && i + 1 < args.size())
      holdMs = std::max(0, args[++i].toInt());
    else if (args[i] == u"--use-display")
      useDisplay = true;
    else if (args[i] == u"--no-dissolve")
      dissolve = false;
    else {
      std::fprintf(stderr,
                   "usage: xclick_to_wire_bench [--clicks N] [--hold MS] [--use-display]"
                   " [--no-dissolve]\n");
      return 2;
    }
  }
  const QDir bin(QCoreApplication::applicationDirPath());

  TXDriver x(!useDisplay);
  if (!x.IsReady()) {
    std::fprintf(stderr, "xclick_to_wire_bench: %s\n", x.Error().toUtf8().constData());
    return 2;
  }
  TWireProbe consoleWire, bareWire;
  if (!consoleWire.IsValid() || !bareWire.IsValid()) {
    std::fprintf(stderr, "xclick_to_wire_bench: no pty\n");
    return 2;
  }
  TConsole console;
  if (const QString error = console.Start(bin.filePath(QStringLiteral("quvial")), x.DisplayName(),
                                          consoleWire.SlavePath(), 10, 10);
      !error.isEmpty()) {
    std::fprintf(stderr, "xclick_to_wire_bench: %s\n", error.toUtf8().constData());
    return 2;
  }
  const QString chosen = console.Ask(QStringLiteral("choose 0"));
  // The start-up search for network splicers runs as an action: wait it out.
  console.Ask(QStringLiteral("idle"));
  const auto form = ParseRect(console.Ask(QStringLiteral("where QuvialForm")));
  const auto vga = ParseRect(console.Ask(QStringLiteral("where VGA")));
  if (!chosen.startsWith(u"ok") || !form || !vga) {
    std::fprintf(stderr, "xclick_to_wire_bench: the console's main window is not up (%s)\n",
                 chosen.toUtf8().constData());
    return 2;
  }
  TBareWindow bare;
  const auto bareButton =
      bare.Start(bin.filePath(QStringLiteral("bare_click_window")), x.DisplayName(),
                 bareWire.SlavePath(), QPoint(form->right() + 40, 40));
  if (!bareButton) {
    std::fprintf(stderr, "xclick_to_wire_bench: the bare window did not come up\n");
    return 2;
  }
  SleepMs(500);  // both windows settled
  if (qEnvironmentVariableIsSet("XCLICK_VERBOSE"))
    std::fprintf(stderr, "console window %d,%d %dx%d; VGA at %d,%d; bare button at %d,%d\n",
                 form->x(), form->y(), form->width(), form->height(), ButtonPoint(*vga).x(),
                 ButtonPoint(*vga).y(), ButtonPoint(*bareButton).x(), ButtonPoint(*bareButton).y());

  bool ok = ClickToWire(x, console, consoleWire, ButtonPoint(*vga), bareWire,
                        ButtonPoint(*bareButton), clicks, holdMs);
  if (dissolve) ok = DissolveBlackBox(x, console, consoleWire) && ok;
  return ok ? 0 : 1;
}
