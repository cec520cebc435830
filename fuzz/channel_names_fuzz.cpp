// The channel names "chname.ini": every name any file holds shows as one line
// of bounded length, and a name written into it (as the rename does) reads back.
#include "core/gbk.h"
#include "core/profile_text.h"
#include "fuzz_input.h"
#include "linkage/channel_names.h"

namespace {

// Values read back without the blanks around them.
QString WithoutBlanks(QString s) {
  while (!s.isEmpty() && (s.front() == u' ' || s.front() == u'\t')) s.remove(0, 1);
  while (!s.isEmpty() && (s.back() == u' ' || s.back() == u'\t')) s.chop(1);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  const int renamed = (in.Byte() << 8 | in.Byte()) % TChannelNames::kCount;
  // The name is the input's first line, the file all of it.
  const QByteArray bytes = in.Rest().toByteArray();
  const QString name = Gbk::Decode(bytes.left(bytes.indexOf('\n')));
  const TProfileText file(bytes);
  // The names the file holds (reading all 512 keys would mostly miss).
  for (const QString& key : file.ReadSection(TChannelNames::Section()).mid(0, 32)) {
    const QString shown =
        TChannelNames::ShownName(file.ReadString(TChannelNames::Section(), key, QString()));
    FUZZ_CHECK(shown.size() <= TChannelNames::kMaxShownName);
    for (const QChar c : shown) FUZZ_CHECK(c.category() != QChar::Other_Control);
    FUZZ_CHECK(
        TChannelNames::EntryText(renamed, shown).startsWith(QString::number(renamed + 1) + u' '));
  }
  const auto written =
      file.WithStrings(TChannelNames::Section(), {{TChannelNames::Key(renamed), name}});
  const bool encodable = Gbk::Decode(Gbk::Encode(name)) == name;
  if (written && encodable && !bytes.startsWith("\xEF\xBB\xBF"))
    FUZZ_CHECK(written->ReadString(TChannelNames::Section(), TChannelNames::Key(renamed),
                                   QString()) == WithoutBlanks(name));
  return 0;
}
