#include "core/gbk.h"

#include <gtest/gtest.h>

#include <ostream>
#include <thread>
#include <vector>

namespace {

struct GbkVector {
  const char* name;
  QString text;
  QByteArray bytes;
};

void PrintTo(const GbkVector& c, std::ostream* os) { *os << c.name; }

class GbkRoundTripTest : public testing::TestWithParam<GbkVector> {};

TEST_P(GbkRoundTripTest, EncodesAndDecodes) {
  const GbkVector& v = GetParam();
  EXPECT_EQ(Gbk::Encode(v.text).toHex(' '), v.bytes.toHex(' '));
  EXPECT_EQ(Gbk::Decode(v.bytes), v.text);
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, GbkRoundTripTest,
    testing::Values(
        GbkVector{"Chinese", QStringLiteral(u"中文"), QByteArray("\xD6\xD0\xCE\xC4")},
        GbkVector{"Ascii", QStringLiteral("COMPort=COM1 [x];"), QByteArray("COMPort=COM1 [x];")},
        GbkVector{"Mixed", QStringLiteral(u"QN-51型"), QByteArray("QN-51\xD0\xCD")},
        GbkVector{"Caption", QStringLiteral(u"大屏拼接控制系统"),
                  QByteArray("\xB4\xF3\xC6\xC1\xC6\xB4\xBD\xD3\xBF\xD8\xD6\xC6\xCF\xB5\xCD\xB3")},
        // Code page 936 extends GBK with the euro sign at 0x80.
        GbkVector{"Euro", QStringLiteral(u"€"), QByteArray("\x80")},
        // A trail byte of 0x5D (']') or 0x5C ('\\') is part of the character.
        GbkVector{"BracketTrail", QString(QChar(0x4E5A)), QByteArray("\x81\x5D")},
        GbkVector{"Empty", QString(), QByteArray()}),
    [](const testing::TestParamInfo<GbkVector>& p) { return std::string(p.param.name); });

struct DecodeVector {
  const char* name;
  QByteArray bytes;
  QString text;
};

void PrintTo(const DecodeVector& c, std::ostream* os) { *os << c.name; }

class GbkDecodeTest : public testing::TestWithParam<DecodeVector> {};

TEST_P(GbkDecodeTest, ReplacesInvalidSequences) {
  EXPECT_EQ(Gbk::Decode(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, GbkDecodeTest,
    testing::Values(
        DecodeVector{"TruncatedLeadByte", QByteArray("a\xD6"), QStringLiteral(u"a\uFFFD")},
        DecodeVector{"LoneLeadByte", QByteArray("\xD6"), QStringLiteral(u"\uFFFD")},
        // An invalid trail byte that is ASCII stays itself.
        DecodeVector{"AsciiAfterLead", QByteArray("\x81\x30x"), QStringLiteral(u"\uFFFD0x")},
        DecodeVector{"NulBytes", QByteArray("a\0b", 3),
                     QString(QStringLiteral("a") + QChar(0) + u'b')}),
    [](const testing::TestParamInfo<DecodeVector>& p) { return std::string(p.param.name); });

TEST(GbkEncodeTest, UnencodableCharactersBecomeQuestionMarks) {
  // An emoji (a surrogate pair) and a lone surrogate: one '?' each.
  const QString text = QStringLiteral(u"a\U0001F600b") + QChar(0xD800) + u'c';
  EXPECT_EQ(Gbk::Encode(text), QByteArray("a?b?c"));
}

TEST(GbkEncodeTest, ConvertsInParallelThreads) {
  const QString text = QStringLiteral(u"中文ABC型号").repeated(200);
  const QByteArray expected = Gbk::Encode(text);
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (size_t t = 0; t < failures.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) {
        if (Gbk::Encode(text) != expected || Gbk::Decode(expected) != text) ++failures[t];
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));
}

TEST(GbkDecodeTest, SurvivesLargeBinaryInput) {
  QByteArray bytes(1 << 20, '\0');
  for (qsizetype i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7919) & 0xFF);
  const QString text = Gbk::Decode(bytes);
  EXPECT_GT(text.size(), bytes.size() / 2);
  EXPECT_LE(text.size(), bytes.size());
}

}  // namespace
