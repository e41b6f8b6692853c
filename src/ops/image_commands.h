// The commands on pictures: saving the shown picture as a file, and adding it to the clip list.
#pragma once

namespace core {
struct Program;
}

namespace ops {

// "Save Image as file" (Image tab popup): the picture the Image tab shows, as JPEG or PNG in a
// file the user names; the status line says "Image Saved" or "Not Saved".
void saveImageAsFile(core::Program& p);
// The "Save Image as File" button and menu entry: the current image clip is shown, then saved.
void saveImageClipAsFile(core::Program& p);
// "Save Image in Clips List": while pictures are not kept, the shown one becomes a clip.
void saveImageInClipList(core::Program& p);
// "Add Item to Set" for a picture: true when the case applies (the shown picture is added, "Image
// Saved"); false when it does not (the caller says so).
bool addShownImage(core::Program& p);

}  // namespace ops
