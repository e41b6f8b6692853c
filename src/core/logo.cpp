// Draws the logo with four by four samples a pixel, so that its round corners are smooth.
#include "core/logo.h"

#include <algorithm>
#include <cmath>

namespace core {
namespace {

struct Box {
  float left, top, right, bottom, radius;
  bool holds(float x, float y) const {
    if (x < left || x >= right || y < top || y >= bottom) return false;
    // Inside the straight part, or within the radius of the nearest corner's centre.
    const float cx = std::clamp(x, left + radius, right - radius);
    const float cy = std::clamp(y, top + radius, bottom - radius);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
  }
};

struct Layer {
  Box box;
  platform::Colour colour;
};

constexpr platform::Colour white = platform::rgb(255, 255, 255);
constexpr platform::Colour board = platform::rgb(24, 64, 140);
constexpr platform::Colour clip = platform::rgb(168, 168, 168);
constexpr platform::Colour sheet = platform::rgb(255, 255, 255);
constexpr platform::Colour letter = platform::rgb(200, 40, 40);

// Back to front: the last layer that holds a point gives its colour.
const Layer layers[] = {
    {{8, 14, 112, 144, 12}, board},
    {{20, 30, 100, 132, 4}, sheet},
    {{38, 4, 82, 28, 7}, clip},
    {{50, 10, 70, 18, 3}, board},      // the hole of the clip
    {{32, 44, 88, 60, 2}, letter},     // the bar of the T
    {{52, 44, 68, 120, 2}, letter},    // its stem
};

platform::Colour colourAt(float x, float y) {
  platform::Colour colour = white;
  for (const Layer& layer : layers)
    if (layer.box.holds(x, y)) colour = layer.colour;
  return colour;
}

}  // namespace

Image drawLogo() {
  Image image;
  image.width = logoWidth;
  image.height = logoHeight;
  image.pixels.resize(static_cast<std::size_t>(logoWidth) * logoHeight * 4);
  constexpr int samples = 4;
  for (int y = 0; y < logoHeight; ++y)
    for (int x = 0; x < logoWidth; ++x) {
      unsigned sum[3] = {0, 0, 0};
      for (int sy = 0; sy < samples; ++sy)
        for (int sx = 0; sx < samples; ++sx) {
          const platform::Colour c = colourAt(x + (sx + 0.5f) / samples, y + (sy + 0.5f) / samples);
          sum[0] += (c >> 16) & 0xFF;  // blue first, as the picture keeps it
          sum[1] += (c >> 8) & 0xFF;
          sum[2] += c & 0xFF;
        }
      std::uint8_t* pixel = &image.pixels[(static_cast<std::size_t>(y) * logoWidth + x) * 4];
      for (int c = 0; c < 3; ++c) pixel[c] = static_cast<std::uint8_t>((sum[c] + samples * samples / 2) / (samples * samples));
      pixel[3] = 0xFF;
    }
  return image;
}

EncodedImage logoJpeg() { return encodeImage(drawLogo(), ImageFormat::Jpeg); }

}  // namespace core
