// Soak: the console's automatic scene cycling for many steps against the
// virtual wall program, with the matrix and DVR linkage on. The main window
// is built in this process (offscreen) over the wall's six lines; four scenes
// are recorded through the window's own controls (combines under different
// sources, a dissolve, other matrix inputs and DVR splits), then the scene
// manager's "自动切换场景" cycles them, one step as its timer would run it.
// Every pause waits at most 1 ms (TSoakPauser), so the cycling is fast, but
// every byte crosses the ptys and the wall decodes it.
//
// It samples this process's resident memory (after giving freed heap back to
// the system, so that what stays is what is held) and its open descriptors
// after warm-up, every 1000 steps and at the end, and compares, per line, the
// frames and commands the console sent with what the wall decoded: the same
// count, the same bytes in the same order, and nothing bad, unknown or
// stray. The console's sends are counted where the program reports them: the
// super manager's trace for splicer frames, the scene player's matrix hook
// for matrix and DVR commands. At the end the wall's state must equal its
// state after an earlier step that played the same scene.
//
// Fails (exit 1) when the memory grew more than 2 MiB after warm-up, any
// descriptor was added, or any count, byte or state differs.
// Usage: soak_bench [--steps N]
#include <dirent.h>
#include <malloc.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "app/quvial_form.h"
#include "scenes/scene_form.h"
#include "soak_pauser.h"
#include "soak_wall.h"
#include "wall/family_menu_view.h"
#include "wall/wall_grid_view.h"

namespace {

constexpr int kRows = 4, kCols = 4;
constexpr int kScenes = 4;
constexpr int kWarmUpStep = 500;
constexpr int kSampleEvery = 1000;
constexpr qint64 kRssToleranceKiB = 2048;
constexpr int kCatchUpMs = 20000;

// Resident memory of this process (VmRSS, and its anonymous and file-backed
// parts), after the allocator gave its free pages back. A leak grows the
// anonymous part; the file-backed part grows only as code and data pages of
// the libraries are first touched.
struct TRss {
  qint64 total = -1, anon = -1, file = -1;
  qint64 heap = -1;  // the allocator's bytes in use, in KiB: live objects only
};
TRss ResidentKiB() {
  malloc_trim(0);
  QFile status(QStringLiteral("/proc/self/status"));
  TRss rss;
  const struct mallinfo2 heap = mallinfo2();
  rss.heap = static_cast<qint64>((heap.uordblks + heap.hblkhd) / 1024);
  if (!status.open(QIODevice::ReadOnly)) return rss;
  for (const QByteArray& line : status.readAll().split('\n')) {
    const QByteArray value = line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0);
    if (line.startsWith("VmRSS:")) rss.total = value.toLongLong();
    if (line.startsWith("RssAnon:")) rss.anon = value.toLongLong();
    if (line.startsWith("RssFile:")) rss.file = value.toLongLong();
  }
  return rss;
}

// Open descriptors of this process, without the one that lists them.
int OpenFds() {
  DIR* dir = ::opendir("/proc/self/fd");
  if (!dir) return -1;
  int n = 0;
  while (const dirent* e = ::readdir(dir))
    if (e->d_name[0] != '.') ++n;
  ::closedir(dir);
  return n - 1;
}

// The operator's hand on the windows' controls; each step says what it
// could not find.
class TOperator {
 public:
  explicit TOperator(TQuvialForm& form) : form_(form) {}

  void Select(int left, int top, int right, int bottom) {
    form_.Grid()->SelectRect({left, top, right, bottom});
  }
  // A visible, enabled source button of the main window by its caption.
  void Click(const QString& caption) {
    for (QAbstractButton* b : form_.findChildren<QAbstractButton*>())
      if (b->text() == caption && b->isVisible() && b->isEnabled()) return b->click();
    Missing(caption);
  }
  void Press(QWidget* root, const QString& name) {
    auto* b = root->findChild<QAbstractButton*>(name);
    if (b && b->isEnabled()) return b->click();
    Missing(name);
  }
  void Tick(QWidget* root, const QString& name, bool on) {
    auto* b = root->findChild<QAbstractButton*>(name);
    if (!b || !b->isEnabled()) return Missing(name);
    if (b->isChecked() != on) b->click();
  }
  // Picks an item of a list box as from its list.
  void Pick(const QString& name, int index) {
    auto* box = form_.findChild<QComboBox*>(name);
    if (!box || !box->isEnabled() || index >= box->count()) return Missing(name);
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
  }
  void Menu(const QString& section, const QString& entry) {
    QAction* a = form_.WallMenu() ? form_.WallMenu()->EntryAction(section, entry) : nullptr;
    if (a && a->isEnabled()) return a->trigger();
    Missing(section + u'/' + entry);
  }
  const QStringList& Errors() const { return errors_; }

