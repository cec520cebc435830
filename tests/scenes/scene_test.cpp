#include "scenes/scene.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <csignal>
#include <ostream>
#include <random>

#include "support/temp_home.h"
#include "support/test_bytes.h"

namespace {

const quint8* U8(const QByteArray& b) { return reinterpret_cast<const quint8*>(b.constData()); }

QByteArray Bytes(const TScene::HeaderBytes& h) {
  return QByteArray(reinterpret_cast<const char*>(h.data()), static_cast<qsizetype>(h.size()));
}
QByteArray Bytes(const TSceneItem& item) {
  return QByteArray(reinterpret_cast<const char*>(item.bytes.data()), TSceneItem::kSize);
}
// Header and items of the current scene, as a file would hold them.
QByteArray Image(const TScene& scene) {
  QByteArray out = Bytes(scene.Header());
  for (const TSceneItem& item : scene.Items()) out += Bytes(item);
  return out;
}

const QByteArray kVgaFrame = FromHex("c809010102022002f9");  // select VGA, (1,1)..(2,2)

// Scene 2, recorded on a 2 x 3 wall, named "Demo": a VGA combine, a 300 ms
// matrix delay and a three-byte matrix command, laid out by hand. Existing
// installations leave the matrix item's sub-kind 0; a recording marks it with
// its matrix (0x80 for VIDEO).
QByteArray GoldenSceneFile(quint8 matrixSubKind = 0) {
  QByteArray file = FromHex("02030203") + QByteArray("Demo") + Zeros(6);
  // kind 1, sub-kind 3 (VGA), name "VGA", the frame, value unused
  file += FromHex("0103") + QByteArray("VGA") + Zeros(9);
  file += kVgaFrame + Zeros(25) + Zeros(4);
  // kind 4, sub-kind 1 (ms), value 300
  file += FromHex("0401") + Zeros(12) + Zeros(34) + FromHex("2c010000");
  // kind 5, data area at 21 holds BB 01 02, value 3
  file += FromHex("05") + QByteArray(1, static_cast<char>(matrixSubKind)) + Zeros(12) + Zeros(7) +
          FromHex("bb0102") + Zeros(24) + FromHex("03000000");
  return file;
}

class SceneTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(home.IsValid()); }

  QString Dir() const { return home.Path(); }
  QString SceneFile(int n) const { return QStringLiteral("scene") + QString::number(n); }

  // Records the golden scene's three steps the way the senders do.
  static void RecordDemo(TScene& scene) {
    scene.StartRecording(2, 3);
    scene.PrepareItem(TSceneItem::kCombine, 3, QStringLiteral("VGA"));
    scene.StoreFrame(U8(kVgaFrame), 9);
    scene.StoreDelay(TSceneItem::kMilliseconds, 300);
    const QByteArray command = FromHex("bb0102");
    scene.StoreMatrixCommand(U8(command), 3, 0);
  }

  TTempHome home;
};

TEST_F(SceneTest, RecordingSavesTheHandBuiltFile) {
  TScene scene(Dir());
  ASSERT_TRUE(scene.Select(2));
  scene.SetRecording(true);
  RecordDemo(scene);
  ASSERT_TRUE(scene.Save(QStringLiteral("Demo")));
  EXPECT_EQ(home.Read(SceneFile(2)), GoldenSceneFile(0x80));
  EXPECT_EQ(home.Entries(), QStringList{SceneFile(2)});  // no temporary left
}

TEST_F(SceneTest, HandBuiltFileLoadsFieldByField) {
  ASSERT_TRUE(home.Write(SceneFile(2), GoldenSceneFile()));
  TScene scene(Dir());
  EXPECT_EQ(scene.CurrentNumber(), 0);
  ASSERT_TRUE(scene.Select(2));
  EXPECT_EQ(Image(scene), GoldenSceneFile());
  EXPECT_EQ(scene.Name(), QStringLiteral("Demo"));
  const auto& items = scene.Items();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].Kind(), TSceneItem::kCombine);
  EXPECT_EQ(items[0].SubKind(), 3);
  EXPECT_EQ(items[0].Name(), QStringLiteral("VGA"));
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(items[0].Frame()), 9), kVgaFrame);
  EXPECT_EQ(items[1].Kind(), TSceneItem::kPause);
  EXPECT_EQ(items[1].SubKind(), TSceneItem::kMilliseconds);
  EXPECT_EQ(items[1].Value(), 300);
  EXPECT_EQ(items[2].Kind(), TSceneItem::kMatrixCommand);
  EXPECT_EQ(items[2].Data(), FromHex("bb0102"));
}

