#include "setup/subtitle_settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <functional>
#include <optional>
#include <ostream>
#include <random>

#include "support/temp_home.h"

namespace {

TSubtitleSettings Defaults() {
  TSubtitleSettings s;
  s.lines = TSubtitleSettings::DefaultLines();
  return s;
}

// Section "netosd" of a file as a Windows installation writes it (GBK).
const QByteArray kWindowsFile =
    "[netosd]\r\nmsg=hello\r\nspeed=55\r\nlocation=2\r\ndir=1\r\nfontcolor=65280\r\n"
    "fontheight=-32\r\nfontname=\xba\xda\xcc\xe5\r\nfontsize=36\r\n";

struct LoadCase {
  const char* name;
  QByteArray ini;                                    // netosd.ini; empty: no file
  std::optional<QByteArray> text;                    // osdtext.txt
  std::function<void(TSubtitleSettings&)> expected;  // on top of the defaults
  int notes;
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }

class SubtitleLoadTest : public testing::TestWithParam<LoadCase> {};

TEST_P(SubtitleLoadTest, AppliesWhatIsStoredAndSkipsDamage) {
  TTempHome home;
  if (!GetParam().ini.isEmpty()) {
    ASSERT_TRUE(home.Write(QStringLiteral("netosd.ini"), GetParam().ini));
  }
  if (GetParam().text) {
    ASSERT_TRUE(home.Write(QStringLiteral("osdtext.txt"), *GetParam().text));
  }
  TSubtitleSettings loaded = Defaults();
  const QStringList notes = TSubtitleSettingsFile(home.Path()).Load(loaded, false);
  TSubtitleSettings expected = Defaults();
  GetParam().expected(expected);
  EXPECT_EQ(loaded, expected);
  EXPECT_EQ(notes.size(), GetParam().notes) << notes.join(u'|').toStdString();
}

QByteArray Garbage() {
  std::mt19937 random(8);
  QByteArray bytes(64 * 1024, '\0');
  for (char& b : bytes) b = static_cast<char>(random());
  return bytes;
}

// What kWindowsFile holds; the size decides the height.
void AsWindowsFile(TSubtitleSettings& s) {
  s.lines = {QStringLiteral("hello")};
  s.speed = 55;
  s.singlePosition = 2;
  s.singleMotion = 1;
  s.font.color = 0xFF00;
  s.font.face = QStringLiteral("黑体");
  s.font.size = 36;
  s.font.height = -48;
}

// A file without the section: the read defaults of text, speed and colour.
void ReadDefaults(TSubtitleSettings& s) {
  s.lines.clear();
  s.speed = 0;
  s.font.color = 0;
}

INSTANTIATE_TEST_SUITE_P(
    Files, SubtitleLoadTest,
    testing::Values(
        LoadCase{"NoSettingsFileChangesNothing",
                 {},
                 QByteArray("other\r\n"),
                 [](TSubtitleSettings&) {},
                 0},
        LoadCase{"WindowsFile", kWindowsFile, std::nullopt, AsWindowsFile, 0},
        LoadCase{"TextFileWinsOverMsgDamageReplaced", kWindowsFile,
                 QByteArray("\xb5\xda\xd2\xbb\r\n\r\na\0b\x81", 12),  // 第一, NUL, cut GBK
                 [](TSubtitleSettings& s) {
                   AsWindowsFile(s);
                   s.lines = {QStringLiteral("第一"), QString(), QStringLiteral("a?b\uFFFD")};
                 },
                 0},
        LoadCase{"OutOfRangeValuesChangeNothing",
                 "[netosd]\r\nmsg=x\r\nspeed=101\r\nlocation=3\r\ndir=-1\r\nfontcolor=-5\r\n"
                 "fontheight=99999\r\nfontname=\xd2\xbb\xb6\xfe\xc8\xfd\xcb\xc4\xce\xe5\xc1\xf9\xc6"
                 "\xdf\xb0\xcb\xbe\xc5XY\r\nfontsize=0\r\n",
                 std::nullopt, [](TSubtitleSettings& s) { s.lines = {QStringLiteral("x")}; }, 7},
        LoadCase{"GarbageFileSurvives", Garbage(), std::nullopt, ReadDefaults, 0},
        // Found by fuzzing: a face holding a CR was taken, and no save succeeded after.
        LoadCase{"FaceWithAControlCharacterIsDamage",
                 "[netosd]\r\nfontname=\xcb\xce\xcc\xe5\rX\r\nfontsize=48\r\n", std::nullopt,
                 ReadDefaults, 1},
        LoadCase{"TenMegabyteMsgIsSkipped",
                 "[netosd]\r\nmsg=" + QByteArray(10 << 20, 'a') + "\r\nspeed=40\r\n", std::nullopt,
                 [](TSubtitleSettings& s) {
                   ReadDefaults(s);
                   s.lines = TSubtitleSettings::DefaultLines();
                   s.speed = 40;
                 },
                 1},
        LoadCase{"OversizedTextFileIsSkipped", "[netosd]\r\nmsg=kept\r\n",
                 QByteArray(300 * 1024, 'a'),
                 [](TSubtitleSettings& s) {
                   ReadDefaults(s);
                   s.lines = {QStringLiteral("kept")};
                 },
                 1}));

// A text whose lines look like a section and a key stays one value of
// "netosd"; reading it back gives the same lines.
TEST(SubtitleSaveTest, WritesOneSectionAndReadsBackTheSameSettings) {
  TTempHome home;
  TSubtitleSettings saved = Defaults();
  saved.lines = {QStringLiteral("a\\b"), QString(), QStringLiteral("[x]"), QStringLiteral("key=1")};
  TSubtitleSettingsFile file(home.Path());
  ASSERT_TRUE(file.Save(saved));

  EXPECT_EQ(
      home.Read(QStringLiteral("netosd.ini")),
      QByteArray("[netosd]\r\nmsg=a\\\\b\\r\\n\\r\\n[x]\\r\\nkey=1\r\nspeed=30\r\nlocation=0\r\n"
                 "dir=0\r\nfontcolor=255\r\nfontheight=-64\r\nfontname=\xcb\xce\xcc\xe5\r\n"
                 "fontsize=48\r\n"));
  EXPECT_EQ(home.Read(QStringLiteral("osdtext.txt")), QByteArray("a\\b\r\n\r\n[x]\r\nkey=1\r\n"));
  const TProfileFile ini(file.IniPath());
  EXPECT_TRUE(ini.ReadSection(QStringLiteral("x")).isEmpty());
  EXPECT_EQ(ini.ReadSection(QStringLiteral("netosd")).size(), 8);

  // From "msg" alone and with the text file: the same lines either way.
  for (const bool withText : {true, false}) {
    if (!withText) {
      ASSERT_TRUE(QFile::remove(file.TextPath()));
    }
    TSubtitleSettings loaded;
    EXPECT_TRUE(file.Load(loaded, true).isEmpty());
    EXPECT_EQ(loaded, saved) << "with text file: " << withText;
  }
}

}  // namespace
