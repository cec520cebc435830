#pragma once

#include <QtGlobal>
#include <span>

// The splicer command catalogue: every command with a fixed class and code,
// one line each. TProtocol turns each line into a named operation, and the
// table itself is available (FixedCommands) for decoding frames by name.
// Commands whose code is an argument, or whose frame carries its own address,
// are written out in TProtocol below.
// clang-format off
#define QUVIAL_SPLICER_COMMANDS(X)                                                           \
  /* power */                                                                                \
  X(PowerOff, 0x10, 0x00) X(PowerOn, 0x10, 0x01)                                             \
  /* sources; the source number is the code plus 1 */                                        \
  X(SelectVideo1, 0x20, 0x00) X(SelectVideo2, 0x20, 0x01) X(SelectVga, 0x20, 0x02)           \
  X(SelectHdmi, 0x20, 0x04) X(SelectUsb, 0x20, 0x05) X(SelectLc, 0x20, 0x06)                 \
  X(SelectVga2, 0x20, 0x07) X(SelectYuv, 0x20, 0x08) X(SelectVideo3, 0x20, 0x09)             \
  X(SelectUsb2, 0x20, 0x0A)                                                                  \
  /* video picture: one step per press, the splicer keeps the value */                       \
  X(VideoContrastDown, 0x30, 0x00) X(VideoContrastUp, 0x30, 0x01)                            \
  X(VideoBrightnessDown, 0x31, 0x00) X(VideoBrightnessUp, 0x31, 0x01)                        \
  X(VideoSaturationDown, 0x32, 0x00) X(VideoSaturationUp, 0x32, 0x01)                        \
  X(VideoSharpnessDown, 0x33, 0x00) X(VideoSharpnessUp, 0x33, 0x01)                          \
  X(VideoHueDown, 0x34, 0x00) X(VideoHueUp, 0x34, 0x01)                                      \
  X(VideoRedGainDown, 0x35, 0x00) X(VideoRedGainUp, 0x35, 0x01)                              \
  X(VideoGreenGainDown, 0x36, 0x00) X(VideoGreenGainUp, 0x36, 0x01)                          \
  X(VideoBlueGainDown, 0x37, 0x00) X(VideoBlueGainUp, 0x37, 0x01)                            \
  X(VideoHPositionDown, 0x38, 0x00) X(VideoHPositionUp, 0x38, 0x01)                          \
  X(VideoHSizeDown, 0x39, 0x00) X(VideoHSizeUp, 0x39, 0x01)                                  \
  X(VideoVPositionDown, 0x40, 0x00) X(VideoVPositionUp, 0x40, 0x01)                          \
  X(VideoVSizeDown, 0x41, 0x00) X(VideoVSizeUp, 0x41, 0x01)                                  \
  /* VGA picture */                                                                          \
  X(VgaContrastDown, 0x42, 0x00) X(VgaContrastUp, 0x42, 0x01)                                \
  X(VgaBrightnessDown, 0x43, 0x00) X(VgaBrightnessUp, 0x43, 0x01)                            \
  X(VgaRedGainDown, 0x44, 0x00) X(VgaRedGainUp, 0x44, 0x01)                                  \
  X(VgaGreenGainDown, 0x45, 0x00) X(VgaGreenGainUp, 0x45, 0x01)                              \
  X(VgaBlueGainDown, 0x46, 0x00) X(VgaBlueGainUp, 0x46, 0x01)                                \
  X(VgaAdcRedOffsetDown, 0x47, 0x00) X(VgaAdcRedOffsetUp, 0x47, 0x01)                        \
  X(VgaAdcGreenOffsetDown, 0x48, 0x00) X(VgaAdcGreenOffsetUp, 0x48, 0x01)                    \
  X(VgaAdcBlueOffsetDown, 0x49, 0x00) X(VgaAdcBlueOffsetUp, 0x49, 0x01)                      \
  X(VgaAdcRedGainDown, 0x4A, 0x00) X(VgaAdcRedGainUp, 0x4A, 0x01)                            \
  X(VgaAdcGreenGainDown, 0x4B, 0x00) X(VgaAdcGreenGainUp, 0x4B, 0x01)                        \
  X(VgaAdcBlueGainDown, 0x4C, 0x00) X(VgaAdcBlueGainUp, 0x4C, 0x01)                          \
  X(VgaAutoPosition, 0x4D, 0x01)                                                             \
  X(VgaHPositionDown, 0x4E, 0x00) X(VgaHPositionUp, 0x4E, 0x01)                              \
  X(VgaVPositionDown, 0x50, 0x00) X(VgaVPositionUp, 0x50, 0x01)                              \
  X(VgaAutoColour, 0x51, 0x01)                                                               \
  X(VgaClockDown, 0x52, 0x00) X(VgaClockUp, 0x52, 0x01)                                      \
  X(VgaPhaseDown, 0x53, 0x00) X(VgaPhaseUp, 0x53, 0x01)                                      \
  X(VgaSharpnessDown, 0x54, 0x00) X(VgaSharpnessUp, 0x54, 0x01)                              \
  /* system and maintenance */                                                               \
  X(DisplayScale4x3, 0x11, 0x00) X(DisplayScale16x9, 0x11, 0x01)                             \
  X(Flip180Off, 0x12, 0x00) X(Flip180On, 0x12, 0x01)                                         \
  X(UsbLogo, 0x14, 0x01)                                                                     \
  X(BootLogoOff, 0x15, 0x00) X(BootLogoOn, 0x15, 0x01)                                       \
  X(SystemReset, 0x60, 0x01)                                                                 \
  X(BitDepth6, 0x61, 0x00) X(BitDepth8, 0x61, 0x01) X(BitDepth10, 0x61, 0x02)                \
  X(TiModemOff, 0x62, 0x00) X(TiModemOn, 0x62, 0x01)                                         \
  X(PnSwapOff, 0x63, 0x00) X(PnSwapOn, 0x63, 0x01)                                           \
  X(SwapOff, 0x64, 0x00) X(SwapOn, 0x64, 0x01)                                               \
  X(BacklightDown, 0x65, 0x00) X(BacklightUp, 0x65, 0x01)                                    \
  X(BlueBackground, 0x67, 0x00) X(BlackBackground, 0x67, 0x01)                               \
  X(UsbUpgrade, 0x68, 0x01)                                                                  \
  X(FanAlwaysOff, 0x69, 0x00) X(FanAlwaysOn, 0x69, 0x01)                                     \
  /* USB player keys */                                                                      \
  X(UsbKeyUp, 0x72, 0x00) X(UsbKeyDown, 0x72, 0x01) X(UsbKeyLeft, 0x72, 0x02)                \
  X(UsbKeyRight, 0x72, 0x03) X(UsbKeyPlay, 0x72, 0x04) X(UsbKeyPause, 0x72, 0x05)            \
  X(UsbKeyExit, 0x72, 0x06) X(UsbKeyFastForward, 0x72, 0x07) X(UsbKeyRewind, 0x72, 0x08)     \
  X(UsbKeyStop, 0x72, 0x09) X(UsbKeyOk, 0x72, 0x0A) X(UsbKeyVolumeUp, 0x72, 0x0B)            \
  X(UsbKeyVolumeDown, 0x72, 0x0C)                                                            \
  X(StillPicture, 0x73, 0x01)                                                                \
  X(ShowVersion, 0x74, 0x01)                                                                 \
  X(AgingModeOff, 0x75, 0x00) X(AgingModeOn, 0x75, 0x01)                                     \
  X(NoiseReductionOff, 0x76, 0x00) X(NoiseReductionLow, 0x76, 0x01)                          \
  X(NoiseReductionMedium, 0x76, 0x02) X(NoiseReductionHigh, 0x76, 0x03)
