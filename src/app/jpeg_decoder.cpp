#include "app/jpeg_decoder.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>

namespace {

// libjpeg's default error handler calls exit(); ours jumps back to the
// decoder instead. Warnings (for example a premature end of data) mean the
// picture is damaged, so they abort too.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr cinfo, int level) {
  if (level < 0) OnError(cinfo);  // a warning: corrupt or truncated data
  // Trace messages (level >= 0) are dropped: nothing goes to the terminal.
}

void OnOutput(j_common_ptr) {}

// Progressive files can carry thousands of tiny scans that take minutes to
// decode; real pictures need a handful.
constexpr int kMaxScans = 500;

void OnProgress(j_common_ptr common) {
  auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
  if (cinfo->input_scan_number > kMaxScans) OnError(common);
}

// Inverse CMYK as written by common tools (Adobe marker) or plain CMYK.
void CmykToRgb(const JSAMPLE* in, char* out, int width, bool inverted) {
  for (int x = 0; x < width; ++x, in += 4, out += 3) {
    int c = in[0], m = in[1], y = in[2], k = in[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    out[0] = static_cast<char>(c * k / 255);
    out[1] = static_cast<char>(m * k / 255);
    out[2] = static_cast<char>(y * k / 255);
  }
}

// Everything that libjpeg may jump out of lives here. Its locals are set
// before setjmp and never changed afterwards; the results go through
// pointers into the caller's frame, which the jump does not touch.
bool Decode(jpeg_decompress_struct* cinfo, ErrorManager* err, jpeg_progress_mgr* progress,
            const QByteArray* bytes, TDecodedImage* image, QByteArray* cmykRow) {
  cinfo->err = jpeg_std_error(&err->pub);
  err->pub.error_exit = OnError;
  err->pub.emit_message = OnMessage;
  err->pub.output_message = OnOutput;
  progress->progress_monitor = OnProgress;
  if (setjmp(err->jump)) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  jpeg_create_decompress(cinfo);
  cinfo->progress = progress;
  jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char*>(bytes->constData()),
               static_cast<unsigned long>(bytes->size()));
  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  if (cinfo->image_width == 0 || cinfo->image_height == 0 ||
      cinfo->image_width > static_cast<JDIMENSION>(kMaxJpegSide) ||
      cinfo->image_height > static_cast<JDIMENSION>(kMaxJpegSide)) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(cinfo);

  const int width = static_cast<int>(cinfo->output_width);
  const int height = static_cast<int>(cinfo->output_height);
  const qsizetype stride = qsizetype{width} * 3;
  image->width = width;
  image->height = height;
  image->rgb.resize(stride * height);
  if (cmyk) cmykRow->resize(qsizetype{width} * 4);
  while (cinfo->output_scanline < cinfo->output_height) {
    const qsizetype line = cinfo->output_scanline;
    char* out = image->rgb.data() + line * stride;
    JSAMPROW row = reinterpret_cast<JSAMPROW>(cmyk ? cmykRow->data() : out);
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) {
      jpeg_destroy_decompress(cinfo);  // suspended: the data ran out
      return false;
    }
    if (cmyk) CmykToRgb(row, out, width, cinfo->saw_Adobe_marker);
  }
  jpeg_finish_decompress(cinfo);
  jpeg_destroy_decompress(cinfo);
  return true;
}

}  // namespace

std::optional<TDecodedImage> DecodeJpeg(const QByteArray& bytes) {
  // The smallest JPEG needs far more than SOI + EOI; this also keeps
  // libjpeg away from empty buffers, which it treats as a fatal error.
  if (bytes.size() < 4) return std::nullopt;
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  jpeg_progress_mgr progress{};
  TDecodedImage image;
  QByteArray cmykRow;
  if (!Decode(&cinfo, &err, &progress, &bytes, &image, &cmykRow)) return std::nullopt;
  return image;
}
