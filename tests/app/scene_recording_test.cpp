// Recording through the real store: every sender that exists hands its steps
// to the scene store, and a saved scene holds them byte for byte.
#include <gtest/gtest.h>

#include "core/pauser.h"
#include "link/protocol.h"
#include "link/send_path.h"
#include "scenes/scene.h"
#include "support/recording_port_writer.h"
#include "support/temp_home.h"
#include "wall/wall_commands.h"
#include "wall/wall_model.h"

using namespace Qt::StringLiterals;

namespace {

class SceneRecordingTest : public testing::Test {
 protected:
  SceneRecordingTest() : send(port, pauser), commands(protocol, send, wall, pauser) {
    wall.LayOut(3, 4);
    send.splicerEnabled = [] { return true; };
    send.SetRecorder(&scenes);
    commands.SetRecorder(&scenes);
    EXPECT_TRUE(scenes.Select(2));
    scenes.StartRecording(3, 4);
    scenes.SetRecording(true);
    ctx.selection = {0, 0, 1, 1};
  }
  static QByteArray Frame(const TSceneItem& item, int count) {
    return QByteArray(reinterpret_cast<const char*>(item.Frame()), count);
  }

  TTempHome home;
  RecordingPortWriter port;
  RecordingPauser pauser;
  TProtocol protocol;
  TSendPath send;
  TWallModel wall;
  TWallCommands commands;
  TScene scenes{home.Path()};
  TWallContext ctx;
};

TEST_F(SceneRecordingTest, EverySenderBecomesAStepInOrder) {
  commands.SourceButton(u"VGA"_s, 3, ctx);                // combine
  commands.Dissolve(1, quint8{1}, ctx);                   // four dissolve steps
  commands.PowerOnWall(std::nullopt, true, u"2"_s, ctx);  // four commands, four pauses
  commands.RotateOutput(1);                               // a switcher frame

  const auto& items = scenes.Items();
  ASSERT_EQ(items.size(), 1u + 4u + 8u + 1u);
  EXPECT_EQ(items[0].Kind(), TSceneItem::kCombine);
  EXPECT_EQ(items[0].SubKind(), 3);
  EXPECT_EQ(items[0].Name(), u"VGA"_s);
  EXPECT_EQ(Frame(items[0], 9).toHex(' '), "c8 09 01 01 02 02 20 02 f9");
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(items[i].Kind(), TSceneItem::kDissolve) << i;
  EXPECT_EQ(Frame(items[1], 9).toHex(' '), "c8 09 01 01 01 01 20 00 f5");
  for (int i = 5; i < 13; i += 2) {
    EXPECT_EQ(items[i].Kind(), TSceneItem::kCommand) << i;
    EXPECT_EQ(items[i + 1].Kind(), TSceneItem::kPause) << i;
    EXPECT_EQ(items[i + 1].SubKind(), TSceneItem::kSeconds);
    EXPECT_EQ(items[i + 1].Value(), 2);
  }
  EXPECT_EQ(items[13].Kind(), TSceneItem::kSwitcherCommand);
  EXPECT_EQ(items[13].Value(), 9);
  EXPECT_EQ(items[13].Data().toHex(' '), "c8 09 1d 01 1d 01 80 01 8e");

  ASSERT_TRUE(scenes.Save(u"早班"_s));
  TScene reloaded(home.Path());
  ASSERT_TRUE(reloaded.Select(2));
  ASSERT_EQ(reloaded.Items().size(), items.size());
  for (size_t i = 0; i < items.size(); ++i)
    EXPECT_EQ(reloaded.Items()[i].bytes, items[i].bytes) << i;
  EXPECT_EQ(reloaded.Name(), u"早班"_s);
  EXPECT_EQ(home.Read(u"scene2"_s).size(), 14 + 52 * static_cast<int>(items.size()));
}

TEST_F(SceneRecordingTest, NothingIsRecordedWhileRecordingIsOff) {
  scenes.SetRecording(false);
  commands.SourceButton(u"VGA"_s, 3, ctx);
  commands.StillPictureWall(ctx);
  EXPECT_TRUE(scenes.Items().empty());
  EXPECT_EQ(port.writes.size(), 2u) << "the frames still go out";
}

TEST_F(SceneRecordingTest, TheStoreRefusesTheTwoHundredFiftySixthStepAndSaysSo) {
  int full = 0;
  scenes.onFull = [&] { ++full; };
  for (int i = 0; i < 260; ++i) commands.StillPictureWall(ctx);
  EXPECT_EQ(scenes.Items().size(), 255u);
  EXPECT_EQ(full, 1);
  EXPECT_EQ(port.writes.size(), 260u) << "refusing a step never stops the wall";
}

}  // namespace