TEST_F(SceneTest, RoundTripThroughANewStoreKeepsEveryByte) {
  QByteArray before;
  {
    TScene scene(Dir());
    ASSERT_TRUE(scene.Select(7));
    scene.SetRecording(true);
    scene.StartRecording(4, 4);
    scene.PrepareItem(TSceneItem::kCombine, 5, QStringLiteral(u"高清一二三四五六"));
    scene.StoreFrame(U8(kVgaFrame), 9);
    scene.StoreDelay(TSceneItem::kSeconds, 3);
    const QByteArray rotate = FromHex("c8091d011d01700164");
    scene.StoreSwitcherFrame(U8(rotate), 9);
    ASSERT_TRUE(scene.Save(QStringLiteral(u"场景")));
    before = Image(scene);
    EXPECT_EQ(before.size(), 14 + 3 * 52);
  }
  TScene reloaded(Dir());
  ASSERT_TRUE(reloaded.Select(7));
  EXPECT_EQ(Image(reloaded), before);
  EXPECT_EQ(home.Read(SceneFile(7)), before);
  EXPECT_EQ(reloaded.Name(), QStringLiteral(u"场景"));
  EXPECT_EQ(reloaded.Items()[0].Name(), QStringLiteral(u"高清一二三四"));
  EXPECT_EQ(reloaded.Items()[2].Kind(), TSceneItem::kSwitcherCommand);
  EXPECT_EQ(reloaded.Items()[2].Value(), 9);
  for (int n = 1; n <= TScene::kSceneCount; ++n) {
    if (n == 7) continue;
    ASSERT_TRUE(reloaded.Select(n));
    EXPECT_TRUE(reloaded.Items().empty()) << n;
    EXPECT_EQ(Bytes(reloaded.Header()), Zeros(14)) << n;
  }
}

TEST_F(SceneTest, DefaultConstructionReadsTheProgramDirectory) {
  ASSERT_TRUE(home.Write(SceneFile(16), GoldenSceneFile()));
  TScene scene;
  ASSERT_TRUE(scene.Select(16));
  EXPECT_EQ(scene.Items().size(), 3u);
  EXPECT_EQ(scene.FilePath(16), home.File(SceneFile(16)));
}

TEST_F(SceneTest, RecordingHeaderHoldsNumberRowsAndColumns) {
  ASSERT_TRUE(home.Write(SceneFile(5), GoldenSceneFile()));
  TScene scene(Dir());
  ASSERT_TRUE(scene.Select(5));
  scene.StartRecording(3, 4);
  EXPECT_TRUE(scene.Items().empty());
  EXPECT_EQ(Bytes(scene.Header()), FromHex("05000304") + Zeros(10));
  ASSERT_TRUE(scene.Save());
  const QByteArray file = home.Read(SceneFile(5));
  ASSERT_EQ(file.size(), 14);  // an empty scene is its header alone
  EXPECT_EQ(file, FromHex("05000304") + Zeros(10));
}

TEST_F(SceneTest, StartRecordingTakesAnOptionalNameAndHoldsSizesToAByte) {
  TScene scene(Dir());
  ASSERT_TRUE(scene.Select(1));
  scene.StartRecording(300, -2, QStringLiteral("Lobby wall 12"));
  EXPECT_EQ(Bytes(scene.Header()), FromHex("0100ff00") + QByteArray("Lobby wall"));
}

