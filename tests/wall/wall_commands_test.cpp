#include "wall/wall_commands.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QStringList>
#include <ostream>
#include <vector>

#include "core/conversion.h"
#include "core/pauser.h"
#include "link/protocol.h"
#include "link/send_path.h"
#include "support/recording_port_writer.h"
#include "support/recording_scene_recorder.h"
#include "support/test_bytes.h"
#include "wall/family_menus.h"
#include "wall/wall_model.h"

// Readable failure output for frames and captions.
namespace {

using Step = RecordingSceneRecorder::Step;

// Rows 1-2, columns 1-2 (1-based) of the wall.
constexpr TCellRect kTopLeft2x2{0, 0, 1, 1};

QString Hex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }

class WallCommandsTest : public testing::Test {
 protected:
  void SetUp() override {
    send_.splicerEnabled = [] { return true; };
    wall_.LayOut(4, 4);
    commands_.matrixLinkage = [this](int kind, quint16 start, quint16 end) {
      linkage_ << QStringLiteral("matrix %1 %2 %3")
                      .arg(kind)
                      .arg(start, 4, 16, QLatin1Char('0'))
                      .arg(end, 4, 16, QLatin1Char('0'));
    };
    commands_.dvrLinkage = [this] { linkage_ << QStringLiteral("dvr"); };
    commands_.switcherLinkage = [this](int source) {
      linkage_ << QStringLiteral("switcher %1").arg(source);
    };
  }

  TWallContext Context(quint8 family, TCellRect selection = kTopLeft2x2) const {
    TWallContext ctx;
    ctx.family = family;
    ctx.selection = selection;
    return ctx;
  }

  QStringList Frames() const {
    QStringList frames;
    for (const QByteArray& w : port_.writes) frames << Hex(w);
    return frames;
  }

  void Record() {
    send_.SetRecorder(&recorder_);
    commands_.SetRecorder(&recorder_);
  }

  // Prepared item kinds and stored steps, in order: "P1", "F", "D2=3", "S".
  QStringList SceneSteps() const {
    QStringList steps;
    for (const Step& s : recorder_.steps) {
      switch (s.kind) {
        case Step::kPrepare:
          steps << QStringLiteral("P%1").arg(s.itemKind);
          break;
        case Step::kFrame:
          steps << QStringLiteral("F");
          break;
        case Step::kSwitcherFrame:
          steps << QStringLiteral("S");
          break;
        case Step::kDelay:
          steps << QStringLiteral("D%1=%2").arg(s.subKind).arg(s.value);
          break;
        case Step::kMatrix:
          steps << QStringLiteral("M%1").arg(s.subKind);
          break;
      }
    }
    return steps;
  }

  RecordingPortWriter port_;
  RecordingPauser pauser_;
  TSendPath send_{port_, pauser_};
  TProtocol protocol_;
  TWallModel wall_;
  TWallCommands commands_{protocol_, send_, wall_, pauser_};
  RecordingSceneRecorder recorder_;
  QStringList linkage_;
};

// ---- source buttons and combine entries -------------------------------------

struct SourceCase {
  const char* name;
  quint8 family;
  const char16_t* caption;
  int source;
  const char* frame;
  const char* linkage;  // matrix linkage line, or "" for none
  bool usb;
};

class SourceButtonTable : public WallCommandsTest,
                          public testing::WithParamInterface<SourceCase> {};

TEST_P(SourceButtonTable, SendsMarksAndLinks) {
  const SourceCase& c = GetParam();
  const QString caption = QString::fromUtf16(c.caption);
  ASSERT_TRUE(commands_.SourceButton(caption, c.source, Context(c.family)));

  EXPECT_EQ(Frames(), QStringList{QString::fromLatin1(c.frame)});
  EXPECT_EQ(pauser_.pauses, std::vector<int>{50});
  for (int r = 0; r < 4; ++r) {
    for (int col = 0; col < 4; ++col) {
      const TCellRecord& cell = wall_.Cell(r, col);
      const bool inside = r < 2 && col < 2;
      EXPECT_EQ(cell.state, inside ? 1 : 0) << r << ',' << col;
      EXPECT_EQ(cell.name, inside ? caption : QString()) << r << ',' << col;
      EXPECT_EQ(cell.source, inside ? c.source : 0) << r << ',' << col;
    }
  }
  EXPECT_EQ(wall_.LastCombinedSource(), c.source);
  QStringList expected;
  if (*c.linkage) expected << QString::fromLatin1(c.linkage) << QStringLiteral("dvr");
  EXPECT_EQ(linkage_, expected);
  EXPECT_EQ(commands_.UsbRemote(), c.usb);
}

