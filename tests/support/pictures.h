// Pictures for the tests: a pattern whose every pixel differs from its neighbours' in a known way,
// as a picture, as the bitmap another program copies, and as an image clip in the database.
#pragma once

#include <cstdint>
#include <string>

#include "core/dib.h"
#include "core/image_codec.h"
#include "support/main_window_script.h"

namespace testing_support {

inline core::Image patternImage(int width, int height) {
  core::Image image = core::makeImage(width, height, 0).image;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(y) * width + x) * 4];
      p[0] = static_cast<std::uint8_t>(x * 3 + y);
      p[1] = static_cast<std::uint8_t>(y * 5);
      p[2] = static_cast<std::uint8_t>(200 - x);
    }
  return image;
}

inline std::string patternDib(int width, int height) { return core::imageToDib(patternImage(width, height)).bytes; }

// The blue, green and red of a pixel as a number, for comparing pixels by eye in a failure.
inline std::uint32_t pixelAt(const std::uint8_t* pixels, int width, int x, int y) {
  const std::uint8_t* p = pixels + (static_cast<std::size_t>(y) * width + x) * 4;
  return static_cast<std::uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
}

inline std::string hexOf(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

// An image clip of the main set, stored after the clips seeded before it.
inline std::string imageClipSql(const std::string& bytes, const std::string& caption, const std::string& source) {
  return "insert into cTbl (cDate, cSet, cRTFsw, cHTMLsw, cImageSW, cSource, cNote, cText, cRTF, cHTML, cImage) "
         "values ('2026-12-01  10:00:00', 'td_clips', 'N', 'N', 'Y', '" + source + "', ' ', '" + caption +
         "', ' ', ' ', x'" + hexOf(bytes) + "')";
}

}  // namespace testing_support