TEST_F(SceneTest, SelectAcceptsOnlyOneToSixteen) {
  TScene scene(Dir());
  EXPECT_FALSE(scene.Select(0));
  EXPECT_FALSE(scene.Select(17));
  EXPECT_FALSE(scene.Select(-1));
  EXPECT_EQ(scene.CurrentNumber(), 0);
  EXPECT_TRUE(scene.Select(16));
  EXPECT_FALSE(scene.Select(17));
  EXPECT_EQ(scene.CurrentNumber(), 16);
}

TEST_F(SceneTest, WithoutACurrentSceneNothingIsStoredOrWritten) {
  TScene scene(Dir());
  scene.SetRecording(true);
  scene.StartRecording(2, 2);
  scene.StoreDelay(1, 50);
  EXPECT_FALSE(scene.AppendItem(TSceneItem{}));
  EXPECT_FALSE(scene.Save(QStringLiteral("x")));
  EXPECT_TRUE(scene.Items().empty());
  EXPECT_EQ(Bytes(scene.Header()), Zeros(14));
  EXPECT_TRUE(home.Entries().isEmpty());
}

TEST_F(SceneTest, StoreStepsOnlyWhileRecording) {
  TScene scene(Dir());
  ASSERT_TRUE(scene.Select(1));
  EXPECT_FALSE(scene.Recording());
  scene.PrepareItem(TSceneItem::kCommand, 0, QString());
  scene.StoreFrame(U8(kVgaFrame), 9);
  scene.StoreDelay(1, 50);
  scene.StoreSwitcherFrame(U8(kVgaFrame), 9);
  scene.StoreMatrixCommand(U8(kVgaFrame), 9, 0);
  EXPECT_TRUE(scene.Items().empty());
  scene.SetRecording(true);
  scene.StoreFrame(U8(kVgaFrame), 9);
  EXPECT_EQ(scene.Items().size(), 1u);
  // A plain append is the store's own operation, not a recorded step.
  scene.SetRecording(false);
  EXPECT_TRUE(scene.AppendItem(TSceneItem{}));
  EXPECT_EQ(scene.Items().size(), 2u);
}

TEST_F(SceneTest, PreparedItemServesEveryFrameUntilPreparedAgain) {
  TScene scene(Dir());
  ASSERT_TRUE(scene.Select(1));
  scene.SetRecording(true);
  scene.PrepareItem(TSceneItem::kDissolve, 0, QString());
  scene.StoreFrame(U8(kVgaFrame), 9);
  const QByteArray shortFrame = FromHex("c8071122200224");
  scene.StoreFrame(U8(shortFrame), 7);
  const QByteArray delayFree = FromHex("c8091e1e1e1e700164");
  scene.StoreSwitcherFrame(U8(delayFree), 9);  // a fresh item, not the prepared one
  scene.StoreFrame(U8(kVgaFrame), 9);
  const auto& items = scene.Items();
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[1].Kind(), TSceneItem::kDissolve);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(items[1].Frame()), 34),
            shortFrame + Zeros(27));
  EXPECT_EQ(items[2].Kind(), TSceneItem::kSwitcherCommand);
  EXPECT_EQ(items[3].Kind(), TSceneItem::kDissolve);
  // Preparing clears what the last item left, name included.
  scene.PrepareItem(TSceneItem::kCombine, 1, QStringLiteral("Video 1"));
  scene.PrepareItem(TSceneItem::kCommand, 0, QString());
  scene.StoreFrame(U8(kVgaFrame), 9);
  EXPECT_EQ(Bytes(scene.Items()[4]), FromHex("0300") + Zeros(12) + kVgaFrame + Zeros(29));
}

// The saved name field for a rename after a first, longer name.
struct RenameCase {
  const char* label;
  QString first;
  const char* firstField;
  QString second;
  const char* secondField;
};

void PrintTo(const RenameCase& c, std::ostream* os) { *os << c.label; }

class SceneRenameTest : public SceneTest, public testing::WithParamInterface<RenameCase> {};

