#include "app/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <random>

#include "support/jpeg_writer.h"

namespace {

struct Rgb {
  int r, g, b;
};

Rgb PixelAt(const TDecodedImage& image, int x, int y) {
  const auto* p = reinterpret_cast<const unsigned char*>(image.rgb.constData()) +
                  (qsizetype{y} * image.width + x) * 3;
  return {p[0], p[1], p[2]};
}

// JPEG is lossy; flat areas come back within a few steps.
constexpr int kTolerance = 6;

void ExpectNear(const Rgb& got, const Rgb& want) {
  EXPECT_NEAR(got.r, want.r, kTolerance);
  EXPECT_NEAR(got.g, want.g, kTolerance);
  EXPECT_NEAR(got.b, want.b, kTolerance);
}

// Four flat quadrants, each a whole 16x16 block so that chroma subsampling
// does not blur the colours measured at the quadrant centres.
const std::array<Rgb, 4> kQuadrants{{{220, 30, 40}, {20, 200, 60}, {30, 40, 210}, {250, 250, 250}}};

Rgb QuadrantColour(int x, int y, int side) {
  return kQuadrants[static_cast<size_t>((y >= side / 2) * 2 + (x >= side / 2))];
}

QByteArray QuadrantJpeg(int side, bool progressive) {
  TJpegPicture picture;
  picture.width = side;
  picture.height = side;
  picture.quality = 100;
  picture.progressive = progressive;
  picture.pixel = [side](int x, int y, JSAMPLE* out) {
    const Rgb c = QuadrantColour(x, y, side);
    out[0] = static_cast<JSAMPLE>(c.r);
    out[1] = static_cast<JSAMPLE>(c.g);
    out[2] = static_cast<JSAMPLE>(c.b);
  };
  return WriteJpeg(picture);
}

class JpegDecoderTest : public testing::Test {
 protected:
  // libjpeg's default handlers print warnings; the decoder must stay silent.
  void SetUp() override { testing::internal::CaptureStderr(); }
  void TearDown() override { EXPECT_EQ(testing::internal::GetCapturedStderr(), ""); }
};

TEST_F(JpegDecoderTest, DecodesColourPictureRowAfterRow) {
  for (const bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "baseline");
    const auto image = DecodeJpeg(QuadrantJpeg(32, progressive));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 32);
    EXPECT_EQ(image->height, 32);
    ASSERT_EQ(image->rgb.size(), 32 * 32 * 3);
    for (const auto& [x, y] : {std::pair{8, 8}, {24, 8}, {8, 24}, {24, 24}}) {
      SCOPED_TRACE(testing::Message() << "x=" << x << " y=" << y);
      ExpectNear(PixelAt(*image, x, y), QuadrantColour(x, y, 32));
    }
  }
}

TEST_F(JpegDecoderTest, OddSizesKeepTheirDimensions) {
  for (const auto& [w, h] : {std::pair{1, 1}, {17, 3}, {3, 17}, {100, 1}}) {
    SCOPED_TRACE(testing::Message() << w << "x" << h);
    const auto image = DecodeJpeg(WriteSolidJpeg(w, h, 10, 120, 230));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, w);
    EXPECT_EQ(image->height, h);
    ASSERT_EQ(image->rgb.size(), qsizetype{w} * h * 3);
    ExpectNear(PixelAt(*image, w - 1, h - 1), {10, 120, 230});
  }
}

TEST_F(JpegDecoderTest, GreyPictureComesOutAsRgb) {
  TJpegPicture picture;
  picture.space = JCS_GRAYSCALE;
  picture.width = 8;
  picture.height = 8;
  picture.pixel = [](int, int, JSAMPLE* out) { out[0] = 77; };
  const auto image = DecodeJpeg(WriteJpeg(picture));
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(image->rgb.size(), 8 * 8 * 3);
  ExpectNear(PixelAt(*image, 3, 5), {77, 77, 77});
}

TEST_F(JpegDecoderTest, CmykPictureComesOutAsRgb) {
  // libjpeg stores CMYK with an Adobe marker; such files hold the inks
  // inverted (255 = no ink), as the common tools write them.
  struct Case {
    std::array<JSAMPLE, 4> stored;
    Rgb want;
  };
  for (const Case& c :
       {Case{{255, 0, 0, 255}, {255, 0, 0}}, Case{{255, 255, 255, 255}, {255, 255, 255}},
        Case{{255, 255, 255, 0}, {0, 0, 0}}, Case{{0, 255, 255, 255}, {0, 255, 255}}}) {
    TJpegPicture picture;
    picture.space = JCS_CMYK;
    picture.quality = 100;
    picture.pixel = [&c](int, int, JSAMPLE* out) { std::copy(c.stored.begin(), c.stored.end(), out); };
    const auto image = DecodeJpeg(WriteJpeg(picture));
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->rgb.size(), 16 * 16 * 3);
    ExpectNear(PixelAt(*image, 7, 7), c.want);
  }
}

