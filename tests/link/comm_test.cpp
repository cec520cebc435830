#include "link/comm.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <memory>
#include <vector>

#include "link/line_speed.h"
#include "support/event_wait.h"
#include "support/pty_pair.h"

namespace {

// A port set up as the main window sets its ports (no flow control, DTR and
// RTS off) on one end of a pty pair; the test is the device on the other end.
class CommTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.IsValid());
    comm.SetCommName(pty.SlavePath());
    comm.SetDtrControl(TDtrControl::DtrDisable);
    comm.SetRtsControl(TRtsControl::RtsDisable);
    comm.SetOutx_XonXoffFlow(false);
    comm.SetInx_XonXoffFlow(false);
    comm.OnReceiveData = [this](TComm* sender, const char* data, quint16 count) {
      EXPECT_EQ(sender, &comm);
      if (data[count] != 0) unterminatedChunks++;
      chunks.emplace_back(data, count);
    };
  }

  void TearDown() override { comm.StopComm(); }

  QByteArray Received() const {
    QByteArray all;
    for (const auto& c : chunks) all += c;
    return all;
  }

  bool WaitForBytes(qsizetype count, int timeoutMs = 5000) {
    return ProcessEventsUntil([&] { return Received().size() >= count; }, timeoutMs);
  }

  termios SlaveSetting() const {
    termios t{};
    EXPECT_EQ(::tcgetattr(pty.SlaveFd(), &t), 0);
    return t;
  }

  TPtyPair pty;
  TComm comm;
  std::vector<QByteArray> chunks;
  int unterminatedChunks = 0;
};

QByteArray Frame(int i) {
  QByteArray frame(9, '\0');
  for (int k = 0; k < 9; ++k) frame[k] = char((i * 9 + k) & 0xFF);
  return frame;
}

TEST_F(CommTest, OpensInRawBinaryModeWithTheLineSetting) {
  comm.StartComm();
  ASSERT_TRUE(comm.IsOpen());
  EXPECT_EQ(comm.DevicePath(), pty.SlavePath());
  EXPECT_TRUE(comm.SendDataEmpty());
  const termios t = SlaveSetting();
  EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
  EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), tcflag_t(0));
  EXPECT_EQ(t.c_iflag & (ICRNL | IXON | IXOFF | ISTRIP), tcflag_t(0));
  EXPECT_EQ(t.c_oflag & OPOST, tcflag_t(0));
  EXPECT_EQ(::cfgetospeed(&t), speed_t(B9600));
}

TEST_F(CommTest, ManyWritesArriveWholeAndInCallOrder) {
  int emptyNotices = 0;
  comm.OnSendDataEmpty = [&](TComm* sender) {
    EXPECT_EQ(sender, &comm);
    emptyNotices++;
  };
  comm.StartComm();
  QByteArray expected;
  char buffer[9];
  for (int i = 0; i < 300; ++i) {
    const QByteArray frame = Frame(i);
    memcpy(buffer, frame.constData(), 9);
    ASSERT_TRUE(comm.WriteCommData(buffer, 9));
    memset(buffer, 0xEE, sizeof buffer);  // the caller may reuse its buffer at once
    expected += frame;
  }
  EXPECT_EQ(pty.Read(expected.size()), expected);
  EXPECT_TRUE(ProcessEventsUntil([&] { return emptyNotices > 0 && comm.SendDataEmpty(); }));
}

TEST_F(CommTest, WaitWrittenReturnsOnceTheQueueHasGoneToTheDevice) {
  comm.StartComm();
  const QByteArray frame = Frame(1);
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(comm.WriteCommData(frame.constData(), 9));
  comm.WaitWritten(5000);
  EXPECT_TRUE(comm.SendDataEmpty());
  // Everything is already in the device: the far end reads it without more waiting.
  EXPECT_EQ(pty.Read(50 * 9, 100).size(), 50 * 9);
  comm.StopComm();
  comm.WaitWritten(5000);  // a closed port has nothing to wait for
}

TEST_F(CommTest, AWriteWithNothingQueuedIsOnTheDeviceWhenItReturns) {
  comm.StartComm();
  ASSERT_TRUE(comm.WriteCommData(Frame(7).constData(), 9));
  // Written by the caller: nothing waits for the writer thread.
  EXPECT_TRUE(comm.SendDataEmpty());
  EXPECT_EQ(pty.Read(9, 1000), Frame(7));
}