TEST_P(SceneRenameTest, ShorterNameReplacesTheWholeField) {
  const RenameCase& c = GetParam();
  TScene scene(Dir());
  ASSERT_TRUE(scene.Select(9));
  ASSERT_TRUE(scene.Save(c.first));
  EXPECT_EQ(home.Read(SceneFile(9)).mid(4, 10), FromHex(c.firstField));
  ASSERT_TRUE(scene.Save(c.second));
  EXPECT_EQ(home.Read(SceneFile(9)).mid(4, 10), FromHex(c.secondField));
  EXPECT_EQ(scene.Name(), c.second);
  TScene reloaded(Dir());
  ASSERT_TRUE(reloaded.Select(9));
  EXPECT_EQ(reloaded.Name(), c.second);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SceneRenameTest,
    testing::Values(
        RenameCase{"ascii cut to ten", QStringLiteral("Control Room A"), "436f6e74726f6c20526f",
                   QStringLiteral("Hall"), "48616c6c000000000000"},
        RenameCase{"five chinese fill the field", QStringLiteral(u"一二三四五"),
                   "d2bbb6fec8fdcbc4cee5", QStringLiteral(u"短"), "b6cc0000000000000000"},
        RenameCase{"six chinese cut to five", QStringLiteral(u"一二三四五六"),
                   "d2bbb6fec8fdcbc4cee5", QStringLiteral(u"场景"), "b3a1beb0000000000000"},
        RenameCase{"no half character", QStringLiteral(u"a一二三四五"), "61d2bbb6fec8fdcbc400",
                   QStringLiteral("b"), "62000000000000000000"}));

TEST_F(SceneTest, SaveWithoutANameKeepsTheStoredOne) {
  TScene scene(Dir());
  ASSERT_TRUE(scene.Select(3));
  ASSERT_TRUE(scene.Save(QStringLiteral("Night")));
  scene.AppendItem(TSceneItem{});
  ASSERT_TRUE(scene.Save());
  EXPECT_EQ(home.Read(SceneFile(3)).left(14),
            FromHex("0001") + Zeros(2) + QByteArray("Night") + Zeros(5));
}

TEST_F(SceneTest, CountInMemoryChangesOnlyOnSave) {
  TScene scene(Dir());
  ASSERT_TRUE(scene.Select(4));
  scene.SetRecording(true);
  scene.StartRecording(2, 2);
  scene.StoreDelay(1, 10);
  scene.StoreDelay(1, 20);
  EXPECT_EQ(scene.Header()[1], 0);
  ASSERT_TRUE(scene.Save());
  EXPECT_EQ(scene.Header()[1], 2);
  scene.StoreDelay(1, 30);
  EXPECT_EQ(scene.Header()[1], 2);
}

struct CancelCase {
  int steps;
  bool kept;
};

class SceneCancelTest : public SceneTest, public testing::WithParamInterface<CancelCase> {};

TEST_P(SceneCancelTest, DiscardsOnlyMoreThanOneStep) {
  TScene scene(Dir());
  ASSERT_TRUE(scene.Select(6));
  scene.SetRecording(true);
  scene.StartRecording(3, 3);
  for (int i = 0; i < GetParam().steps; ++i) scene.StoreDelay(1, 100 + i);
  const QByteArray before = Image(scene);
  scene.CancelRecording();
  if (GetParam().kept) {
    EXPECT_EQ(Image(scene), before);
  } else {
    EXPECT_TRUE(scene.Items().empty());
    EXPECT_EQ(Bytes(scene.Header()), Zeros(14));
  }
}

INSTANTIATE_TEST_SUITE_P(Steps, SceneCancelTest,
                         testing::Values(CancelCase{0, true}, CancelCase{1, true},
                                         CancelCase{2, false}, CancelCase{5, false}));

class SceneLimitTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    scene.onFull = [this] { ++fullCalls; };
    scene.onTooLong = [this](int count) { tooLong.push_back(count); };
    ASSERT_TRUE(scene.Select(8));
    scene.SetRecording(true);
    scene.StartRecording(2, 2);
  }
  TScene scene{home.Path()};
  int fullCalls = 0;
  std::vector<int> tooLong;
};

