// quvial-wallsim: the virtual wall. Creates the splicer line, the three
// matrix lines and the DVR line on pseudo-terminals, tells the console where
// they are (ports/COM1 to COM5 and, on a first start, Quvial.ini in the
// console's program directory), decodes everything the console sends and
// shows the state of the wall and its devices, in a window or as text lines.
#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QSocketNotifier>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include "core/program_dir.h"
#include "device_panel_view.h"
#include "net_devices_view.h"
#include "sim_home.h"
#include "trigger_view.h"
#include "virtual_wall.h"
#include "wall_view.h"

namespace {

void PrintLine(const QString& line) {
  std::fputs(line.toUtf8().constData(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// The same clock in every process of the machine (CLOCK_MONOTONIC).
qint64 MonotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int Fail(const QString& message) {
  std::fprintf(stderr, "quvial-wallsim: %s\n", message.toUtf8().constData());
  return 2;
}

// Reads command lines from standard input: "state" dumps the wall and its
// devices, "trigger" knocks on the console's listening line, "unplug COMn",
// "replug COMn", "stall COMn" and "resume COMn" put a fault on a serial line
// or take it away, "quit" ends.
class TCommandInput : public QObject {
 public:
  TCommandInput(TVirtualWall& wall, QObject* parent)
      : QObject(parent), wall_(wall), notifier_(STDIN_FILENO, QSocketNotifier::Read, this) {
    connect(&notifier_, &QSocketNotifier::activated, this, [this] { ReadInput(); });
  }
  std::function<bool()> trigger;

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
      PrintLine(QStringLiteral("state ") + wall_.CountersText());
      for (const QString& line : wall_.StateLines()) PrintLine(line);
      PrintLine(QStringLiteral("end"));
    } else if (command == "trigger") {
      if (!trigger || !trigger()) PrintLine(QStringLiteral("error trigger not sent"));
    } else if (const QList<QByteArray> words = command.split(' ');
               words.size() == 2 && RunFault(words[0], QString::fromUtf8(words[1]))) {
    } else if (command == "quit") {
      QCoreApplication::quit();
    } else if (!command.isEmpty()) {
      PrintLine(QStringLiteral("error unknown command ") + QString::fromUtf8(command));
    }
  }

  // False when verb is no fault command; a refused fault prints its reason.
  bool RunFault(const QByteArray& verb, const QString& port) {
    QString error;
    bool done = false;
    if (verb == "unplug")
      done = wall_.Unplug(port, &error);
    else if (verb == "replug")
      done = wall_.Replug(port, &error);
    else if (verb == "stall" || verb == "resume")
      done = wall_.Stall(port, verb == "stall", &error);
    else
      return false;
    if (!done) PrintLine(QStringLiteral("error ") + QString::fromUtf8(verb) + u' ' + error);
    return true;
  }

  TVirtualWall& wall_;
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
      QStringLiteral("The virtual video wall for the Quvial console: the splicers on COM1, the "
                     "VIDEO, VGA and DVI matrices on COM2 to COM4, the DVR on COM5."));
  parser.addHelpOption();
  const QCommandLineOption homeOption(
      QStringLiteral("home"),
      QStringLiteral("The console's program directory; without it QUVIAL_HOME or, when "
                     "installed, the console's own (~/.local/share/quvial)."),
      QStringLiteral("DIR"));
  const QCommandLineOption rowsOption(
      QStringLiteral("rows"), QStringLiteral("Rows of the wall, 1 to 30."), QStringLiteral("R"));
  const QCommandLineOption colsOption(
      QStringLiteral("cols"), QStringLiteral("Columns of the wall, 1 to 30."), QStringLiteral("C"));
  const QCommandLineOption headlessOption(QStringLiteral("headless"),
                                          QStringLiteral("No window: frames and state as text."));
  const QCommandLineOption wireOption(
      QStringLiteral("wire-ports"),
      QStringLiteral("Add the port keys an existing Quvial.ini lacks (COM1 to COM5)."));
  const QCommandLineOption stampOption(
      QStringLiteral("stamp"),
      QStringLiteral("Begin each frame or command line with the time it arrived, in "
                     "milliseconds of the system's monotonic clock: \"@123456 frame c8 ...\"."));
  const std::array<QCommandLineOption, 3> brandOptions = {
      QCommandLineOption(QStringLiteral("video-brand"),
                         QStringLiteral("The VIDEO matrix's brand (name or index) instead of "
                                        "Quvial.ini's videoindex."),
                         QStringLiteral("BRAND")),
      QCommandLineOption(QStringLiteral("vga-brand"),
                         QStringLiteral("The VGA matrix's brand instead of vgaindex."),
                         QStringLiteral("BRAND")),
      QCommandLineOption(QStringLiteral("dvi-brand"),
                         QStringLiteral("The DVI matrix's brand instead of dviindex."),
                         QStringLiteral("BRAND"))};
  parser.addOptions({homeOption, rowsOption, colsOption, headlessOption, wireOption, stampOption});
  for (const auto& option : brandOptions) parser.addOption(option);
  parser.addOptions(TNetDevices::CommandLineOptions());
  parser.process(*app);

  TVirtualWall::TOptions options;
  options.home = parser.value(homeOption);
  if (options.home.isEmpty()) {
    // The same directory the console will open, so that both meet there. A
    // build tree's or portable copy's is the executable's own, which a wall
    // started by mistake should not fill with its links and a Quvial.ini.
    const TProgramDirPlace place = CurrentProgramDirPlace();
    if (place.kind == TProgramDirKind::Portable)
      return Fail(QStringLiteral("--home DIR is required (or QUVIAL_HOME)"));
    const QString problem = PrepareProgramDir(place);
    if (!problem.isEmpty()) return Fail(problem);
    options.home = place.dir;
  }
  options.wirePorts = parser.isSet(wireOption);
  // Explicit sizes win; otherwise the size the console will read from its file.
  TSimHome::ReadWallSize(options.home, options.rows, options.cols);
  for (const auto& [option, target] :
       {std::pair{&rowsOption, &options.rows}, std::pair{&colsOption, &options.cols}}) {
    if (!parser.isSet(*option)) continue;
    bool ok = false;
    *target = parser.value(*option).toInt(&ok);
    if (!ok || *target < 1 || *target > 30)
      return Fail(QStringLiteral("--%1 takes a number from 1 to 30").arg(option->names().first()));
  }
  options.rows = std::clamp(options.rows, 1, 30);
  options.cols = std::clamp(options.cols, 1, 30);
  constexpr std::array kKinds = {TMatrixKind::Video, TMatrixKind::Vga, TMatrixKind::Dvi};
  for (size_t i = 0; i < kKinds.size(); ++i) {
    if (!parser.isSet(brandOptions[i])) continue;
    const QString brand = TVirtualWall::ResolveBrand(kKinds[i], parser.value(brandOptions[i]));
    if (brand.isEmpty())
      return Fail(QStringLiteral("--%1 takes one of: %2")
                      .arg(brandOptions[i].names().first(),
                           MatrixBrands(kKinds[i]).join(QStringLiteral(", "))));
    options.brands[i] = brand;
  }

  TNetDevices::TOptions netOptions;
  if (QString netError;
      !TNetDevices::ReadCommandLine(parser, options.rows, options.cols, &netOptions, &netError))
    return Fail(netError);

  TVirtualWall wall(options);
  QString error, note;
  if (!wall.Start(&error, &note)) return Fail(error);
  if (netOptions.Any() && !wall.StartNet(netOptions, &error)) return Fail(error);
  if (!note.isEmpty()) std::fprintf(stderr, "quvial-wallsim: %s\n", note.toUtf8().constData());
  // The stamp lets a test compare the pauses between what arrived on the lines.
  const bool stamp = parser.isSet(stampOption);
  QObject::connect(&wall, &TVirtualWall::reported, &wall, [stamp](const QString& line) {
    PrintLine(stamp ? QStringLiteral("@%1 ").arg(MonotonicMs()) + line : line);
  });
  TCommandInput input(wall, &wall);
  input.trigger = [&wall] { return wall.Trigger().Send(); };

  std::unique_ptr<QWidget> window;
  if (!headless) {
    window = std::make_unique<QWidget>();
    window->setWindowTitle(QStringLiteral("Quvial virtual wall"));
    auto* layout = new QHBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new TWallView(wall.Splicers()), 1);
    layout->addWidget(new TDevicePanel(wall));
    layout->addWidget(new TTriggerView(wall.Trigger()));
    if (wall.Net()) layout->addWidget(new TNetDevicesPanel(*wall.Net()));
    window->show();
  }
  PrintLine(wall.ReadyLine());
  const int rc = QCoreApplication::exec();
  window.reset();
  return rc;
}
