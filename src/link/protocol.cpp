#include "link/protocol.h"

#include <array>

#include "link/cell_address.h"

namespace {

constexpr TProtocol::Command kFixedCommands[] = {
#define QUVIAL_COMMAND_ROW(name, cls, code) {#name, cls, code},
    QUVIAL_SPLICER_COMMANDS(QUVIAL_COMMAND_ROW)
#undef QUVIAL_COMMAND_ROW
};

quint8 High(quint16 value) { return static_cast<quint8>(value >> 8); }
quint8 Low(quint16 value) { return static_cast<quint8>(value & 0xFF); }

}  // namespace

TProtocol::TProtocol() = default;

void TProtocol::SetAddress(quint16 start, quint16 end) {
  start_ = start;
  end_ = end;
}

void TProtocol::SetFrameMode(int mode) { longFrames_ = mode == 1; }

void TProtocol::SetAddressMode(quint8 tag, quint8 publicChannel) {
  addressModeTag_ = tag;
  publicChannel_ = publicChannel;
}

int TProtocol::BuildFrame(quint8 cls, quint8 code, quint8* buffer) {
  std::array<quint8, 4> address{0xFF, 0xFF, 0xFF, 0xFF};
  if (!Broadcast()) {
    if (longFrames_) {
      address = {High(start_), Low(start_), High(end_), Low(end_)};
    } else {
      address[0] = PackShortAddress(start_);
      address[1] = PackShortAddress(end_);
    }
  }
  return Emit(address.data(), cls, code, buffer);
}

int TProtocol::Emit(const quint8* address, quint8 cls, quint8 code, quint8* buffer) {
  const int length = FrameLength();
  const int addressBytes = length - 5;  // header, length, class, code, checksum
  buffer[0] = kHeader;
  buffer[1] = static_cast<quint8>(length);
  for (int i = 0; i < addressBytes; ++i) buffer[2 + i] = address[i];
  buffer[length - 3] = cls;
  buffer[length - 2] = code;
  buffer[length - 1] = Checksum(buffer, length - 1);
  class_ = cls;
  code_ = code;
  checksum_ = buffer[length - 1];
  return length;
}

quint8 TProtocol::Checksum(const quint8* bytes, int count) {
  unsigned sum = 0;
  for (int i = 0; i < count; ++i) sum += bytes[i];
  return static_cast<quint8>(sum & 0xFF);
}

std::span<const TProtocol::Command> TProtocol::FixedCommands() { return kFixedCommands; }

const TProtocol::Command* TProtocol::FindCommand(quint8 cls, quint8 code) {
  for (const Command& command : kFixedCommands) {
    if (command.cls == cls && command.code == code) return &command;
  }
  return nullptr;
}

int TProtocol::SelectSource(int sourceNumber, quint8* buffer) {
  if (sourceNumber < 1 || sourceNumber > 11) return 0;
  return BuildFrame(0x20, static_cast<quint8>(sourceNumber - 1), buffer);
}

int TProtocol::SetOutputResolution(int type, quint8* buffer) {
  if (type < 0 || type > 3) return 0;
  return BuildFrame(0x78, static_cast<quint8>(type), buffer);
}

int TProtocol::SetCellId(quint16 newAddress, quint16 machine, quint8* buffer) {
  if (longFrames_) {
    const quint8 address[4] = {High(newAddress), Low(newAddress), High(machine), Low(machine)};
    return Emit(address, 0x66, 0x01, buffer);
  }
  const quint8 address[2] = {High(machine), Low(machine)};
  return Emit(address, 0x66, PackShortAddress(newAddress), buffer);
}

int TProtocol::SetFactoryNumber(quint32 number, quint8* buffer) {
  const quint8 bytes[4] = {static_cast<quint8>(number >> 24), static_cast<quint8>(number >> 16),
                           static_cast<quint8>(number >> 8), static_cast<quint8>(number)};
  // The short frame's address field holds the two low bytes: (N >> 8) and N.
  return Emit(longFrames_ ? bytes : bytes + 2, 0x77, 0x01, buffer);
}

int TProtocol::RequestFactoryNumber(quint8* buffer) {
  const quint8 address[4] = {0, 0, 0, 0};
  return Emit(address, 0x77, 0x00, buffer);
}
