#include "virtual_wall.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>

#include "sim_home.h"

namespace {
constexpr std::array kKinds = {TMatrixKind::Video, TMatrixKind::Vga, TMatrixKind::Dvi};
}  // namespace

TVirtualWall::TVirtualWall(TOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)), splicers_(options_.rows, options_.cols) {
  connect(&splicers_, &TWallSimulator::reported, this, &TVirtualWall::reported);
  for (size_t i = 0; i < kKinds.size(); ++i) {
    matrices_[i] = std::make_unique<TMatrixUnit>(kKinds[i]);
    connect(matrices_[i].get(), &TMatrixUnit::reported, this, &TVirtualWall::reported);
  }
  connect(&dvr_, &TDvrUnit::reported, this, &TVirtualWall::reported);
}

TVirtualWall::~TVirtualWall() = default;

const TMatrixUnit& TVirtualWall::Matrix(TMatrixKind kind) const {
  return *matrices_[static_cast<size_t>(kind)];
}

QString TVirtualWall::ResolveBrand(TMatrixKind kind, const QString& text) {
  const QStringList& brands = MatrixBrands(kind);
  if (brands.contains(text)) return text;
  bool ok = false;
  const int index = text.toInt(&ok);
  return ok ? brands.value(index) : QString();
}

bool TVirtualWall::Start(QString* error, QString* note) {
  QStringList paths;
  for (auto& line : lines_) {
    line = std::make_unique<TPtyLine>();
    if (!line->Open(error)) return false;
    paths << line->SlavePath();
  }
  const TSimHome::TResult prepared =
      TSimHome::Prepare(options_.home, paths, options_.rows, options_.cols, options_.wirePorts);
  if (!prepared.ok) {
    *error = prepared.error;
    return false;
  }
  QStringList notes;
  if (!prepared.added.isEmpty())
    notes << QStringLiteral("added to Quvial.ini: ") + prepared.added.join(QStringLiteral(", "));
  if (!prepared.note.isEmpty()) notes << prepared.note;
  QStringList triggerKeys;
  if (!trigger_.Open(options_.home, prepared.wroteIni || options_.wirePorts, error, &triggerKeys))
    return false;
  if (!prepared.wroteIni && !triggerKeys.isEmpty())  // a new file is all ours anyway
    notes << QStringLiteral("added to Quvial.ini: ") + triggerKeys.join(QStringLiteral(", "));
  connect(&trigger_, &TTriggerLine::sent, this,
          [this](int count) { Q_EMIT reported(QStringLiteral("trigger %1 sent").arg(count)); });
  *note = notes.join(QStringLiteral("; "));

  connect(lines_[0].get(), &TPtyLine::bytesReceived, this,
          [this](const QByteArray& bytes) { splicers_.Feed(bytes); });
  for (size_t i = 0; i < matrices_.size(); ++i) {
    connect(lines_[i + 1].get(), &TPtyLine::bytesReceived, this, [this, i](const QByteArray& b) {
      // The console writes the file before it sends with a new brand; a
      // watcher's notice could come after the bytes.
      RefreshBrands();
      MatrixAt(i).Feed(b);
    });
  }
  connect(lines_[4].get(), &TPtyLine::bytesReceived, this,
          [this](const QByteArray& bytes) { dvr_.Feed(bytes); });

  RefreshBrands();
  // Quvial.ini is replaced by a rename on every write, so the directory is
  // watched as well as the file (whose watch a rename ends).
  watcher_ = new QFileSystemWatcher(this);
  watcher_->addPath(options_.home);
  const auto rewatch = [this] {
    const QString ini = TSimHome::IniPath(options_.home);
    if (QFileInfo::exists(ini) && !watcher_->files().contains(ini)) watcher_->addPath(ini);
    RefreshBrands();
  };
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, rewatch);
  connect(watcher_, &QFileSystemWatcher::fileChanged, this, rewatch);
  rewatch();
  return true;
}

void TVirtualWall::RefreshBrands() {
  for (size_t i = 0; i < kKinds.size(); ++i) {
    const auto& fixed = options_.brands[i];
    MatrixAt(i).SetBrand(fixed ? *fixed : TSimHome::ReadMatrixBrand(options_.home, kKinds[i]));
  }
}