INSTANTIATE_TEST_SUITE_P(
    Families, SourceButtonTable,
    testing::Values(SourceCase{"Qn51Vga", 0, u"VGA", 3, "C8 09 01 01 02 02 20 02 F9",
                               "matrix 3 0101 0202", false},
                    SourceCase{"Qn51Lc", 0, u"LC", 7, "C8 09 01 01 02 02 20 06 FD",
                               "matrix 7 0101 0202", false},
                    SourceCase{"Qn51Dvi", 0, u"DVI", 4, "C8 09 01 01 02 02 20 03 FA",
                               "matrix 4 0101 0202", false},
                    SourceCase{"Qn51Usb", 0, u"USB", 6, "C8 09 01 01 02 02 20 05 FC", "", true},
                    SourceCase{"Qn51Video1", 0, u"视频1", 1, "C8 09 01 01 02 02 20 00 F7",
                               "matrix 1 0101 0202", false},
                    SourceCase{"Tr5000Dvi", 6, u"DVI", 5, "C8 09 01 01 02 02 20 04 FB",
                               "matrix 5 0101 0202", false},
                    SourceCase{"QnHv8Dvi", 9, u"DVI", 5, "C8 09 01 01 02 02 20 04 FB",
                               "matrix 5 0101 0202", false},
                    SourceCase{"Qn22Vga2", 3, u"VGA2", 8, "C8 09 01 01 02 02 20 07 FE",
                               "matrix 3 0101 0202", false}),
    [](const testing::TestParamInfo<SourceCase>& p) { return std::string(p.param.name); });

TEST_F(WallCommandsTest, MixerAndQnT1PanelsUseTheirUnitAddresses) {
  const TWallContext ctx = Context(7);
  ASSERT_TRUE(commands_.SelectSource(4, true, false, ctx));
  ASSERT_TRUE(commands_.SelectSource(4, false, true, Context(10)));
  EXPECT_EQ(Frames(), (QStringList{QStringLiteral("C8 09 1E 1E 1E 1E 20 04 6D"),
                                   QStringLiteral("C8 09 1D 01 1D 01 20 03 30")}));
  EXPECT_EQ(linkage_, (QStringList{QStringLiteral("matrix 4 1e1e 1e1e"), QStringLiteral("dvr"),
                                   QStringLiteral("matrix 4 1d01 1d01"), QStringLiteral("dvr")}));
  EXPECT_EQ(wall_.Cell(0, 0).state, 0);  // the panels never touch the grid
}

TEST_F(WallCommandsTest, PanelsSendWithoutASelection) {
  EXPECT_TRUE(commands_.SelectSource(1, true, false, Context(7, {})));
  EXPECT_FALSE(commands_.SelectSource(1, false, false, Context(0, {})));
  EXPECT_EQ(port_.writes.size(), 1u);
}

TEST_F(WallCommandsTest, UsbRemoteFlagFollowsTheLastSelection) {
  const TWallContext ctx = Context(0);
  commands_.SourceButton(QStringLiteral("USB"), 6, ctx);
  EXPECT_TRUE(commands_.UsbRemote());
  commands_.SourceButton(QStringLiteral("VGA"), 3, ctx);
  EXPECT_FALSE(commands_.UsbRemote());
  commands_.SelectSource(11, true, false, ctx);  // the mixer's USB2
  EXPECT_TRUE(commands_.UsbRemote());
  commands_.Dissolve(1, std::nullopt, ctx);  // a dissolve leaves it alone
  EXPECT_TRUE(commands_.UsbRemote());
}

