// The virtual wall's other devices: the matrices of every brand, the DVR,
// the COM gateway and the subtitle server. The first byte picks the device.
// Streams lose and invent no byte however they are split; the gateway's
// answers are ones the console's reply checks can read.
#include <optional>

#include "dvr_frames.h"
#include "fuzz_input.h"
#include "linkage/matrix_commands.h"
#include "matrix_formats.h"
#include "net_gateway_device.h"
#include "net_subtitle_packet.h"
#include "setup/gateway_frame.h"

namespace {

template <class TPayload, class TCheck>
void FeedStream(typename TCommandStream<TPayload>::TParser parser, TFuzzInput& in, TCheck check) {
  const qsizetype chunk = 1 + in.Byte() % 64;
  const QByteArrayView stream = in.Rest();
  TCommandStream<TPayload> commands(parser);
  QByteArray seen;
  for (qsizetype pos = 0; pos < stream.size(); pos += chunk) {
    for (const auto& item :
         commands.Feed(stream.sliced(pos).first(std::min(chunk, stream.size() - pos)))) {
      FUZZ_CHECK(!item.bytes.isEmpty());
      seen += item.bytes;
      if (item.verdict == TStreamVerdict::Command) check(item.payload);
    }
  }
  FUZZ_CHECK(seen.size() + commands.Pending() == stream.size());
  FUZZ_CHECK(QByteArrayView(seen) == stream.first(seen.size()));
}

void Matrix(TFuzzInput& in) {
  const auto kind = static_cast<TMatrixKind>(in.Byte() % 3);
  const QStringList& brands = MatrixBrands(kind);
  const TMatrixParser parser = MatrixParser(kind, brands.value(in.Byte() % brands.size()));
  if (!parser) return;
  FeedStream<TMatrixCommand>(parser, in, [](const TMatrixCommand& c) {
    for (const TRoute& r : c.routes) FUZZ_CHECK(r.output >= 1 && r.input >= 0);
  });
}

void Dvr(TFuzzInput& in) {
  FeedStream<TDvrCommand>(&ParseDvrFrame, in, [](const TDvrCommand& c) {
    FUZZ_CHECK(c.lead || c.split == 1 || c.split == 4 || c.split == 9 || c.split == 16);
  });
}

// Consecutive 70-byte requests (the last one possibly short) to one gateway.
void Gateway(TFuzzInput& in) {
  TGatewayDevice gateway;
  const QByteArrayView rest = in.Rest();
  for (qsizetype pos = 0; pos < rest.size(); pos += TGatewayDevice::kFrameSize) {
    const auto r = gateway.Answer(
        rest.sliced(pos).first(std::min<qsizetype>(TGatewayDevice::kFrameSize, rest.size() - pos)));
    FUZZ_CHECK(r.reply.isEmpty() || r.reply.size() == TGatewayDevice::kFrameSize);
    FUZZ_CHECK(r.forwarded.size() <= TGatewayDevice::kMaxForward);
    FUZZ_CHECK((r.forwardRole == 0) == r.forwarded.isEmpty());
    if (r.forwardRole != 0) FUZZ_CHECK(GatewayForwardReplyOk(r.reply));
    if (const auto count = GatewayPortCountReply(r.reply)) FUZZ_CHECK(*count == gateway.kPortCount);
    if (const auto record = GatewayReadPortReply(r.reply))
      FUZZ_CHECK(GatewayPortName(*record).startsWith(QStringLiteral("COM")));
  }
  FUZZ_CHECK(gateway.Dump().size() <= TGatewayDevice::kPortCount);
}

// The packet's size is fixed, so the input is cut or padded to it (most
// inputs would otherwise stop at the size check).
void Subtitle(TFuzzInput& in) {
  const bool exact = in.Byte() % 8 != 0;
  QByteArray packet = in.Rest().toByteArray();
  if (exact) packet.resize(TSubtitlePacket::kSize, '\0');
  QString error;
  const std::optional<TSubtitlePacket> p = DecodeSubtitlePacket(packet, &error);
  FUZZ_CHECK(p.has_value() == error.isEmpty());
  if (!p) return;
  FUZZ_CHECK(p->textBytes <= TSubtitlePacket::kTextField);
  FUZZ_CHECK(p->lines.size() <= p->textBytes);
  FUZZ_CHECK(!p->Text().isEmpty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  switch (in.Byte() % 4) {
    case 0:
      Matrix(in);
      break;
    case 1:
      Dvr(in);
      break;
    case 2:
      Gateway(in);
      break;
    default:
      Subtitle(in);
      break;
  }
  return 0;
}
