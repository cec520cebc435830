// The subtitle settings "netosd.ini" and "osdtext.txt": any pair of files
// loads, what loaded can be saved, and after one save and load the settings
// come back unchanged from every further save and load.
#include "core/profile_text.h"
#include "fuzz_input.h"
#include "setup/subtitle_packet.h"
#include "setup/subtitle_settings.h"

namespace {

const QString kSection = QStringLiteral("netosd");

// Saves settings over the ini file and loads them back onto the defaults.
TSubtitleSettings SavedAndLoaded(TProfileText& ini, const TSubtitleSettings& settings,
                                 bool withText) {
  const auto saved = ini.WithStrings(kSection, TSubtitleSettingsFile::IniEntries(settings));
  FUZZ_CHECK(saved.has_value());
  ini = *saved;
  TSubtitleSettings loaded;
  TSubtitleSettingsFile::ApplyIni(ini, loaded, true);
  if (withText)
    loaded.lines = TSubtitleSettingsFile::TextFileLines(SubtitlePacket::EncodeText(settings.lines));
  return loaded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  const bool chinese = in.Byte() % 2 == 0;
  // The ini file, then after a record separator (0x1E) the text file.
  const QByteArrayView rest = in.Rest();
  const qsizetype separator = rest.indexOf('\x1e');
  TProfileText ini(rest.first(separator < 0 ? rest.size() : separator).toByteArray());

  TSubtitleSettings first;
  const QStringList notes = TSubtitleSettingsFile::ApplyIni(ini, first, chinese);
  FUZZ_CHECK(notes.size() <= 8);
  if (separator >= 0)
    first.lines = TSubtitleSettingsFile::TextFileLines(rest.sliced(separator + 1).toByteArray());
  // A load reads back only what the save wrote: once one round changes
  // nothing, no later one can.
  const TSubtitleSettings second = SavedAndLoaded(ini, first, separator >= 0);
  if (second != first) FUZZ_CHECK(SavedAndLoaded(ini, second, separator >= 0) == second);
  return 0;
}
