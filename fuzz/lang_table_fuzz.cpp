// The language table lang.ini: any bytes load as a table. Windows read their
// captions through the table while single texts go through the profile file,
// so both must find the same caption under every key.
#include "app/lang_table.h"
#include "core/profile_text.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  const QString section = LangSection(in.Byte() % 2 + 1);
  const QByteArray bytes = in.Rest().toByteArray();
  const TLangTable table = TLangTable::FromBytes(bytes, section);
  FUZZ_CHECK(table.Exists());
  FUZZ_CHECK(table.Count() <= bytes.count('='));

  const TProfileText profile(bytes);
  for (const QString& key : profile.ReadSection(section).mid(0, 32)) {
    const std::optional<QString> value = profile.Value(section, key);
    FUZZ_CHECK(value.has_value());
    FUZZ_CHECK(table.Contains(key));
    FUZZ_CHECK(table.Text(key) == *value);
  }
  return 0;
}
