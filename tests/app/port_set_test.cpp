#include "app/port_set.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <memory>

#include "support/event_wait.h"
#include "support/pty_pair.h"
#include "support/temp_home.h"

using namespace Qt::StringLiterals;

namespace {

constexpr TPortId kAll[] = {TPortId::Combine,   TPortId::Matrix, TPortId::VGAMatrix,
                            TPortId::DVIMatrix, TPortId::DVR,    TPortId::Sniff};

// Six ports on ptys reached as COM1..COM6 through the ports directory.
class PortSetToggleTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir().mkpath(home.File(u"ports"_s)));
    for (int i = 0; i < 6; ++i) {
      ptys[i] = std::make_unique<TPtyPair>();
      ASSERT_TRUE(ptys[i]->IsValid());
      Link(i, ptys[i]->SlavePath());
      set.Port(kAll[i]).SetCommName(u"COM%1"_s.arg(i + 1));
    }
  }
  void Link(int i, const QString& target) {
    const QString entry = home.File(u"ports/COM%1"_s.arg(i + 1));
    QFile::remove(entry);
    ASSERT_TRUE(QFile::link(target, entry));
  }
  // A link that points nowhere: the port name resolves but cannot open.
  void Break(int i) { Link(i, home.File(u"nowhere"_s)); }
  void EnableAll() {
    for (TPortId id : kAll) set.SetEnabled(id, true);
  }

  TTempHome home;
  std::unique_ptr<TPtyPair> ptys[6];
  TPortSet set;
};

TEST_F(PortSetToggleTest, OpensTheFiveFlaggedPortsButNeverTheListeningPort) {
  EnableAll();
  EXPECT_TRUE(set.OpenForToggle().empty());
  for (TPortId id : kAll) EXPECT_EQ(set.Port(id).IsOpen(), id != TPortId::Sniff);
  for (TPortId id : kAll) EXPECT_TRUE(set.Enabled(id));
}

TEST_F(PortSetToggleTest, FlagOffIsSkipped) {
  set.SetEnabled(TPortId::Combine, true);
  set.SetEnabled(TPortId::DVR, true);
  EXPECT_TRUE(set.OpenForToggle().empty());
  EXPECT_TRUE(set.Port(TPortId::Combine).IsOpen());
  EXPECT_FALSE(set.Port(TPortId::Matrix).IsOpen());
  EXPECT_TRUE(set.Port(TPortId::DVR).IsOpen());
}

TEST_F(PortSetToggleTest, EachFailureIsReportedInOrderAndTheOthersStillOpen) {
  EnableAll();
  Break(1);
  Break(3);
  set.Port(TPortId::DVR).SetCommName(QString());  // a flag with no name fails too
  const auto failures = set.OpenForToggle();
  ASSERT_EQ(failures.size(), 3u);
  EXPECT_EQ(failures[0].id, TPortId::Matrix);
  EXPECT_EQ(failures[0].name, u"COM2"_s);
  EXPECT_EQ(failures[1].id, TPortId::DVIMatrix);
  EXPECT_EQ(failures[1].name, u"COM4"_s);
  EXPECT_EQ(failures[2].id, TPortId::DVR);
  EXPECT_EQ(failures[2].name, QString());
  EXPECT_TRUE(set.Port(TPortId::Combine).IsOpen());
  EXPECT_TRUE(set.Port(TPortId::VGAMatrix).IsOpen());
  EXPECT_FALSE(set.Enabled(TPortId::Matrix));
  EXPECT_FALSE(set.Enabled(TPortId::DVIMatrix));
  EXPECT_FALSE(set.Enabled(TPortId::DVR));
  EXPECT_TRUE(set.Enabled(TPortId::VGAMatrix));

  // A port that lost its flag is not tried again.
  set.CloseForToggle();
  EXPECT_TRUE(set.OpenForToggle().empty());
}

TEST_F(PortSetToggleTest, AlreadyOpenPortCountsAsOpened) {
  set.SetEnabled(TPortId::Combine, true);
  set.Port(TPortId::Combine).StartComm();
  EXPECT_TRUE(set.OpenForToggle().empty());
  EXPECT_TRUE(set.Enabled(TPortId::Combine));
  EXPECT_TRUE(set.Port(TPortId::Combine).IsOpen());
}

TEST_F(PortSetToggleTest, ALostLineIsClosedAndTheToggleOpensItAgain) {
  EnableAll();
  ASSERT_TRUE(set.OpenForToggle().empty());
  set.Port(TPortId::Sniff).StartComm();
  for (int i = 0; i < 6; ++i) {  // every one of the six lines
    ptys[i]->CloseMaster();
    ASSERT_TRUE(ProcessEventsUntil([&] { return set.Lost(kAll[i]); }));
    EXPECT_FALSE(set.Port(kAll[i]).IsOpen() || set.Enabled(kAll[i]));
    ptys[i] = std::make_unique<TPtyPair>();  // the device comes back
    Link(i, ptys[i]->SlavePath());
  }
  EXPECT_FALSE(set.AnyToggledPortOpen());
  EXPECT_TRUE(set.OpenForToggle().empty());
  for (TPortId id : kAll) EXPECT_TRUE(set.Port(id).IsOpen() && set.Enabled(id) && !set.Lost(id));
  ASSERT_TRUE(set.Port(TPortId::Combine).WriteCommData("ok", 2));
  EXPECT_EQ(ptys[0]->Read(2), QByteArray("ok"));
}

TEST_F(PortSetToggleTest, CloseLeavesTheListeningPortAndUnflaggedPortsOpen) {
  for (TPortId id : kAll) set.Port(id).StartComm();
  EnableAll();
  set.SetEnabled(TPortId::VGAMatrix, false);
  set.CloseForToggle();
  for (TPortId id : kAll)
    EXPECT_EQ(set.Port(id).IsOpen(), id == TPortId::Sniff || id == TPortId::VGAMatrix);
}

struct BaudCase {
  const char* bps;
  bool accepted;
  quint32 baud;
};

class ApplySettingsBaudTest : public testing::TestWithParam<BaudCase> {};

TEST_P(ApplySettingsBaudTest, OnlyAPositiveNumberIsARate) {
  const BaudCase& c = GetParam();
  TComm port;
  port.SetBaudRate(4800);
  TPortSettings s;
  s.name = u"COM9"_s;
  s.bps = QString::fromLatin1(c.bps);
  EXPECT_EQ(TPortSet::ApplySettings(port, s), c.accepted) << c.bps;
  EXPECT_EQ(port.BaudRate(), c.baud) << c.bps;
  // A rejected setting leaves the port as it was, name included.
  EXPECT_EQ(port.CommName(), c.accepted ? u"COM9"_s : u"COM2"_s);
}

INSTANTIATE_TEST_SUITE_P(Table, ApplySettingsBaudTest,
                         testing::Values(BaudCase{"19200", true, 19200},
                                         BaudCase{" 115200 ", true, 115200},
                                         BaudCase{"fast", false, 4800}, BaudCase{"", false, 4800},
                                         BaudCase{"0", false, 4800}, BaudCase{"-9600", false, 4800},
                                         BaudCase{"9600bps", false, 4800},
                                         BaudCase{"99999999999", false, 4800}));

}  // namespace
