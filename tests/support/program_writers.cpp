#include "support/program_writers.h"

#include <QFile>

#include "app/password_store.h"
#include "core/ini_params_op.h"
#include "linkage/channel_names.h"
#include "scenes/scene.h"
#include "setup/subtitle_settings.h"

namespace {

QString In(const QString& dir, const char* file) { return dir + u'/' + QLatin1String(file); }

int Cycle(int v) {
  return ((v % TProgramWriter::kPeriod) + TProgramWriter::kPeriod) % TProgramWriter::kPeriod;
}

// Position 0 is the default, so that the cycle starts from a new file.
QString Password(int v) {
  const int k = Cycle(v);
  return k == 0 ? QString::fromUtf16(TPasswordStore::kDefaultManager)
                : QStringLiteral("密码%1").arg(k);
}

bool ChangePassword(const QString& dir, int v) {
  TPasswordStore store(In(dir, "QV.ini"));
  if (!QFile::exists(store.Path()) && !store.EnsureDefaults()) return false;
  const auto result = store.ChangeManager(Password(v - 1), Password(v), Password(v));
  // Done once more after a kill: the change may already have landed.
  return result == TPasswordStore::TChange::Ok ||
         (result == TPasswordStore::TChange::SourceWrong && Password(v - 1) != Password(v) &&
          store.CheckManager(Password(v)));
}

// Scenes 1 to 3 in turn, of 0 to 189 items (up to 10 KB): large writes too.
bool SaveScene(const QString& dir, int v) {
  const int k = Cycle(v);
  TScene scenes(dir);
  scenes.Select(1 + k % 3);
  scenes.StartRecording(k + 1, k + 2);
  for (int i = 0; i < k * 63; ++i) {
    TSceneItem item;
    item.bytes.fill(static_cast<quint8>(k * 16 + i));
    scenes.AppendItem(item);
  }
  return scenes.Save(QStringLiteral("场景%1").arg(k));
}

bool SaveSubtitle(const QString& dir, int v) {
  const int k = Cycle(v);
  TSubtitleSettings settings;
  settings.speed = 10 * k;
  settings.lines = QStringList(k + 1, QStringLiteral("字幕%1").arg(k));
  return TSubtitleSettingsFile(dir).Save(settings);
}

}  // namespace

const std::vector<TProgramWriter>& ProgramWriters() {
  static const std::vector<TProgramWriter> writers = {
      {"one configuration key",
       {QStringLiteral("Quvial.ini")},
       [](const QString& dir, int v) {
         return TIniParamsOp(In(dir, "Quvial.ini")).WriteRow(Cycle(v) + 1);
       }},
      {"grouped configuration keys",
       {QStringLiteral("Quvial.ini")},
       [](const QString& dir, int v) {
         TIniParamsOp ini(In(dir, "Quvial.ini"));
         const int k = Cycle(v);
         return ini.WriteGroup([&ini, k] {  // the inner groups join: one rewrite
           ini.WriteWallSize(k + 5, k + 6);
           ini.WriteMatrixDelay(k % 2, 50 * k);
           ini.WriteTvType(3, QStringLiteral("型号%1").arg(k));
         });
       }},
      {"password change", {QStringLiteral("QV.ini")}, ChangePassword},
      {"scene save",
       {QStringLiteral("scene1"), QStringLiteral("scene2"), QStringLiteral("scene3")},
       SaveScene},
      {"channel name",
       {QStringLiteral("chname.ini")},
       [](const QString& dir, int v) {
         return TChannelNames(In(dir, "chname.ini"))
             .Rename(5, QStringLiteral("通道%1").arg(Cycle(v)));
       }},
      {"subtitle settings",
       {QStringLiteral("netosd.ini"), QStringLiteral("osdtext.txt")},
       SaveSubtitle},
  };
  return writers;
}
