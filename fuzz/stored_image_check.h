// The checks shared by the PNG and JPEG targets: a stored picture either decodes or is refused
// with a reason, and one that decodes can be stored again and previewed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/image_codec.h"
#include "fuzz_check.h"

inline void checkStoredImage(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const core::DecodedImage decoded = core::decodeImage(bytes);
  if (!decoded.ok()) {
    FUZZ_REQUIRE(decoded.image.pixels.empty());
    return;
  }
  const core::Image& image = decoded.image;
  FUZZ_REQUIRE(image.valid());
  for (std::size_t at = 3; at < image.pixels.size(); at += 4) FUZZ_REQUIRE(image.pixels[at] == 0xFF);
  // Large pictures only repeat what small ones show, slowly.
  if (static_cast<std::uint64_t>(image.width) * image.height > 1000000) return;

  const core::EncodedImage png = core::encodeImage(image, core::ImageFormat::Png);
  FUZZ_REQUIRE(png.ok());
  const core::DecodedImage again = core::decodeImage(png.bytes);
  FUZZ_REQUIRE(again.ok() && again.image.width == image.width && again.image.height == image.height);
  FUZZ_REQUIRE(again.image.pixels == image.pixels);

  const core::EncodedImage jpeg = core::encodeImage(image, core::ImageFormat::Jpeg);
  FUZZ_REQUIRE(jpeg.ok() == (image.width <= core::maxJpegSide && image.height <= core::maxJpegSide));
  if (jpeg.ok()) {
    const core::DecodedImage fromJpeg = core::decodeImage(jpeg.bytes);
    FUZZ_REQUIRE(fromJpeg.ok() && fromJpeg.image.width == image.width && fromJpeg.image.height == image.height);
  }

  const core::DecodedImage preview = core::boxImage(image, 97, 61, 0x00C0C0C0);
  FUZZ_REQUIRE(preview.ok() && preview.image.width == 97 && preview.image.height == 61);
}
