// Starts the console and a bare Qt window in alternating runs and measures, for
// each, the time from process start to the first painted window and the peak
// resident memory. Usage: startup_bench QUVIAL BARE [RUNS]
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
struct Sample {
  double ms = 0;
  long rssKb = 0;
};

bool RunOnce(const char* program, Sample& out) {
  int pipefd[2];
  if (pipe(pipefd) != 0) return false;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    dup2(pipefd[1], STDOUT_FILENO);
    close(pipefd[0]);
    close(pipefd[1]);
    setenv("QUVIAL_FIRST_PAINT", "1", 1);
    execl(program, program, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipefd[1]);
  std::string got;
  bool painted = false;
  pollfd p{pipefd[0], POLLIN, 0};
  while (!painted && poll(&p, 1, 20000) > 0) {
    char buf[256];
    const ssize_t n = read(pipefd[0], buf, sizeof buf);
    if (n <= 0) break;
    got.append(buf, static_cast<size_t>(n));
    painted = got.find("first-paint") != std::string::npos;
  }
  out.ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  // Let the window settle so the peak includes its steady state, then end it.
  usleep(300 * 1000);
  kill(pid, SIGTERM);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  close(pipefd[0]);
  out.rssKb = usage.ru_maxrss;
  return painted;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s QUVIAL BARE [RUNS]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 3 ? std::atoi(argv[3]) : 10;
  std::vector<double> tq, tb, mq, mb;
  for (int i = 0; i < runs; ++i) {
    Sample q, b;
    if (!RunOnce(argv[1], q) || !RunOnce(argv[2], b)) {
      std::fprintf(stderr, "run %d: a program did not paint a window\n", i);
      return 1;
    }
    tq.push_back(q.ms);
    tb.push_back(b.ms);
    mq.push_back(static_cast<double>(q.rssKb));
    mb.push_back(static_cast<double>(b.rssKb));
  }
  const double t1 = Median(tq), t0 = Median(tb), m1 = Median(mq), m0 = Median(mb);
  std::printf("runs: %d (alternating)\n", runs);
  std::printf("first paint, median: console %.1f ms, bare %.1f ms, ratio %.2f\n", t1, t0, t1 / t0);
  std::printf("peak memory, median: console %.0f KiB, bare %.0f KiB, ratio %.2f\n", m1, m0,
              m1 / m0);
  return 0;
}
