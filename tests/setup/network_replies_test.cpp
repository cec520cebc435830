#include "setup/network_replies.h"

#include <gtest/gtest.h>

#include <random>

#include "support/test_bytes.h"

namespace {

// The fixed bytes the console puts on the network.
TEST(NetworkProbeBytes, MatchTheDevicesExpectations) {
  const struct {
    const char* what;
    QByteArray actual;
    QByteArray golden;
  } cases[] = {
      {"broadcast search probe", BroadcastSearchProbe(),
       Bytes({'B', 'R', 'E', 'L', 'U', 'N', 'D'})},
      {"module discovery probe", NetworkSplicerProbe(),
       Bytes(
           {'H', 'F', '-', 'A', '1', '1', 'A', 'S', 'S', 'I', 'S', 'T', 'H', 'R', 'E', 'A', 'D'})},
      {"position query", CellPositionQueryFrame(),
       Bytes({0xC8, 0x09, 0x00, 0x00, 0x00, 0x00, 0x13, 0x03, 0xE7})},
  };
  for (const auto& c : cases) EXPECT_EQ(c.actual.toHex(' '), c.golden.toHex(' ')) << c.what;
}

TEST(SearchReply, OnlyExactlyAuthOkUpToTheFirstZeroCounts) {
  const struct {
    QByteArray payload;
    bool authOk;
  } cases[] = {
      {QByteArray("AUTHOK"), true},
      {QByteArray("AUTHOK\0trailing", 15), true},
      {QByteArray("AUTHOK\0", 7), true},
      {QByteArray("AUTHOK "), false},
      {QByteArray("authok"), false},
      {QByteArray("AUTHO"), false},
      {QByteArray("\0AUTHOK", 7), false},
      {QByteArray(), false},
      // The text ends at 128 bytes: a reply whose zero comes later is not "AUTHOK".
      {QByteArray(128, 'x') + QByteArray("AUTHOK"), false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsAuthOkReply(c.payload), c.authOk) << c.payload.toHex(' ').constData();
}

// Replies of 0 to 70 bytes to the position query of a 2 x 3 wall: fewer than
// four bytes never name a cell; longer ones name byte 2's row and byte 3's
// column when both are on the wall.
TEST(CellPositionReply, ShortOrOffTheWallRepliesNameNoCell) {
  for (int length = 0; length <= 70; ++length) {
    QByteArray reply(length, '\x01');
    const auto position = DecodeCellPosition(reply, 2, 3);
    EXPECT_EQ(position.has_value(), length >= 4) << length;
    if (position) {
      EXPECT_EQ(*position, (TCellPosition{1, 1})) << length;
    }
  }
  const struct {
    int row, column;
    bool onWall;
  } cells[] = {{0, 0, true},  {1, 2, true},    {2, 0, false},
               {0, 3, false}, {200, 1, false}, {1, 255, false}};
  for (const auto& c : cells) {
    const QByteArray reply = Bytes({0xC8, 0x09, c.row, c.column, 0, 0, 0x13, 0x03});
    const auto position = DecodeCellPosition(reply, 2, 3);
    ASSERT_EQ(position.has_value(), c.onWall) << c.row << "," << c.column;
    if (position) {
      EXPECT_EQ(*position, (TCellPosition{c.row, c.column}));
    }
  }
}

// Every datagram length up to 64 KiB with random content: the decoders stay
// within their bounds and never name a cell off the wall.
TEST(NetworkDecoders, SurviveEveryLengthAndContent) {
  std::mt19937 random(8899);
  QByteArray pool(65536, '\0');
  for (char& c : pool) c = static_cast<char>(random() % 4 == 0 ? 0 : random());
  int cells = 0;
  for (qsizetype length = 0; length <= pool.size(); ++length) {
    const QByteArray payload = QByteArray::fromRawData(pool.constData(), length);
    const QString text = SearchReplyText(payload);
    ASSERT_LE(text.size(), 128) << length;
    ASSERT_EQ(text.toLatin1(), payload.left(text.size())) << length;
    ASSERT_FALSE(IsAuthOkReply(payload)) << length;
    if (const auto cell = DecodeCellPosition(payload, 30, 30)) {
      ASSERT_LT(cell->row, 30);
      ASSERT_LT(cell->column, 30);
      ++cells;
    }
  }
  // The fixed prefix lands on or off the wall; either way the decoder decided
  // the same for every length past four.
  EXPECT_TRUE(cells == 0 || cells == pool.size() - 3);
}

}  // namespace