 private:
  void Missing(const QString& what) { errors_ << QStringLiteral("no enabled control ") + what; }
  TQuvialForm& form_;
  QStringList errors_;
};

// What the four scenes hold: each a different mix of sources, matrix inputs
// and DVR splits; the third ends with the wall dissolved again.
void RecordSceneSteps(TOperator& op, int scene) {
  switch (scene) {
    case 1:
      op.Pick(QStringLiteral("cbbChannel"), 0);
      op.Select(0, 0, kCols - 1, kRows - 1);
      op.Click(QStringLiteral("VGA"));
      break;
    case 2:
      op.Pick(QStringLiteral("cbbChannel"), 1);
      op.Select(0, 0, 1, 1);
      op.Click(QStringLiteral("视频1"));
      op.Pick(QStringLiteral("cbbChannel"), 2);  // the matrix follows at once
      op.Pick(QStringLiteral("cbbPics"), 1);
      op.Select(2, 0, 3, 1);
      op.Click(QStringLiteral("DVI"));
      op.Select(0, 2, 1, 3);
      op.Click(QStringLiteral("HDMI"));
      op.Select(2, 2, 3, 3);
      op.Click(QStringLiteral("VGA"));
      break;
    case 3:
      op.Pick(QStringLiteral("cbbPics"), 2);
      op.Select(0, 0, kCols - 1, kRows - 1);
      op.Click(QStringLiteral("DVI"));
      op.Menu(QStringLiteral("分解"), QStringLiteral("DVI"));
      break;
    default:
      op.Pick(QStringLiteral("cbbChannel"), 3);
      op.Pick(QStringLiteral("cbbPics"), 3);
      op.Select(0, 0, kCols - 1, 1);
      op.Click(QStringLiteral("HDMI"));
      op.Select(0, 2, kCols - 1, kRows - 1);
      op.Click(QStringLiteral("视频1"));
      break;
  }
}

// Frame bytes from a trace line: "2026/1/2 10:00:00 : msg =  c8  09 ...".
QByteArray TracedBytes(const QString& line, qsizetype labelEnd) {
  QByteArray bytes;
  for (const QString& token : line.mid(labelEnd).split(u' ', Qt::SkipEmptyParts))
    bytes.append(static_cast<char>(token.toUInt(nullptr, 16)));
  return bytes;
}

struct TSample {
  int step;
  TRss rss;
  int fds;
  double seconds;
};

