#include "linkage/channel_names.h"

#include <utility>

#include "core/profile_file.h"
#include "core/program_dir.h"

namespace {

bool InRange(int index0) { return index0 >= 0 && index0 < TChannelNames::kCount; }

}  // namespace

TChannelNames::TChannelNames() : TChannelNames(DefaultPath()) {}

TChannelNames::TChannelNames(QString path) : path_(std::move(path)) {}

const QString& TChannelNames::Section() {
  static const QString section = QStringLiteral("NAME");
  return section;
}

QString TChannelNames::Key(int index0) {
  return QStringLiteral("INDEX") + QString::number(index0 + 1);
}

QString TChannelNames::DefaultPath() { return ProgramFile(QStringLiteral("chname.ini")); }

QString TChannelNames::EntryText(int index0, const QString& name) {
  return QString::number(index0 + 1) + u' ' + name;
}

QStringList TChannelNames::Entries() {
  const TProfileFile file(path_);
  if (!file.Exists()) CreateFile();
  QStringList entries;
  entries.reserve(kCount);
  for (int i = 0; i < kCount; ++i) entries.append(EntryText(i, Name(i)));
  return entries;
}

QString TChannelNames::Name(int index0) const {
  if (!InRange(index0)) return {};
  const TProfileFile file(path_);
  return ShownName(file.ReadString(Section(), Key(index0), QString()));
}

QString TChannelNames::ShownName(QString stored) {
  // A control character would break the one-line entry; a damaged file may
  // hold anything.
  for (QChar& c : stored)
    if (c.category() == QChar::Other_Control) c = u' ';
  return stored.left(kMaxShownName);
}

bool TChannelNames::Rename(int index0, const QString& name) {
  if (!InRange(index0)) return false;
  TProfileFile file(path_);
  return file.WriteString(Section(), Key(index0), name);
}

// One rewrite for all 512 keys rather than 512 rewrites.
void TChannelNames::CreateFile() {
  TProfileFile::TEntries entries;
  entries.reserve(kCount);
  for (int i = 0; i < kCount; ++i) entries.append({Key(i), QString()});
  // A read-only folder: the write fails and the lists show bare numbers.
  TProfileFile(path_).WriteStrings(Section(), entries);
}
