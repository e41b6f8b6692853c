// Stored pictures in PNG: the bytes of an image clip or of a picture file.
#include "stored_image_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  checkStoredImage(data, size);
  return 0;
}