TEST_F(WallCommandsTest, SwitcherFollowsDviAndHdmiOnlyWhenTicked) {
  TWallContext ctx = Context(0);
  commands_.SourceButton(QStringLiteral("HDMI"), 5, ctx);
  EXPECT_FALSE(linkage_.contains(QStringLiteral("switcher 5")));
  ctx.mixerSwitchTicked = true;
  linkage_.clear();
  commands_.SourceButton(QStringLiteral("HDMI"), 5, ctx);
  EXPECT_EQ(linkage_, (QStringList{QStringLiteral("matrix 5 0101 0202"), QStringLiteral("dvr"),
                                   QStringLiteral("switcher 5")}));
  linkage_.clear();
  commands_.SourceButton(QStringLiteral("DVI"), 4, ctx);
  EXPECT_EQ(linkage_.last(), QStringLiteral("switcher 4"));
  linkage_.clear();
  commands_.SourceButton(QStringLiteral("VGA"), 3, ctx);
  EXPECT_EQ(linkage_.size(), 2);  // matrix and DVR only
}

TEST_F(WallCommandsTest, ShortFramesHandTheLinkageThePackedAddresses) {
  protocol_.SetFrameMode(0);
  commands_.SourceButton(QStringLiteral("VGA"), 3, Context(0));
  EXPECT_EQ(Frames(), QStringList{QStringLiteral("C8 07 11 22 20 02 24")});
  EXPECT_EQ(linkage_.first(), QStringLiteral("matrix 3 0011 0022"));
}

TEST_F(WallCommandsTest, Qn22PageButtonsNeverBroadcast) {
  TWallContext ctx = Context(3);
  ctx.publicChannel = true;
  protocol_.SetAddressMode(3, 1);  // left on by an earlier menu command
  commands_.SourceButton(QStringLiteral("VGA1"), 3, ctx);
  EXPECT_EQ(Frames(), QStringList{QStringLiteral("C8 09 01 01 02 02 20 02 F9")});
  EXPECT_EQ(protocol_.AddressModeTag(), 1);
  EXPECT_EQ(protocol_.PublicChannel(), 1);
}

TEST_F(WallCommandsTest, Qn22CombineEntryFollowsThePublicChannel) {
  TWallContext ctx = Context(3, {1, 1, 2, 2});
  ctx.publicChannel = true;
  ASSERT_TRUE(commands_.CombineEntry(QStringLiteral("VGA"), 3, 3, ctx));
  ctx.publicChannel = false;
  ASSERT_TRUE(commands_.CombineEntry(QStringLiteral("VGA"), 3, 3, ctx));
  EXPECT_EQ(Frames(), (QStringList{QStringLiteral("C8 09 FF FF FF FF 20 02 EF"),
                                   QStringLiteral("C8 09 02 02 03 03 20 02 FD")}));
  // The matrices still follow the selected screens, not the broadcast bytes.
  EXPECT_EQ(linkage_[0], QStringLiteral("matrix 3 0202 0303"));
  EXPECT_EQ(linkage_[2], QStringLiteral("matrix 3 0202 0303"));
  EXPECT_EQ(wall_.Cell(1, 1).state, 1);
}

TEST_F(WallCommandsTest, CombineEntryNamesTheCellsByItsGridName) {
  const auto& qnK7 = FamilyMenu(4);
  const TMenuEntryDef& entry = qnK7.front().entries.front();
  ASSERT_TRUE(commands_.CombineEntry(entry.gridName, entry.source, *entry.tag, Context(4)));
  EXPECT_EQ(wall_.Cell(0, 0).name, QStringLiteral("VGA"));
  EXPECT_EQ(protocol_.AddressModeTag(), 5);
}

