// Profile (INI) files such as Quvial.ini: any bytes read as a profile file.
// Every key a section lists reads back; writing one key gives that key the
// new value and leaves every other key as it was; a new section reads back.
#include <tuple>

#include "core/profile_text.h"
#include "fuzz_input.h"

namespace {

QString Fold(const QString& name) { return name.trimmed().toCaseFolded(); }

// Section and key names with their values, a bounded number of each.
using TSnapshot = QList<std::tuple<QString, QString, std::optional<QString>>>;
TSnapshot Snapshot(const TProfileText& text) {
  TSnapshot all;
  for (const QString& section : text.Sections().mid(0, 8))
    for (const QString& key : text.ReadSection(section).mid(0, 16))
      all.append({section, key, text.Value(section, key)});
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  const quint8 pick = in.Byte();
  const TProfileText text(in.Rest().toByteArray());
  const TSnapshot before = Snapshot(text);
  for (const auto& [section, key, value] : before) FUZZ_CHECK(value.has_value());

  const QString written = QStringLiteral("fuzz 值 1");
  if (!before.isEmpty()) {
    const auto& [section, key, value] = before[pick % before.size()];
    if (const auto changed = text.WithStrings(section, {{key, written}})) {
      FUZZ_CHECK(changed->Value(section, key) == written);
      FUZZ_CHECK(changed->Sections() == text.Sections());
      for (const auto& [s, k, v] : before)
        if (Fold(s) != Fold(section) || Fold(k) != Fold(key)) FUZZ_CHECK(changed->Value(s, k) == v);
    }
  }
  const QString fresh = QStringLiteral("Fuzz New ") + QString::number(pick);
  if (const auto added = text.WithStrings(fresh, {{QStringLiteral("Key"), written}})) {
    FUZZ_CHECK(added->Value(fresh, QStringLiteral("KEY")) == written);
    for (const auto& [s, k, v] : before)
      if (Fold(s) != Fold(fresh) || Fold(k) != QStringLiteral("key"))
        FUZZ_CHECK(added->Value(s, k) == v);
  }
  return 0;
}