TEST_F(SceneLimitTest, The256thStepIsRefusedAndReportedOnce) {
  for (int i = 0; i < 255; ++i) scene.StoreDelay(1, i);
  EXPECT_EQ(scene.Items().size(), 255u);
  EXPECT_EQ(fullCalls, 0);
  scene.StoreDelay(1, 255);
  scene.PrepareItem(TSceneItem::kCommand, 0, QString());
  scene.StoreFrame(U8(kVgaFrame), 9);
  EXPECT_FALSE(scene.AppendItem(TSceneItem{}));
  EXPECT_EQ(scene.Items().size(), 255u);
  EXPECT_EQ(scene.Items().back().Value(), 254);
  EXPECT_EQ(fullCalls, 1);

  ASSERT_TRUE(scene.Save());
  const QByteArray file = home.Read(QStringLiteral("scene8"));
  EXPECT_EQ(file.size(), 14 + 255 * 52);
  EXPECT_EQ(static_cast<quint8>(file[1]), 255);
  TScene reloaded(Dir());
  ASSERT_TRUE(reloaded.Select(8));
  EXPECT_EQ(reloaded.Items().size(), 255u);

  // A new recording may be told again.
  scene.StartRecording(2, 2);
  for (int i = 0; i < 256; ++i) scene.StoreDelay(1, i);
  EXPECT_EQ(fullCalls, 2);
}

TEST_F(SceneLimitTest, SwitcherCommandsBeyondTheDataAreaAreRefusedWhole) {
  const QByteArray command(28, '\x11');
  scene.StoreSwitcherFrame(U8(command), 28);
  EXPECT_TRUE(scene.Items().empty());
  EXPECT_EQ(tooLong, std::vector<int>{28});
}

// A matrix command is split into items of at most 27 bytes, each marked
// with its matrix, every piece but the last as continued.
struct SplitCase {
  int length;
  quint8 matrixKind;
  std::vector<int> pieces;
  std::vector<int> subKinds;
};

TEST_F(SceneLimitTest, MatrixCommandsAreSplitIntoMarkedItems) {
  const SplitCase cases[] = {
      {27, 0, {27}, {0x80}},
      {40, 1, {27, 13}, {0xc1, 0x81}},
      {60, 2, {27, 27, 6}, {0xc2, 0xc2, 0x82}},
      {5, 7, {5}, {0x00}},  // no such matrix: left unmarked
  };
  for (const SplitCase& c : cases) {
    scene.StartRecording(2, 2);
    QByteArray command(c.length, '\0');
    for (int i = 0; i < c.length; ++i) command[i] = static_cast<char>(i + 1);
    scene.StoreMatrixCommand(U8(command), c.length, c.matrixKind);
    ASSERT_EQ(scene.Items().size(), c.pieces.size()) << c.length;
    QByteArray joined;
    for (size_t i = 0; i < c.pieces.size(); ++i) {
      const QByteArray stored = Bytes(scene.Items()[i]);
      EXPECT_EQ(stored.left(2), FromHex("05") + QByteArray(1, static_cast<char>(c.subKinds[i])));
      EXPECT_EQ(scene.Items()[i].Value(), c.pieces[i]);
      EXPECT_EQ(stored.mid(21 + c.pieces[i], 27 - c.pieces[i]), Zeros(27 - c.pieces[i]));
      joined += scene.Items()[i].Data();
    }
    EXPECT_EQ(joined, command) << c.length;
  }
  EXPECT_TRUE(tooLong.empty());
}

TEST_F(SceneLimitTest, AMatrixCommandThatDoesNotFitWholeIsNotStoredAtAll) {
  for (int i = 0; i < 253; ++i) scene.StoreDelay(1, i);
  const QByteArray command(60, '\x33');  // three items, two places left
  scene.StoreMatrixCommand(U8(command), 60, 0);
  EXPECT_EQ(scene.Items().size(), 253u);
  EXPECT_EQ(fullCalls, 1);
  scene.StoreMatrixCommand(U8(command), 54, 0);  // two items fit
  EXPECT_EQ(scene.Items().size(), 255u);
}