TEST_F(WallCommandsTest, PublicChannelUsbBroadcastsWhateverIsSelected) {
  TWallContext ctx = Context(3, {});
  ctx.publicChannel = true;
  commands_.PublicChannelButton(3, ctx);
  commands_.PublicChannelButton(2, ctx);
  EXPECT_EQ(Frames(), (QStringList{QStringLiteral("C8 09 FF FF FF FF 20 05 F2"),
                                   QStringLiteral("C8 09 FF FF FF FF 20 00 ED")}));
  EXPECT_FALSE(commands_.UsbRemote());  // CVBS came last
  EXPECT_TRUE(linkage_.isEmpty());
}

TEST_F(WallCommandsTest, PublicChannelSetsTheUsbFlagAndIgnoresBadInput) {
  TWallContext ctx = Context(3);
  commands_.PublicChannelButton(3, ctx);  // box clear: the group is hidden
  ctx.publicChannel = true;
  commands_.PublicChannelButton(4, ctx);
  commands_.PublicChannelButton(-1, ctx);
  EXPECT_TRUE(port_.writes.empty());
  commands_.PublicChannelButton(3, ctx);
  EXPECT_TRUE(commands_.UsbRemote());
  EXPECT_EQ(wall_.Cell(0, 0).state, 0);
}

TEST_F(WallCommandsTest, ButtonsWithoutActionAndBadSourcesDoNothing) {
  const TWallContext ctx = Context(2);
  EXPECT_FALSE(commands_.SourceButton(QStringLiteral("DVI 1"), 0, ctx));
  EXPECT_FALSE(commands_.SourceButton(QStringLiteral("X"), 12, ctx));
  EXPECT_FALSE(commands_.SelectSource(-1, true, false, ctx));
  EXPECT_TRUE(port_.writes.empty());
  EXPECT_EQ(wall_.ColourCounter(), 0);
  EXPECT_EQ(wall_.Cell(0, 0).state, 0);
}

TEST_F(WallCommandsTest, SelectionBeyondTheWallIsCutToIt) {
  commands_.SourceButton(QStringLiteral("VGA"), 3, Context(0, {2, 2, 40, 40}));
  commands_.SourceButton(QStringLiteral("VGA"), 3, Context(0, {10, 10, 12, 12}));
  EXPECT_EQ(Frames(), QStringList{QStringLiteral("C8 09 03 03 04 04 20 02 01")});
  EXPECT_EQ(wall_.Cell(3, 3).state, 1);
}

// ---- dissolve ----------------------------------------------------------------

TEST_F(WallCommandsTest, DissolveSendsOneFramePerCellInReadingOrder) {
  commands_.SourceButton(QStringLiteral("VGA"), 3, Context(0));
  port_.writes.clear();
  pauser_.pauses.clear();
  linkage_.clear();

  commands_.Dissolve(1, 1, Context(0));
  EXPECT_EQ(Frames(), (QStringList{QStringLiteral("C8 09 01 01 01 01 20 00 F5"),
                                   QStringLiteral("C8 09 01 02 01 02 20 00 F7"),
                                   QStringLiteral("C8 09 02 01 02 01 20 00 F7"),
                                   QStringLiteral("C8 09 02 02 02 02 20 00 F9")}));
  EXPECT_EQ(pauser_.pauses, (std::vector<int>{50, 50, 50, 50}));
  EXPECT_TRUE(linkage_.isEmpty());
  const TCellRecord& cell = wall_.Cell(1, 1);
  EXPECT_EQ(cell.state, 2);
  EXPECT_EQ(cell.name, QStringLiteral("VGA"));  // name and source stay
  EXPECT_EQ(cell.source, 3);
  EXPECT_EQ(wall_.Cell(2, 2).state, 0);
}

TEST_F(WallCommandsTest, Qn22DissolveWithThePublicChannelBroadcastsEachFrame) {
  TWallContext ctx = Context(3);
  ctx.publicChannel = true;
  commands_.Dissolve(3, 3, ctx);
  EXPECT_EQ(Frames(), QStringList(4, QStringLiteral("C8 09 FF FF FF FF 20 02 EF")));
}

