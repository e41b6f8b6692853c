// Hostile or broken programs put anything on the clipboard; a bitmap header is believed only as
// far as the block it came in can hold it, and a colour index only as far as its table reaches.
#include "core/dib.h"

#include <cstring>
#include <new>

namespace core {
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

void put32(std::string& b, std::size_t at, std::uint32_t v) { std::memcpy(&b[at], &v, 4); }
void put16(std::string& b, std::size_t at, std::uint16_t v) { std::memcpy(&b[at], &v, 2); }

DibInfo refuse(const std::string& why) {
  DibInfo info;
  info.refusal = why;
  return info;
}

constexpr std::uint32_t BI_RGB = 0, BI_BITFIELDS = 3;

// A colour mask is one unbroken run of bits inside the pixel; the three do not overlap.
bool masksUsable(const std::uint32_t (&masks)[3], int bitCount) {
  const std::uint64_t room = (1ull << bitCount) - 1;
  std::uint32_t seen = 0;
  for (std::uint32_t m : masks) {
    if (m == 0 || m > room || (m & seen)) return false;
    const std::uint32_t low = m & (~m + 1);  // lowest set bit
    const std::uint64_t run = static_cast<std::uint64_t>(m) + low;
    if (run & m) return false;  // a gap: adding the lowest bit does not clear the whole run
    seen |= m;
  }
  return true;
}

// The index of pixel x in a row of 1, 4 or 8 bits a pixel, the leftmost pixel in the high bits.
unsigned indexAt(const std::uint8_t* row, int x, int bitCount) {
  const unsigned bit = static_cast<unsigned>(x) * bitCount;
  const unsigned shift = 8 - bitCount - bit % 8;
  return (row[bit / 8] >> shift) & ((1u << bitCount) - 1);
}

// Finds a colour index past the table; the whole picture is looked at before any of it is used.
bool indicesInTable(const std::string& block, const DibInfo& info) {
  const auto* pixels = reinterpret_cast<const std::uint8_t*>(block.data()) + info.pixelOffset;
  for (int y = 0; y < info.height; ++y) {
    const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * info.stride;
    for (int x = 0; x < info.width; ++x)
      if (indexAt(row, x, info.bitCount) >= info.colourCount) return false;
  }
  return true;
}

// Turns a masked field into 0..255.
struct Channel {
  std::uint32_t mask = 0;
  unsigned shift = 0;
  std::uint64_t top = 1;
  explicit Channel(std::uint32_t m) : mask(m) {
    while (m && !(m & 1)) {
      m >>= 1;
      ++shift;
    }
    top = m;
  }
  std::uint8_t operator()(std::uint32_t pixel) const {
    const std::uint64_t v = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>((v * 255 + top / 2) / top);
  }
};

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
    if (info.bitCount != 1 && info.bitCount != 4 && info.bitCount != 8 && info.bitCount != 24)
      return refuse("bitmap of " + std::to_string(info.bitCount) + " bits per pixel");
    if (info.bitCount <= 8) colours = 1u << info.bitCount;
    info.colourEntrySize = 3;
    info.colourTableOffset = 12;
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
    if (info.bitCount != 1 && info.bitCount != 4 && info.bitCount != 8 && info.bitCount != 16 &&
        info.bitCount != 24 && info.bitCount != 32)
      return refuse("bitmap of " + std::to_string(info.bitCount) + " bits per pixel");
    info.compression = u32(block, 16);
    const std::uint32_t used = u32(block, 32);
    if (info.bitCount <= 8) {
      const std::uint64_t most = 1ull << info.bitCount;
      colours = used == 0 ? most : used;
      if (colours > most) return refuse("bitmap colour table too long");
    } else {
      colours = used;  // a table to choose a palette by; the pixels follow it
    }
    std::uint64_t masks = 0;
    if (info.compression == BI_BITFIELDS) {
      // The three masks follow the short header and sit inside the longer ones.
      if (headerSize == 40) {
        masks = 12;
        if (size < 52) return refuse("bitmap colour masks past the end of its block");
      } else if (headerSize < 52) {
        return refuse("bitmap header of " + std::to_string(headerSize) + " bytes has no colour masks");
      }
      for (int i = 0; i < 3; ++i) info.masks[i] = u32(block, 40 + 4 * i);
    }
    info.colourTableOffset = static_cast<std::uint32_t>(headerSize + masks);
    const std::uint64_t offset = headerSize + masks + colours * 4;
    if (offset > size) return refuse("bitmap colour table past the end of its block");
    info.pixelOffset = static_cast<std::uint32_t>(offset);
  } else {
    return refuse("bitmap header of " + std::to_string(headerSize) + " bytes");
  }
  info.colourCount = static_cast<std::uint32_t>(colours);

  // Run-length and embedded JPEG or PNG bitmaps are not taken; masks only come with 16 and 32 bits.
  const bool masked = info.bitCount == 16 || info.bitCount == 32;
  if (info.compression != BI_RGB && !(masked && info.compression == BI_BITFIELDS)) return refuse("compressed bitmap");
  if (info.compression == BI_RGB && info.bitCount == 16) {
    info.masks[0] = 0x7C00, info.masks[1] = 0x03E0, info.masks[2] = 0x001F;
  } else if (info.compression == BI_RGB && info.bitCount == 32) {
    info.masks[0] = 0xFF0000, info.masks[1] = 0xFF00, info.masks[2] = 0xFF;
  } else if (info.compression == BI_BITFIELDS && !masksUsable(info.masks, info.bitCount)) {
    return refuse("bitmap colour masks unusable");
  }
  if (info.width <= 0 || info.height <= 0) return refuse("empty bitmap");
  const std::uint64_t pixels = static_cast<std::uint64_t>(info.width) * static_cast<std::uint64_t>(info.height);
  if (pixels > maxDibPixels) return refuse("bitmap of " + std::to_string(info.width) + " x " +
                                           std::to_string(info.height) + " pixels is too large");
  const std::uint64_t stride = ((static_cast<std::uint64_t>(info.width) * info.bitCount + 31) / 32) * 4;
  if (info.pixelOffset + stride * info.height > size) return refuse("bitmap pixels past the end of its block");
  info.stride = static_cast<std::uint32_t>(stride);
  if (info.bitCount <= 8 && info.colourCount < (1u << info.bitCount) && !indicesInTable(block, info))
    return refuse("bitmap colour index past its colour table of " + std::to_string(info.colourCount) + " entries");
  info.ok = true;
  return info;
}

