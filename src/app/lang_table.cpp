#include "app/lang_table.h"

#include "core/profile_file.h"
#include "core/program_dir.h"

namespace {
QString LangPath() { return ProgramFile(QStringLiteral("lang.ini")); }
}  // namespace

QString LangSection(int lang) { return lang == 2 ? QStringLiteral("eng") : QStringLiteral("chs"); }

QString LangText(const QString& section, const QString& key) {
  return TProfileFile(LangPath()).ReadString(section, key, QString());
}

bool LangTableExists() { return TProfileFile(LangPath()).Exists(); }