int Fail(const QString& why) {
  std::fprintf(stderr, "soak_bench: %s\n", why.toUtf8().constData());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int steps = 10000;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--steps") == 0 && i + 1 < argc) {
      steps = std::atoi(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: soak_bench [--steps N]\n");
      return 2;
    }
  }
  if (steps < 1) return Fail(QStringLiteral("--steps takes a number from 1 on"));
  QApplication app(argc, argv);
  const int warmUp = std::min(kWarmUpStep, std::max(1, steps / 2));

  QTemporaryDir home;
  if (!home.isValid()) return Fail(QStringLiteral("no temporary directory"));
  qputenv("QUVIAL_HOME", QFile::encodeName(home.path()));
  TSoakWall wall;
  const QString wallProgram =
      QCoreApplication::applicationDirPath() + QStringLiteral("/quvial-wallsim");
  if (const QString error = wall.Start(wallProgram, home.path(),
                                       {QStringLiteral("--rows"), QString::number(kRows),
                                        QStringLiteral("--cols"), QString::number(kCols)});
      !error.isEmpty())
    return Fail(error);

  TSoakPauser pauser;
  TDeviceChoice choice;
  choice.family = 0;  // QN-51
  choice.deviceName = QStringLiteral("QN-51");
  choice.portListHidden = true;
  auto form = std::make_unique<TQuvialForm>(choice, pauser);
  form->show();
  if (!QTest::qWaitForWindowExposed(form.get())) return Fail(QStringLiteral("no main window"));
  for (TPortId id : {TPortId::Combine, TPortId::Matrix, TPortId::VGAMatrix, TPortId::DVIMatrix,
                     TPortId::DVR, TPortId::Sniff})
    if (!form->Ports().Port(id).IsOpen())
      return Fail(QStringLiteral("port %1 did not open").arg(static_cast<int>(id)));
  form->UiTimerTick();  // connected: the scene manager opens

  // The counting hooks, live once the scenes are recorded.
  bool counting = false;
  form->SendPath().SetAccessLevel(3);  // the trace reports every splicer frame
  form->SendPath().memo = [&, inner = form->SendPath().memo](const QString& line) {
    static const QString kLabel = QStringLiteral(" : msg = ");
    if (const qsizetype at = line.indexOf(kLabel); counting && at >= 0)
      wall.Sent(TSoakWall::kSplicers, TracedBytes(line, at + kLabel.size()));
    if (inner) inner(line);
  };
  form->ScenePlayer().sendMatrixBytes = [&, inner = form->ScenePlayer().sendMatrixBytes](
                                            const QByteArray& bytes, quint8 kind) {
    if (counting) wall.Sent(static_cast<TSoakWall::TLine>(TSoakWall::kVideo + kind), bytes);
    if (inner) inner(bytes, kind);
  };

  // The scenes, recorded through the windows.
  TOperator op(*form);
  op.Tick(form.get(), QStringLiteral("cbMatrixCMB"), true);
  op.Tick(form.get(), QStringLiteral("cbDVRCMB"), true);
  form->findChild<QAction*>(QStringLiteral("menuItemScene"))->trigger();
  TSceneForm* manager = form->SceneForm();
  if (!manager || !manager->isVisible()) return Fail(QStringLiteral("no scene manager"));
  int items = 0;
  for (int scene = 1; scene <= kScenes; ++scene) {
    op.Press(manager, QStringLiteral("pnlScene%1").arg(scene));  // plays it (still empty)
    op.Pick(QStringLiteral("cbbRow"), kRows - 1);
    op.Pick(QStringLiteral("cbbCol"), kCols - 1);
    op.Press(form.get(), QStringLiteral("btnRowColSet"));
    op.Tick(manager, QStringLiteral("cbScene%1").arg(scene), true);  // records
    RecordSceneSteps(op, scene);
    op.Press(manager, QStringLiteral("btnSave"));
    const auto count = form->Scenes()->Items().size();
    if (count == 0 || count > 255)
      return Fail(QStringLiteral("scene %1 holds %2 items").arg(scene).arg(count));
    items += static_cast<int>(count);
  }
  if (!op.Errors().isEmpty()) return Fail(op.Errors().join(QStringLiteral("; ")));

  // Cycling, as "自动切换场景" starts it; its steps are counted as shown.
  TSceneCycler& cycler = manager->Cycler();
  int played = 0, lastScene = 0, outOfTurn = 0;
  cycler.shown = [&, inner = cycler.shown](int number) {
    ++played;
    if (number != lastScene % kScenes + 1) ++outOfTurn;
    lastScene = number;
    if (inner) inner(number);
  };
  op.Tick(manager, QStringLiteral("cbAutoChange"), true);
  if (!cycler.Running()) return Fail(QStringLiteral("the cycling did not start"));

  // The recording's bytes settle before the counting starts.
  for (qint64 seen = -1; seen != wall.LinesSeen();) {
    seen = wall.LinesSeen();
    QTest::qWait(300);
  }
  wall.Reset();
  const std::optional<TSoakWall::TState> before = wall.State();
  if (!before) return Fail(QStringLiteral("the wall did not answer"));
  counting = true;

  // The wall's state after a step that plays the same scene as the last one,
  // after a whole cycle (every output routed as it will be at the end).
  const int referenceStep = kScenes + (steps - 1) % kScenes + 1;
  std::optional<TSoakWall::TState> reference;
  std::vector<TSample> samples;
  QElapsedTimer clock;
  clock.start();
  bool caughtUp = true;
  while (played < steps) {
    cycler.Tick();
    if (played == referenceStep && referenceStep < steps) reference = wall.State();
    if (played == warmUp || played % kSampleEvery == 0 || played == steps) {
      caughtUp = wall.WaitCaughtUp(kCatchUpMs) && caughtUp;
      samples.push_back({played, ResidentKiB(), OpenFds(), clock.elapsed() / 1000.0});
    }
  }
  const double seconds = clock.elapsed() / 1000.0;
  const std::optional<TSoakWall::TState> after = wall.State();
  if (!after) return Fail(QStringLiteral("the wall did not answer at the end"));
  counting = false;

  // The report.
  std::printf(
      "soak: %d scene-cycling steps over %d recorded scenes (%d items), %d x %d wall, "
      "matrix and DVR linkage on\n",
      steps, kScenes, items, kRows, kCols);
  std::printf("  %7s %10s %10s %10s %10s %5s %9s\n", "step", "RSS KiB", "anon KiB", "file KiB",
              "heap KiB", "fds", "seconds");
  for (const TSample& s : samples)
    std::printf("  %7d %10lld %10lld %10lld %10lld %5d %9.1f\n", s.step,
                static_cast<long long>(s.rss.total), static_cast<long long>(s.rss.anon),
                static_cast<long long>(s.rss.file), static_cast<long long>(s.rss.heap), s.fds,
                s.seconds);
  const TSample* warm = nullptr;
  for (const TSample& s : samples)
    if (s.step == warmUp) warm = &s;
  const TSample& end = samples.back();
  const qint64 grew = end.rss.total - warm->rss.total;
  const bool rssOk = grew <= kRssToleranceKiB;
  const bool fdsOk = end.fds <= warm->fds;
  std::printf(
      "RSS after warm-up (step %d) %lld KiB, at the end %lld KiB: %+lld KiB "
      "(at most +%lld KiB: %s); of it anonymous %+lld KiB, file-backed %+lld KiB; "
      "heap in use %+lld KiB\n",
      warmUp, static_cast<long long>(warm->rss.total), static_cast<long long>(end.rss.total),
      static_cast<long long>(grew), static_cast<long long>(kRssToleranceKiB),
      rssOk ? "met" : "MISSED", static_cast<long long>(end.rss.anon - warm->rss.anon),
      static_cast<long long>(end.rss.file - warm->rss.file),
      static_cast<long long>(end.rss.heap - warm->rss.heap));
  std::printf("open descriptors after warm-up %d, at the end %d (no growth: %s)\n", warm->fds,
              end.fds, fdsOk ? "met" : "MISSED");

  const auto delta = [&](const char* name) {
    const QString key = QLatin1String(name);
    return after->counters.count(key) && before->counters.count(key)
               ? after->counters.at(key) - before->counters.at(key)
               : -1;
  };
  bool countsOk = true;
  qint64 matrixDecoded = 0;
  std::printf("  %-13s %9s %9s\n", "line", "sent", "decoded");
  for (int line = 0; line < TSoakWall::kLineCount; ++line) {
    const TSoakWall::TLineCount& c = wall.Count(line);
    std::printf("  %-13s %9lld %9lld\n", TSoakWall::LineName(line), static_cast<long long>(c.sent),
                static_cast<long long>(c.received));
    countsOk = countsOk && c.sent == c.received && c.sent > 0;
    if (line >= TSoakWall::kVideo && line <= TSoakWall::kDvi) matrixDecoded += c.received;
  }
  // The wall's own counters agree with the lines it reported.
  countsOk = countsOk && delta("frames") == wall.Count(TSoakWall::kSplicers).received &&
             delta("matrix-commands") == matrixDecoded &&
             delta("dvr-frames") == wall.Count(TSoakWall::kDvr).received;
  qint64 faultCounters = 0;
  for (const char* fault : {"bad", "unknown", "noise", "matrix-bad", "matrix-noise",
                            "matrix-ignored", "dvr-bad", "dvr-noise"})
    if (const qint64 d = delta(fault); d != 0) faultCounters += d > 0 ? d : 1;  // -1: missing
  std::printf(
      "wall counters over the soak: frames %lld, matrix-commands %lld, dvr-frames %lld, "
      "faults %lld\n",
      static_cast<long long>(delta("frames")), static_cast<long long>(delta("matrix-commands")),
      static_cast<long long>(delta("dvr-frames")), static_cast<long long>(faultCounters));
  const bool bytesOk = caughtUp && wall.Mismatches() == 0 && wall.Faults() == 0 &&
                       faultCounters == 0 && wall.InFlight() == 0;
  const bool turnOk = played == steps && outOfTurn == 0;
  std::printf(
      "counts equal per line: %s; bytes equal and in order, nothing bad: %s "
      "(mismatches %lld, faults reported %lld); steps %d in cycling order: %s\n",
      countsOk ? "met" : "MISSED", bytesOk ? "met" : "MISSED",
      static_cast<long long>(wall.Mismatches()), static_cast<long long>(wall.Faults()), played,
      turnOk ? "met" : "MISSED");
  for (const QString& p : wall.Problems()) std::printf("    %s\n", p.toUtf8().constData());
  bool stateOk = referenceStep >= steps || reference.has_value();
  if (reference) {
    stateOk = reference->lines == after->lines;
    std::printf("wall state at the end equals its state after step %d (scene %d both times): %s\n",
                referenceStep, lastScene, stateOk ? "met" : "MISSED");
  } else if (referenceStep < steps) {
    std::printf("wall state after step %d: no answer (MISSED)\n", referenceStep);
  } else {
    std::printf("wall state not compared: fewer than %d steps\n", referenceStep + 1);
  }
  std::printf("duration %.1f s (%.2f ms per step), %lld pauses of at most 1 ms\n", seconds,
              seconds * 1000 / steps, static_cast<long long>(pauser.pauses));

  form.reset();
  wall.Stop();
  return rssOk && fdsOk && countsOk && bytesOk && turnOk && stateOk ? 0 : 1;
}