TEST_F(WallCommandsTest, GeneralDissolveResendsEachCellsOwnSource) {
  commands_.SourceButton(QStringLiteral("VGA2"), 8, Context(3, {2, 1, 2, 1}));
  wall_.MutableCell(0, 0).source = 10;  // Video 3 and USB2 have no dissolve command
  wall_.MutableCell(0, 1).source = 11;
  protocol_.SetAddressMode(3, 1);
  port_.writes.clear();

  commands_.Dissolve(0, std::nullopt, Context(0, {0, 0, 3, 1}));
  // Only the VGA2 cell (row 2, column 3) is resent; the mode was left as it was.
  EXPECT_EQ(Frames(), QStringList{QStringLiteral("C8 09 FF FF FF FF 20 07 F4")});
  protocol_.SetAddressMode(1, 0);
  port_.writes.clear();
  commands_.Dissolve(0, std::nullopt, Context(0, {0, 0, 3, 1}));
  EXPECT_EQ(Frames(), QStringList{QStringLiteral("C8 09 02 03 02 03 20 07 02")});
  EXPECT_EQ(wall_.Cell(1, 2).state, 2);
  EXPECT_EQ(wall_.Cell(0, 0).state, 0);  // skipped cells keep their state
  EXPECT_EQ(wall_.Cell(1, 0).state, 0);
}

TEST_F(WallCommandsTest, DissolveRejectsSourcesItCannotBuild) {
  commands_.Dissolve(10, 1, Context(0));
  commands_.Dissolve(-3, 1, Context(0));
  EXPECT_TRUE(port_.writes.empty());
  EXPECT_EQ(wall_.Cell(0, 0).state, 0);
}

TEST_F(WallCommandsTest, Qn44DissolveEntriesCarryTheirOwnTags) {
  // Independent of the menu table: which tags each "分解" entry must set.
  const std::vector<quint8> expectedTags = {11, 5, 1, 1, 5};
  const auto& menu = FamilyMenu(11);
  const TMenuSectionDef* dissolve = nullptr;
  for (const auto& section : menu)
    if (section.caption == QStringLiteral("分解")) dissolve = &section;
  ASSERT_NE(dissolve, nullptr);
  ASSERT_EQ(dissolve->entries.size(), expectedTags.size());
  TWallContext ctx = Context(11, {0, 0, 0, 0});
  ctx.publicChannel = true;  // cannot be ticked on QN-44, and would not matter
  for (size_t i = 0; i < expectedTags.size(); ++i) {
    const TMenuEntryDef& e = dissolve->entries[i];
    commands_.Dissolve(e.source, e.tag, ctx);
    EXPECT_EQ(protocol_.AddressModeTag(), expectedTags[i]) << i;
    EXPECT_FALSE(protocol_.Broadcast()) << i;
  }
  for (const QByteArray& w : port_.writes)
    EXPECT_EQ(Hex(w.mid(2, 4)), QStringLiteral("01 01 01 01"));
}

TEST_F(WallCommandsTest, DissolvingTheLargestWallIsPacedAndFast) {
  wall_.LayOut(30, 30);
  std::vector<std::pair<int, int>> progress;
  commands_.progress = [&](int done, int total) { progress.emplace_back(done, total); };
  QElapsedTimer clock;
  clock.start();
  commands_.Dissolve(2, 1, Context(0, {0, 0, 29, 29}));
  EXPECT_LT(clock.elapsed(), 5000);

  ASSERT_EQ(port_.writes.size(), 900u);
  EXPECT_EQ(pauser_.pauses, std::vector<int>(900, 50));
  for (int k = 0; k < 900; ++k) {
    const QByteArray& w = port_.writes[static_cast<size_t>(k)];
    ASSERT_EQ(w.size(), 9);
    EXPECT_EQ(static_cast<quint8>(w[2]), k / 30 + 1) << k;
    EXPECT_EQ(static_cast<quint8>(w[3]), k % 30 + 1) << k;
    EXPECT_EQ(w[2], w[4]);
    EXPECT_EQ(w[3], w[5]);
  }
  ASSERT_EQ(progress.size(), 901u);
  EXPECT_EQ(progress.front(), std::make_pair(0, 900));
  EXPECT_EQ(progress[450], std::make_pair(450, 900));
  EXPECT_EQ(progress.back(), std::make_pair(900, 900));
  EXPECT_EQ(wall_.Cell(29, 29).state, 2);
}

