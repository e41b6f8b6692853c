// Bitmaps from the clipboard to pixels at every depth the capture takes, the refusals of the
// hostile ones, and our own bitmap of a picture.
#include "core/dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

using core::DecodedImage;

void append32(std::string& s, std::uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); }
void append16(std::string& s, std::uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); }

std::string header(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression = 0,
                   std::uint32_t used = 0) {
  std::string h;
  append32(h, 40);
  append32(h, static_cast<std::uint32_t>(width));
  append32(h, static_cast<std::uint32_t>(height));
  append16(h, 1);
  append16(h, static_cast<std::uint16_t>(bits));
  append32(h, compression);
  for (int i = 0; i < 3; ++i) append32(h, 0);
  append32(h, used);
  append32(h, 0);
  return h;
}

// Table entries blue, green, red, 0 with entry i = (i, 2i, 3i).
std::string table(int entries) {
  std::string t;
  for (int i = 0; i < entries; ++i) t += {static_cast<char>(i), static_cast<char>(2 * i), static_cast<char>(3 * i), 0};
  return t;
}

// Rows of packed indices, each padded to four bytes, in the order given.
std::string indexRows(int width, int bits, const std::vector<std::vector<unsigned>>& rows) {
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  std::string out;
  for (const auto& row : rows) {
    std::string r(stride, '\0');
    for (int x = 0; x < width; ++x) {
      const unsigned bit = x * bits;
      r[bit / 8] = static_cast<char>(static_cast<unsigned char>(r[bit / 8]) | row[x] << (8 - bits - bit % 8));
    }
    out += r;
  }
  return out;
}

// Blue, green, red of a pixel of the picture.
std::vector<int> bgr(const core::Image& image, int x, int y) {
  const std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
  return {p[0], p[1], p[2]};
}

TEST(Dib, IndexedBitmapsTakeTheirColoursFromTheTable) {
  // 1, 4 and 8 bits, bottom-up: the first row in the block is the picture's last.
  for (int bits : {1, 4, 8}) {
    const unsigned a = 1, b = bits == 1 ? 0 : 5;
    const std::string block = header(3, 2, bits) + table(1 << bits) + indexRows(3, bits, {{a, b, a}, {b, a, b}});
    const DecodedImage d = core::dibToImage(block);
    ASSERT_TRUE(d.ok()) << bits << ": " << d.failure;
    EXPECT_EQ(bgr(d.image, 0, 0), (std::vector<int>{int(b), int(2 * b), int(3 * b)})) << bits;
    EXPECT_EQ(bgr(d.image, 1, 0), (std::vector<int>{int(a), int(2 * a), int(3 * a)})) << bits;
    EXPECT_EQ(bgr(d.image, 2, 1), (std::vector<int>{int(a), int(2 * a), int(3 * a)})) << bits;
  }
}

TEST(Dib, AnIndexPastAShortColourTableIsRefusedNeverRead) {
  for (int bits : {4, 8}) {
    const std::string good = header(3, 1, bits, 0, 4) + table(4) + indexRows(3, bits, {{0, 3, 1}});
    EXPECT_TRUE(core::dibToImage(good).ok()) << bits;
    const std::string bad = header(3, 1, bits, 0, 4) + table(4) + indexRows(3, bits, {{0, 4, 1}});
    const core::DibInfo info = core::inspectDib(bad);
    EXPECT_FALSE(info.ok) << bits;
    EXPECT_EQ(info.refusal, "bitmap colour index past its colour table of 4 entries") << bits;
    EXPECT_EQ(core::dibToImage(bad).failure, info.refusal) << bits;
  }
  // The padding after the last pixel of a row is no index.
  std::string padded = header(1, 1, 4, 0, 2) + table(2) + indexRows(1, 4, {{1}});
  padded[padded.size() - 4] |= 0x0F;
  EXPECT_TRUE(core::inspectDib(padded).ok);
}

