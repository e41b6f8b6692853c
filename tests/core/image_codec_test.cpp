// Pictures to PNG and JPEG and back, what a broken or hostile picture gets, and the preview fit.
#include "core/image_codec.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>

#include "core/logo.h"

namespace {

using core::DecodedImage;
using core::Image;
using core::ImageFormat;
using core::Placement;

// A picture whose every pixel differs from its neighbours, so that a lost or moved pixel shows.
Image pattern(int width, int height) {
  Image image;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(y) * width + x) * 4];
      p[0] = static_cast<std::uint8_t>(x * 7 + y * 13);
      p[1] = static_cast<std::uint8_t>(x * y);
      p[2] = static_cast<std::uint8_t>(255 - x * 3);
      p[3] = 0xFF;
    }
  return image;
}

// A smooth picture, the kind JPEG keeps close.
Image gradient(int width, int height) {
  Image image = pattern(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(y) * width + x) * 4];
      p[0] = static_cast<std::uint8_t>(x * 255 / width);
      p[1] = static_cast<std::uint8_t>(y * 255 / height);
      p[2] = 128;
    }
  return image;
}

std::string chunk(const char* kind, const std::string& data) {
  std::string out;
  const std::uint32_t length = static_cast<std::uint32_t>(data.size());
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(length >> shift);
  const std::string body = std::string(kind, 4) + data;
  out += body;
  const std::uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(crc >> shift);
  return out;
}

std::string be32(std::uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

// A PNG written by hand: the header as given and the rows (each with its filter byte) deflated.
std::string handmadePng(std::uint32_t width, std::uint32_t height, int depth, int colourType, const std::string& rows) {
  std::string ihdr = be32(width) + be32(height);
  ihdr += {static_cast<char>(depth), static_cast<char>(colourType), 0, 0, 0};
  uLongf size = compressBound(static_cast<uLong>(rows.size()));
  std::string idat(size, '\0');
  compress(reinterpret_cast<Bytef*>(&idat[0]), &size, reinterpret_cast<const Bytef*>(rows.data()),
           static_cast<uLong>(rows.size()));
  idat.resize(size);
  return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) + chunk("IDAT", idat) + chunk("IEND", "");
}

// A real JPEG whose frame header claims another size.
std::string jpegClaiming(int width, int height) {
  std::string bytes = core::encodeImage(gradient(8, 8), ImageFormat::Jpeg).bytes;
  for (std::size_t at = 2; at + 9 < bytes.size();) {
    const auto marker = static_cast<unsigned char>(bytes[at + 1]);
    const std::size_t length = static_cast<unsigned char>(bytes[at + 2]) << 8 | static_cast<unsigned char>(bytes[at + 3]);
    if (marker == 0xC0) {
      bytes[at + 5] = static_cast<char>(height >> 8), bytes[at + 6] = static_cast<char>(height);
      bytes[at + 7] = static_cast<char>(width >> 8), bytes[at + 8] = static_cast<char>(width);
      return bytes;
    }
    at += 2 + length;
  }
  ADD_FAILURE() << "no frame header";
  return bytes;
}

const std::uint8_t* pixelAt(const Image& image, int x, int y) {
  return &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
}

TEST(ImageCodec, PngKeepsEveryPixelAndIsKnownBySignature) {
  for (const Image& image : {pattern(37, 23), pattern(70000, 1), pattern(1, 2000)}) {
    const auto png = core::encodeImage(image, ImageFormat::Png);
    ASSERT_TRUE(png.ok()) << png.failure;
    EXPECT_EQ(core::imageFormatOf(png.bytes), ImageFormat::Png);
    const DecodedImage back = core::decodeImage(png.bytes);
    ASSERT_TRUE(back.ok()) << back.failure;
    EXPECT_EQ(back.image.width, image.width);
    EXPECT_EQ(back.image.height, image.height);
    EXPECT_TRUE(back.image.pixels == image.pixels) << image.width << " x " << image.height;
  }
}

TEST(ImageCodec, JpegComesBackCloseToTheOriginal) {
  const Image image = gradient(64, 48);
  const auto jpeg = core::encodeImage(image, ImageFormat::Jpeg);
  ASSERT_TRUE(jpeg.ok()) << jpeg.failure;
  EXPECT_EQ(core::imageFormatOf(jpeg.bytes), ImageFormat::Jpeg);
  const DecodedImage back = core::decodeImage(jpeg.bytes);
  ASSERT_TRUE(back.ok()) << back.failure;
  ASSERT_EQ(back.image.width, 64);
  ASSERT_EQ(back.image.height, 48);
  long total = 0;
  int worst = 0;
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    const int d = std::abs(image.pixels[i] - back.image.pixels[i]);
    total += d;
    worst = std::max(worst, d);
  }
  EXPECT_LT(static_cast<double>(total) / image.pixels.size(), 2.0);
  EXPECT_LT(worst, 24);
}

