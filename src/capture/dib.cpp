// Hostile or broken programs put anything on the clipboard; a bitmap header is believed only as
// far as the block it came in can hold it.
#include "capture/dib.h"

#include <cstring>

namespace capture {
namespace {

std::uint32_t u32(const std::string& b, std::size_t at) {
  std::uint32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;  // the clipboard data is little-endian, as are both of our targets
}
std::int32_t i32(const std::string& b, std::size_t at) { return static_cast<std::int32_t>(u32(b, at)); }
std::uint16_t u16(const std::string& b, std::size_t at) {
  std::uint16_t v;
  std::memcpy(&v, b.data() + at, 2);
  return v;
}

DibInfo refuse(const std::string& why) {
  DibInfo info;
  info.refusal = why;
  return info;
}

constexpr std::uint32_t BI_RGB = 0, BI_BITFIELDS = 3;

}  // namespace

DibInfo inspectDib(const std::string& block) {
  const std::uint64_t size = block.size();
  if (size < 4) return refuse("bitmap block of " + std::to_string(size) + " bytes");
  const std::uint32_t headerSize = u32(block, 0);
  DibInfo info;
  std::uint64_t colours = 0;
  if (headerSize == 12) {
    if (size < 12) return refuse("bitmap header cut short");
    info.width = u16(block, 4);
    info.height = u16(block, 6);
    if (u16(block, 8) != 1) return refuse("bitmap planes not 1");
    info.bitCount = u16(block, 10);
    if (info.bitCount <= 8) colours = 1u << info.bitCount;
    info.pixelOffset = 12 + static_cast<std::uint32_t>(colours * 3);
  } else if (headerSize >= 40 && headerSize <= 1024) {
    if (size < headerSize) return refuse("bitmap header cut short");
    const std::int32_t width = i32(block, 4), height = i32(block, 8);
    if (width <= 0 || height == 0 || height == INT32_MIN) return refuse("bitmap of " + std::to_string(width) + " x " +
                                                                        std::to_string(height) + " pixels");
    info.width = width;
    info.topDown = height < 0;
    info.height = height < 0 ? -height : height;
    if (u16(block, 12) != 1) return refuse("bitmap planes not 1");
    info.bitCount = u16(block, 14);
    info.compression = u32(block, 16);
    const std::uint32_t used = u32(block, 32);
    if (info.bitCount <= 8) {
      const std::uint64_t most = 1ull << info.bitCount;
      colours = used == 0 ? most : used;
      if (colours > most) return refuse("bitmap colour table too long");
    }
    std::uint64_t masks = 0;
    if (info.compression == BI_BITFIELDS && headerSize == 40) masks = 12;
    const std::uint64_t offset = headerSize + masks + colours * 4;
    if (offset > size) return refuse("bitmap colour table past the end of its block");
    info.pixelOffset = static_cast<std::uint32_t>(offset);
  } else {
    return refuse("bitmap header of " + std::to_string(headerSize) + " bytes");
  }

  switch (info.bitCount) {
    case 1: case 4: case 8: case 24: break;
    case 16: case 32:
      if (info.compression != BI_RGB && info.compression != BI_BITFIELDS) return refuse("compressed bitmap");
      break;
    default: return refuse("bitmap of " + std::to_string(info.bitCount) + " bits per pixel");
  }
  if (info.bitCount <= 24 && info.compression != BI_RGB) return refuse("compressed bitmap");
  if (info.width <= 0 || info.height <= 0) return refuse("empty bitmap");
  const std::uint64_t pixels = static_cast<std::uint64_t>(info.width) * static_cast<std::uint64_t>(info.height);
  if (pixels > maxDibPixels) return refuse("bitmap of " + std::to_string(info.width) + " x " +
                                           std::to_string(info.height) + " pixels is too large");
  const std::uint64_t stride = ((static_cast<std::uint64_t>(info.width) * info.bitCount + 31) / 32) * 4;
  if (info.pixelOffset + stride * info.height > size) return refuse("bitmap pixels past the end of its block");
  info.stride = static_cast<std::uint32_t>(stride);
  info.ok = true;
  return info;
}

}  // namespace capture