TEST(Dib, DirectColourBitmapsAtEveryDepthAndRowOrder) {
  // 24 bits, top-down: the first row in the block is the picture's first.
  std::string b24 = header(2, -1, 24) + std::string("\x01\x02\x03\x04\x05\x06\0\0", 8);
  EXPECT_EQ(bgr(core::dibToImage(b24).image, 1, 0), (std::vector<int>{4, 5, 6}));
  // 32 bits: the fourth byte is not a colour.
  std::string b32 = header(1, 1, 32) + std::string("\x07\x08\x09\x00", 4);
  EXPECT_EQ(bgr(core::dibToImage(b32).image, 0, 0), (std::vector<int>{7, 8, 9}));
  // 16 bits, five for each colour: full red, half green (15 of 31), no blue.
  std::string b16 = header(1, 1, 16);
  append16(b16, 0x7C00 | 15 << 5);
  b16 += std::string(2, '\0');
  EXPECT_EQ(bgr(core::dibToImage(b16).image, 0, 0), (std::vector<int>{0, 123, 255}));
  // 16 bits with masks of five, six and five bits.
  std::string b565 = header(1, 1, 16, 3);
  append32(b565, 0xF800), append32(b565, 0x07E0), append32(b565, 0x001F);
  append16(b565, 0x07E0);
  b565 += std::string(2, '\0');
  EXPECT_EQ(bgr(core::dibToImage(b565).image, 0, 0), (std::vector<int>{0, 255, 0}));
  // 32 bits with ten bits a colour.
  std::string b10 = header(1, 1, 32, 3);
  append32(b10, 0x3FF00000), append32(b10, 0x000FFC00), append32(b10, 0x3FF);
  append32(b10, 0x3FF00000 | 0x3FF);
  EXPECT_EQ(bgr(core::dibToImage(b10).image, 0, 0), (std::vector<int>{255, 0, 255}));
}

TEST(Dib, TheOldestHeaderWithItsThreeByteTable) {
  std::string block;
  append32(block, 12);
  append16(block, 2), append16(block, 1), append16(block, 1), append16(block, 8);
  for (int i = 0; i < 256; ++i) block += {static_cast<char>(i), 0, static_cast<char>(255 - i)};
  block += std::string("\x02\x05\0\0", 4);
  const DecodedImage d = core::dibToImage(block);
  ASSERT_TRUE(d.ok()) << d.failure;
  EXPECT_EQ(bgr(d.image, 1, 0), (std::vector<int>{5, 0, 250}));
}

TEST(Dib, HostileHeadersAreRefusedWithTheirReason) {
  std::string overlapping = header(1, 1, 16, 3);
  append32(overlapping, 0xF800), append32(overlapping, 0x0FE0), append32(overlapping, 0x1F);
  overlapping += std::string(4, '\0');
  std::string gap = header(1, 1, 32, 3);
  append32(gap, 0xFF00FF), append32(gap, 0xFF00), append32(gap, 0xFF000000);
  gap += std::string(4, '\0');
  const struct {
    std::string block, reason;
  } cases[] = {
      {"", "bitmap block of 0 bytes"},
      {header(100000, 100000, 24) + std::string(64, '\0'), "bitmap of 100000 x 100000 pixels is too large"},
      {header(64, 64, 24) + std::string(100, '\x7f'), "bitmap pixels past the end of its block"},
      {header(4, 4, 8, 0, 200) + table(10), "bitmap colour table past the end of its block"},
      {header(4, 4, 8, 0, 300) + table(300), "bitmap colour table too long"},
      {header(-5, 5, 24) + std::string(80, '\0'), "bitmap of -5 x 5 pixels"},
      {header(2, 2, 8, 1) + table(256) + std::string(8, '\0'), "compressed bitmap"},
      {header(2, 2, 7) + std::string(64, '\0'), "bitmap of 7 bits per pixel"},
      {overlapping, "bitmap colour masks unusable"},
      {gap, "bitmap colour masks unusable"},
      {header(1, 1, 16, 3), "bitmap colour masks past the end of its block"},
  };
  for (const auto& c : cases) {
    const DecodedImage d = core::dibToImage(c.block);
    EXPECT_FALSE(d.ok()) << c.reason;
    EXPECT_EQ(d.failure, c.reason);
    EXPECT_TRUE(d.image.pixels.empty()) << c.reason;
  }
}

TEST(Dib, OurBitmapOfAPictureReadsBackTheSame) {
  // Three pixels a row leaves three bytes of padding in each 24-bit row.
  core::Image image = core::makeImage(3, 2, platform::rgb(1, 2, 3)).image;
  image.pixels[0] = 200;  // the top left pixel's blue
  const auto dib = core::imageToDib(image);
  ASSERT_TRUE(dib.ok()) << dib.failure;
  ASSERT_EQ(dib.bytes.size(), 40u + 2 * 12);
  const core::DibInfo info = core::inspectDib(dib.bytes);
  EXPECT_TRUE(info.ok && info.bitCount == 24 && !info.topDown);
  EXPECT_EQ(static_cast<unsigned char>(dib.bytes[40 + 12]), 200);  // the top row comes last
  const DecodedImage back = core::dibToImage(dib.bytes);
  ASSERT_TRUE(back.ok()) << back.failure;
  EXPECT_TRUE(back.image.pixels == image.pixels);
  EXPECT_EQ(core::imageToDib(core::Image()).failure, "there is no picture to put on the clipboard");
}

}  // namespace