TEST_F(CommTest, WriteOfNothingOrOnAClosedPortIsRefused) {
  const char byte = 'x';
  EXPECT_FALSE(comm.WriteCommData(&byte, 1));  // closed
  comm.StartComm();
  EXPECT_FALSE(comm.WriteCommData(&byte, 0));
  EXPECT_FALSE(comm.WriteCommData(nullptr, 5));
  EXPECT_TRUE(comm.SendDataEmpty());
  EXPECT_TRUE(pty.ReadUntilQuiet(150).isEmpty());
  comm.StopComm();
  EXPECT_FALSE(comm.WriteCommData(&byte, 1));
  comm.StopComm();  // closing a closed port does nothing
  EXPECT_FALSE(comm.IsOpen());
  EXPECT_TRUE(comm.SendDataEmpty());
}

TEST_F(CommTest, BytesWithShortGapsMakeOneChunkAndALongGapSplits) {
  comm.StartComm();
  ASSERT_TRUE(pty.Write("ABC"));
  QThread::msleep(20);
  ASSERT_TRUE(pty.Write("DEF"));
  QThread::msleep(20);
  ASSERT_TRUE(pty.Write("GHI"));
  QThread::msleep(300);
  ASSERT_TRUE(pty.Write("JKL"));
  ASSERT_TRUE(WaitForBytes(12));
  ProcessEventsFor(50);
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(chunks[0], QByteArray("ABCDEFGHI"));
  EXPECT_EQ(chunks[1], QByteArray("JKL"));
  EXPECT_EQ(unterminatedChunks, 0);
}

TEST_F(CommTest, ALongerIntervalTimeoutSetWhileOpenJoinsSlowerBytes) {
  comm.StartComm();
  comm.SetReadIntervalTimeout(1500);
  ASSERT_TRUE(pty.Write("12"));
  QThread::msleep(300);
  ASSERT_TRUE(pty.Write("34"));
  ASSERT_TRUE(WaitForBytes(4));
  ASSERT_EQ(chunks.size(), 1u);
  EXPECT_EQ(chunks[0], QByteArray("1234"));
}

TEST_F(CommTest, ATotalReadTimeoutEndsAChunkThatKeepsGrowing) {
  comm.SetReadTotalTimeoutConstant(150);
  comm.StartComm();
  QByteArray sent;
  for (int i = 0; i < 20; ++i) {
    sent += char('a' + i);
    ASSERT_TRUE(pty.Write(sent.right(1)));
    QThread::msleep(30);
  }
  ASSERT_TRUE(WaitForBytes(sent.size()));
  EXPECT_EQ(Received(), sent);
  EXPECT_GE(chunks.size(), 2u);
}

TEST_F(CommTest, ABigBurstArrivesInChunksOfAtMost2048EachFollowedByAZero) {
  comm.StartComm();
  QByteArray burst(5000, '\0');
  for (int i = 0; i < burst.size(); ++i) burst[i] = char((i * 7 + 1) & 0xFF);
  ASSERT_TRUE(pty.Write(burst));
  ASSERT_TRUE(WaitForBytes(burst.size()));
  EXPECT_EQ(Received(), burst);
  EXPECT_GE(chunks.size(), 3u);
  for (const auto& chunk : chunks) EXPECT_LE(chunk.size(), 2048);
  EXPECT_EQ(unterminatedChunks, 0);
}

TEST_F(CommTest, IgnoreNullCharDropsZeroBytes) {
  comm.SetIgnoreNullChar(true);
  comm.StartComm();
  ASSERT_TRUE(pty.Write(QByteArray("\0A\0\0B\0", 6)));
  ASSERT_TRUE(WaitForBytes(2));
  ProcessEventsFor(200);
  EXPECT_EQ(Received(), QByteArray("AB"));
}

TEST_F(CommTest, OpeningAnOpenPortFailsAndLeavesItWorking) {
  comm.StartComm();
  try {
    comm.StartComm();
    FAIL() << "second StartComm did not throw";
  } catch (const ECommsError& e) {
    EXPECT_EQ(e.Text(), QStringLiteral("This serial port already opened"));
    EXPECT_STREQ(e.what(), "This serial port already opened");
  }
  EXPECT_TRUE(comm.IsOpen());
  ASSERT_TRUE(comm.WriteCommData("ok", 2));
  EXPECT_EQ(pty.Read(2), QByteArray("ok"));
  ASSERT_TRUE(pty.Write("in"));
  EXPECT_TRUE(WaitForBytes(2));
}

struct TOpenFailure {
  const char* what;
  QString name;  // "%dir%" stands for a temporary directory
  QString expected;
};

class CommOpenFailureTest : public ::testing::TestWithParam<TOpenFailure> {};

