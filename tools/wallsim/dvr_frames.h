#pragma once

#include <QByteArrayView>

#include "command_stream.h"

// What one DVR frame asks: the lead frame that precedes every split, or a
// picture split (1, 4, 9 or 16 pictures) for the DVR at an address.
struct TDvrCommand {
  bool lead = false;
  int address = 0;
  int split = 0;
};

// The DVR's 8-byte frames: 90, address, code, four fixed bytes, and the low
// byte of the sum of the seven before it. Code FE with 00 00 01 00 is the
// lead frame; codes 1B to 1E with 01 01 00 00 are the splits.
TParsed<TDvrCommand> ParseDvrFrame(QByteArrayView bytes);
