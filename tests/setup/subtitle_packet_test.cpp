#include "setup/subtitle_packet.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>

namespace {

// change on top of the defaults gives the start packet; no change: the
// stop. The header's 48 bytes in hex, fields set off by '|', then the text;
// the rest of the packet is zero.
struct PacketCase {
  const char* name;
  std::function<void(TSubtitleSettings&)> change;
  const char* header;
  const char* text;
};

void PrintTo(const PacketCase& c, std::ostream* os) { *os << c.name; }

TSubtitleSettings Defaults() {
  TSubtitleSettings s;
  s.lines = TSubtitleSettings::DefaultLines();
  return s;
}

class SubtitlePacketTest : public testing::TestWithParam<PacketCase> {};

TEST_P(SubtitlePacketTest, MatchesTheGoldenBytes) {
  const QByteArray header = QByteArray::fromHex(GetParam().header);
  ASSERT_EQ(header.size(), 48);
  const QByteArray expected =
      (header + QByteArray::fromHex(GetParam().text)).leftJustified(2096, 0);
  TSubtitleSettings s = Defaults();
  if (GetParam().change) GetParam().change(s);
  const QByteArray actual =
      GetParam().change ? SubtitlePacket::BuildStart(s) : SubtitlePacket::BuildStop();
  ASSERT_EQ(actual.size(), 2096);
  for (int i = 0; i < 2096; ++i) ASSERT_EQ(quint8(actual[i]), quint8(expected[i])) << "byte " << i;
}

// screen command layout position speed motion | colour | height | face | size | styles |
// lines | length
INSTANTIATE_TEST_SUITE_P(
    Packets, SubtitlePacketTest,
    testing::Values(
        // "宋体" red -64 pixels (48 points); "XX单位", "热烈欢迎各位领导", "莅临参观指导工作！".
        PacketCase{"DefaultsToTheMainDisplay", [](TSubtitleSettings&) {},
                   "00 00 00 00 00 1e 00 00 | ff000000 | c0ffffff | 00 cbcecce5 "
                   "000000000000000000000000000000 | 30000000 | 00000000 | 03 00 | 2e00",
                   "5858b5a5cebb0d0a c8c8c1d2bbb6d3adb8f7cebbc1ecb5bc0d0a "
                   "ddb0c1d9b2ceb9dbd6b8b5bcb9a4d7f7a3a10d0a"},
        PacketCase{"SeveralLinesRightBottomToTop",
                   [](TSubtitleSettings& s) {
                     s.screen = 2;
                     s.layout = 1;
                     s.multiPosition = s.multiMotion = 5;
                     s.singlePosition = 2;  // the hidden tab's choice is not sent
                     s.speed = 100;
                     s.lines = {QStringLiteral("A")};
                     s.font.color = 0x00123456;
                     s.font.face = QStringLiteral("黑体");
                     s.font.SetSize(12);
                     s.font.bold = s.font.underline = true;
                   },
                   "00 02 00 01 05 64 05 00 | 56341200 | f0ffffff | 00 badacce5 "
                   "000000000000000000000000000000 | 0c000000 | 01000100 | 01 00 | 0300",
                   "410d0a"},
        PacketCase{"StaticLineWithNineteenByteFaceWithoutTerminator",
                   [](TSubtitleSettings& s) {
                     s.screen = s.singlePosition = 1;
                     s.singleMotion = 3;
                     s.speed = 0;
                     s.lines = {QStringLiteral("x")};
                     s.font.face = QStringLiteral("一二三四五六七八九A");
                     s.font.SetHeight(-20);  // 15 points
                     s.font.italic = s.font.strikeOut = true;
                   },
                   "00 01 00 00 01 00 03 00 | ff000000 | ecffffff | 00 "
                   "d2bbb6fec8fdcbc4cee5c1f9c6dfb0cbbec541 | 0f000000 | 00010001 | 01 00 | 0300",
                   "780d0a"},
        PacketCase{"EndingEmptyLineCountsAndAddsItsBreak",
                   [](TSubtitleSettings& s) {
                     s.lines = {QStringLiteral("ab"), QString()};
                   },
                   "00 00 00 00 00 1e 00 00 | ff000000 | c0ffffff | 00 cbcecce5 "
                   "000000000000000000000000000000 | 30000000 | 00000000 | 02 00 | 0600",
                   "61620d0a0d0a"},
        PacketCase{"StopIsZeroButTheCommand", nullptr,
                   "00 00 01 00 00 00 00 00 | 00000000 | 00000000 | 00 00000000 "
                   "000000000000000000000000000000 | 00000000 | 00000000 | 00 00 | 0000",
                   ""}));

// Both sides of each field's bound: what fits is sent whole, what does not
// is refused, never cut.
struct LimitCase {
  const char* name;
  QString face;
  QStringList lines;
  std::optional<TSubtitleRefusal> refusal;
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name; }

class SubtitleLimitTest : public testing::TestWithParam<LimitCase> {};

TEST_P(SubtitleLimitTest, SendsWholeOrRefuses) {
  TSubtitleSettings s = Defaults();
  s.font.face = GetParam().face;
  s.lines = GetParam().lines;
  EXPECT_EQ(SubtitlePacket::Check(s), GetParam().refusal);
  const QByteArray packet = SubtitlePacket::BuildStart(s);
  if (GetParam().refusal) {
    EXPECT_TRUE(packet.isEmpty());
    EXPECT_NE(SubtitlePacket::RefusalMessage(*GetParam().refusal, true),
              SubtitlePacket::RefusalMessage(*GetParam().refusal, false));
  } else {
    ASSERT_EQ(packet.size(), 2096);
    const QByteArray text = s.lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
    EXPECT_EQ(packet.mid(48), text.leftJustified(2048, '\0'));
    EXPECT_EQ(quint8(packet[44]), s.lines.size());
  }
}

const QString kFace19 = QStringLiteral("一二三四五六七八九A");

INSTANTIATE_TEST_SUITE_P(
    Limits, SubtitleLimitTest,
    testing::Values(
        LimitCase{"FullText", kFace19, {QString(2046, u'a')}, std::nullopt},
        LimitCase{"MostLines", kFace19, QStringList(255, QStringLiteral("ab")), std::nullopt},
        LimitCase{"TwentyByteFace", kFace19 + u'B', {}, TSubtitleRefusal::FaceTooLong},
        LimitCase{"TextOneByteOver", kFace19, {QString(2047, u'a')}, TSubtitleRefusal::TextTooLong},
        LimitCase{"TwoByteCharacterAcrossTheEnd",
                  kFace19,
                  {QString(2045, u'a') + QStringLiteral("字")},
                  TSubtitleRefusal::TextTooLong},
        LimitCase{"LinesPastTheCountByte", kFace19, QStringList(256, QStringLiteral("a")),
                  TSubtitleRefusal::TooManyLines}));

}  // namespace
