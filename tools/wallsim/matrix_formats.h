#pragma once

#include <QString>
#include <vector>

#include "command_stream.h"
#include "linkage/matrix_commands.h"

// One route a matrix command asks for: this input to that output (both
// 1-based; output 256 is the one the raw byte fields carry as 0x00).
struct TRoute {
  int output = 0;
  int input = 0;
  bool operator==(const TRoute&) const = default;
};

// What one matrix command asks: its routes in the order given, and the
// matrix address when the format carries one (-1 when it does not).
struct TMatrixCommand {
  int address = -1;
  std::vector<TRoute> routes;
};

using TMatrixParser = TCommandStream<TMatrixCommand>::TParser;

// The reader of the switch commands a matrix of this kind and brand takes
// (the brand as the console shows it, compared exactly); nullptr for a brand
// without a command set.
TMatrixParser MatrixParser(TMatrixKind kind, const QString& brand);

// "VIDEO", "VGA", "DVI"
QString MatrixKindName(TMatrixKind kind);