// clang-format on

// Builds splicer command frames into a caller's buffer, which must hold 9
// bytes whatever the frame mode. Long frames (9 bytes) carry the start and end
// cell's row and column; short frames (7 bytes) pack each address into one
// byte. The address and the address mode are sticky: a command that does not
// set them reuses the last ones. Building never fails and never sends.
class TProtocol {
 public:
  static constexpr quint8 kHeader = 0xC8;
  static constexpr int kLongFrameLength = 9;
  static constexpr int kShortFrameLength = 7;
  static constexpr int kBufferSize = 9;  // what every caller's buffer must hold

  // One line of the fixed-code catalogue.
  struct Command {
    const char* name;
    quint8 cls;
    quint8 code;
  };

  TProtocol();  // header 0xC8, long frames, address 0/0, no broadcast

  void SetAddress(quint16 start, quint16 end);
  void SetFrameMode(int mode);  // 1 long; any other value short
  // Tag 3 with the public channel on makes every following frame a broadcast
  // (all address bytes 0xFF) until the mode is set again.
  void SetAddressMode(quint8 tag, quint8 publicChannel);

  // Writes the frame for the stored address, class and code; returns its length.
  int BuildFrame(quint8 cls, quint8 code, quint8* buffer);

  quint16 StartAddress() const { return start_; }
  quint16 EndAddress() const { return end_; }
  int FrameMode() const { return longFrames_ ? 1 : 0; }
  bool LongFrames() const { return longFrames_; }
  int FrameLength() const { return longFrames_ ? kLongFrameLength : kShortFrameLength; }
  bool Broadcast() const { return addressModeTag_ == 3 && publicChannel_ != 0; }
  quint8 LastClass() const { return class_; }
  quint8 LastCode() const { return code_; }
  quint8 LastChecksum() const { return checksum_; }
  quint8 AddressModeTag() const { return addressModeTag_; }
  quint8 PublicChannel() const { return publicChannel_; }

