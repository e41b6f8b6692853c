// Pictures in memory and as PNG or JPEG bytes: the encoding of captured images for the store
// and for saved files, the decoding of stored ones, and the fitting of a preview into a panel.
// Nothing here ends the program: a broken or hostile picture comes back as a failure with its
// reason.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace core {

// A picture: rows top to bottom, 4 bytes a pixel in the order blue, green, red, unused (kept at
// 255). That is the layout of a 32-bit top-down bitmap, so the Win32 side draws it as it is.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;

  bool valid() const;
};

// The largest picture held in memory, in pixels (4 bytes each).
constexpr std::uint64_t maxImagePixels = 64ull * 1024 * 1024;
// JPEG keeps each side in 16 bits, and the library stops short of that.
constexpr int maxJpegSide = 65500;

enum class ImageFormat { Png, Jpeg };

struct EncodedImage {
  std::string bytes;
  std::string failure;  // empty when the encoding worked
  bool ok() const { return failure.empty(); }
};

struct DecodedImage {
  Image image;
  std::string failure;  // empty when the decoding worked
  bool ok() const { return failure.empty(); }
};

// An empty picture of w x h filled with a colour; a failure when the size is refused or the
// memory is not there.
DecodedImage makeImage(int width, int height, platform::Colour fill);

// PNG keeps the pixels exactly; JPEG at the library's default quality.
EncodedImage encodeImage(const Image& image, ImageFormat format);
// The format by the file's signature, whatever its name says.
std::optional<ImageFormat> imageFormatOf(const std::string& bytes);
// PNG or JPEG bytes to pixels; transparency is laid over white.
DecodedImage decodeImage(const std::string& bytes);

// Where a w x h picture goes in a box: never enlarged, centred, each side at least one pixel.
struct Placement {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Placement& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};
// No placement for an empty picture or an empty box.
std::optional<Placement> fitIntoBox(int width, int height, int boxWidth, int boxHeight);

// A copy of the picture at another size, each new pixel the average of the area it covers.
DecodedImage scaleImage(const Image& image, int width, int height);
// A picture of exactly the box's size: the background colour with the picture fitted and centred.
DecodedImage boxImage(const Image& image, int boxWidth, int boxHeight, platform::Colour background);

}  // namespace core