TEST(ImageCodec, JpegRefusesSidesItCannotHold) {
  const auto wide = core::encodeImage(pattern(70000, 1), ImageFormat::Jpeg);
  EXPECT_EQ(wide.failure, "JPEG cannot hold a picture of 70000 x 1 pixels");
  EXPECT_TRUE(wide.bytes.empty());
  const auto high = core::encodeImage(pattern(1, 2000), ImageFormat::Jpeg);
  ASSERT_TRUE(high.ok()) << high.failure;
  EXPECT_EQ(core::decodeImage(high.bytes).image.height, 2000);
}

TEST(ImageCodec, TransparencyIsLaidOverWhite) {
  // Two pixels of red, green, blue, alpha: a clear one and an opaque one.
  const std::string rows("\0\x10\x20\x30\x00\x10\x20\x30\xff", 9);
  const DecodedImage decoded = core::decodeImage(handmadePng(2, 1, 8, 6, rows));
  ASSERT_TRUE(decoded.ok()) << decoded.failure;
  const std::uint8_t clear[4] = {0xFF, 0xFF, 0xFF, 0xFF}, solid[4] = {0x30, 0x20, 0x10, 0xFF};
  EXPECT_EQ(std::memcmp(pixelAt(decoded.image, 0, 0), clear, 4), 0);
  EXPECT_EQ(std::memcmp(pixelAt(decoded.image, 1, 0), solid, 4), 0);
}

TEST(ImageCodec, HostileAndBrokenPicturesAreRefusedWithAReason) {
  const std::string png = core::encodeImage(pattern(5, 5), ImageFormat::Png).bytes;
  const std::string jpeg = core::encodeImage(gradient(16, 16), ImageFormat::Jpeg).bytes;
  std::string badCrc = png;
  badCrc[29] ^= 0x55;
  const struct {
    const char* what;
    std::string bytes;
    std::string reason;  // the whole reason, or its start when it ends in "..."
  } cases[] = {
      {"nothing", "", "there is no picture data"},
      {"another format", "GIF89a\x01\x00\x01\x00", "the picture is neither PNG nor JPEG"},
      {"cut PNG", png.substr(0, png.size() / 2), "the PNG data cannot be read: ..."},
      {"cut JPEG", jpeg.substr(0, jpeg.size() / 2), "the JPEG data cannot be read: ..."},
      {"PNG signature only", png.substr(0, 8), "the PNG data cannot be read: ..."},
      {"PNG checksum", badCrc, "the PNG data cannot be read: ..."},
      {"PNG of 100000 x 100000", handmadePng(100000, 100000, 8, 2, std::string(16, '\0')),
       "a picture of 100000 x 100000 pixels is too large"},
      {"PNG of 8000 x 8000 without data", handmadePng(8000, 8000, 8, 2, ""), "the PNG data cannot be read: ..."},
      {"JPEG of 65000 x 65000", jpegClaiming(65000, 65000), "a picture of 65000 x 65000 pixels is too large"},
      {"JPEG of 65535 x 1", jpegClaiming(65535, 1), "the JPEG data cannot be read: ..."},
  };
  for (const auto& c : cases) {
    const DecodedImage decoded = core::decodeImage(c.bytes);
    EXPECT_FALSE(decoded.ok()) << c.what;
    EXPECT_TRUE(decoded.image.pixels.empty()) << c.what;
    const std::string& reason = c.reason;
    if (reason.size() > 3 && reason.compare(reason.size() - 3, 3, "...") == 0) {
      EXPECT_EQ(decoded.failure.substr(0, reason.size() - 3), reason.substr(0, reason.size() - 3)) << c.what;
      EXPECT_GT(decoded.failure.size(), reason.size() - 3) << c.what << ": the library's reason is kept";
    } else {
      EXPECT_EQ(decoded.failure, reason) << c.what;
    }
  }
}

TEST(ImageCodec, NoPictureIsEncodedFromAnInconsistentBuffer) {
  Image image = pattern(4, 4);
  image.pixels.pop_back();
  EXPECT_EQ(core::encodeImage(image, ImageFormat::Png).failure, "there is no picture to encode");
  EXPECT_EQ(core::encodeImage(Image(), ImageFormat::Jpeg).failure, "there is no picture to encode");
  EXPECT_EQ(core::makeImage(70000, 70000, 0).failure, "a picture of 70000 x 70000 pixels is too large");
}

