// The start dialog's picture "logo.jpg": any bytes decode to a picture of
// the size it says, or to nothing, without libjpeg ending the process.
#include "app/jpeg_decoder.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  const std::optional<TDecodedImage> image = DecodeJpeg(in.Rest().toByteArray());
  if (!image) return 0;
  FUZZ_CHECK(image->width >= 1 && image->width <= kMaxJpegSide);
  FUZZ_CHECK(image->height >= 1 && image->height <= kMaxJpegSide);
  FUZZ_CHECK(image->rgb.size() == qsizetype(image->width) * image->height * 3);
  return 0;
}
