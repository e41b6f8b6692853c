// The program's logo, drawn in code: the help page shows it from a JPEG file it writes.
#pragma once

#include "core/image_codec.h"

namespace core {

// The logo's size: twice the 60 x 74 the help page shows it at, so it stays sharp when zoomed.
constexpr int logoWidth = 120;
constexpr int logoHeight = 148;

// A clipboard with a T on its sheet.
Image drawLogo();
// The logo as JPEG bytes, or the encoder's failure.
EncodedImage logoJpeg();

}  // namespace core
