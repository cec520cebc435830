// Scene playback through the real send path, wall commands and wall model:
// what reaches the splicer line, the matrices and the pauser, in order.
#include "scenes/scene_player.h"

#include <gtest/gtest.h>

#include <QStringList>

#include "core/pauser.h"
#include "link/protocol.h"
#include "link/send_path.h"
#include "scenes/scene.h"
#include "support/recording_port_writer.h"
#include "support/temp_home.h"
#include "support/test_bytes.h"
#include "wall/wall_commands.h"
#include "wall/wall_model.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray Le32(qint32 v) {
  QByteArray b(4, '\0');
  for (int i = 0; i < 4; ++i) b[i] = static_cast<char>(static_cast<quint32>(v) >> (8 * i));
  return b;
}

// One 52-byte item as existing installations write it: kind, sub-kind, a
// 12-byte name, the 34-byte frame area (the data area is its last 27) and
// the value.
QByteArray Item(quint8 kind, quint8 sub, const QByteArray& name, const QByteArray& frame,
                qint32 value) {
  QByteArray item = QByteArray(1, static_cast<char>(kind)) + QByteArray(1, static_cast<char>(sub));
  item += name + Zeros(12 - static_cast<int>(name.size()));
  item += frame + Zeros(34 - static_cast<int>(frame.size()));
  return item + Le32(value);
}
QByteArray Data(const QByteArray& bytes) { return Zeros(7) + bytes; }

class ScenePlayerTest : public testing::Test {
 protected:
  ScenePlayerTest() : send(port, pauser), commands(protocol, send, wall, pauser) {
    wall.LayOut(5, 5);
    send.splicerEnabled = [] { return true; };
    port.onWrite = [this](const QByteArray& b) {
      log << u"line "_s + QString::fromLatin1(b.toHex(' '));
    };
    pauser.onPause = [this](int ms) { log << u"pause %1"_s.arg(ms); };
    player.sendMatrixBytes = [this](const QByteArray& b, quint8 kind) {
      log << u"matrix %1: "_s.arg(kind) + QString::fromLatin1(b.toHex(' '));
    };
    player.currentMatrixKind = [this] { return currentKind; };
    player.progress = [this](int done, int total) { progress.emplace_back(done, total); };
  }
  QString Text(int row0, int col0) const {
    return wall.index(row0, col0).data(Qt::AccessibleTextRole).toString();
  }

  TTempHome home;
  RecordingPortWriter port;
  RecordingPauser pauser;
  TProtocol protocol;
  TSendPath send;
  TWallModel wall;
  TWallCommands commands;
  TScenePlayer player{send, commands, wall, pauser};
  quint8 currentKind = 1;  // VGA
  QStringList log;
  std::vector<std::pair<int, int>> progress;
};

