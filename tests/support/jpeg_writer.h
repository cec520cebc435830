#pragma once

// Makes JPEG files in memory with libjpeg's own compressor, so that tests of
// the decoder and of the start dialog's logo need no picture files. Header
// only: test executables that use it already link libjpeg through the app.

#include <jpeglib.h>

#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

struct TJpegPicture {
  int width = 16;
  int height = 16;
  J_COLOR_SPACE space = JCS_RGB;  // JCS_RGB, JCS_GRAYSCALE or JCS_CMYK
  int quality = 95;
  bool progressive = false;
  // Components of pixel (x, y); out has 3, 1 or 4 entries by space.
  std::function<void(int x, int y, JSAMPLE* out)> pixel;
};

inline QByteArray WriteJpeg(const TJpegPicture& picture) {
  const int components = picture.space == JCS_GRAYSCALE ? 1 : picture.space == JCS_CMYK ? 4 : 3;
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(picture.width);
  cinfo.image_height = static_cast<JDIMENSION>(picture.height);
  cinfo.input_components = components;
  cinfo.in_color_space = picture.space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, picture.quality, TRUE);
  if (picture.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(picture.width * components));
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = static_cast<int>(cinfo.next_scanline);
    for (int x = 0; x < picture.width; ++x)
      picture.pixel(x, y, &row[static_cast<size_t>(x * components)]);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  QByteArray out(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
  std::free(buffer);
  return out;
}

// A picture of one colour, the simplest thing a lossy codec keeps exactly.
inline QByteArray WriteSolidJpeg(int width, int height, JSAMPLE r, JSAMPLE g, JSAMPLE b) {
  TJpegPicture picture;
  picture.width = width;
  picture.height = height;
  picture.pixel = [=](int, int, JSAMPLE* out) {
    out[0] = r;
    out[1] = g;
    out[2] = b;
  };
  return WriteJpeg(picture);
}
