#include "app/port_status.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TPortLines Lines(std::initializer_list<std::pair<TPortId, QString>> flagged) {
  TPortLines lines;
  for (const auto& [id, name] : flagged) lines[static_cast<std::size_t>(id)] = {true, name};
  return lines;
}

struct StatusCase {
  const char* what;
  bool connected;
  bool chinese;
  TPortLines ports;
  QString expected;
};

class PortStatusTextTest : public testing::TestWithParam<StatusCase> {};

TEST_P(PortStatusTextTest, ShowsFlaggedPortsWithTheirStateWord) {
  const StatusCase& c = GetParam();
  EXPECT_EQ(PortStatusText(c.connected, c.chinese, c.ports), c.expected) << c.what;
}

const TPortLines kAllSix = Lines({{TPortId::Combine, u"COM1"_s},
                                  {TPortId::Matrix, u"COM2"_s},
                                  {TPortId::VGAMatrix, u"COM3"_s},
                                  {TPortId::DVIMatrix, u"COM4"_s},
                                  {TPortId::DVR, u"COM5"_s},
                                  {TPortId::Sniff, u"COM6"_s}});
const TPortLines kAllSixUnnamed = Lines({{TPortId::Combine, {}},
                                         {TPortId::Matrix, {}},
                                         {TPortId::VGAMatrix, {}},
                                         {TPortId::DVIMatrix, {}},
                                         {TPortId::DVR, {}},
                                         {TPortId::Sniff, {}}});

INSTANTIATE_TEST_SUITE_P(
    Table, PortStatusTextTest,
    testing::Values(
        StatusCase{"connected Chinese splicer and VIDEO", true, true,
                   Lines({{TPortId::Combine, u"COM1"_s}, {TPortId::Matrix, u"COM2"_s}}),
                   u"拼接串口COM1连接 VIDEO矩阵串口COM2连接"_s},
        StatusCase{"all flags off, connected", true, true, TPortLines{}, QString()},
        StatusCase{"all flags off, disconnected", false, false, TPortLines{}, QString()},
        StatusCase{"flag off hides a named port", true, true,
                   [] {
                     TPortLines l;
                     l[0] = {false, u"COM1"_s};
                     return l;
                   }(),
                   QString()},
        StatusCase{"English VIDEO without a name", true, false, Lines({{TPortId::Matrix, {}}}),
                   u" VIDEO Matrix PortDisConnnect"_s},
        StatusCase{"connected Chinese, every port", true, true, kAllSix,
                   u"拼接串口COM1连接 VIDEO矩阵串口COM2连接 VGA矩阵串口COM3连接"
                   u" DVI矩阵串口COM4连接 DVR串口COM5连接 侦听串口COM6连接"_s},
        StatusCase{"connected English, every port", true, false, kAllSix,
                   u"Combine PortCOM1Connect VIDEO Matrix PortCOM2Connect"
                   u" VGA Matrix PortCOM3Connect DVI Matrix PortCOM4Connect"
                   u" DVR PortCOM5Connect Sniff PortCOM6Connect"_s},
        StatusCase{"connected English, no names: two spellings", true, false, kAllSixUnnamed,
                   u"Combine PortDisConnect VIDEO Matrix PortDisConnnect"
                   u" VGA Matrix PortDisConnnect DVI Matrix PortDisConnnect"
                   u" DVR PortDisConnnect Sniff PortDisConnect"_s},
        StatusCase{"connected Chinese, no names", true, true, kAllSixUnnamed,
                   u"拼接串口断开 VIDEO矩阵串口断开 VGA矩阵串口断开 DVI矩阵串口断开"
                   u" DVR串口断开 侦听串口断开"_s},
        StatusCase{"disconnected Chinese lists named ports only", false, true,
                   Lines({{TPortId::Combine, u"COM1"_s},
                          {TPortId::Matrix, {}},
                          {TPortId::DVR, u"COM5"_s}}),
                   u"拼接串口COM1断开 DVR串口COM5断开"_s},
        StatusCase{"disconnected English keeps one spelling", false, false, kAllSix,
                   u"Combine PortCOM1DisConnect VIDEO Matrix PortCOM2DisConnect"
                   u" VGA Matrix PortCOM3DisConnect DVI Matrix PortCOM4DisConnect"
                   u" DVR PortCOM5DisConnect Sniff PortCOM6DisConnect"_s},
        StatusCase{"disconnected, no names at all", false, true, kAllSixUnnamed, QString()}));

struct CellCase {
  int rows;
  int cols;
  std::vector<bool> registered;
  QString expected;
};

class CellTableStatusTest : public testing::TestWithParam<CellCase> {};

