#pragma once

#include <QByteArray>
#include <optional>

// A decoded picture as plain bytes, so that logic and tests need no image
// classes: width * height pixels of three bytes (R, G, B), row after row.
struct TDecodedImage {
  int width = 0;
  int height = 0;
  QByteArray rgb;
};

// Largest width or height accepted; anything bigger is refused before any
// pixel memory is taken.
constexpr int kMaxJpegSide = 8192;

// Decodes a JPEG held in memory. Any damage (garbage, truncation, empty
// input, sizes above kMaxJpegSide, unsupported colour spaces) gives
// std::nullopt; libjpeg never ends the process nor writes to the terminal.
// Grey and CMYK pictures come out as RGB.
std::optional<TDecodedImage> DecodeJpeg(const QByteArray& bytes);