TEST_F(SceneLimitTest, FramesBeyondTheFrameAreaAreRefused) {
  const QByteArray raw(35, '\x42');
  scene.PrepareItem(TSceneItem::kCommand, 0, QString());
  scene.StoreFrame(U8(raw), 35);
  scene.StoreFrame(U8(raw), -1);
  scene.StoreMatrixCommand(nullptr, 4, 0);
  EXPECT_TRUE(scene.Items().empty());
  EXPECT_EQ(tooLong, std::vector<int>{35});
  scene.StoreFrame(U8(raw), 32);  // the longest raw frame the send path sends
  ASSERT_EQ(scene.Items().size(), 1u);
  EXPECT_EQ(Bytes(scene.Items()[0]).mid(14, 34), raw.left(32) + Zeros(2));
}

// What a file holds and what loads from it.
struct LoadCase {
  const char* label;
  QByteArray file;
  int items;        // whole items loaded
  QByteArray head;  // the header in memory
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.label; }

QByteArray Item(char fill) { return QByteArray(52, fill); }

class SceneLoadTest : public SceneTest, public testing::WithParamInterface<LoadCase> {};

TEST_P(SceneLoadTest, KeepsTheWholeItemsTheFileHolds) {
  const LoadCase& c = GetParam();
  ASSERT_TRUE(home.Write(SceneFile(11), c.file));
  TScene scene(Dir());
  ASSERT_TRUE(scene.Select(11));
  ASSERT_EQ(static_cast<int>(scene.Items().size()), c.items);
  EXPECT_EQ(Bytes(scene.Header()), c.head);
  for (int i = 0; i < c.items; ++i)
    EXPECT_EQ(Bytes(scene.Items()[i]), c.file.mid(14 + 52 * i, 52)) << i;

  // Saving writes back exactly what loaded.
  ASSERT_TRUE(scene.Save());
  EXPECT_EQ(home.Read(SceneFile(11)), c.head + c.file.mid(14, 52 * c.items));
}

const QByteArray kHead3 = FromHex("0b030202") + QByteArray("Hall") + Zeros(6);

INSTANTIATE_TEST_SUITE_P(
    Files, SceneLoadTest,
    testing::Values(
        LoadCase{"whole", kHead3 + Item('a') + Item('b') + Item('c'), 3, kHead3},
        LoadCase{"cut inside the third item", kHead3 + Item('a') + Item('b') + Item('c').left(20),
                 2, FromHex("0b020202") + QByteArray("Hall") + Zeros(6)},
        LoadCase{"count beyond the file", FromHex("0b0a0202") + Zeros(10) + Item('a'), 1,
                 FromHex("0b010202") + Zeros(10)},
        LoadCase{"items beyond the count", FromHex("0b010202") + Zeros(10) + Item('a') + Item('b'),
                 1, FromHex("0b010202") + Zeros(10)},
        LoadCase{"count zero with items after (a wrapped count)",
                 FromHex("0b000202") + Zeros(10) + Item('a'), 0, FromHex("0b000202") + Zeros(10)},
        LoadCase{"header cut short", FromHex("0b0302"), 0, FromHex("0b0002") + Zeros(11)},
        LoadCase{"empty file", QByteArray(), 0, Zeros(14)},
        LoadCase{"name of ten bytes, no terminator",
                 FromHex("030004") + QByteArray("\x05"
                                                "ABCDEFGHIJ",
                                                11),
                 0, FromHex("03000405") + QByteArray("ABCDEFGHIJ")},
        LoadCase{"scene number as it was recorded", FromHex("c8000101") + Zeros(10), 0,
                 FromHex("c8000101") + Zeros(10)}));

