#include "scenes/scene_item.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <ostream>

#include "scenes/scene_text.h"
#include "support/test_bytes.h"

namespace {

QByteArray Field(const TSceneItem& item, int offset, int size) {
  return QByteArray(reinterpret_cast<const char*>(item.bytes.data() + offset), size);
}

struct ValueCase {
  qint32 value;
  const char* bytes;  // offset 48..51
};

class SceneItemValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(SceneItemValueTest, IsLittleEndianAtOffset48) {
  TSceneItem item;
  item.SetValue(GetParam().value);
  EXPECT_EQ(Field(item, TSceneItem::kValueOffset, 4), FromHex(GetParam().bytes));
  EXPECT_EQ(item.Value(), GetParam().value);
  EXPECT_EQ(Field(item, 0, TSceneItem::kValueOffset), QByteArray(TSceneItem::kValueOffset, '\0'));
}

INSTANTIATE_TEST_SUITE_P(Values, SceneItemValueTest,
                         testing::Values(ValueCase{0, "00000000"}, ValueCase{50, "32000000"},
                                         ValueCase{300, "2c010000"},
                                         ValueCase{0x12345678, "78563412"},
                                         ValueCase{-2, "feffffff"},
                                         ValueCase{INT32_MIN, "00000080"}));

struct NameCase {
  const char* label;
  QString name;
  int maxBytes;
  const char* stored;  // hex of the bytes kept
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }

class SceneTextFitTest : public testing::TestWithParam<NameCase> {};

TEST_P(SceneTextFitTest, CutsAtACharacterBoundary) {
  EXPECT_EQ(SceneText::Fit(GetParam().name, GetParam().maxBytes), FromHex(GetParam().stored));
}

INSTANTIATE_TEST_SUITE_P(
    Names, SceneTextFitTest,
    testing::Values(NameCase{"ascii fits", QStringLiteral("VGA"), 12, "564741"},
                    NameCase{"ascii cut", QStringLiteral("LongSceneName"), 10,
                             "4c6f6e675363656e654e"},
                    NameCase{"five chinese exactly ten", QStringLiteral(u"一二三四五"), 10,
                             "d2bbb6fec8fdcbc4cee5"},
                    NameCase{"six chinese cut to five", QStringLiteral(u"一二三四五六"), 10,
                             "d2bbb6fec8fdcbc4cee5"},
                    NameCase{"half a character dropped", QStringLiteral(u"a一二三四五"), 10,
                             "61d2bbb6fec8fdcbc4"},
                    NameCase{"twelve byte item name", QStringLiteral(u"一二三四五六七"), 12,
                             "d2bbb6fec8fdcbc4cee5c1f9"},
                    NameCase{"empty", QString(), 10, ""},
                    NameCase{"no room", QStringLiteral("x"), 0, ""}));

TEST(SceneTextTest, ReadsUpToTheFirstZeroOrTheFieldEnd) {
  const quint8 full[] = {0xb3, 0xa1, 0xbe, 0xb0, 'A', 'B', 'C', 'D', 'E', 'F'};
  EXPECT_EQ(SceneText::Read(full, 10), QStringLiteral(u"场景ABCDEF"));
  const quint8 padded[] = {'A', 0, 'B', 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(SceneText::Read(padded, 10), QStringLiteral("A"));
  EXPECT_TRUE(SceneText::Read(nullptr, 10).isEmpty());
  // A name cut inside a character by another program still reads.
  const quint8 broken[] = {'a', 0xd2, 0xbb, 0xb6};
  EXPECT_EQ(SceneText::Read(broken, 4).left(2), QStringLiteral(u"a一"));
}

class SceneItemTest : public testing::Test {
 protected:
  TSceneItem item;
};

TEST_F(SceneItemTest, NameFieldIsTwelveBytesWithoutTerminatorWhenFull) {
  item.bytes.fill(0xEE);
  item.SetName(QStringLiteral("ABCDEFGHIJKLMN"));
  EXPECT_EQ(Field(item, 2, 12), QByteArray("ABCDEFGHIJKL"));
  EXPECT_EQ(item.bytes[14], 0xEE);  // the frame area is not the name's
  EXPECT_EQ(item.Name(), QStringLiteral("ABCDEFGHIJKL"));
  item.SetName(QStringLiteral(u"短"));
  EXPECT_EQ(Field(item, 2, 12), FromHex("b6cc00000000000000000000"));
  EXPECT_EQ(item.Name(), QStringLiteral(u"短"));
}

TEST_F(SceneItemTest, FrameReplacesTheWholeAreaAndKeepsTheValue) {
  item.SetValue(7);
  const quint8 long_frame[] = {0xC8, 0x09, 0x01, 0x01, 0x02, 0x02, 0x20, 0x02, 0xF9};
  ASSERT_TRUE(item.SetFrame(long_frame, 9));
  const quint8 short_frame[] = {0xC8, 0x07, 0x11, 0x22, 0x20, 0x02, 0x24};
  ASSERT_TRUE(item.SetFrame(short_frame, 7));
  EXPECT_EQ(Field(item, 14, 34), FromHex("c807112220022400") + QByteArray(26, '\0'));
  EXPECT_EQ(item.Value(), 7);

  QByteArray big(35, '\x5A');
  EXPECT_FALSE(item.SetFrame(reinterpret_cast<const quint8*>(big.constData()), 35));
  EXPECT_FALSE(item.SetFrame(short_frame, -1));
  EXPECT_FALSE(item.SetFrame(nullptr, 3));
  EXPECT_EQ(Field(item, 14, 7), FromHex("c8071122200224"));
  ASSERT_TRUE(item.SetFrame(reinterpret_cast<const quint8*>(big.constData()), 34));
  EXPECT_EQ(Field(item, 14, 34), big.left(34));
  EXPECT_EQ(item.Value(), 7);
}

TEST_F(SceneItemTest, DataAreaStartsAt21AndValueIsTheCount) {
  QByteArray command(27, '\0');
  for (int i = 0; i < 27; ++i) command[i] = static_cast<char>(0xA0 + i);
  ASSERT_TRUE(item.SetData(reinterpret_cast<const quint8*>(command.constData()), 27));
  EXPECT_EQ(Field(item, 21, 27), command);
  EXPECT_EQ(Field(item, 48, 4), FromHex("1b000000"));
  EXPECT_EQ(item.Data(), command);

  const quint8 two[] = {0xBB, 0x01};
  ASSERT_TRUE(item.SetData(two, 2));
  EXPECT_EQ(Field(item, 21, 27), FromHex("bb01") + QByteArray(25, '\0'));
  EXPECT_EQ(item.Data(), FromHex("bb01"));

  const QByteArray tooLong(28, '\x11');
  EXPECT_FALSE(item.SetData(reinterpret_cast<const quint8*>(tooLong.constData()), 28));
  EXPECT_EQ(item.Data(), FromHex("bb01"));
}

TEST_F(SceneItemTest, DamagedValueNeverReadsBeyondTheDataArea) {
  item.bytes.fill(0x33);
  item.SetValue(1000);
  EXPECT_EQ(item.Data(), QByteArray(27, '\x33'));
  item.SetValue(-5);
  EXPECT_TRUE(item.Data().isEmpty());
}

}  // namespace
