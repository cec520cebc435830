#include <gtest/gtest.h>

#include "link/cell_address.h"
#include "linkage/matrix_commands.h"
#include "matrix_formats.h"

namespace {

// The console's commands, read back by the wall's matrices: every brand of
// every list routes the requested input to the screens' outputs, in walk
// order, and a brand the wall has no reader for gets no command either.
TEST(MatrixRoundTrip, WhatTheConsoleSendsIsWhatTheMatrixDoes) {
  struct TRect {
    int columns, top, left, bottom, right, input, address;
  };
  // A row of two screens on a 4-column wall; a 2 x 2 rectangle on a 2-column one.
  const TRect rects[] = {{4, 1, 2, 1, 3, 3, 2}, {2, 1, 1, 2, 2, 4, 1}};
  for (TMatrixKind kind : {TMatrixKind::Video, TMatrixKind::Vga, TMatrixKind::Dvi}) {
    for (const QString& brand : MatrixBrands(kind)) {
      for (const TRect& r : rects) {
        SCOPED_TRACE(MatrixKindName(kind).toStdString() + " " + brand.toStdString());
        TMatrixRequest request;
        request.kind = kind;
        request.brand = brand;
        request.address = r.address;
        request.start = CellAddress(r.top, r.left);
        request.end = CellAddress(r.bottom, r.right);
        request.columns = r.columns;
        request.input = static_cast<quint16>(r.input);
        request.latestSource = 4;
        const std::vector<QByteArray> commands = BuildMatrixCommands(request);
        const TMatrixParser parser = MatrixParser(kind, brand);
        if (!parser) {
          EXPECT_TRUE(commands.empty());
          continue;
        }
        ASSERT_FALSE(commands.empty());
        TCommandStream<TMatrixCommand> stream(parser);
        std::vector<TRoute> routes;
        for (const QByteArray& command : commands) {
          for (const auto& item : stream.Feed(command)) {
            ASSERT_EQ(item.verdict, TStreamVerdict::Command)
                << item.bytes.toHex(' ').toStdString() << " " << item.reason.toStdString();
            if (item.payload.address >= 0) {
              EXPECT_EQ(item.payload.address, r.address);
            }
            routes.insert(routes.end(), item.payload.routes.begin(), item.payload.routes.end());
          }
        }
        EXPECT_EQ(stream.Pending(), 0);
        std::vector<TRoute> want;
        for (int row = r.top; row <= r.bottom; ++row)
          for (int col = r.left; col <= r.right; ++col)
            want.push_back({(row - 1) * r.columns + col, r.input});
        EXPECT_EQ(routes, want);
      }
    }
  }
}

}  // namespace
