// Scene playback: a 255-item scene (85 times a combine, a matrix command and
// a 20 ms matrix delay) recalled with one click on the scene manager, with
// the real event-loop pauser. The whole playback must stay within 1 % of the
// sum of its pauses (85 x 50 ms after the frames plus 85 x 20 ms), and a
// widget repainted by a timer must paint at least 10 times a second
// throughout.
// Usage: scene_playback_bench
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "app/quvial_form.h"
#include "bench_stats.h"
#include "bench_window.h"
#include "paint_probe.h"
#include "scenes/scene_form.h"

namespace {

constexpr int kRows = 8, kCols = 8;
constexpr int kTriples = 85;  // 255 items
constexpr int kMatrixDelay = 20;

// A combine of the rectangle (r, c)..(r + 1, c + 1) under VGA, as recorded.
TSceneItem CombineItem(int i) {
  const quint8 r = static_cast<quint8>(1 + (i % (kRows - 1)));
  const quint8 c = static_cast<quint8>(1 + ((i / (kRows - 1)) % (kCols - 1)));
  quint8 frame[9] = {0xc8, 0x09, r, c, static_cast<quint8>(r + 1), static_cast<quint8>(c + 1),
                     0x20, 0x02, 0};
  for (int k = 0; k < 8; ++k) frame[8] = static_cast<quint8>(frame[8] + frame[k]);
  TSceneItem item;
  item.SetKind(TSceneItem::kCombine, 3);
  item.SetName(QStringLiteral("VGA"));
  item.SetFrame(frame, 9);
  return item;
}

TSceneItem MatrixItem(int i) {
  const QByteArray command = QStringLiteral("%1V%2.").arg(i % 16 + 1).arg(i % 64 + 1).toLatin1();
  TSceneItem item;
  item.SetKind(TSceneItem::kMatrixCommand, TSceneItem::MatrixSubKind(0, false));
  item.SetData(reinterpret_cast<const quint8*>(command.constData()),
               static_cast<int>(command.size()));
  return item;
}

TSceneItem DelayItem() {
  TSceneItem item;
  item.SetKind(TSceneItem::kPause, TSceneItem::kMilliseconds);
  item.SetValue(kMatrixDelay);
  return item;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  TBenchWindow window(kRows, kCols);
  if (!window.IsReady()) {
    std::fprintf(stderr, "scene_playback_bench: %s\n", window.Error().toUtf8().constData());
    return 2;
  }
  TQuvialForm& form = window.Form();

  // Scene 1 holds the 255 items, saved so that it plays on its recorded size.
  TScene& scenes = *form.Scenes();
  scenes.Select(1);
  scenes.StartRecording(kRows, kCols);
  for (int i = 0; i < kTriples; ++i) {
    scenes.AppendItem(CombineItem(i));
    scenes.AppendItem(MatrixItem(i));
    scenes.AppendItem(DelayItem());
  }
  if (scenes.Items().size() != 255 || !scenes.Save()) {
    std::fprintf(stderr, "scene_playback_bench: the scene could not be built\n");
    return 2;
  }
  // The matrix commands are counted on their way from the player to the
  // matrix linkage (whose ports are not open here).
  int matrixSends = 0;
  form.ScenePlayer().sendMatrixBytes = [&matrixSends, inner = form.ScenePlayer().sendMatrixBytes](
                                           const QByteArray& bytes, quint8 kind) {
    ++matrixSends;
    if (inner) inner(bytes, kind);
  };

  form.UiTimerTick();
  form.findChild<QAction*>(QStringLiteral("menuItemScene"))->trigger();
  TSceneForm* manager = form.SceneForm();
  if (!manager || !manager->isVisible()) {
    std::fprintf(stderr, "scene_playback_bench: the scene manager did not open\n");
    return 2;
  }
  auto* probe = new TPaintProbe(&form);
  probe->move(0, 0);
  probe->show();
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < 300) QApplication::processEvents(QEventLoop::AllEvents, 10);

  window.Pauser().durations.clear();
  probe->paints.clear();
  const auto start = TWireProbe::Clock::now();
  QTest::mouseClick(manager->SceneButton(1), Qt::LeftButton);
  const auto end = TWireProbe::Clock::now();
  QElapsedTimer drain;
  drain.start();
  while (window.Wire().Count() < kTriples && drain.elapsed() < 1000) QApplication::processEvents();

  const double sumOfPauses = kTriples * (50.0 + kMatrixDelay);
  const double whole = Ms(end - start);
  const TBenchStats pause(window.Pauser().durations);
  const auto [paints, longestWithoutPaint, paintRate] = probe->Between(start, end);

  const bool framesOk = window.Wire().Count() == static_cast<size_t>(kTriples);
  const bool matrixOk = matrixSends == kTriples;
  const bool wholeOk = std::abs(whole - sumOfPauses) <= sumOfPauses / 100.0;
  const bool paintsOk = longestWithoutPaint <= 100.0 && paintRate >= 10.0;
  std::printf("playback of a 255-item scene (%d combines, %d matrix commands, %d delays):\n",
              kTriples, kTriples, kTriples);
  std::printf("  frames at the wire: %zu of %d; matrix commands sent: %d of %d (%s)\n",
              window.Wire().Count(), kTriples, matrixSends, kTriples,
              framesOk && matrixOk ? "met" : "MISSED");
  double paused = 0;
  for (double d : window.Pauser().durations) paused += d;
  std::printf("  pauses: %zu, median %.3f ms, max %.3f ms, together %.1f ms\n",
              window.Pauser().durations.size(), pause.Median(), pause.Max(), paused);
  std::printf(
      "  whole playback %.1f ms; sum of its pauses %.1f ms; over by %.1f ms (%.2f %%; "
      "within 1 %%: %s)\n",
      whole, sumOfPauses, whole - sumOfPauses, (whole - sumOfPauses) / sumOfPauses * 100,
      wholeOk ? "met" : "MISSED");
  std::printf(
      "  paints during the playback: %zu (%.1f per second), longest time without a paint "
      "%.1f ms (at least 10 per second throughout: %s)\n",
      paints, paintRate, longestWithoutPaint, paintsOk ? "met" : "MISSED");
  return framesOk && matrixOk && wholeOk && paintsOk ? 0 : 1;
}