  // Low 8 bits of the sum of the first count bytes.
  static quint8 Checksum(const quint8* bytes, int count);

  // The fixed-code catalogue, in table order, and a look-up by class and code
  // (the first match; SelectHdmi also stands for SelectDvi with its flag).
  static std::span<const Command> FixedCommands();
  static const Command* FindCommand(quint8 cls, quint8 code);

  // Every fixed-code command as a named operation, e.g. PowerOn(buffer).
#define QUVIAL_DECLARE_COMMAND(name, cls, code) \
  int name(quint8* buffer) { return BuildFrame(cls, code, buffer); }
  QUVIAL_SPLICER_COMMANDS(QUVIAL_DECLARE_COMMAND)
#undef QUVIAL_DECLARE_COMMAND

  // DVI is code 0x03; the mixer panel's DVI (flag true) is code 0x04, as HDMI.
  int SelectDvi(bool flag, quint8* buffer) { return BuildFrame(0x20, flag ? 0x04 : 0x03, buffer); }
  // Source number 1 to 11 (code plus 1); returns 0 and builds nothing otherwise.
  int SelectSource(int sourceNumber, quint8* buffer);

  int SetBacklight(quint8 value, quint8* buffer) { return BuildFrame(0x21, value, buffer); }
  // The switch-on temperature in degrees (30 to 40 from the knob) is the code.
  int FanTemperature(quint8 degrees, quint8* buffer) { return BuildFrame(0x69, degrees, buffer); }
  // Type 0 to 3; any other type builds nothing, returns 0 and leaves the
  // buffer and the builder's state as they were.
  int SetOutputResolution(int type, quint8* buffer);
  int Rotate(quint8 position, quint8* buffer) { return BuildFrame(0x80, position, buffer); }
  int SetReshowH(quint8 value, quint8* buffer) { return BuildFrame(0x5A, value, buffer); }
  int SetReshowV(quint8 value, quint8* buffer) { return BuildFrame(0x5B, value, buffer); }

  // The next three carry their own address bytes: they ignore the stored
  // start/end and the broadcast mode, and leave both unchanged.
  //
  // Gives the unit with machine number `machine` the cell address `newAddress`.
  // Long: C8 09 A.hi A.lo M.hi M.lo 66 01 sum; short: C8 07 M.hi M.lo 66 packed(A) sum.
  int SetCellId(quint16 newAddress, quint16 machine, quint8* buffer);
  // Long: the four bytes of the number, most significant first, in the address
  // field; short: its two low bytes. Class 0x77, code 0x01.
  int SetFactoryNumber(quint32 number, quint8* buffer);
  // Class 0x77 code 0x00 to row 0, column 0 (all address bytes zero).
  int RequestFactoryNumber(quint8* buffer);

 private:
  // Writes header, length, the address bytes (4 long / 2 short), class, code
  // and checksum; remembers class, code and checksum.
  int Emit(const quint8* address, quint8 cls, quint8 code, quint8* buffer);

  quint16 start_ = 0;
  quint16 end_ = 0;
  quint8 class_ = 0;
  quint8 code_ = 0;
  quint8 checksum_ = 0;
  quint8 addressModeTag_ = 0;
  quint8 publicChannel_ = 0;
  bool longFrames_ = true;
};
