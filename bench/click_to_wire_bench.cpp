// Click to wire: how long after the operator clicks a source button the
// frame's last byte is readable at the far end of the splicer line. The main
// window runs offscreen with the real event-loop pauser over a pty; 2 x 2
// screens are selected and the "VGA" radio button is clicked N times
// (default 200). Reports median, p99 and worst; the goal is a median under 2 ms.
// Usage: click_to_wire_bench [CLICKS]
#include <QAbstractButton>
#include <QApplication>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/quvial_form.h"
#include "bench_stats.h"
#include "bench_window.h"
#include "wall/wall_grid_view.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int clicks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;

  TBenchWindow window(4, 4);
  if (!window.IsReady()) {
    std::fprintf(stderr, "click_to_wire_bench: %s\n", window.Error().toUtf8().constData());
    return 2;
  }
  TQuvialForm& form = window.Form();
  form.Grid()->SelectRect({0, 0, 1, 1});
  QAbstractButton* vga = nullptr;
  for (QAbstractButton* b : form.findChildren<QAbstractButton*>())
    if (b->text() == QStringLiteral("VGA") && b->isVisible() && b->isEnabled()) vga = b;
  if (!vga) {
    std::fprintf(stderr, "click_to_wire_bench: no visible \"VGA\" button\n");
    return 2;
  }

  using Clock = TWireProbe::Clock;
  std::vector<double> latencies;
  for (int i = 0; i < clicks; ++i) {
    const size_t before = window.Wire().Count();
    const Clock::time_point start = Clock::now();
    vga->click();  // returns after the action, including its 50 ms pause
    for (int spin = 0; window.Wire().Count() == before && spin < 2000; ++spin) QThread::usleep(500);
    const auto arrivals = window.Wire().Arrivals();
    if (arrivals.size() != before + 1) {
      std::fprintf(stderr, "click %d: %zu frames arrived instead of one\n", i + 1,
                   arrivals.size() - before);
      return 1;
    }
    latencies.push_back(std::chrono::duration<double, std::milli>(arrivals.back() - start).count());
  }
  const auto bytes = window.Wire().Bytes();
  const unsigned char expected[9] = {0xC8, 0x09, 0x01, 0x01, 0x02, 0x02, 0x20, 0x02, 0xF9};
  for (size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] != expected[i % 9]) {
      std::fprintf(stderr, "byte %zu is %02x, not the VGA frame's\n", i, bytes[i]);
      return 1;
    }

  const TBenchStats stats(latencies);
  const bool ok = stats.Median() < 2.0;
  std::printf(
      "click to wire over %d clicks: median %.3f ms, p99 %.3f ms, min %.3f ms, max %.3f ms"
      " (goal: median under 2 ms: %s)\n",
      clicks, stats.Median(), stats.Percentile(99), stats.Min(), stats.Max(),
      ok ? "met" : "MISSED");
  return ok ? 0 : 1;
}