TEST_F(WallCommandsTest, DissolveSurvivesTheWallShrinkingMidWalk) {
  pauser_.onPause = [this](int) {
    if (port_.writes.size() == 2) wall_.LayOut(1, 1);
  };
  commands_.Dissolve(1, 1, Context(0));
  EXPECT_EQ(port_.writes.size(), 2u);
}

// ---- power -------------------------------------------------------------------

TEST_F(WallCommandsTest, PowerOnWithoutDelayIsOneFrameForTheRectangle) {
  commands_.PowerOnWall(1, false, QStringLiteral("junk is not read"), Context(0));
  EXPECT_EQ(Frames(), QStringList{QStringLiteral("C8 09 01 01 02 02 10 01 E8")});
  EXPECT_EQ(pauser_.pauses, std::vector<int>{50});
}

TEST_F(WallCommandsTest, DelayedPowerOnSwitchesEachScreenInTurn) {
  std::vector<std::pair<int, int>> progress;
  commands_.progress = [&](int done, int total) { progress.emplace_back(done, total); };
  commands_.PowerOnWall(std::nullopt, true, QStringLiteral(" 3 "), Context(6));
  EXPECT_EQ(Frames(), (QStringList{QStringLiteral("C8 09 01 01 01 01 10 01 E6"),
                                   QStringLiteral("C8 09 01 02 01 02 10 01 E8"),
                                   QStringLiteral("C8 09 02 01 02 01 10 01 E8"),
                                   QStringLiteral("C8 09 02 02 02 02 10 01 EA")}));
  EXPECT_EQ(pauser_.pauses, (std::vector<int>{50, 3000, 50, 3000, 50, 3000, 50, 3000}));
  EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}}));
}

TEST_F(WallCommandsTest, DelayedPowerOnOfAUnitFamilyRepeatsTheUnitAddress) {
  commands_.PowerOnWall(std::nullopt, true, QStringLiteral("0"), Context(10, {0, 0, 1, 0}));
  EXPECT_EQ(Frames(), QStringList(2, QStringLiteral("C8 09 1D 01 1D 01 10 01 1E")));
  EXPECT_EQ(pauser_.pauses, (std::vector<int>{50, 0, 50, 0}));
}

TEST_F(WallCommandsTest, UnitFamiliesPowerTheirUnit) {
  commands_.PowerOffWall(std::nullopt, Context(7, {3, 3, 3, 3}));
  commands_.PowerOnWall(std::nullopt, false, {}, Context(10));
  commands_.PowerOffWall(std::nullopt, Context(7, {}));  // a cell must still be selected
  EXPECT_EQ(Frames(), (QStringList{QStringLiteral("C8 09 1E 1E 1E 1E 10 00 59"),
                                   QStringLiteral("C8 09 1D 01 1D 01 10 01 1E")}));
}

TEST_F(WallCommandsTest, BadDelaySendsAndChangesNothing) {
  protocol_.SetAddressMode(1, 0);
  for (const QString& text : {QStringLiteral("abc"), QString(), QStringLiteral("2.5"),
                              QStringLiteral("-1"), QStringLiteral("99999999")}) {
    EXPECT_THROW(commands_.PowerOnWall(3, true, text, Context(3)), TConversionError)
        << text.toStdString();
  }
  try {
    commands_.PowerOnWall(3, true, QStringLiteral("abc"), Context(3));
  } catch (const TConversionError& e) {
    EXPECT_EQ(e.Text(), QStringLiteral("'abc' is not a valid integer value"));
  }
  EXPECT_TRUE(port_.writes.empty());
  EXPECT_TRUE(pauser_.pauses.empty());
  EXPECT_EQ(protocol_.AddressModeTag(), 1);
}

TEST_F(WallCommandsTest, Qn22PowerFollowsThePublicChannel) {
  TWallContext ctx = Context(3);
  ctx.publicChannel = true;
  commands_.PowerOnWall(TWallCommands::PowerButtonTag(3), false, {}, ctx);
  EXPECT_EQ(Frames(), QStringList{QStringLiteral("C8 09 FF FF FF FF 10 01 DE")});
}

