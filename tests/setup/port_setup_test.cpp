#include "setup/port_setup.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/profile_file.h"
#include "support/rewrite_count.h"

using namespace Qt::StringLiterals;

namespace {

QString i(const char* latin1) { return QString::fromLatin1(latin1); }

constexpr TPortId kAll[] = {TPortId::Combine,   TPortId::Matrix, TPortId::VGAMatrix,
                            TPortId::DVIMatrix, TPortId::DVR,    TPortId::Sniff};

class PortSetupTest : public testing::Test {
 protected:
  QString Stored(const QString& key) const {
    return TProfileFile(path).ReadString(u"COM"_s, key, u"(none)"_s);
  }
  // Six used lines on COM1..COM6, each with its own settings.
  static TPortSetupValues SixLines() {
    TPortSetupValues v;
    int n = 0;
    for (TPortId id : kAll)
      v.Port(id) = {true, u"COM%1"_s.arg(++n), u"19200"_s, u"7"_s, u"2"_s, n % 3};
    v.signalType = 4;
    v.chooseMatrix = true;
    v.channelList = 17;
    v.cmdLen = 0;
    return v;
  }

  QTemporaryDir dir;
  QString path = dir.filePath(u"Quvial.ini"_s);
  TIniParamsOp ini{path};
};

TEST_F(PortSetupTest, OkWritesEveryKeyInOrderInOneRewriteAndReadsThemBack) {
  const TPortSetupValues values = SixLines();
  TRewriteCount rewrites(path);
  ASSERT_TRUE(rewrites.IsValid());
  PortSetup::Write(ini, values);
  EXPECT_EQ(rewrites.Count(), 1);
  QStringList order;
  for (const char* p : {"Combine", "Matrix", "VGAMatrix", "DVIMatrix", "DVR", "Sniff"}) {
    const QString prefix = i(p) == u"Combine"_s ? QString() : i(p);
    order << i(p) + u"COMPortChecked"_s;
    for (const char* key : {"COMPort", "BPS", "DataBit", "StopBit", "Check"})
      order << prefix + i(key);
  }
  order << u"SignalType"_s << u"ChooseMatrix"_s << u"ChannelList"_s << u"CmdLen"_s;
  EXPECT_EQ(TProfileFile(path).ReadSection(u"COM"_s), order);

  const TPortSetupValues back = PortSetup::Read(ini);
  const TPortChoice &a = back.Port(TPortId::Sniff), &b = values.Port(TPortId::Sniff);
  EXPECT_EQ(std::tie(a.used, a.name, a.bps, a.dataBit, a.stopBit, a.check, back.signalType,
                     back.chooseMatrix, back.channelList, back.cmdLen),
            std::tie(b.used, b.name, b.bps, b.dataBit, b.stopBit, b.check, values.signalType,
                     values.chooseMatrix, values.channelList, values.cmdLen));
}

TEST_F(PortSetupTest, UnusedLinesAndUnsetSelectorsKeepTheirStoredKeys) {
  PortSetup::Write(ini, SixLines());
  const QStringList kept{u"COMPort"_s,    u"BPS"_s,    u"DataBit"_s,  u"StopBit"_s,    u"Check"_s,
                         u"DVRCOMPort"_s, u"DVRBPS"_s, u"DVRCheck"_s, u"ChannelList"_s};
  QStringList before, after;
  for (const QString& key : kept) before << Stored(key);
  TPortSetupValues v = SixLines();
  v.Port(TPortId::DVR).used = false;
  v.Port(TPortId::DVR).name = u"COM9"_s;
  v.Port(TPortId::Combine) = {true, {}, {}, {}, {}, -1};  // nothing chosen
  v.chooseMatrix = false;
  v.channelList = 3;
  TRewriteCount rewrites(path);
  PortSetup::Write(ini, v);
  EXPECT_EQ(rewrites.Count(), 1);
  for (const QString& key : kept) after << Stored(key);
  EXPECT_EQ(after, before);
  EXPECT_EQ(Stored(u"DVRCOMPortChecked"_s) + Stored(u"CombineCOMPortChecked"_s) +
                Stored(u"ChooseMatrix"_s),
            u"010"_s);
}

TEST(PortConflictTest, ThreePairsAreCheckedInOrder) {
  struct {
    const char *combine, *video, *vga, *dvr;  // port names; "" for an unused line
    const char16_t* message;                  // nullptr: no conflict
  } const cases[] = {
      {"COM1", "COM1", "", "", u"拼接串口和VIDEO矩阵串口不能使用同一个"},
      {"COM1", "COM2", "", "COM1", u"拼接串口和DVR串口不能使用同一个"},
      {"COM1", "COM2", "", "COM2", u"DVR串口和VIDEO矩阵串口不能使用同一个"},
      {"COM3", "COM3", "", "COM3", u"拼接串口和VIDEO矩阵串口不能使用同一个"},
      {"COM1", "", "COM1", "", nullptr},  // the VGA line is not checked
      {"COM1", "", "", "", nullptr},      // an unused line holds no port
  };
  for (const auto& c : cases) {
    TPortSetupValues v;
    for (auto [id, name] : {std::pair{TPortId::Combine, c.combine},
                            {TPortId::Matrix, c.video},
                            {TPortId::VGAMatrix, c.vga},
                            {TPortId::DVR, c.dvr}}) {
      v.Port(id).used = name[0] != 0;
      v.Port(id).name = name[0] ? i(name) : u"COM1"_s;
    }
    const auto found = PortSetup::FindConflict(v);
    ASSERT_EQ(found.has_value(), c.message != nullptr) << c.combine << c.video << c.dvr;
    if (!found) continue;
    EXPECT_EQ(PortSetup::ConflictMessage(*found, true), QString::fromUtf16(c.message));
    EXPECT_TRUE(PortSetup::ConflictMessage(*found, false).endsWith(u"cannot be the same"_s));
  }
  TPortSetupValues unnamed;  // two used lines without a port share nothing
  unnamed.Port(TPortId::Combine).used = unnamed.Port(TPortId::Matrix).used = true;
  EXPECT_FALSE(PortSetup::FindConflict(unnamed));
}

}  // namespace
