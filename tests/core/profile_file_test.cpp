#include "core/profile_file.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <optional>
#include <ostream>
#include <random>
#include <thread>

#include "core/gbk.h"
#include "support/home_mount.h"
#include "support/temp_home.h"

namespace {

class ProfileFileTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(home.IsValid()); }
  QString Path() const { return home.File(QStringLiteral("Quvial.ini")); }
  void Put(const QByteArray& bytes) const {
    ASSERT_TRUE(home.Write(QStringLiteral("Quvial.ini"), bytes));
  }
  QByteArray Disk() const { return home.Read(QStringLiteral("Quvial.ini")); }

  TTempHome home;
};

// ---------------------------------------------------------------- reading

struct ReadCase {
  const char* name;
  QByteArray file;
  QString section;
  QString key;
  QString expected;  // with default "DEF"
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ProfileReadTest : public ProfileFileTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(ProfileReadTest, ReadsTheValue) {
  Put(GetParam().file);
  const TProfileFile f(Path());
  EXPECT_EQ(f.ReadString(GetParam().section, GetParam().key, QStringLiteral("DEF")),
            GetParam().expected);
}

const QString kCom = QStringLiteral("COM");

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileReadTest,
    testing::Values(
        ReadCase{"Plain", "[COM]\nrow=5\n", kCom, QStringLiteral("row"), QStringLiteral("5")},
        ReadCase{"Crlf", "[COM]\r\nrow=5\r\n", kCom, QStringLiteral("row"), QStringLiteral("5")},
        ReadCase{"BlanksAround", "[COM]\r\n  row \t=\t 5 x \t\r\r\n", kCom, QStringLiteral("row"),
                 QStringLiteral("5 x")},
        ReadCase{"BlanksInHeader", " [ COM ] ; note\r\nrow=5\r\n", kCom, QStringLiteral("row"),
                 QStringLiteral("5")},
        ReadCase{"SectionAndKeyInOtherCase", "[com]\r\nmatrixbps=19200\r\n", kCom,
                 QStringLiteral("MATRIXBPS"), QStringLiteral("19200")},
        ReadCase{"UnicodeCase", "[COM]\r\n\xA6\xB8mega=1\r\n", kCom, QStringLiteral(u"ωMEGA"),
                 QStringLiteral("1")},
        ReadCase{"EqualsInValue", "[COM]\r\nHomePage=http://x/?a=b\r\n", kCom,
                 QStringLiteral("homepage"), QStringLiteral("http://x/?a=b")},
        ReadCase{"EmptyValueIsNotTheDefault", "[COM]\r\nCOMPort=\r\n", kCom,
                 QStringLiteral("COMPort"), QString()},
        ReadCase{"KeyBeforeAnySection", "row=5\r\n[COM]\r\n", kCom, QStringLiteral("row"),
                 QStringLiteral("DEF")},
        ReadCase{"CommentIsNoKey", "[COM]\r\n;row=5\r\n", kCom, QStringLiteral("row"),
                 QStringLiteral("DEF")},
        ReadCase{"OtherSection", "[COM]\r\n[X]\r\nrow=5\r\n", kCom, QStringLiteral("row"),
                 QStringLiteral("DEF")},
        ReadCase{"MissingSection", "[X]\r\nrow=5\r\n", kCom, QStringLiteral("row"),
                 QStringLiteral("DEF")},
        ReadCase{"UnclosedHeaderIsNoSection", "[X]\r\n[COM\r\nrow=5\r\n", kCom,
                 QStringLiteral("row"), QStringLiteral("DEF")},
        ReadCase{"FirstDuplicateSectionWins", "[COM]\r\nrow=3\r\n[com]\r\nrow=4\r\ncol=5\r\n", kCom,
                 QStringLiteral("row"), QStringLiteral("3")},
        ReadCase{"LaterDuplicateSectionIsInvisible", "[COM]\r\nrow=3\r\n[com]\r\ncol=5\r\n", kCom,
                 QStringLiteral("col"), QStringLiteral("DEF")},
        ReadCase{"FirstDuplicateKeyWins", "[COM]\r\nrow=3\r\nROW=4\r\n", kCom,
                 QStringLiteral("row"), QStringLiteral("3")},
        ReadCase{"NoTrailingNewline", "[COM]\r\nrow=5", kCom, QStringLiteral("row"),
                 QStringLiteral("5")},
        ReadCase{"Utf8BomIsSkipped", "\xEF\xBB\xBF[COM]\r\ntvtype1=\xE4\xB8\xAD\r\n", kCom,
                 QStringLiteral("tvtype1"), QStringLiteral(u"中")},
        ReadCase{"GbkValue", "[COM]\r\nCaption=\xD6\xD0\xCE\xC4\r\n", kCom,
                 QStringLiteral("Caption"), QStringLiteral(u"中文")},
        // 0x81 0x5D is one character whose second byte is ']'.
        ReadCase{"BracketAsTrailByte", "[\x81\x5D]\r\nk=1\r\n", QString(QChar(0x4E5A)),
                 QStringLiteral("k"), QStringLiteral("1")},
        ReadCase{"NulBytesAround", QByteArray("\0\0[\0\n[COM]\nrow=4\n\0", 17), kCom,
                 QStringLiteral("row"), QStringLiteral("4")},
        ReadCase{"EmptyFile", "", kCom, QStringLiteral("row"), QStringLiteral("DEF")},
        // Found by fuzzing: a key the file lists is read under its own name; only
        // blanks (space, tab, CR) are trimmed from names, as from the lines.
        ReadCase{"KeyEndingInAVerticalTab", "[COM]\r\nrow\v=5\r\n", kCom, QStringLiteral("row\v"),
                 QStringLiteral("5")},
        ReadCase{"VerticalTabIsNoBlank", "[COM]\r\nrow\v=5\r\n", kCom, QStringLiteral("row"),
                 QStringLiteral("DEF")},
        // Found by fuzzing: a byte order mark inside a UTF-8 file is part of the name.
        ReadCase{"ByteOrderMarkInsideIsACharacter", "\xEF\xBB\xBF[COM]\r\n\xEF\xBB\xBF row=5\r\n",
                 kCom, QStringLiteral(u"\uFEFF row"), QStringLiteral("5")},
        ReadCase{"Utf8CutOffAtTheEndOfAName", "\xEF\xBB\xBF[COM]\r\nrow \xEB=5\r\n", kCom,
                 QStringLiteral(u"row \uFFFD"), QStringLiteral("5")}),
    [](const testing::TestParamInfo<ReadCase>& p) { return std::string(p.param.name); });

