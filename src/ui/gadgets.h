// Numbers of the main window's gadgets and the colours of the window.
#pragma once

#include "platform/types.h"

namespace ui {

enum Gadget {
  gadgetStatusLine = 40,
};

namespace colour {
constexpr platform::Colour red = platform::rgb(255, 0, 0);
constexpr platform::Colour white = platform::rgb(255, 255, 255);
constexpr platform::Colour lightYellow = platform::rgb(255, 255, 170);
constexpr platform::Colour lightCyan = platform::rgb(117, 236, 253);
constexpr platform::Colour black = platform::rgb(0, 0, 0);
constexpr platform::Colour green = platform::rgb(0, 255, 0);
constexpr platform::Colour blue = platform::rgb(0, 0, 255);
constexpr platform::Colour listBackground = platform::rgb(224, 255, 255);
}  // namespace colour

}  // namespace ui
