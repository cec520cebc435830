#include "dvr_unit.h"

#include <gtest/gtest.h>

#include "support/test_bytes.h"

// Readable failures: gtest prints a QString as text, not as its code units.

namespace {

struct TDvrCase {
  const char* name;
  const char* hex;
  std::vector<const char*> lines;
  const char* state;  // the dump afterwards; "" when no split came
};

class DvrUnit : public testing::TestWithParam<TDvrCase> {};

// Fed whole and byte by byte alike.
TEST_P(DvrUnit, ReadsTheLeadAndSplitFrames) {
  const TDvrCase& c = GetParam();
  const QByteArray bytes = QByteArray::fromHex(c.hex);
  QStringList want;
  for (const char* line : c.lines) want << QString::fromLatin1(line);
  for (const qsizetype step : {bytes.size(), qsizetype(1)}) {
    TDvrUnit dvr;
    QStringList lines;
    QObject::connect(&dvr, &TDvrUnit::reported, [&](const QString& l) { lines << l; });
    for (qsizetype i = 0; i < bytes.size(); i += step)
      dvr.Feed(QByteArrayView(bytes).sliced(i, std::min(step, bytes.size() - i)));
    if (step == 1) {
      // Stray bytes come one line each; join them to compare.
      for (qsizetype i = lines.size() - 1; i > 0; --i)
        if (lines[i].startsWith(u"dvr noise") && lines[i - 1].startsWith(u"dvr noise"))
          lines[i - 1] += lines.takeAt(i).mid(9);
    }
    EXPECT_EQ(lines, want) << "step " << step;
    EXPECT_EQ(dvr.Dump().join(u'|'), QString::fromLatin1(c.state));
  }
}

const TDvrCase kDvr[] = {
    {"ManualNinePicturesToAddressFive",
     "90 01 fe 00 00 01 00 90 90 05 1d 01 01 00 00 b4",
     {"dvr command 90 01 fe 00 00 01 00 90 lead",
      "dvr command 90 05 1d 01 01 00 00 b4 split 9 address 5"},
     "dvr split 9 address 5"},
    {"AutomaticOnePicture",
     "90 01 1b 01 01 00 00 ae",
     {"dvr command 90 01 1b 01 01 00 00 ae split 1 address 1"},
     "dvr split 1 address 1"},
    {"GarbageAndABadChecksumChangeNothing",
     "55 aa 90 05 1e 01 01 00 00 b4",
     {"dvr noise 55 aa", "dvr bad 90 05 1e 01 01 00 00 b4 checksum"},
     ""},
    {"SplitCodeOutsideTheFour",
     "90 05 1f 01 01 00 00 b6",
     {"dvr bad 90 05 1f 01 01 00 00 b6 split code 1f"},
     ""},
};

INSTANTIATE_TEST_SUITE_P(Frames, DvrUnit, testing::ValuesIn(kDvr),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