struct IntCase {
  const char* name;
  QByteArray value;
  int expected;  // with default 2
};

void PrintTo(const IntCase& c, std::ostream* os) { *os << c.name; }

class ProfileIntegerTest : public ProfileFileTest, public testing::WithParamInterface<IntCase> {};

TEST_P(ProfileIntegerTest, ParsesOrGivesTheDefault) {
  Put("[COM]\r\nrow=" + GetParam().value + "\r\n");
  EXPECT_EQ(TProfileFile(Path()).ReadInteger(kCom, QStringLiteral("row"), 2), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileIntegerTest,
    testing::Values(
        IntCase{"Decimal", "10", 10}, IntCase{"Hex0x", "0x0A", 10}, IntCase{"Hex0X", "0X1f", 31},
        IntCase{"HexDollar", "$1F", 31}, IntCase{"NotANumber", "abc", 2}, IntCase{"Zero", "0", 0},
        IntCase{"Blanks", " \t42\t ", 42}, IntCase{"Negative", "-5", -5}, IntCase{"Plus", "+7", 7},
        IntCase{"NegativeHex", "-0x10", -16}, IntCase{"Max", "2147483647", 2147483647},
        IntCase{"Min", "-2147483648", -2147483647 - 1}, IntCase{"TooLarge", "2147483648", 2},
        IntCase{"HexTooLarge", "0xFFFFFFFF", 2}, IntCase{"Huge", "99999999999999999999999", 2},
        IntCase{"TrailingText", "12abc", 2}, IntCase{"InnerBlank", "1 2", 2},
        IntCase{"Empty", "", 2}, IntCase{"PrefixOnly", "0x", 2}, IntCase{"DollarOnly", "$", 2},
        IntCase{"SignOnly", "-", 2}, IntCase{"Decimalpoint", "1.5", 2},
        IntCase{"FullWidthDigits", "\xA3\xB1\xA3\xB2", 2}),
    [](const testing::TestParamInfo<IntCase>& p) { return std::string(p.param.name); });

TEST_F(ProfileFileTest, MissingFileGivesDefaults) {
  const TProfileFile f(Path());
  EXPECT_FALSE(f.Exists());
  EXPECT_EQ(f.ReadString(kCom, QStringLiteral("COMPort"), QStringLiteral("d")),
            QStringLiteral("d"));
  EXPECT_EQ(f.ReadInteger(kCom, QStringLiteral("row"), 2), 2);
  EXPECT_TRUE(f.ReadSection(kCom).isEmpty());
}

TEST_F(ProfileFileTest, ReadSectionListsKeysInFileOrderAsSpelled) {
  Put("[A]\r\nz=1\r\n[com]\r\nRow=1\r\n; c\r\n\r\ncol = 2\r\nrow=3\r\n[B]\r\nq=1\r\n");
  EXPECT_EQ(TProfileFile(Path()).ReadSection(kCom),
            (QStringList{QStringLiteral("Row"), QStringLiteral("col"), QStringLiteral("row")}));
}

// ---------------------------------------------------------------- writing

struct WriteCase {
  const char* name;
  std::optional<QByteArray> before;  // nothing: no file
  QString key;
  QString value;
  QByteArray after;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class ProfileWriteTest : public ProfileFileTest, public testing::WithParamInterface<WriteCase> {};

TEST_P(ProfileWriteTest, ChangesOnlyItsLine) {
  if (GetParam().before) Put(*GetParam().before);
  TProfileFile f(Path());
  ASSERT_TRUE(f.WriteString(kCom, GetParam().key, GetParam().value));
  EXPECT_EQ(Disk(), GetParam().after);
  EXPECT_EQ(f.ReadString(kCom, GetParam().key, QStringLiteral("DEF")), GetParam().value.trimmed());
  EXPECT_EQ(home.Entries(), QStringList{QStringLiteral("Quvial.ini")});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWriteTest,
    testing::Values(
        WriteCase{"NewFileGetsSectionCom", std::nullopt, QStringLiteral("row"), QStringLiteral("3"),
                  "[COM]\r\nrow=3\r\n"},
        WriteCase{"ReplacesOtherCaseKeepingItsSpelling", "[COM]\r\nMATRIXBPS=9600\r\nLANG=1\r\n",
                  QStringLiteral("MatrixBPS"), QStringLiteral("19200"),
                  "[COM]\r\nMATRIXBPS=19200\r\nLANG=1\r\n"},
        WriteCase{"ReplacesIndentedLine", "[COM]\r\n  Row = 2 \r\nx=1", QStringLiteral("row"),
                  QStringLiteral("3"), "[COM]\r\nRow=3\r\nx=1"},
        WriteCase{"NewKeyBeforeTrailingBlankLines",
                  "; by hand\n[COM]\nrow=2\n\n \n[Other]\nx = 1 \n", QStringLiteral("col"),
                  QStringLiteral("3"), "; by hand\n[COM]\nrow=2\ncol=3\n\n \n[Other]\nx = 1 \n"},
        WriteCase{"NewKeyInEmptySection", "[COM]\r\n\r\n", QStringLiteral("row"),
                  QStringLiteral("2"), "[COM]\r\nrow=2\r\n\r\n"},
        WriteCase{"NewKeyAfterUnterminatedLine", "[COM]\nrow=2", QStringLiteral("col"),
                  QStringLiteral("3"), "[COM]\nrow=2\ncol=3\n"},
        WriteCase{"HeaderOnlyWithoutNewline", "[COM]", QStringLiteral("row"), QStringLiteral("2"),
                  "[COM]\r\nrow=2\r\n"},
        WriteCase{"NewSectionAtTheEnd", "[Other]\nx=1", QStringLiteral("row"), QStringLiteral("2"),
                  "[Other]\nx=1\n[COM]\nrow=2\n"},
        WriteCase{"FirstOfDuplicateSections", "[COM]\r\nrow=3\r\n[com]\r\nrow=4\r\ncol=5\r\n",
                  QStringLiteral("col"), QStringLiteral("6"),
                  "[COM]\r\nrow=3\r\ncol=6\r\n[com]\r\nrow=4\r\ncol=5\r\n"},
        WriteCase{"FirstOfDuplicateKeys", "[COM]\r\nrow=3\r\nrow=4\r\n", QStringLiteral("ROW"),
                  QStringLiteral("5"), "[COM]\r\nrow=5\r\nrow=4\r\n"},
        WriteCase{"MixedLineEndsKept", "[COM]\r\nrow=2\nLANG=1\r\n", QStringLiteral("row"),
                  QStringLiteral("3"), "[COM]\r\nrow=3\nLANG=1\r\n"},
        WriteCase{"GbkOnDisk", "[COM]\r\n", QStringLiteral("tvtype1"), QStringLiteral(u"中文"),
                  "[COM]\r\ntvtype1=\xD6\xD0\xCE\xC4\r\n"},
        WriteCase{"BomFileStaysUtf8", "\xEF\xBB\xBF[COM]\r\n", QStringLiteral("tvtype1"),
                  QStringLiteral(u"中文"),
                  "\xEF\xBB\xBF[COM]\r\ntvtype1=\xE4\xB8\xAD\xE6\x96\x87\r\n"},
        WriteCase{"BomOnly", "\xEF\xBB\xBF", QStringLiteral("row"), QStringLiteral("1"),
                  "\xEF\xBB\xBF[COM]\r\nrow=1\r\n"},
        WriteCase{"EmptyValue", "[COM]\r\nCOMPort=COM1\r\n", QStringLiteral("COMPort"), QString(),
                  "[COM]\r\nCOMPort=\r\n"}),
    [](const testing::TestParamInfo<WriteCase>& p) { return std::string(p.param.name); });

TEST_F(ProfileFileTest, WriteIntegerStoresDecimal) {
  TProfileFile f(Path());
  ASSERT_TRUE(f.WriteInteger(kCom, QStringLiteral("MACID"), -42));
  ASSERT_TRUE(f.WriteInteger(kCom, QStringLiteral("row"), 0x0A));
  EXPECT_EQ(Disk(), QByteArray("[COM]\r\nMACID=-42\r\nrow=10\r\n"));
}

TEST_F(ProfileFileTest, WritesThatWouldBreakTheLineStructureAreRefused) {
  const QByteArray before = "[COM]\r\nrow=2\r\n";
  Put(before);
  TProfileFile f(Path());
  EXPECT_FALSE(
      f.WriteString(kCom, QStringLiteral("tvtype1"), QStringLiteral("a\r\n[COM]\r\nrow=9")));
  EXPECT_FALSE(f.WriteString(kCom, QStringLiteral("tvtype1"), QStringLiteral("a\nb")));
  EXPECT_FALSE(
      f.WriteString(kCom, QStringLiteral("tvtype1"), QStringLiteral("a") + QChar(0) + u'b'));
  EXPECT_FALSE(f.WriteString(kCom, QStringLiteral("a=b"), QStringLiteral("1")));
  EXPECT_FALSE(f.WriteString(kCom, QStringLiteral(" "), QStringLiteral("1")));
  EXPECT_FALSE(f.WriteString(kCom, QStringLiteral("[x]"), QStringLiteral("1")));
  EXPECT_FALSE(f.WriteString(QStringLiteral("A]B"), QStringLiteral("k"), QStringLiteral("1")));
  EXPECT_FALSE(f.WriteString(QString(), QStringLiteral("k"), QStringLiteral("1")));
  // A group is written whole or not at all.
  EXPECT_FALSE(f.WriteStrings(
      kCom, {{QStringLiteral("row"), QStringLiteral("9")}, {QStringLiteral("a=b"), QString()}}));
  EXPECT_EQ(Disk(), before);
  EXPECT_EQ(f.ReadInteger(kCom, QStringLiteral("row"), 0), 2);
}

TEST_F(ProfileFileTest, SectionWithBracketTrailByteRoundTrips) {
  const QString section = QString(QChar(0x4E5A)) + u'X';
  TProfileFile f(Path());
  ASSERT_TRUE(f.WriteString(section, QStringLiteral("k"), QStringLiteral("1")));
  ASSERT_TRUE(f.WriteString(section, QStringLiteral("k"), QStringLiteral("2")));
  EXPECT_EQ(Disk(), QByteArray("[\x81\x5DX]\r\nk=2\r\n"));
  EXPECT_EQ(f.ReadString(section, QStringLiteral("K"), QString()), QStringLiteral("2"));
}

// ---------------------------------------------------------------- freshness

TEST_F(ProfileFileTest, EveryObjectSeesTheLatestWrite) {
  const TProfileFile reader(Path());
  TProfileFile writer(Path());
  EXPECT_EQ(reader.ReadInteger(kCom, QStringLiteral("row"), 2), 2);
  ASSERT_TRUE(writer.WriteInteger(kCom, QStringLiteral("row"), 3));
  EXPECT_TRUE(reader.Exists());
  EXPECT_EQ(reader.ReadInteger(kCom, QStringLiteral("row"), 2), 3);
  for (int i = 4; i < 40; ++i) {
    ASSERT_TRUE(writer.WriteInteger(kCom, QStringLiteral("row"), i));
    ASSERT_EQ(reader.ReadInteger(kCom, QStringLiteral("ROW"), 2), i);
  }
}

TEST_F(ProfileFileTest, SeesChangesMadeOutsideTheProgram) {
  Put("[COM]\r\nrow=3\r\n");
  const TProfileFile f(Path());
  EXPECT_EQ(f.ReadInteger(kCom, QStringLiteral("row"), 2), 3);
  Put("[COM]\r\nrow=14\r\n");  // rewritten in place, other size
  EXPECT_EQ(f.ReadInteger(kCom, QStringLiteral("row"), 2), 14);
  // Same size, same inode: only the modification time tells; file times have
  // a granularity of a few milliseconds.
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  Put("[COM]\r\nrow=15\r\n");
  EXPECT_EQ(f.ReadInteger(kCom, QStringLiteral("row"), 2), 15);
  ASSERT_TRUE(QFile::remove(Path()));
  EXPECT_EQ(f.ReadInteger(kCom, QStringLiteral("row"), 2), 2);
}

// ---------------------------------------------------------------- bad files and failures

QByteArray Garbage(qsizetype size, unsigned seed) {
  std::mt19937 gen(seed);
  QByteArray bytes(size, Qt::Uninitialized);
  for (qsizetype i = 0; i < size; ++i) bytes[i] = static_cast<char>(gen() & 0xFF);
  return bytes;
}

TEST_F(ProfileFileTest, BinaryGarbageReadsDefaultsAndSurvivesAWrite) {
  const QByteArray garbage = Garbage(1 << 20, 7).replace("[COM]", "[CXM]");
  Put(garbage);
  TProfileFile f(Path());
  EXPECT_EQ(f.ReadInteger(kCom, QStringLiteral("row"), 2), 2);
  EXPECT_EQ(f.ReadString(kCom, QStringLiteral("Caption"), QStringLiteral("d")),
            QStringLiteral("d"));
  ASSERT_TRUE(f.WriteInteger(kCom, QStringLiteral("row"), 6));
  EXPECT_TRUE(Disk().startsWith(garbage));
  EXPECT_EQ(f.ReadInteger(kCom, QStringLiteral("row"), 2), 6);
}

TEST_F(ProfileFileTest, HugeSingleLineAndManyReadsStayFast) {
  QByteArray file = "[COM]\r\n" + QByteArray(10 << 20, 'x') + "=1\r\nrow=7\r\n";
  Put(file);
  QElapsedTimer timer;
  timer.start();
  int sum = 0;
  for (int i = 0; i < 30; ++i) {
    const TProfileFile f(Path());  // a new object each time, as the dialogs do
    sum += f.ReadInteger(kCom, QStringLiteral("row"), 2);
    sum += f.ReadInteger(kCom, QStringLiteral("key%1").arg(i), 0);
  }
  EXPECT_EQ(sum, 30 * 7);
  RecordProperty("elapsed_ms", static_cast<int>(timer.elapsed()));
  EXPECT_LT(timer.elapsed(), 2000);
}

TEST_F(ProfileFileTest, TenMegabytesOfGarbageLinesStayFast) {
  Put(Garbage(10 << 20, 11).replace("[COM]", "[CXM]"));
  QElapsedTimer timer;
  timer.start();
  const TProfileFile f(Path());
  int defaults = 0;
  for (int i = 0; i < 60; ++i) defaults += f.ReadInteger(kCom, QStringLiteral("key%1").arg(i), 1);
  EXPECT_EQ(defaults, 60);
  RecordProperty("elapsed_ms", static_cast<int>(timer.elapsed()));
  EXPECT_LT(timer.elapsed(), 2000);
}

// Lines without "=" once made the reader search the rest of the file for one:
// time grew with the square of the size. Checked as a ratio of two sizes,
// each the best of three loads of a new file (no earlier parse is reused).
TEST_F(ProfileFileTest, LinesWithoutEqualsReadInTimeLinearInTheirNumber) {
  const auto readMs = [this](int lines) {
    const QByteArray bytes =
        "[COM]\r\ncol=3\r\n" + QByteArray("ab\r\n").repeated(lines) + "row=7\r\n";
    double best = 1e12;
    for (int run = 0; run < 3; ++run) {
      const QString name = QStringLiteral("f%1-%2.ini").arg(lines).arg(run);
      EXPECT_TRUE(home.Write(name, bytes));
      QElapsedTimer timer;
      timer.start();
      const TProfileFile f(home.File(name));
      EXPECT_EQ(f.ReadInteger(kCom, QStringLiteral("row"), 2), 7);  // the keys around them
      EXPECT_EQ(f.ReadInteger(kCom, QStringLiteral("col"), 2), 3);
      best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
  };
  const double small = readMs(200000), large = readMs(800000);
  // Four times the lines: linear gives about 4, the square 16.
  EXPECT_LT(large / small, 8.0) << small << " ms, then " << large << " ms";
}

// Each section once carried a hash table of its own: 1,000,000 one-key
// sections (7 MB) took 1.9 GB. The parsed file stays cached, so what malloc
// holds after the load is it: a small multiple of the file's size.
TEST_F(ProfileFileTest, ManySmallSectionsTakeMemoryLinearInTheFileSize) {
  QByteArray bytes;
  for (int i = 0; i < 100000; ++i) bytes += "[s" + QByteArray::number(i) + "]\r\nk=1\r\n";
  bytes += "[COM]\r\ncol=3\r\nrow=7\r\n";
  Put(bytes);
  const auto inUse = [] {
    const struct mallinfo2 m = ::mallinfo2();  // nothing under sanitizers: then a mere read
    return m.uordblks + m.hblkhd;
  };
  const size_t before = inUse();
  const TProfileFile f(Path());
  EXPECT_EQ(f.ReadInteger(kCom, QStringLiteral("row"), 2), 7);
  EXPECT_EQ(f.ReadInteger(QStringLiteral("S99999"), QStringLiteral("K"), 2), 1);
  EXPECT_LT(inUse() - before, 16 * size_t(bytes.size()));
}

TEST_F(ProfileFileTest, DirectoryThatIsAFileFailsSilently) {
  ASSERT_TRUE(home.Write(QStringLiteral("plain"), "x"));
  TProfileFile f(home.File(QStringLiteral("plain/Quvial.ini")));
  EXPECT_FALSE(f.Exists());
  EXPECT_FALSE(f.WriteInteger(kCom, QStringLiteral("row"), 3));
  EXPECT_EQ(f.ReadInteger(kCom, QStringLiteral("row"), 2), 2);
}

TEST_F(ProfileFileTest, ADirectoryInPlaceOfTheFileIsNoFile) {
  ASSERT_TRUE(QDir(home.Path()).mkdir(QStringLiteral("Quvial.ini")));
  TProfileFile f(Path());
  EXPECT_FALSE(f.Exists());
  EXPECT_FALSE(f.WriteInteger(kCom, QStringLiteral("row"), 3));
  EXPECT_EQ(f.ReadInteger(kCom, QStringLiteral("row"), 2), 2);
}

TEST_F(ProfileFileTest, ReadOnlyDirectoryKeepsTheOldFile) {
  Put("[COM]\r\nrow=2\r\n");
  THomeMount mount(home.Path());  // binds root too, unlike directory permissions
  if (const QString why = mount.MakeReadOnly(); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
  TProfileFile f(Path());
  EXPECT_FALSE(f.WriteInteger(kCom, QStringLiteral("row"), 3));
  EXPECT_EQ(Disk(), QByteArray("[COM]\r\nrow=2\r\n"));
  EXPECT_EQ(f.ReadInteger(kCom, QStringLiteral("row"), 0), 2);
}

}  // namespace