TEST_P(CommOpenFailureTest, RaisesTheTextAndStaysClosed) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile plain(dir.filePath(QStringLiteral("plain")));
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.write("not a port");
  plain.close();

  TComm comm;
  comm.SetCommName(QString(GetParam().name).replace(QStringLiteral("%dir%"), dir.path()));
  try {
    comm.StartComm();
    FAIL() << GetParam().what << " opened";
  } catch (const ECommsError& e) {
    EXPECT_EQ(e.Text(), GetParam().expected) << GetParam().what;
  }
  EXPECT_FALSE(comm.IsOpen());
  EXPECT_FALSE(comm.WriteCommData("x", 1));
  comm.StopComm();  // nothing to do, nothing to break
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CommOpenFailureTest,
    ::testing::Values(TOpenFailure{"missing device", QStringLiteral("%dir%/missing"),
                                   QStringLiteral("Error opening serial port")},
                      TOpenFailure{"empty name", QString(),
                                   QStringLiteral("Error opening serial port")},
                      TOpenFailure{"a directory", QStringLiteral("%dir%"),
                                   QStringLiteral("Error opening serial port")},
                      TOpenFailure{"null device", QStringLiteral("/dev/null"),
                                   QStringLiteral("File handle is not a comm handle ")},
                      TOpenFailure{"regular file", QStringLiteral("%dir%/plain"),
                                   QStringLiteral("File handle is not a comm handle ")}));

TEST_F(CommTest, ASecondPortObjectCannotTakeAnOpenDevice) {
  comm.StartComm();
  TComm second;
  second.SetCommName(pty.SlavePath());
  try {
    second.StartComm();
    FAIL() << "the device was opened twice";
  } catch (const ECommsError& e) {
    EXPECT_EQ(e.Text(), QStringLiteral("Error opening serial port"));
  }
  EXPECT_FALSE(second.IsOpen());
  ASSERT_TRUE(comm.WriteCommData("still", 5));
  EXPECT_EQ(pty.Read(5), QByteArray("still"));

  comm.StopComm();
  EXPECT_NO_THROW(second.StartComm());  // released on close
  EXPECT_TRUE(second.IsOpen());
}

TEST_F(CommTest, AReopenedPortReadsAndWritesAgain) {
  comm.StartComm();
  comm.StopComm();
  EXPECT_FALSE(comm.IsOpen());
  comm.StartComm();
  ASSERT_TRUE(comm.WriteCommData("again", 5));
  EXPECT_EQ(pty.Read(5), QByteArray("again"));
  ASSERT_TRUE(pty.Write("back"));
  ASSERT_TRUE(WaitForBytes(4));
  EXPECT_EQ(Received(), QByteArray("back"));
}

TEST_F(CommTest, BaudRateChangeOnAnOpenPortTakesEffectAtOnce) {
  comm.StartComm();
  comm.SetBaudRate(19200);
  const termios t = SlaveSetting();
  EXPECT_EQ(::cfgetospeed(&t), speed_t(B19200));
  EXPECT_EQ(LineSpeed(pty.SlaveFd()), 19200u);
}

TEST_F(CommTest, SettingTheSameValueDoesNotReapplyButANewOneReappliesEverything) {
  comm.SetBaudRate(19200);
  comm.StartComm();
  // Someone else changes the device behind the port's back.
  termios t = SlaveSetting();
  ::cfsetospeed(&t, B38400);
  ::cfsetispeed(&t, B38400);
  ASSERT_EQ(::tcsetattr(pty.SlaveFd(), TCSANOW, &t), 0);

  comm.SetBaudRate(19200);
  EXPECT_EQ(LineSpeed(pty.SlaveFd()), 38400u);

  comm.SetParityCheck(true);
  EXPECT_EQ(LineSpeed(pty.SlaveFd()), 19200u);
  EXPECT_TRUE(SlaveSetting().c_iflag & INPCK);
}

TEST_F(CommTest, RatesOutsideTheTermiosTableAreSetExactly) {
  comm.SetBaudRate(250000);
  comm.StartComm();
  EXPECT_EQ(LineSpeed(pty.SlaveFd()), 250000u);
  comm.SetBaudRate(14400);
  EXPECT_EQ(LineSpeed(pty.SlaveFd()), 14400u);
}

TEST_F(CommTest, ZeroBaudKeepsTheSpeedInsteadOfHangingUp) {
  comm.StartComm();
  comm.SetBaudRate(0);
  EXPECT_EQ(LineSpeed(pty.SlaveFd()), 9600u);
  ASSERT_TRUE(comm.WriteCommData("up", 2));
  EXPECT_EQ(pty.Read(2), QByteArray("up"));
}

TEST_F(CommTest, WritesWaitWhileTheDeviceIsFullAndDrainInOrder) {
  int emptyNotices = 0;
  comm.OnSendDataEmpty = [&](TComm*) { emptyNotices++; };
  comm.StartComm();
  QByteArray expected;
  // Far more than a pty buffers (about 64 KiB) while nobody reads at the far end.
  for (int i = 0; i < 128; ++i) {
    QByteArray block(2048, char('a' + i % 26));
    ASSERT_TRUE(comm.WriteCommData(block.constData(), quint16(block.size())));
    expected += block;
  }
  ProcessEventsFor(200);
  EXPECT_FALSE(comm.SendDataEmpty());
  const int noticesWhileFull = emptyNotices;
  EXPECT_EQ(pty.Read(expected.size(), 20000), expected);
  EXPECT_TRUE(
      ProcessEventsUntil([&] { return emptyNotices > noticesWhileFull && comm.SendDataEmpty(); }));
}

