// quvial-wallsim: the virtual wall. Creates the splicer line on a
// pseudo-terminal, tells the console where it is (ports/COM1 and, on a first
// start, Quvial.ini in the console's program directory), decodes every frame
// the console sends and shows the wall's state, in a window or as text lines.
#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <cstring>
#include <memory>

#include "sim_home.h"
#include "splicer_line.h"
#include "wall_simulator.h"
#include "wall_view.h"

namespace {

void PrintLine(const QString& line) {
  std::fputs(line.toUtf8().constData(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

int Fail(const QString& message) {
  std::fprintf(stderr, "quvial-wallsim: %s\n", message.toUtf8().constData());
  return 2;
}

// Reads command lines from standard input: "state" dumps the wall, "quit" ends.
class TCommandInput : public QObject {
 public:
  TCommandInput(const TWallSimulator& sim, QObject* parent)
      : QObject(parent), sim_(sim), notifier_(STDIN_FILENO, QSocketNotifier::Read, this) {
    connect(&notifier_, &QSocketNotifier::activated, this, [this] { ReadInput(); });
  }

 private:
  void ReadInput() {
    char chunk[1024];
    const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (n <= 0) {  // end of input: the wall runs on without commands
      notifier_.setEnabled(false);
      return;
    }
    pending_.append(chunk, n);
    qsizetype nl;
    while ((nl = pending_.indexOf('\n')) >= 0) {
      const QByteArray command = pending_.left(nl).trimmed();
      pending_.remove(0, nl + 1);
      Run(command);
    }
    if (pending_.size() > 4096) pending_.clear();  // no command is that long
  }
  void Run(const QByteArray& command) {
    if (command == "state") {
      PrintLine(QStringLiteral("state ") + sim_.CountersText());
      for (const QString& line : sim_.State().Dump()) PrintLine(line);
      PrintLine(QStringLiteral("end"));
    } else if (command == "quit") {
      QCoreApplication::quit();
    } else if (!command.isEmpty()) {
      PrintLine(QStringLiteral("error unknown command ") + QString::fromUtf8(command));
    }
  }

  const TWallSimulator& sim_;
  QSocketNotifier notifier_;
  QByteArray pending_;
};

}  // namespace

int main(int argc, char** argv) {
  // Headless runs need no display at all, so the kind of application is
  // decided before Qt sees the arguments.
  bool headless = false;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--headless") == 0) headless = true;
  std::unique_ptr<QCoreApplication> app = headless ? std::make_unique<QCoreApplication>(argc, argv)
                                                   : std::make_unique<QApplication>(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("quvial-wallsim"));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("The virtual video wall for the Quvial console."));
  parser.addHelpOption();
  const QCommandLineOption homeOption(QStringLiteral("home"),
                                      QStringLiteral("The console's program directory."),
                                      QStringLiteral("DIR"));
  const QCommandLineOption rowsOption(
      QStringLiteral("rows"), QStringLiteral("Rows of the wall, 1 to 30."), QStringLiteral("R"));
  const QCommandLineOption colsOption(
      QStringLiteral("cols"), QStringLiteral("Columns of the wall, 1 to 30."), QStringLiteral("C"));
  const QCommandLineOption headlessOption(QStringLiteral("headless"),
                                          QStringLiteral("No window: frames and state as text."));
  parser.addOptions({homeOption, rowsOption, colsOption, headlessOption});
  parser.process(*app);
  if (!parser.isSet(homeOption)) return Fail(QStringLiteral("--home DIR is required"));
  const QString home = parser.value(homeOption);

  // Explicit sizes win; otherwise the size the console will read from its file.
  int rows = 4, cols = 4;
  TSimHome::ReadWallSize(home, rows, cols);
  for (const auto& [option, target] :
       {std::pair{&rowsOption, &rows}, std::pair{&colsOption, &cols}}) {
    if (!parser.isSet(*option)) continue;
    bool ok = false;
    *target = parser.value(*option).toInt(&ok);
    if (!ok || *target < 1 || *target > 30)
      return Fail(QStringLiteral("--%1 takes a number from 1 to 30").arg(option->names().first()));
  }
  rows = std::clamp(rows, 1, 30);
  cols = std::clamp(cols, 1, 30);

  TSplicerLine line;
  QString error;
  if (!line.Open(&error)) return Fail(error);
  const TSimHome::TResult prepared = TSimHome::Prepare(home, line.SlavePath(), rows, cols);
  if (!prepared.ok) return Fail(prepared.error);
  if (!prepared.note.isEmpty())
    std::fprintf(stderr, "quvial-wallsim: %s\n", prepared.note.toUtf8().constData());

  TWallSimulator sim(rows, cols);
  QObject::connect(&line, &TSplicerLine::bytesReceived, &sim,
                   [&sim](const QByteArray& bytes) { sim.Feed(bytes); });
  QObject::connect(&sim, &TWallSimulator::reported, &sim, &PrintLine);
  TCommandInput input(sim, &sim);

  std::unique_ptr<TWallView> view;
  if (!headless) {
    view = std::make_unique<TWallView>(sim);
    view->show();
  }
  PrintLine(
      QStringLiteral("ready %1 %2").arg(QLatin1String(TSimHome::kPortName), line.SlavePath()));
  const int rc = QCoreApplication::exec();
  view.reset();
  return rc;
}
