// The factory number: what the box accepts in each frame mode and the frame
// that carries it.

#include "setup/factory_number.h"

#include <gtest/gtest.h>

#include "link/protocol.h"

using namespace Qt::StringLiterals;

namespace {

using V = TFactoryNumber::TVerdict;

TEST(FactoryNumber, FramesAndRefusals) {
  struct Case {
    const char16_t* text;
    bool longFrames;
    V verdict;
    const char* frame;  // empty when refused
  };
  const Case cases[] = {
      {u"41", true, V::Ok, "c8 09 00 00 00 29 77 01 72"},
      {u"-1", true, V::Ok, "c8 09 ff ff ff ff 77 01 45"},
      {u" 300 ", false, V::Ok, "c8 07 01 2c 77 01 74"},  // short: bits 15..0 only
      {u"65536", false, V::OutOfRange, ""},
      {u"-1", false, V::OutOfRange, ""},
      {u"-2147483648", true, V::Ok, "c8 09 80 00 00 00 77 01 c9"},
      {u"2147483647", true, V::OutOfRange, ""},  // its next number would not fit
      {u"abc", true, V::BadFormat, ""},
      {u"0x10", true, V::BadFormat, ""},  // decimal only
  };
  for (const Case& c : cases) {
    const QString text = QString::fromUtf16(c.text);
    SCOPED_TRACE(text.toStdString() + (c.longFrames ? " long" : " short"));
    const TFactoryNumber n = TFactoryNumber::Parse(text, c.longFrames);
    EXPECT_EQ(n.verdict, c.verdict);
    if (n.verdict != V::Ok) continue;
    TProtocol protocol;
    protocol.SetFrameMode(c.longFrames ? 1 : 0);
    quint8 frame[TProtocol::kBufferSize] = {};
    const int length = protocol.SetFactoryNumber(static_cast<quint32>(n.number), frame);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(frame), length).toHex(' ').toStdString(),
              c.frame);
  }
  EXPECT_EQ(TFactoryNumber::Message(V::BadFormat, true, true), u"Bad Format"_s);
  EXPECT_EQ(TFactoryNumber::Message(V::BadFormat, true, false), u"Bad Format"_s);
  EXPECT_TRUE(TFactoryNumber::Message(V::OutOfRange, false, false).contains(u"0 to 65535"_s));
  EXPECT_TRUE(TFactoryNumber::Message(V::OutOfRange, false, true).contains(u"0 至 65535"_s));
}

}  // namespace