TEST_F(CommTest, StopReturnsPromptlyWhileTheWriterIsBlocked) {
  comm.StartComm();
  const QByteArray block(2048, 'z');
  for (int i = 0; i < 64; ++i) ASSERT_TRUE(comm.WriteCommData(block.constData(), 2048));
  QThread::msleep(100);
  QElapsedTimer timer;
  timer.start();
  comm.StopComm();
  EXPECT_LT(timer.elapsed(), 1000);
  EXPECT_FALSE(comm.IsOpen());
  EXPECT_TRUE(comm.SendDataEmpty());
}

TEST_F(CommTest, AHungUpLineIsReportedAndNeitherCrashesNorHangs) {
  int hangups = 0;
  comm.OnRequestHangup = [&](TComm* sender) {
    EXPECT_EQ(sender, &comm);
    hangups++;
  };
  comm.StartComm();
  const QByteArray block(1024, 'q');
  for (int i = 0; i < 32; ++i) ASSERT_TRUE(comm.WriteCommData(block.constData(), 1024));
  pty.CloseMaster();
  EXPECT_TRUE(ProcessEventsUntil([&] { return hangups > 0; }));
  // Once the writer has given up, writes are refused instead of piling up.
  EXPECT_TRUE(ProcessEventsUntil([&] { return !comm.WriteCommData("x", 1); }));
  ProcessEventsFor(100);
  EXPECT_EQ(hangups, 1) << "both threads saw it; the owner hears it once";
  EXPECT_TRUE(comm.HungUp());
  EXPECT_TRUE(comm.IsOpen());  // the port stays open until its owner closes it
  QElapsedTimer timer;
  timer.start();
  comm.StopComm();
  EXPECT_LT(timer.elapsed(), 1000);
}

TEST_F(CommTest, NotificationsStillQueuedAtCloseAreDropped) {
  int emptyNotices = 0;
  comm.OnSendDataEmpty = [&](TComm*) { emptyNotices++; };
  comm.StartComm();
  ASSERT_TRUE(comm.WriteCommData("w", 1));
  ASSERT_TRUE(pty.Write("late"));
  QThread::msleep(400);  // the chunk and the empty notice are posted, not yet delivered
  comm.StopComm();
  ProcessEventsFor(200);
  EXPECT_TRUE(chunks.empty());
  EXPECT_EQ(emptyNotices, 0);
}

TEST_F(CommTest, AHandlerThatClosesThePortStopsTheRestOfTheBatch) {
  comm.OnReceiveData = [this](TComm* sender, const char* data, quint16 count) {
    chunks.emplace_back(data, count);
    sender->StopComm();
  };
  comm.StartComm();
  ASSERT_TRUE(pty.Write("one"));
  QThread::msleep(300);
  ASSERT_TRUE(pty.Write("two"));
  QThread::msleep(300);
  ProcessEventsFor(200);
  ASSERT_EQ(chunks.size(), 1u);
  EXPECT_EQ(chunks[0], QByteArray("one"));
  EXPECT_FALSE(comm.IsOpen());
}

TEST_F(CommTest, AThrowingHandlerDoesNotEscapeIntoTheEventLoop) {
  int calls = 0;
  comm.OnReceiveData = [&](TComm*, const char*, quint16) {
    calls++;
    throw std::runtime_error("handler failed");
  };
  comm.StartComm();
  ASSERT_TRUE(pty.Write("a"));
  QThread::msleep(300);
  ASSERT_TRUE(pty.Write("b"));
  EXPECT_TRUE(ProcessEventsUntil([&] { return calls == 2; }));
}

TEST(CommLifetimeTest, DestroyingAnOpenPortStopsItsThreadsAndDropsItsEvents) {
  TPtyPair pty;
  ASSERT_TRUE(pty.IsValid());
  int received = 0;
  {
    auto comm = std::make_unique<TComm>();
    comm->SetCommName(pty.SlavePath());
    comm->OnReceiveData = [&](TComm*, const char*, quint16) { received++; };
    comm->StartComm();
    ASSERT_TRUE(pty.Write("pending"));
    QThread::msleep(300);
  }
  ProcessEventsFor(100);
  EXPECT_EQ(received, 0);
  // The device is free again.
  TComm next;
  next.SetCommName(pty.SlavePath());
  EXPECT_NO_THROW(next.StartComm());
}

}  // namespace