TEST_F(SceneTest, OversizedFileLoadsItsCountedItemsOnly) {
  QByteArray file = FromHex("0cff0505") + Zeros(10);
  for (int i = 0; i < 300; ++i) file += Item(static_cast<char>(i));
  ASSERT_TRUE(home.Write(SceneFile(12), file));
  TScene scene(Dir());
  ASSERT_TRUE(scene.Select(12));
  ASSERT_EQ(scene.Items().size(), 255u);
  EXPECT_EQ(Bytes(scene.Items()[254]), Item(static_cast<char>(254)));
}

TEST_F(SceneTest, GarbageFilesLoadAndSaveBackConsistently) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 40; ++round) {
    const int size = static_cast<int>(random() % 2000);
    QByteArray file(size, '\0');
    for (char& b : file) b = static_cast<char>(random());
    ASSERT_TRUE(home.Write(SceneFile(13), file));
    TScene scene(Dir());
    ASSERT_TRUE(scene.Select(13));
    const int announced = size >= 2 ? static_cast<quint8>(file[1]) : 0;
    const int whole = size >= 14 ? (size - 14) / 52 : 0;
    ASSERT_EQ(static_cast<int>(scene.Items().size()), qMin(announced, whole)) << round;
    if (size > 0) {
      EXPECT_EQ(scene.Header()[0], static_cast<quint8>(file[0]));
    }
    scene.Name();  // any bytes decode
    ASSERT_TRUE(scene.Save());
    TScene again(Dir());
    ASSERT_TRUE(again.Select(13));
    EXPECT_EQ(Image(again), Image(scene)) << round;
  }
}

TEST_F(SceneTest, FilesThatAreNotRegularLoadAsEmptyScenes) {
  ASSERT_TRUE(QDir(Dir()).mkdir(SceneFile(1)));
  const QByteArray fifo = QFile::encodeName(home.File(SceneFile(2)));
  ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
  ASSERT_TRUE(home.Write(SceneFile(3), GoldenSceneFile()));
  TScene scene(Dir());  // must not block on the FIFO
  ASSERT_TRUE(scene.Select(1));
  EXPECT_TRUE(scene.Items().empty());
  ASSERT_TRUE(scene.Select(3));
  EXPECT_EQ(scene.Items().size(), 3u);
  // Loading creates no file.
  EXPECT_FALSE(home.Exists(SceneFile(4)));
}

TEST_F(SceneTest, UnreachableDirectoryFailsTheSaveAndKeepsTheScene) {
  ASSERT_TRUE(home.Write(QStringLiteral("plain"), "x"));
  TScene scene(home.File(QStringLiteral("plain/sub")));  // its parent is a file
  ASSERT_TRUE(scene.Select(1));
  scene.SetRecording(true);
  RecordDemo(scene);
  const QByteArray before = Image(scene);
  EXPECT_FALSE(scene.Save(QStringLiteral("Lost")));
  EXPECT_EQ(Image(scene), before);
  EXPECT_TRUE(scene.Name().isEmpty());
  EXPECT_EQ(home.Read(QStringLiteral("plain")), QByteArray("x"));
}

TEST_F(SceneTest, FullDiskLeavesTheOldFileAndTheSceneInMemory) {
  ASSERT_TRUE(home.Write(SceneFile(2), GoldenSceneFile()));
  TScene scene(Dir());
  ASSERT_TRUE(scene.Select(2));
  scene.SetRecording(true);
  scene.StartRecording(5, 6);
  for (int i = 0; i < 10; ++i) scene.StoreDelay(2, i);
  const QByteArray before = Image(scene);

  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 100;  // less than the 534 bytes of the new file
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = scene.Save(QStringLiteral("New"));
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(saved);
  EXPECT_EQ(home.Read(SceneFile(2)), GoldenSceneFile());
  EXPECT_EQ(home.Entries(), QStringList{SceneFile(2)});
  EXPECT_EQ(Image(scene), before);
  // Once there is room again the same scene saves whole.
  ASSERT_TRUE(scene.Save(QStringLiteral("New")));
  EXPECT_EQ(home.Read(SceneFile(2)).size(), 14 + 10 * 52);
  EXPECT_EQ(scene.Header()[1], 10);
}

}  // namespace
