#include "trigger_line.h"

#include <poll.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "core/ini_params_op.h"
#include "sim_home.h"

namespace {

constexpr qsizetype kMaxTrigger = 4096;
constexpr int kWriteWaitMs = 200;

bool LinkPort(const QString& home, const QString& target, QString* error) {
  const QDir dir(home);
  if (!dir.mkpath(QStringLiteral("ports"))) {
    *error = QStringLiteral("cannot create ") + dir.filePath(QStringLiteral("ports"));
    return false;
  }
  const QString link =
      dir.filePath(QStringLiteral("ports/") + QLatin1String(TTriggerLine::kPortName));
  const QFileInfo old(link);
  if ((old.isSymLink() || old.exists()) && !(old.isDir() && !old.isSymLink()) &&
      !QFile::remove(link)) {
    *error = QStringLiteral("cannot replace ") + link;
    return false;
  }
  if (!QFile::link(target, link)) {
    *error = QStringLiteral("cannot link ") + link + QStringLiteral(" to ") + target;
    return false;
  }
  return true;
}

}  // namespace

TTriggerLine::TTriggerLine(QObject* parent) : QObject(parent) {}

bool TTriggerLine::Open(const QString& home, bool wireKeys, QString* error, QStringList* added) {
  if (!line_.Open(error) || !LinkPort(home, line_.SlavePath(), error)) return false;
  if (!wireKeys) return true;
  TIniParamsOp ini(TSimHome::IniPath(home));
  const QStringList keys = ini.File().ReadSection(QStringLiteral("COM"));
  const auto has = [&keys](const char* key) {
    return keys.contains(QLatin1String(key), Qt::CaseInsensitive);
  };
  const QString name = QLatin1String(kPortName);
  bool ours = ini.ReadPortName(TPortId::Sniff).trimmed().compare(name, Qt::CaseInsensitive) == 0;
  if (!has("SniffCOMPort")) {
    bool taken = false;
    for (TPortId id :
         {TPortId::Combine, TPortId::Matrix, TPortId::VGAMatrix, TPortId::DVIMatrix, TPortId::DVR})
      taken = taken || ini.ReadPortName(id).trimmed().compare(name, Qt::CaseInsensitive) == 0;
    if (!taken) {
      ini.WritePortName(TPortId::Sniff, name);
      *added << QStringLiteral("SniffCOMPort=") + name;
      ours = true;
    }
  }
  if (ours && !has("SniffCOMPortChecked")) {
    ini.WritePortChecked(TPortId::Sniff, 1);
    *added << QStringLiteral("SniffCOMPortChecked=1");
  }
  return true;
}

QByteArray TTriggerLine::DefaultMessage() { return QByteArrayLiteral("ALARM\r\n"); }

bool TTriggerLine::Send(const QByteArray& bytes) {
  if (!line_.IsOpen() || bytes.isEmpty() || bytes.size() > kMaxTrigger) return false;
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(line_.MasterFd(), bytes.constData() + done,
                              static_cast<size_t>(bytes.size() - done));
    if (n > 0) {
      done += n;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    // The console is not reading: wait a little, then give up.
    pollfd p{line_.MasterFd(), POLLOUT, 0};
    if (::poll(&p, 1, kWriteWaitMs) <= 0) return false;
  }
  Q_EMIT sent(++sent_);
  return true;
}