TEST_F(ScenePlayerTest, AHandBuiltFilePlaysEveryKindInOrder) {
  // Scene 4 on a 3 x 4 wall, written byte for byte as existing installations
  // write it: kind-5 sub-kinds are whatever the sender left (0, or a source
  // number from an earlier combine), no matrix marks.
  QByteArray file = FromHex("04090304") + "Hall" + Zeros(6);
  file += Item(1, 3, "VGA", FromHex("c809020102022002fa"), 0);  // combine (2,1)..(2,2)
  file += Item(2, 0, "", FromHex("c809020102020000"), 0);       // dissolve (2,1)..(2,2)
  file += Item(3, 0, "", FromHex("c809030403041001f0"), 0);     // power on (3,4)
  file += Item(4, 1, "", "", 300);
  file += Item(4, 2, "", "", 2);
  file += Item(5, 0, "", Data(FromHex("bb0102")), 3);
  file += Item(6, 0, "", Data(FromHex("c8091d011d0180018e")), 9);
  file += Item(9, 0, "", Data(FromHex("ffff")), 2);  // unknown kind: skipped
  // A count that claims 200 bytes reads the 27-byte data area and no more;
  // a sub-kind left over from a VGA combine is no mark either.
  file += Item(5, 3, "", Data(QByteArray(27, '\x5a')), 200);
  ASSERT_TRUE(home.Write(u"scene4"_s, file));

  TScene scenes(home.Path());
  ASSERT_TRUE(scenes.Select(4));
  wall.MutableCell(0, 0).state = 1;  // a mark of the wall before: cleared
  player.Play(scenes);

  EXPECT_EQ(log, (QStringList{
                     u"line c8 09 02 01 02 02 20 02 fa"_s,
                     u"pause 50"_s,
                     u"line c8 09 02 01 02 01 20 02 f9"_s,  // each cell to its own source
                     u"pause 50"_s,
                     u"line c8 09 02 02 02 02 20 02 fb"_s,
                     u"pause 50"_s,
                     u"line c8 09 03 04 03 04 10 01 f0"_s,
                     u"pause 50"_s,
                     u"pause 300"_s,
                     u"pause 2000"_s,
                     u"matrix 1: bb 01 02"_s,
                     u"line c8 09 1d 01 1d 01 80 01 8e"_s,
                     u"matrix 1: "_s + QString::fromLatin1(QByteArray(27, '\x5a').toHex(' ')),
                 }));
  EXPECT_EQ(wall.Rows(), 3);
  EXPECT_EQ(wall.Cols(), 4);
  EXPECT_EQ(Text(1, 0), u"2-1 VGA"_s);
  EXPECT_EQ(wall.Cell(1, 1).source, 3);
  EXPECT_EQ(wall.ColourCounter(), 80);
  EXPECT_EQ(wall.Cell(1, 0).state, 2);
  EXPECT_EQ(wall.Cell(1, 1).state, 2);
  EXPECT_EQ(wall.Cell(0, 0).state, 0);
  EXPECT_EQ(wall.Cell(2, 3).state, 0);
  ASSERT_EQ(progress.size(), 10u);
  EXPECT_EQ(progress.front(), std::pair(0, 9));
  EXPECT_EQ(progress.back(), std::pair(9, 9));
}

TEST_F(ScenePlayerTest, ALongMatrixCommandGoesWholeToTheDeviceItWasRecordedFor) {
  QByteArray first(40, '\0'), second(60, '\0');
  for (int i = 0; i < 60; ++i) {
    if (i < 40) first[i] = static_cast<char>(i + 1);
    second[i] = static_cast<char>(0x80 + i);
  }
  {
    TScene scenes(home.Path());
    ASSERT_TRUE(scenes.Select(9));
    scenes.SetRecording(true);
    scenes.StartRecording(2, 2);
    scenes.StoreMatrixCommand(reinterpret_cast<const quint8*>(first.constData()), 40, 2);
    scenes.StoreMatrixCommand(reinterpret_cast<const quint8*>(second.constData()), 60, 1);
    scenes.StoreMatrixCommand(reinterpret_cast<const quint8*>(first.constData()), 8,
                              TSceneRecorder::kDvrTarget);
    ASSERT_EQ(scenes.Items().size(), 6u);
    ASSERT_TRUE(scenes.Save());
  }
  currentKind = 0;  // VIDEO is current; the records say otherwise
  TScene reloaded(home.Path());
  ASSERT_TRUE(reloaded.Select(9));
  player.Play(reloaded);
  EXPECT_EQ(log, (QStringList{u"matrix 2: "_s + QString::fromLatin1(first.toHex(' ')),
                              u"matrix 1: "_s + QString::fromLatin1(second.toHex(' ')),
                              u"matrix 3: "_s + QString::fromLatin1(first.left(8).toHex(' '))}));
}

// A recording not yet saved has a zero count byte but plays on its size too.
TEST(ScenePlayerWallSize, RecordedSizeOnlyWithItems) {
  auto size = [](quint8 rows, quint8 cols, std::size_t items) {
    return TScenePlayer::WallSize({0, 0, rows, cols}, items);
  };
  EXPECT_EQ(size(4, 4, 1), std::pair(4, 4));
  EXPECT_EQ(size(3, 4, 0), std::pair(2, 2));  // an empty scene is a cleared 2 x 2 wall
  EXPECT_EQ(size(0, 5, 3), std::pair(2, 2));
  EXPECT_EQ(size(40, 3, 3), std::pair(30, 3));
}

}  // namespace
