// Checks a device-independent bitmap from the clipboard before anything touches its pixels.
#pragma once

#include <cstdint>
#include <string>

namespace capture {

struct DibInfo {
  bool ok = false;
  std::string refusal;     // why the bitmap was refused, for the log
  int width = 0;
  int height = 0;          // always positive; topDown tells the row order
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t pixelOffset = 0;  // from the start of the block
  std::uint32_t stride = 0;
};

// The largest picture taken from the clipboard, in pixels.
constexpr std::uint64_t maxDibPixels = 64ull * 1024 * 1024;

// Reads and checks every header field against the size of the block.
DibInfo inspectDib(const std::string& block);

}  // namespace capture
