// Device-independent bitmaps, the clipboard's picture format: the checks of a bitmap that some
// other program put there, its pixels as a picture, and a picture as a bitmap of our own.
#pragma once

#include <cstdint>
#include <string>

#include "core/image_codec.h"

namespace core {

struct DibInfo {
  bool ok = false;
  std::string refusal;     // why the bitmap was refused, for the log
  int width = 0;
  int height = 0;          // always positive; topDown tells the row order
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t colourTableOffset = 0;  // from the start of the block
  std::uint32_t colourCount = 0;        // entries of the colour table
  std::uint32_t colourEntrySize = 4;    // 3 in the oldest header
  std::uint32_t masks[3] = {0, 0, 0};   // red, green, blue of a 16 or 32-bit bitmap
  std::uint32_t pixelOffset = 0;        // from the start of the block
  std::uint32_t stride = 0;
};

// The largest picture taken from the clipboard, in pixels.
constexpr std::uint64_t maxDibPixels = maxImagePixels;

// Reads and checks every header field against the size of the block, and every colour index of
// a bitmap whose colour table is shorter than its bits can point to.
DibInfo inspectDib(const std::string& block);
// The bitmap's pixels, after the checks above.
DecodedImage dibToImage(const std::string& block);
// The picture as a 24-bit bottom-up bitmap, the layout every program reads.
EncodedImage imageToDib(const Image& image);

}  // namespace core
