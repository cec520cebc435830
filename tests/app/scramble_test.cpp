#include "app/scramble.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Each vector worked out by hand: the text's GBK bytes, each XOR the key byte
// 5A 17 C3 E2 09 4B D8 6F at its position mod 8, as upper-case hex.
struct ScrambleVector {
  const char* what;
  QString text;
  QString scrambled;
};

class ScrambleTextTest : public testing::TestWithParam<ScrambleVector> {};

TEST_P(ScrambleTextTest, GivesTheStoredForm) {
  const ScrambleVector& v = GetParam();
  EXPECT_EQ(ScrambleText(v.text), v.scrambled) << v.what;
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, ScrambleTextTest,
    testing::Values(
        // 33^5A 30^17 34^C3 37^E2 31^09 38^4B
        ScrambleVector{"default super-manager password", u"304718"_s, u"6927F7D53873"_s},
        // 36^5A 32^17 30^C3 39^E2 33^09 35^4B
        ScrambleVector{"default manager password", u"620935"_s, u"6C25F3DB3A7E"_s},
        // the ninth byte '9' (39) takes key byte 0 again: 39^5A = 63
        ScrambleVector{"nine bytes", u"123456789"_s, u"6B25F0D63C7DEF5763"_s},
        // 'i' (69) and 'j' (6A) at positions 8 and 9: ^5A ^17
        ScrambleVector{"ten bytes", u"abcdefghij"_s, u"3B75A0866C2DBF07337D"_s},
        // 管 = B9 DC, 理 = C0 ED: four hex digits per character, upper case
        ScrambleVector{"Chinese password", u"管理"_s, u"E3CB030F"_s},
        // 密 = C3 DC, 码 = C2 EB, then '1' (31) at position 4: ^09
        ScrambleVector{"Chinese and digit", u"密码1"_s, u"99CB010938"_s},
        // a blank is a byte like any other: 20^5A
        ScrambleVector{"blank", u" "_s, u"7A"_s}, ScrambleVector{"empty", QString(), QString()}));

TEST(ScrambleText, ResultIsTwiceTheGbkLengthAndAsciiHex) {
  const QString scrambled = ScrambleText(u"管理员Admin"_s);
  EXPECT_EQ(scrambled.size(), 2 * (3 * 2 + 5));
  for (QChar c : scrambled)
    EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')) << int{c.unicode()};
}

TEST(ScrambleText, CharacterOutsideTheCodePageScramblesAsQuestionMark) {
  // U+0E01 (Thai) is not in GBK and becomes '?' (3F): 3F^5A = 65.
  EXPECT_EQ(ScrambleText(u"\u0E01"_s), ScrambleText(u"?"_s));
  EXPECT_EQ(ScrambleText(u"?"_s), u"65"_s);
}

}  // namespace
