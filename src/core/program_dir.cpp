#include "core/program_dir.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "core/atomic_file.h"

namespace {

QString ExecutableDir() {
  // /proc/self/exe works before (and without) a QCoreApplication.
  const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
  if (!exe.isEmpty()) return QFileInfo(exe).absolutePath();
  if (QCoreApplication::instance() != nullptr) return QCoreApplication::applicationDirPath();
  return QDir::currentPath();
}

QString Clean(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

}  // namespace

TProgramDirPlace ResolveProgramDir(const QString& quvialHome, const QString& exeDir,
                                   const QString& xdgDataHome, const QString& userHome) {
  if (!quvialHome.isEmpty()) return {Clean(quvialHome), TProgramDirKind::Override, {}};
  const QDir exe(exeDir);
  const QString shipped = Clean(exe.filePath(QStringLiteral("../share/quvial/lang.ini")));
  if (QFileInfo::exists(exe.filePath(QStringLiteral("lang.ini"))) || !QFileInfo::exists(shipped))
    return {Clean(exeDir), TProgramDirKind::Portable, {}};
  // XDG's rules ignore a relative XDG_DATA_HOME.
  const QString data = QDir::isAbsolutePath(xdgDataHome)
                           ? xdgDataHome
                           : QDir(userHome).filePath(QStringLiteral(".local/share"));
  return {Clean(QDir(data).filePath(QStringLiteral("quvial"))), TProgramDirKind::Installed,
          shipped};
}

TProgramDirPlace CurrentProgramDirPlace() {
  return ResolveProgramDir(qEnvironmentVariable("QUVIAL_HOME"), ExecutableDir(),
                           qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
}

QString ProgramDir() { return CurrentProgramDirPlace().dir; }

QString ProgramFile(const QString& fileName) { return ProgramDir() + u'/' + fileName; }

QString PrepareProgramDir(const TProgramDirPlace& place) {
  const std::filesystem::path dir(QFile::encodeName(place.dir).toStdString());
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  QString reason;
  if (error)
    reason = QString::fromLocal8Bit(error.message());
  else if (!std::filesystem::is_directory(dir))
    reason = QStringLiteral("not a directory");
  else if (::access(dir.c_str(), W_OK | X_OK) != 0)
    reason = QString::fromLocal8Bit(std::generic_category().message(errno));
  if (!reason.isEmpty())
    return QStringLiteral(
               "无法使用程序目录 %1（%2），程序无处保存设置。\n"
               "Cannot use the program directory %1 (%2): the program has nowhere to keep its "
               "settings.")
        .arg(place.dir, reason);

  const QString lang = QDir(place.dir).filePath(QStringLiteral("lang.ini"));
  if (place.shippedLangIni.isEmpty() || QFileInfo::exists(lang) || QFileInfo(lang).isSymLink())
    return {};
  // Written atomically, so an interrupted first start leaves no half table
  // that the next start would take for the user's own. Without it the
  // windows keep their designed captions: worth a warning, not a refusal.
  const std::optional<QByteArray> table = ReadWholeFile(place.shippedLangIni);
  if (!table || !WriteFileAtomically(lang, *table))
    qWarning("Cannot copy the language file %s into %s", qUtf8Printable(place.shippedLangIni),
             qUtf8Printable(place.dir));
  return {};
}