TEST_F(WallCommandsTest, PowerButtonTags) {
  const std::vector<std::optional<quint8>> expected = {1,  2,  {}, 3,  {}, {}, {},
                                                       {}, {}, {}, {}, {}, {}};
  for (quint8 family = 0; family < expected.size(); ++family)
    EXPECT_EQ(TWallCommands::PowerButtonTag(family), expected[family]) << int(family);
}

// ---- re-display, still picture, rotation --------------------------------------

TEST_F(WallCommandsTest, ReshowSendsTheLowByteOfEachValue) {
  const TReshowResult result =
      commands_.SendReshow(QStringLiteral("300"), QStringLiteral("10"), Context(0));
  EXPECT_TRUE(result.message.isEmpty());
  EXPECT_EQ(Frames(), (QStringList{QStringLiteral("C8 09 01 01 02 02 5A 2C 5D"),
                                   QStringLiteral("C8 09 01 01 02 02 5B 0A 3C")}));
  EXPECT_TRUE(commands_.RateSet());
}

TEST_F(WallCommandsTest, ReshowRefusesANonNumericHorizontalValue) {
  EXPECT_EQ(commands_.SendReshow(QStringLiteral("x"), QStringLiteral("1"), Context(0)).message,
            QStringLiteral("请输入水平数字"));
  commands_.SetChinese(false);
  EXPECT_EQ(commands_.SendReshow({}, QStringLiteral("1"), Context(0)).message,
            QStringLiteral("Please input number"));
  EXPECT_TRUE(port_.writes.empty());
  EXPECT_FALSE(commands_.RateSet());
}

TEST_F(WallCommandsTest, ReshowWithABadVerticalValueKeepsTheHorizontalOne) {
  const TReshowResult result =
      commands_.SendReshow(QStringLiteral("1"), QStringLiteral("v"), Context(0));
  EXPECT_EQ(result.message, QStringLiteral("请输入垂直数字"));
  EXPECT_EQ(port_.writes.size(), 1u);
  EXPECT_TRUE(commands_.RateSet());
  commands_.SetChinese(false);
  EXPECT_EQ(commands_.SendReshow(QStringLiteral("1"), QStringLiteral("v"), Context(0)).message,
            QStringLiteral("Please input number"));
}

TEST_F(WallCommandsTest, UntickingReshowResetsOnlyAfterConfirming) {
  commands_.ReshowUnticked(Context(0));
  EXPECT_TRUE(port_.writes.empty());

  commands_.SendReshow(QStringLiteral("5"), QStringLiteral("5"), Context(0));
  port_.writes.clear();
  commands_.ReshowUnticked(Context(0));
  EXPECT_EQ(Frames(), (QStringList{QStringLiteral("C8 09 01 01 02 02 5A 00 31"),
                                   QStringLiteral("C8 09 01 01 02 02 5B 00 32")}));
  EXPECT_FALSE(commands_.RateSet());
  commands_.ReshowUnticked(Context(0));
  EXPECT_EQ(port_.writes.size(), 2u);
}

TEST_F(WallCommandsTest, StillPicture) {
  commands_.StillPictureWall(Context(0));
  EXPECT_EQ(Frames(), QStringList{QStringLiteral("C8 09 01 01 02 02 73 01 4B")});
}

TEST_F(WallCommandsTest, RotationGoesToTheRotatingUnitWithoutPause) {
  commands_.RotateOutput(1);
  commands_.RotateOutput(4);
  commands_.RotateOutput(-1);
  EXPECT_EQ(Frames(), QStringList{QStringLiteral("C8 09 1D 01 1D 01 80 01 8E")});
  EXPECT_TRUE(pauser_.pauses.empty());
}

TEST_F(WallCommandsTest, RotationWithABadMatrixDelaySendsNothing) {
  send_.matrixDelay = []() -> std::optional<int> { return StrToInt(QStringLiteral("x")); };
  EXPECT_THROW(commands_.RotateOutput(1), TConversionError);
  EXPECT_TRUE(port_.writes.empty());
}

