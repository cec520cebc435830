// Gateway forward: how long one forward to the COM gateway takes on loopback
// (connect, the 70-byte frame, the reply, close), and how long after the
// operator clicks a source button the frame reaches the virtual wall
// gateway's emulated line in send mode 1 (network only). The gateway is the
// virtual wall's; both sides run on this thread, the console's waits in its
// event loop as in the program. Runs in a network namespace of its own when
// it may (port 8082 is then the bench's alone), else on the host's loopback.
// Reports median, p99 and worst; the goal is a forward median under 5 ms.
// Usage: gateway_bench [FORWARDS] [CLICKS]
#include <sched.h>

#include <QAbstractButton>
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/quvial_form.h"
#include "bench_stats.h"
#include "bench_window.h"
#include "core/net_socket_event_waiter.h"
#include "net_gateway.h"
#include "setup/gateway_client.h"
#include "wall/wall_grid_view.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

bool OwnNetwork() {
  return ::unshare(CLONE_NEWNET) == 0 && std::system("ip link set lo up >/dev/null 2>&1") == 0;
}

void Report(const char* what, int count, const std::vector<double>& ms, double goal) {
  const TBenchStats stats(ms);
  std::printf("%s over %d: median %.3f ms, p99 %.3f ms, min %.3f ms, max %.3f ms", what, count,
              stats.Median(), stats.Percentile(99), stats.Min(), stats.Max());
  if (goal > 0)
    std::printf(" (goal: median under %.0f ms: %s)", goal,
                stats.Median() < goal ? "met" : "MISSED");
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const bool own = OwnNetwork();
  QApplication app(argc, argv);
  const int forwards = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
  const int clicks = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100;
  std::printf("network: %s\n", own ? "own namespace" : "host loopback");

  TNetGateway gateway(QHostAddress::LocalHost, TNetGateway::TMode::Normal);
  QString error;
  if (!gateway.Start(&error)) {
    std::fprintf(stderr, "gateway_bench: %s\n", error.toUtf8().constData());
    return 2;
  }
  Clock::time_point arrived;
  QByteArray line;
  QObject::connect(&gateway, &TNetGateway::forwarded, [&](int, const QByteArray& bytes) {
    arrived = Clock::now();
    line = bytes;
  });

  // 1. The forward round trip.
  TEventLoopSocketWaiter waiter;
  TGatewayClient client(waiter);
  client.SetRememberedAddress(QStringLiteral("127.0.0.1"));
  // The gateway forwards only to a line one of its ports carries.
  if (!client.SetPorts(QStringLiteral("127.0.0.1"), {{0, TGatewayLine::Splicer, 1, 3, 2}})
           .empty()) {
    std::fprintf(stderr, "gateway_bench: the gateway refused the splicer port\n");
    return 2;
  }
  const QByteArray frame("\xc8\x09\x01\x01\x02\x02\x20\x02\xf9", 9);
  std::vector<double> trips;
  for (int i = 0; i < forwards; ++i) {
    const Clock::time_point start = Clock::now();
    if (!client.GatewayForward(GatewayCodesOf(TGatewayLine::Splicer), frame) || line != frame) {
      std::fprintf(stderr, "gateway_bench: forward %d was not confirmed\n", i + 1);
      return 1;
    }
    trips.push_back(Ms(Clock::now() - start));
  }

  // 2. Click to the gateway's line, through the main window.
  TBenchWindow window(4, 4);
  if (!window.IsReady()) {
    std::fprintf(stderr, "gateway_bench: %s\n", window.Error().toUtf8().constData());
    return 2;
  }
  TQuvialForm& form = window.Form();
  form.SendPath().SetSendMode(1);
  form.Gateway().SetRememberedAddress(QStringLiteral("127.0.0.1"));
  form.Grid()->SelectRect({0, 0, 1, 1});
  QAbstractButton* vga = nullptr;
  for (QAbstractButton* b : form.findChildren<QAbstractButton*>())
    if (b->text() == QStringLiteral("VGA") && b->isVisible() && b->isEnabled()) vga = b;
  if (!vga) {
    std::fprintf(stderr, "gateway_bench: no visible \"VGA\" button\n");
    return 2;
  }
  std::vector<double> latencies;
  for (int i = 0; i < clicks; ++i) {
    line.clear();
    const Clock::time_point start = Clock::now();
    vga->click();  // returns after the action, its forward included
    if (line != frame) {
      std::fprintf(stderr, "gateway_bench: click %d: the gateway's line got %s\n", i + 1,
                   line.toHex(' ').constData());
      return 1;
    }
    latencies.push_back(Ms(arrived - start));
  }

  Report("gateway forward round trip", forwards, trips, 5.0);
  Report("click to gateway line", clicks, latencies, 0);
  return TBenchStats(trips).Median() < 5.0 ? 0 : 1;
}
