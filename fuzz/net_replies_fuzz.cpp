// Everything the console reads back from the network: search replies, the
// network splicer module's position reply and the COM gateway's replies.
// Each decoder looks at its bounded part of any datagram or reply.
#include "fuzz_input.h"
#include "setup/gateway_frame.h"
#include "setup/network_replies.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  const int rows = in.Byte() % 31, columns = in.Byte() % 31;
  const QByteArray reply = in.Rest().toByteArray();

  const QString text = SearchReplyText(reply);
  FUZZ_CHECK(text.size() <= 128 && !text.contains(QChar(u'\0')));
  FUZZ_CHECK(IsAuthOkReply(reply) == (text == QStringLiteral("AUTHOK")));

  if (const auto cell = DecodeCellPosition(reply, rows, columns)) {
    FUZZ_CHECK(cell->row >= 0 && cell->row < rows);
    FUZZ_CHECK(cell->column >= 0 && cell->column < columns);
  }

  if (const auto count = GatewayPortCountReply(reply)) FUZZ_CHECK(*count >= 0 && *count <= 255);
  if (const auto record = GatewayReadPortReply(reply))
    FUZZ_CHECK(GatewayPortName(*record).size() <= 8);
  GatewaySetPortReplyOk(reply);
  GatewayClosePortReplyOk(reply);
  // Only the first 70 bytes count.
  FUZZ_CHECK(GatewayForwardReplyOk(reply) == GatewayForwardReplyOk(reply.left(kGatewayFrameSize)));
  return 0;
}