TEST_F(WallCommandsTest, NothingSelectedSendsNothingAnywhere) {
  const TWallContext none = Context(0, {});
  TWallContext qn22 = Context(3, {});
  qn22.publicChannel = true;
  EXPECT_FALSE(commands_.SourceButton(QStringLiteral("VGA"), 3, none));
  EXPECT_FALSE(commands_.CombineEntry(QStringLiteral("VGA"), 3, 3, qn22));
  EXPECT_FALSE(commands_.SelectSource(3, false, false, none));
  commands_.Dissolve(1, 1, none);
  commands_.Dissolve(0, std::nullopt, none);
  commands_.PowerOnWall(1, false, {}, none);
  commands_.PowerOnWall(1, true, QStringLiteral("3"), none);
  commands_.PowerOffWall(3, qn22);
  commands_.PowerOffWall(std::nullopt, Context(7, {}));
  commands_.SendReshow(QStringLiteral("1"), QStringLiteral("1"), none);
  commands_.ReshowUnticked(none);
  commands_.StillPictureWall(none);
  EXPECT_TRUE(port_.writes.empty());
  EXPECT_TRUE(pauser_.pauses.empty());
  EXPECT_TRUE(linkage_.isEmpty());
  EXPECT_EQ(wall_.ColourCounter(), 0);
  EXPECT_FALSE(protocol_.Broadcast());
}

// ---- scene recording ------------------------------------------------------------

TEST_F(WallCommandsTest, CombineRecordsItsItemBeforeTheFrame) {
  Record();
  commands_.SourceButton(QStringLiteral("VGA"), 3, Context(0));
  ASSERT_EQ(SceneSteps(), (QStringList{QStringLiteral("P1"), QStringLiteral("F")}));
  EXPECT_EQ(recorder_.steps[0].subKind, 3);
  EXPECT_EQ(recorder_.steps[0].name, QStringLiteral("VGA"));
  EXPECT_EQ(Hex(recorder_.steps[1].bytes), QStringLiteral("C8 09 01 01 02 02 20 02 F9"));
}

TEST_F(WallCommandsTest, EachActionRecordsItsKindOfStep) {
  Record();
  commands_.Dissolve(1, 1, Context(0, {0, 0, 1, 0}));
  commands_.PowerOnWall(std::nullopt, true, QStringLiteral("2"), Context(0, {0, 0, 1, 0}));
  commands_.PowerOffWall(std::nullopt, Context(0));
  commands_.SendReshow(QStringLiteral("1"), QStringLiteral("2"), Context(0));
  commands_.StillPictureWall(Context(0));
  commands_.SelectSource(3, true, false, Context(7));
  commands_.RotateOutput(0);
  EXPECT_EQ(
      SceneSteps(),
      (QStringList{
          // dissolve of two cells
          QStringLiteral("P2"), QStringLiteral("F"), QStringLiteral("P2"), QStringLiteral("F"),
          // delayed power-on of two cells
          QStringLiteral("P3"), QStringLiteral("F"), QStringLiteral("D2=2"), QStringLiteral("P3"),
          QStringLiteral("F"), QStringLiteral("D2=2"),
          // power off, re-display (two frames), still picture
          QStringLiteral("P3"), QStringLiteral("F"), QStringLiteral("P3"), QStringLiteral("F"),
          QStringLiteral("P3"), QStringLiteral("F"), QStringLiteral("P3"), QStringLiteral("F"),
          // a panel's selection is a plain command; rotation a switcher frame
          QStringLiteral("P3"), QStringLiteral("F"), QStringLiteral("S")}));
}

TEST_F(WallCommandsTest, NotRecordingPreparesNothing) {
  Record();
  recorder_.recording = false;
  commands_.SourceButton(QStringLiteral("VGA"), 3, Context(0));
  commands_.PowerOnWall(std::nullopt, true, QStringLiteral("1"), Context(0));
  EXPECT_TRUE(recorder_.steps.empty());
}

}  // namespace