TEST_P(CellTableStatusTest, ListsEveryCellRowByRow) {
  const CellCase& c = GetParam();
  EXPECT_EQ(CellTableStatusText(c.rows, c.cols, c.registered), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CellTableStatusTest,
    testing::Values(CellCase{1, 2, {true, false}, u"[0-0]连接 [0-1]未连接 "_s},
                    CellCase{2,
                             2,
                             {false, true, true, false},
                             u"[0-0]未连接 [0-1]连接 [1-0]连接 [1-1]未连接 "_s},
                    // A table shorter than the wall (not yet sized) reads as unregistered.
                    CellCase{1, 3, {true}, u"[0-0]连接 [0-1]未连接 [0-2]未连接 "_s},
                    CellCase{0, 0, {}, QString()}, CellCase{-1, 4, {true}, QString()}));

TEST(CellTableStatus, TwoDigitIndexesOfTheLargestWall) {
  std::vector<bool> registered(30 * 30, false);
  registered.back() = true;
  const QString text = CellTableStatusText(30, 30, registered);
  EXPECT_TRUE(text.endsWith(u"[29-28]未连接 [29-29]连接 "_s));
  EXPECT_EQ(text.count(u"未连接"_s), 899);
}

struct MessageCase {
  TToggleAction action;
  TPortId port;
  bool chinese;
  QString expected;
};

class ToggleMessageTest : public testing::TestWithParam<MessageCase> {};

TEST_P(ToggleMessageTest, IsPrefixNameAndSuffix) {
  const MessageCase& c = GetParam();
  EXPECT_EQ(ToggleFailureMessage(c.action, c.port, u"COM3"_s, c.chinese), c.expected);
}

using A = TToggleAction;
using P = TPortId;
INSTANTIATE_TEST_SUITE_P(
    Table, ToggleMessageTest,
    testing::Values(MessageCase{A::Open, P::Combine, true, u"打开拼接串口 COM3 失败"_s},
                    MessageCase{A::Open, P::Combine, false, u"Open Combine COM COM3 Error"_s},
                    MessageCase{A::Open, P::Matrix, true, u"打开VIDEO矩阵串口 COM3 失败"_s},
                    MessageCase{A::Open, P::Matrix, false, u"Open VIDEO Matrix COM COM3 Error"_s},
                    MessageCase{A::Open, P::VGAMatrix, true, u"打开VGA矩阵串口 COM3 失败"_s},
                    MessageCase{A::Open, P::VGAMatrix, false, u"Open VGA Matrix COM COM3 Error"_s},
                    MessageCase{A::Open, P::DVIMatrix, true, u"打开DVI矩阵串口 COM3 失败"_s},
                    MessageCase{A::Open, P::DVIMatrix, false, u"Open DVI Matrix COM COM3 Error"_s},
                    MessageCase{A::Open, P::DVR, true, u"打开DVR串口 COM3 失败"_s},
                    MessageCase{A::Open, P::DVR, false, u"Open DVR COM COM3 Error"_s},
                    MessageCase{A::Close, P::Combine, true, u"关闭拼接串口 COM3 失败"_s},
                    MessageCase{A::Close, P::Combine, false, u"Close combine COM COM3 Error"_s},
                    MessageCase{A::Close, P::Matrix, false, u"Close VIDEO Matrix COM COM3 Error"_s},
                    MessageCase{A::Close, P::VGAMatrix, true, u"关闭VGA矩阵串口 COM3 失败"_s},
                    MessageCase{A::Close, P::DVIMatrix, false,
                                u"Close DVI Matrix COM COM3 Error"_s},
                    MessageCase{A::Close, P::DVR, true, u"关闭DVR串口 COM3 失败"_s},
                    MessageCase{A::Close, P::DVR, false, u"Close DVR COM COM3 Error"_s},
                    // The toggle opens the listening port only after its line
                    // was lost, and never closes it.
                    MessageCase{A::Open, P::Sniff, false, u"Open Sniff COM COM3 Error"_s},
                    MessageCase{A::Close, P::Sniff, false, QString()}));

TEST(LineLostMessage, NamesTheLineInEnglishToo) {  // the Chinese form: the window test
  EXPECT_TRUE(LineLostMessage(P::DVR, u"COM5"_s, false).startsWith(u"DVR Port COM5 was disc"_s));
}

TEST(ToggleMessage, EmptyDeviceNameLeavesTwoBlanks) {
  EXPECT_EQ(ToggleFailureMessage(TToggleAction::Open, TPortId::Combine, QString(), true),
            u"打开拼接串口  失败"_s);
}

struct LevelCase {
  int level;
  QString chinese;
  QString english;
  bool opensSetup;
};

class AccessLevelTest : public testing::TestWithParam<LevelCase> {};

TEST_P(AccessLevelTest, NamesTheLevelAndWhatItOpens) {
  const LevelCase& c = GetParam();
  EXPECT_EQ(AccessLevelText(c.level, true), c.chinese);
  EXPECT_EQ(AccessLevelText(c.level, false), c.english);
  EXPECT_EQ(LevelOpensSetup(c.level), c.opensSetup);
}

INSTANTIATE_TEST_SUITE_P(Table, AccessLevelTest,
                         testing::Values(LevelCase{1, u"管理员"_s, u"Manager"_s, true},
                                         LevelCase{2, u"普通操作员"_s, u"Operator"_s, false},
                                         LevelCase{3, u"超级管理员"_s, u"Super Manager"_s, true},
                                         LevelCase{0, QString(), QString(), false},
                                         LevelCase{4, QString(), QString(), false}));

}  // namespace
