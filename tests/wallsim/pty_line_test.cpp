#include "pty_line.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>

#include "support/event_wait.h"

namespace {

// Plays the console: opens the line's slave like a serial port and writes.
class PtyLineTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(line.Open());
    QObject::connect(&line, &TPtyLine::bytesReceived,
                     [this](const QByteArray& b) { received += b; });
  }
  int OpenSlave() {
    return ::open(QFile::encodeName(line.SlavePath()).constData(), O_RDWR | O_NOCTTY);
  }
  static void Write(int fd, const QByteArray& bytes) {
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
  }

  TPtyLine line;
  QByteArray received;
};

TEST_F(PtyLineTest, BytesArriveUnchangedIncludingLineFeedsAndTabs) {
  const int fd = OpenSlave();
  ASSERT_GE(fd, 0);
  // 0x09 and 0x0A would be expanded by a cooked terminal.
  const QByteArray frame = QByteArray::fromHex("c80901010101200aff0d0a09");
  Write(fd, frame);
  EXPECT_TRUE(ProcessEventsUntil([&] { return received.size() >= frame.size(); }));
  EXPECT_EQ(received.toHex(' '), frame.toHex(' '));
  ::close(fd);
}

TEST_F(PtyLineTest, LineStaysUpWhenTheConsoleClosesAndReopens) {
  int fd = OpenSlave();
  ASSERT_GE(fd, 0);
  Write(fd, "\xc8");
  ::close(fd);
  ProcessEventsFor(50);
  fd = OpenSlave();
  ASSERT_GE(fd, 0);
  Write(fd, "\x09");
  EXPECT_TRUE(ProcessEventsUntil([&] { return received.size() >= 2; }));
  EXPECT_EQ(received, QByteArray("\xc8\x09"));
  ::close(fd);
}

}  // namespace
