#include "frame_decoder.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/test_bytes.h"

namespace {

using TVerdict = TFrameDecoder::TVerdict;

struct TExpected {
  TVerdict verdict;
  const char* hex;
};

struct TStreamCase {
  const char* name;
  const char* input;
  std::vector<TExpected> items;
  qsizetype pending;
};

class FrameDecoderStream : public testing::TestWithParam<TStreamCase> {};

void ExpectItems(const std::vector<TFrameDecoder::TItem>& got, const std::vector<TExpected>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].verdict, want[i].verdict) << "item " << i;
    EXPECT_EQ(got[i].bytes.toHex(' '), FromHex(want[i].hex).toHex(' ')) << "item " << i;
  }
}

// The whole stream at once, then again one byte at a time: a serial read
// can split a frame anywhere, and the result must not depend on where.
TEST_P(FrameDecoderStream, CutsTheStreamAlikeInOneFeedAndBytewise) {
  const TStreamCase& c = GetParam();
  const QByteArray input = FromHex(c.input);
  TFrameDecoder whole;
  ExpectItems(whole.Feed(input), c.items);
  EXPECT_EQ(whole.Pending(), c.pending);

  TFrameDecoder bytewise;
  std::vector<TFrameDecoder::TItem> items;
  for (char b : input) {
    auto more = bytewise.Feed(QByteArrayView(&b, 1));
    items.insert(items.end(), more.begin(), more.end());
  }
  // Noise comes out per byte when fed per byte; join runs of it to compare.
  std::vector<TFrameDecoder::TItem> joined;
  for (const auto& item : items) {
    if (!joined.empty() && joined.back().verdict == TVerdict::Noise &&
        item.verdict == TVerdict::Noise)
      joined.back().bytes += item.bytes;
    else
      joined.push_back(item);
  }
  ExpectItems(joined, c.items);
  EXPECT_EQ(bytewise.Pending(), c.pending);
}

const TStreamCase kStreams[] = {
    {"LongVgaSelect", "c809010102022002f9", {{TVerdict::Frame, "c809010102022002f9"}}, 0},
    {"ShortPowerOn", "c80734341001 48", {{TVerdict::Frame, "c8073434100148"}}, 0},
    {"BroadcastUsb", "c809ffffffff2005f2", {{TVerdict::Frame, "c809ffffffff2005f2"}}, 0},
    {"TwoFramesBackToBack",
     "c809010101012000f5c809010201022000f7",
     {{TVerdict::Frame, "c809010101012000f5"}, {TVerdict::Frame, "c809010201022000f7"}},
     0},
    {"NoiseBeforeHeader",
     "00ff0ac809030403041001f0",
     {{TVerdict::Noise, "00ff0a"}, {TVerdict::Frame, "c809030403041001f0"}},
     0},
    {"WrongChecksumIsDroppedAndTheNextFrameFound",
     "c809010102022002fa c809030403041001f0",
     {{TVerdict::BadChecksum, "c809010102022002fa"}, {TVerdict::Frame, "c809030403041001f0"}},
     0},
    // The first frame lost its tail: its first nine bytes run into the next
    // frame's header, the sum fails, and the search restarts at that header.
    {"TornFrameThenWholeFrame",
     "c8090101 c809010102022002f9",
     {{TVerdict::BadChecksum, "c8090101"}, {TVerdict::Frame, "c809010102022002f9"}},
     0},
    {"LengthOtherThanSevenOrNine",
     "c80a c8073434100148",
     {{TVerdict::BadLength, "c80a"}, {TVerdict::Frame, "c8073434100148"}},
     0},
    // A header right after a header: the first is dropped alone.
    {"HeaderWhereTheLengthShouldBe",
     "c8 c809010102022002f9",
     {{TVerdict::BadLength, "c8"}, {TVerdict::Frame, "c809010102022002f9"}},
     0},
    // Row 12, column 8 packs to 0xC8, the header's value, inside a good frame.
    {"HeaderValueInsideAShortAddress", "c807c8c8100170", {{TVerdict::Frame, "c807c8c8100170"}}, 0},
    {"IncompleteFrameWaits", "c80901010202", {}, 6},
    {"LoneHeaderWaits", "c8", {}, 1},
};

INSTANTIATE_TEST_SUITE_P(Streams, FrameDecoderStream, testing::ValuesIn(kStreams),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(FrameDecoder, FrameCompletedByALaterFeed) {
  TFrameDecoder decoder;
  EXPECT_TRUE(decoder.Feed(FromHex("c80901")).empty());
  const auto items = decoder.Feed(FromHex("0102022002f9c807"));
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].verdict, TVerdict::Frame);
  EXPECT_EQ(decoder.Pending(), 2) << "the next frame's start is kept";
}

TEST(FrameDecoder, LongRunOfGarbageKeepsNothingBuffered) {
  TFrameDecoder decoder;
  const QByteArray garbage(100000, '\x55');
  const auto items = decoder.Feed(garbage);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].bytes.size(), garbage.size());
  EXPECT_EQ(decoder.Pending(), 0);
}

}  // namespace