TPtyLine* TVirtualWall::Line(const QString& port, QString* error) {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i] &&
        port.compare(QLatin1String(TSimHome::kPorts[i].name), Qt::CaseInsensitive) == 0)
      return lines_[i].get();
  *error = QStringLiteral("no line ") + port + QStringLiteral(" (COM1 to COM5)");
  return nullptr;
}

bool TVirtualWall::Unplug(const QString& port, QString* error) {
  TPtyLine* line = Line(port, error);
  if (!line) return false;
  if (!line->IsOpen()) {
    *error = port.toUpper() + QStringLiteral(" is unplugged already");
    return false;
  }
  line->Unplug();
  // A link to a freed pty could one day lead to another program's terminal:
  // it points at a name that does not exist instead.
  const QString name = port.toUpper();
  if (!TSimHome::Link(options_.home, name,
                      QDir(options_.home).filePath(QStringLiteral("ports/.unplugged-") + name),
                      error))
    return false;
  Q_EMIT reported(QStringLiteral("unplugged ") + name);
  return true;
}

bool TVirtualWall::Replug(const QString& port, QString* error) {
  TPtyLine* line = Line(port, error);
  if (!line) return false;
  if (line->IsOpen()) {
    *error = port.toUpper() + QStringLiteral(" is plugged in");
    return false;
  }
  const QString name = port.toUpper();
  if (!line->Replug(error) || !TSimHome::Link(options_.home, name, line->SlavePath(), error))
    return false;
  Q_EMIT reported(QStringLiteral("replugged ") + name + u' ' + line->SlavePath());
  return true;
}

bool TVirtualWall::Stall(const QString& port, bool on, QString* error) {
  TPtyLine* line = Line(port, error);
  if (!line) return false;
  if (!line->Stall(on)) {
    *error = port.toUpper() + QStringLiteral(" is unplugged");
    return false;
  }
  Q_EMIT reported((on ? QStringLiteral("stalled ") : QStringLiteral("resumed ")) + port.toUpper());
  return true;
}

QString TVirtualWall::ReadyLine() const {
  QString line = QStringLiteral("ready");
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i] && lines_[i]->IsOpen())
      line += u' ' + QLatin1String(TSimHome::kPorts[i].name) + u' ' + lines_[i]->SlavePath();
  if (!trigger_.SlavePath().isEmpty())
    line += u' ' + QLatin1String(TTriggerLine::kPortName) + u' ' + trigger_.SlavePath();
  return line;
}

QString TVirtualWall::CountersText() const {
  int commands = 0, bad = 0, noise = 0, ignored = 0;
  for (const auto& m : matrices_) {
    commands += m->Commands();
    bad += m->BadCommands();
    noise += m->NoiseBytes();
    ignored += m->IgnoredBytes();
  }
  return splicers_.CountersText() +
         QStringLiteral(" matrix-commands %1 matrix-bad %2 matrix-noise %3 matrix-ignored %4")
             .arg(commands)
             .arg(bad)
             .arg(noise)
             .arg(ignored) +
         QStringLiteral(" dvr-frames %1 dvr-bad %2 dvr-noise %3")
             .arg(dvr_.Frames())
             .arg(dvr_.BadFrames())
             .arg(dvr_.NoiseBytes()) +
         QStringLiteral(" triggers-sent %1").arg(trigger_.Sent());
}

QStringList TVirtualWall::StateLines() const {
  QStringList lines = splicers_.State().Dump();
  for (const auto& m : matrices_) lines << m->Dump();
  lines << dvr_.Dump();
  if (net_) lines << net_->Dump();
  return lines;
}

bool TVirtualWall::StartNet(const TNetDevices::TOptions& options, QString* error) {
  net_ = std::make_unique<TNetDevices>(options, options_.cols);
  connect(net_.get(), &TNetDevices::reported, this, &TVirtualWall::reported);
  connect(net_.get(), &TNetDevices::frameForWall, this,
          [this](const QByteArray& frame) { splicers_.Feed(frame); });
  connect(net_.get(), &TNetDevices::lineBytes, this, [this](int role, const QByteArray& bytes) {
    // Roles: 1 splicers, 2 VIDEO, 3 VGA, 4 DVI (the matrices' order), 5 DVR.
    if (role == 1) {
      splicers_.Feed(bytes);
    } else if (role >= 2 && role <= 4) {
      RefreshBrands();
      MatrixAt(size_t(role - 2)).Feed(bytes);
    } else if (role == 5) {
      dvr_.Feed(bytes);
    }
  });
  return net_->Start(error);
}