DecodedImage dibToImage(const std::string& block) {
  DecodedImage out;
  const DibInfo info = inspectDib(block);
  if (!info.ok) {
    out.failure = info.refusal;
    return out;
  }
  out = makeImage(info.width, info.height, 0);
  if (!out.ok()) return out;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(block.data());
  const std::uint8_t* table = bytes + info.colourTableOffset;
  const Channel red(info.masks[0]), green(info.masks[1]), blue(info.masks[2]);
  for (int y = 0; y < info.height; ++y) {
    const int sourceRow = info.topDown ? y : info.height - 1 - y;
    const std::uint8_t* row = bytes + info.pixelOffset + static_cast<std::size_t>(sourceRow) * info.stride;
    std::uint8_t* target = out.image.pixels.data() + static_cast<std::size_t>(y) * info.width * 4;
    for (int x = 0; x < info.width; ++x, target += 4) {
      switch (info.bitCount) {
        case 1: case 4: case 8: {
          const unsigned index = indexAt(row, x, info.bitCount);
          if (index >= info.colourCount) {  // the checks looked already; never read past the table
            out.image = Image();
            out.failure = "bitmap colour index past its colour table";
            return out;
          }
          std::memcpy(target, table + index * info.colourEntrySize, 3);  // blue, green, red
          break;
        }
        case 24:
          std::memcpy(target, row + x * 3, 3);
          break;
        case 32:
          if (info.masks[0] == 0xFF0000 && info.masks[1] == 0xFF00 && info.masks[2] == 0xFF) {
            std::memcpy(target, row + x * 4, 3);  // the usual layout needs no arithmetic
            break;
          }
          [[fallthrough]];
        case 16: {
          const std::uint32_t pixel = info.bitCount == 16 ? std::uint32_t(row[x * 2] | row[x * 2 + 1] << 8)
                                                          : std::uint32_t(row[x * 4]) | row[x * 4 + 1] << 8 |
                                                                row[x * 4 + 2] << 16 | std::uint32_t(row[x * 4 + 3]) << 24;
          target[0] = blue(pixel);
          target[1] = green(pixel);
          target[2] = red(pixel);
          break;
        }
      }
    }
  }
  return out;
}

EncodedImage imageToDib(const Image& image) {
  EncodedImage out;
  if (!image.valid()) {
    out.failure = "there is no picture to put on the clipboard";
    return out;
  }
  const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) & ~std::size_t(3);
  const std::size_t pixelBytes = stride * image.height;
  try {
    out.bytes.assign(40 + pixelBytes, '\0');
  } catch (const std::bad_alloc&) {
    out.failure = "there is not enough memory for the picture";
    return out;
  }
  put32(out.bytes, 0, 40);
  put32(out.bytes, 4, static_cast<std::uint32_t>(image.width));
  put32(out.bytes, 8, static_cast<std::uint32_t>(image.height));  // positive: bottom row first
  put16(out.bytes, 12, 1);
  put16(out.bytes, 14, 24);
  put32(out.bytes, 16, BI_RGB);
  put32(out.bytes, 20, static_cast<std::uint32_t>(pixelBytes));
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* source = image.pixels.data() + static_cast<std::size_t>(image.height - 1 - y) * image.width * 4;
    char* target = &out.bytes[40 + static_cast<std::size_t>(y) * stride];
    for (int x = 0; x < image.width; ++x) std::memcpy(target + x * 3, source + x * 4, 3);
  }
  return out;
}

}  // namespace core
