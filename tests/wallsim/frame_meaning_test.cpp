#include "frame_meaning.h"

#include <gtest/gtest.h>

#include "support/test_bytes.h"

// Readable failures: gtest prints a QString as text, not as its code units.

namespace {

struct TMeaningCase {
  const char* name;
  const char* hex;
  int rows;
  int cols;
  TFrameAction action;
  int value;
  const char* text;
};

class FrameMeaning : public testing::TestWithParam<TMeaningCase> {};

TEST_P(FrameMeaning, ReadsWhatTheFrameAsks) {
  const TMeaningCase& c = GetParam();
  const QByteArray frame = QByteArray::fromHex(c.hex);
  const TFrameMeaning m = InterpretFrame(frame, c.rows, c.cols);
  EXPECT_EQ(m.action, c.action);
  EXPECT_EQ(m.value, c.value);
  EXPECT_EQ(m.text, QString::fromUtf8(c.text));
}

using A = TFrameAction;
const TMeaningCase kMeanings[] = {
    {"SelectVgaOverTwoByTwo", "c809010102022002f9", 4, 4, A::SelectSource, 3,
     "select-source VGA rows 1-2 cols 1-2"},
    {"LongPowerOnOneCell", "c809030403041001f0", 4, 4, A::PowerOn, 0, "power-on rows 3-3 cols 4-4"},
    {"ShortPowerOnOneCell", "c8073434100148", 4, 4, A::PowerOn, 0, "power-on rows 3-3 cols 4-4"},
    {"PowerOnWithoutDelay", "c809010102021001e8", 4, 4, A::PowerOn, 0,
     "power-on rows 1-2 cols 1-2"},
    {"DissolveStepVideo1", "c809010201022000f7", 4, 4, A::SelectSource, 1,
     "select-source Video1 rows 1-1 cols 2-2"},
    {"DviCode3IsDvi", "c809010101012003f8", 4, 4, A::SelectSource, 4,
     "select-source DVI rows 1-1 cols 1-1"},
    {"Usb2", "c80901010101200aff", 4, 4, A::SelectSource, 11,
     "select-source USB2 rows 1-1 cols 1-1"},
    {"BroadcastUsb", "c809ffffffff2005f2", 4, 4, A::SelectSource, 6,
     "select-source USB all screens"},
    {"ShortBroadcast", "c807ffff2005f2", 4, 4, A::SelectSource, 6, "select-source USB all screens"},
    {"MixerPowerOffOnASmallWall", "c8091e1e1e1e100059", 4, 4, A::PowerOff, 0, "power-off mixer"},
    {"MixerPowerOffOnAFullWall", "c8091e1e1e1e100059", 30, 30, A::PowerOff, 0,
     "power-off mixer and rows 30-30 cols 30-30"},
    {"RotateNinety", "c8091d011d0180018e", 4, 4, A::Rotate, 1, "rotate 90 rotating-unit"},
    {"ShortRotatingUnit", "c807d1d18001f2", 4, 4, A::Rotate, 1, "rotate 90 rotating-unit"},
    {"Switcher3", "c8091e031e03200437", 4, 4, A::SelectSource, 5, "select-source HDMI switcher-3"},
    // A short frame's unit bytes are cells too; where the wall has the cell,
    // the frame is for that screen alone.
    {"ShortMixerByteIsCell1x14", "c8071e1e20022f", 30, 30, A::SelectSource, 3,
     "select-source VGA rows 1-1 cols 14-14"},
    {"ShortRotatingByteIsCell13x1", "c807d1d110017a", 16, 16, A::PowerOn, 0,
     "power-on rows 13-13 cols 1-1"},
    {"ShortSwitcher17ByteIsCell1x1", "c8071111200213", 4, 4, A::SelectSource, 3,
     "select-source VGA rows 1-1 cols 1-1"},
    {"OutputResolution", "c8091e1e1e1e7802c3", 4, 4, A::OutputResolution, 2,
     "output-resolution 2 mixer"},
    {"PartlyOutside", "c80903030505200203", 4, 4, A::SelectSource, 3,
     "select-source VGA rows 3-5 cols 3-5 partly outside the wall"},
    {"WhollyOutside", "c80905050505200207", 4, 4, A::SelectSource, 3,
     "select-source VGA rows 5-5 cols 5-5 outside the wall"},
    {"ShortOutside", "c807555510018a", 4, 4, A::PowerOn, 0,
     "power-on cells 55-55 outside the wall"},
    {"ReshowValue300IsByte2C", "c809010101015a2c5b", 4, 4, A::ReshowH, 0x2C,
     "reshow-h 44 rows 1-1 cols 1-1"},
    {"StillPicture", "c80901010101730149", 4, 4, A::StillPicture, 0,
     "still-picture rows 1-1 cols 1-1"},
    {"FanTemperature35", "c80901010101692361", 4, 4, A::Setting, 0x23,
     "fan-temperature 35 rows 1-1 cols 1-1"},
    {"CatalogueSetting", "c80901010101420118", 4, 4, A::Setting, 0,
     "vga-contrast-up rows 1-1 cols 1-1"},
    {"SetCellIdLong", "c80902030102660140", 4, 4, A::SetCellId, 0,
     "set-cell-id machine 0x0102 to 2-3"},
    {"SetCellIdShort", "c807010266235b", 4, 4, A::SetCellId, 0,
     "set-cell-id machine 0x0102 to 2-3"},
    {"SetFactoryNumber", "c80901020304770153", 4, 4, A::SetFactoryNumber, 0,
     "set-factory-number 0x01020304"},
    {"RequestFactoryNumber", "c80900000000770048", 4, 4, A::RequestFactoryNumber, 0,
     "request-factory-number"},
    {"UnknownClass", "c8090101010199016f", 4, 4, A::Unknown, 0, "class 99 code 01"},
    {"UnknownSourceCode", "c80901010101200b00", 4, 4, A::Unknown, 0, "class 20 code 0b"},
    {"RotateOutOfRange", "c80901010101800459", 4, 4, A::Unknown, 0, "class 80 code 04"},
};

INSTANTIATE_TEST_SUITE_P(Frames, FrameMeaning, testing::ValuesIn(kMeanings),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(FrameMeaningTarget, ShortRectangleOnAWideWallKeepsStartBeforeEnd) {
  // Row 1, column 1 to row 2, column 17 on a 20-column wall: 0x11 and 0x11.
  const TFrameMeaning m = InterpretFrame(QByteArray::fromHex("c8071111200314"), 20, 20);
  ASSERT_TRUE(m.target.screens.has_value());
  EXPECT_EQ(*m.target.screens, (TCellRange{1, 1, 1, 1}))
      << "ambiguous bytes read as the nibble cell";
}

}  // namespace