TEST_F(JpegDecoderTest, SideLimitIsInclusive) {
  const auto widest = DecodeJpeg(WriteSolidJpeg(kMaxJpegSide, 1, 1, 2, 3));
  ASSERT_TRUE(widest.has_value());
  EXPECT_EQ(widest->width, kMaxJpegSide);
  EXPECT_FALSE(DecodeJpeg(WriteSolidJpeg(kMaxJpegSide + 1, 1, 1, 2, 3)).has_value());
  EXPECT_FALSE(DecodeJpeg(WriteSolidJpeg(1, kMaxJpegSide + 1, 1, 2, 3)).has_value());
}

// Finds the frame header (SOF0 or SOF2) of a picture made by WriteJpeg.
qsizetype FrameHeader(const QByteArray& jpeg) {
  for (qsizetype i = 2; i + 9 < jpeg.size(); ++i)
    if (static_cast<unsigned char>(jpeg[i]) == 0xFF &&
        (static_cast<unsigned char>(jpeg[i + 1]) == 0xC0 ||
         static_cast<unsigned char>(jpeg[i + 1]) == 0xC2))
      return i;
  return -1;
}

TEST_F(JpegDecoderTest, HeaderClaimingHugeOrEmptySizeIsRefused) {
  // Refused from the header alone, before any pixel memory is taken.
  const QByteArray good = WriteSolidJpeg(16, 16, 9, 9, 9);
  const qsizetype sof = FrameHeader(good);
  ASSERT_GT(sof, 0);
  for (const auto& [w, h] : {std::pair{65000, 65000}, {9000, 16}, {16, 9000}, {0, 16}, {16, 0}}) {
    SCOPED_TRACE(testing::Message() << w << "x" << h);
    QByteArray patched = good;
    patched[sof + 5] = static_cast<char>(h >> 8);
    patched[sof + 6] = static_cast<char>(h & 0xFF);
    patched[sof + 7] = static_cast<char>(w >> 8);
    patched[sof + 8] = static_cast<char>(w & 0xFF);
    EXPECT_FALSE(DecodeJpeg(patched).has_value());
  }
}

TEST_F(JpegDecoderTest, EmptyAndTinyInputsAreRefused) {
  for (const QByteArray& bytes : {QByteArray(), QByteArray("\xFF", 1), QByteArray("\xFF\xD8", 2),
                                  QByteArray("\xFF\xD8\xFF\xD9", 4), QByteArray("not a picture")}) {
    EXPECT_FALSE(DecodeJpeg(bytes).has_value()) << bytes.toHex().constData();
  }
}

TEST_F(JpegDecoderTest, EveryTruncationIsRefused) {
  const QByteArray whole = QuadrantJpeg(32, false);
  ASSERT_TRUE(DecodeJpeg(whole).has_value());
  // Cut anywhere up to and including the end-of-image marker.
  for (qsizetype length = 0; length < whole.size(); ++length)
    ASSERT_FALSE(DecodeJpeg(whole.left(length)).has_value())
        << "length " << length << " of " << whole.size();
}

TEST_F(JpegDecoderTest, ProgressiveTruncationIsRefused) {
  const QByteArray whole = QuadrantJpeg(32, true);
  for (const qsizetype length :
       {whole.size() / 4, whole.size() / 2, whole.size() * 3 / 4, whole.size() - 3})
    EXPECT_FALSE(DecodeJpeg(whole.left(length)).has_value()) << "length " << length;
}

TEST_F(JpegDecoderTest, GarbageBehindJpegMagicIsRefused) {
  std::mt19937 random(12345);  // fixed seed: the same garbage every run
  for (int round = 0; round < 200; ++round) {
    QByteArray bytes("\xFF\xD8\xFF", 3);
    const int length = 3 + static_cast<int>(random() % 2000);
    while (bytes.size() < length) bytes.append(static_cast<char>(random() & 0xFF));
    EXPECT_FALSE(DecodeJpeg(bytes).has_value()) << "round " << round;
  }
}

TEST_F(JpegDecoderTest, CorruptedBytesNeverCrash) {
  // Damage inside the coded data may or may not be detectable; whatever the
  // outcome, a decoded picture must be complete.
  const QByteArray whole = QuadrantJpeg(32, false);
  std::mt19937 random(777);
  int refused = 0;
  for (int round = 0; round < 300; ++round) {
    QByteArray bytes = whole;
    for (int n = 0; n < 4; ++n)
      bytes[static_cast<qsizetype>(random() % static_cast<unsigned>(bytes.size()))] =
          static_cast<char>(random() & 0xFF);
    const auto image = DecodeJpeg(bytes);
    if (!image) {
      ++refused;
      continue;
    }
    EXPECT_GT(image->width, 0);
    EXPECT_GT(image->height, 0);
    EXPECT_EQ(image->rgb.size(), qsizetype{image->width} * image->height * 3);
  }
  EXPECT_GT(refused, 0);
}

TEST_F(JpegDecoderTest, CorruptedMarkerIsRefused) {
  QByteArray bytes = WriteSolidJpeg(16, 16, 1, 2, 3);
  const qsizetype sof = FrameHeader(bytes);
  ASSERT_GT(sof, 0);
  bytes[sof + 9] = 0;  // component count 0: an impossible frame
  EXPECT_FALSE(DecodeJpeg(bytes).has_value());
}

}  // namespace
