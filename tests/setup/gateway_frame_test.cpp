#include "setup/gateway_frame.h"

#include <gtest/gtest.h>

#include <functional>

#include "link/protocol.h"

namespace {

// Hex text ("a5 01 ...") to bytes, zero-filled to the gateway frame's size.
QByteArray Frame70(const char* hex) {
  QByteArray bytes = QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
  bytes.append(QByteArray(kGatewayFrameSize - bytes.size(), '\0'));
  return bytes;
}

QByteArray Hex(const char* hex) { return QByteArray::fromHex(QByteArray(hex).replace(' ', "")); }

// VideoContrastUp for cell (1,1) in long frames, built by the frame builder.
QByteArray VideoContrastUpFrame() {
  TProtocol protocol;
  protocol.SetFrameMode(1);
  protocol.SetAddress(0x0101, 0x0101);
  quint8 buffer[TProtocol::kBufferSize];
  const int n = protocol.VideoContrastUp(buffer);
  return QByteArray(reinterpret_cast<const char*>(buffer), n);
}

struct EncoderCase {
  const char* name;
  std::function<QByteArray()> build;
  const char* expected;  // leading bytes; the rest of the 70 are zero
};

// Every request the console sends to a gateway, one table.
const EncoderCase kEncoders[] = {
    {"video port on list index 1, 115200 8 None",
     [] {
       const TGatewayPortSettings video{1, TGatewayLine::Video, 2, 3, 2};
       return GatewaySetPortRequest(GatewayWriteRecord(video));
     },
     "a5 01 03 00 01 02 02 03 00 00 00 00 00 00 00 00 02 00 00"},
    {"VideoContrastUp for (1,1) forwarded on the splicer line",
     [] {
       return GatewayForwardRequest(GatewayCodesOf(TGatewayLine::Splicer), VideoContrastUpFrame());
     },
     "a5 02 01 00 09 01 c8 09 01 01 01 01 30 01 06"},
    {"VGA matrix forward swaps channel and role",
     [] { return GatewayForwardRequest(GatewayCodesOf(TGatewayLine::Vga), Hex("41 42")); },
     "a5 02 02 00 02 03 41 42"},
};

TEST(GatewayFrameTest, RequestsMatchTheWireBytes) {
  for (const EncoderCase& c : kEncoders) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.build().toHex(' '), Frame70(c.expected).toHex(' '));
  }
}

struct ReplyCase {
  const char* reply;
  std::optional<int> count;  // GatewayPortCountReply
  bool setOk;
  bool closeOk;
  bool forwardOk;
};

// Replies of any length; missing bytes read as zero.
const ReplyCase kReplies[] = {
    {"a5 01 01 00 02", 2, false, false, false},
    {"a5 01 01", 0, false, false, false},
    {"a5 01 03 00 01", std::nullopt, true, false, false},
    {"a5 01 05 00 01", std::nullopt, false, true, false},
    {"a5 02 01 00 01", std::nullopt, false, false, true},
    {"a5 02 09 00 01", std::nullopt, false, false, true},  // channel echo not checked
    {"a5 02 01 00 00", std::nullopt, false, false, false},
    {"", std::nullopt, false, false, false},
};

TEST(GatewayFrameTest, RepliesAreCheckedByTheirCommand) {
  for (const ReplyCase& c : kReplies) {
    SCOPED_TRACE(c.reply);
    const QByteArray reply = Hex(c.reply);
    EXPECT_EQ(GatewayPortCountReply(reply), c.count);
    EXPECT_EQ(GatewaySetPortReplyOk(reply), c.setOk);
    EXPECT_EQ(GatewayClosePortReplyOk(reply), c.closeOk);
    EXPECT_EQ(GatewayForwardReplyOk(reply), c.forwardOk);
  }
}

TEST(GatewayFrameTest, PortNameEndsAtTheFirstZeroOrAfterEightBytes) {
  const struct {
    const char* reply;
    const char* name;
  } cases[] = {
      {"a5 01 02 00 43 4f 4d 31 00 58 59 5a 01 02", "COM1"},
      {"a5 01 02 00 41 42 43 44 45 46 47 48 49 4a", "ABCDEFGH"},
      {"a5 01 02 00 00 41", ""},
      {"a5 01 02", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reply);
    const auto record = GatewayReadPortReply(Hex(c.reply));
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(GatewayPortName(*record), QLatin1String(c.name));
  }
  EXPECT_FALSE(GatewayReadPortReply(Hex("a5 01 03 00 43")).has_value());
}

}  // namespace
