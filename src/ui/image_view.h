// The Image tab: a picture shown whole in memory and fitted into the picture box on the screen.
#pragma once

#include <string>

namespace core {
struct Program;
struct Image;
}

namespace ui {

// Shows a picture on the Image tab: a copy fitted into the picture box on the panel grey, centred
// and never enlarged; the picture itself is kept whole as the shown image, with its encoded
// bytes, caption and source. An empty box shows no preview. False when no preview could be made.
bool showPicture(core::Program& p, core::Image image, std::string bytes, const std::string& caption,
                 const std::string& source);
// Empties the Image tab and forgets the shown picture.
void clearPicture(core::Program& p);
// The "Add Item to Set" button as image capture leaves it: ready while pictures are not stored
// (the shown one may be added by hand), grey while they are.
void drawAddImageButton(core::Program& p);

}  // namespace ui