TEST(PreviewFit, APictureSmallerThanTheBoxIsCentredUnscaled) {
  EXPECT_EQ(core::fitIntoBox(100, 50, 400, 300), (Placement{150, 125, 100, 50}));
  EXPECT_EQ(core::fitIntoBox(3, 3, 10, 10), (Placement{4, 4, 3, 3}));  // each half rounded down first
  EXPECT_EQ(core::fitIntoBox(400, 300, 400, 300), (Placement{0, 0, 400, 300}));
}

TEST(PreviewFit, ALargerPictureShrinksToTheBoxKeepingItsShape) {
  EXPECT_EQ(core::fitIntoBox(1000, 500, 400, 300), (Placement{0, 50, 400, 200}));
  EXPECT_EQ(core::fitIntoBox(300, 900, 400, 300), (Placement{150, 0, 100, 300}));
  // Too wide first, and still too high after that.
  EXPECT_EQ(core::fitIntoBox(1000, 900, 400, 300), (Placement{34, 0, 333, 300}));
}

TEST(PreviewFit, ExtremeShapesKeepAtLeastOnePixelAndAnEmptyBoxGetsNoPreview) {
  EXPECT_EQ(core::fitIntoBox(70000, 1, 400, 300), (Placement{0, 150, 400, 1}));
  EXPECT_EQ(core::fitIntoBox(1, 2000, 400, 300), (Placement{200, 0, 1, 300}));
  EXPECT_FALSE(core::fitIntoBox(10, 10, 0, 300));
  EXPECT_FALSE(core::fitIntoBox(10, 10, 300, -1));
  EXPECT_FALSE(core::fitIntoBox(0, 10, 300, 300));
}

TEST(PreviewFit, ScalingAveragesTheAreaEachPixelCovers) {
  Image image = pattern(4, 2);
  // Left half black, right half white.
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) std::memset(&image.pixels[(y * 4 + x) * 4], x < 2 ? 0 : 255, 3);
  const DecodedImage half = core::scaleImage(image, 2, 1);
  ASSERT_TRUE(half.ok()) << half.failure;
  EXPECT_EQ(pixelAt(half.image, 0, 0)[0], 0);
  EXPECT_EQ(pixelAt(half.image, 1, 0)[1], 255);
  const DecodedImage one = core::scaleImage(image, 1, 1);
  EXPECT_EQ(pixelAt(one.image, 0, 0)[2], 128);
  // Three columns over four: the middle one covers half a black and half a white pixel.
  const DecodedImage three = core::scaleImage(image, 3, 1);
  EXPECT_EQ(pixelAt(three.image, 0, 0)[0], 0);
  EXPECT_EQ(pixelAt(three.image, 1, 0)[0], 128);
  EXPECT_EQ(pixelAt(three.image, 2, 0)[0], 255);
}

TEST(PreviewFit, TheBoxHoldsThePictureCentredOnItsBackground) {
  Image red = pattern(4, 2);
  for (std::size_t i = 0; i < red.pixels.size(); i += 4) red.pixels[i] = 0, red.pixels[i + 1] = 0, red.pixels[i + 2] = 255;
  const DecodedImage boxed = core::boxImage(red, 8, 8, platform::rgb(10, 20, 30));
  ASSERT_TRUE(boxed.ok()) << boxed.failure;
  ASSERT_EQ(boxed.image.width, 8);
  ASSERT_EQ(boxed.image.height, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 3 && y < 5;
      const std::uint8_t* p = pixelAt(boxed.image, x, y);
      EXPECT_EQ(p[2], inside ? 255 : 10) << x << "," << y;
      EXPECT_EQ(p[0], inside ? 0 : 30) << x << "," << y;
    }
  EXPECT_EQ(core::boxImage(red, 0, 8, 0).failure, "there is no room for a preview");
}

TEST(Logo, IsAJpegOfTheClipboardWithItsLetter) {
  const auto jpeg = core::logoJpeg();
  ASSERT_TRUE(jpeg.ok()) << jpeg.failure;
  const DecodedImage logo = core::decodeImage(jpeg.bytes);
  ASSERT_TRUE(logo.ok()) << logo.failure;
  EXPECT_EQ(logo.image.width, core::logoWidth);
  EXPECT_EQ(logo.image.height, core::logoHeight);
  const std::uint8_t* corner = pixelAt(logo.image, 1, 1);
  EXPECT_GT(corner[0] + corner[1] + corner[2], 3 * 240);
  const std::uint8_t* letter = pixelAt(logo.image, 60, 52);  // the bar of the T
  EXPECT_GT(letter[2], 160);
  EXPECT_LT(letter[1], 90);
}

}  // namespace
