// The Text tab's editing: the editor's own cut, copy, paste, delete and select all, a cut that
// becomes a new clip, replacing the stored clip by the edited text, and the editor's links.
#pragma once

#include <cstdint>
#include <string>

namespace core {
struct Program;
}

namespace ops {

// Cuts the selection out of the clip in the editor: the cut text becomes a new clip (source
// "Tandrel edit", the clip's note) and the shortened clip replaces the old one. Nothing happens
// without a selection.
void cutToNewClip(core::Program& p);
void copySelection(core::Program& p);
void pasteIntoEditor(core::Program& p);
void deleteSelection(core::Program& p);
void selectAllText(core::Program& p);
// "Replace Clip": the edited text replaces the clip that was loaded into the editor (never another
// row's); the old record goes to the trash.
void replaceClip(core::Program& p);
// Stores the editor's text over clip `key` (a new record replaces it; `cutting` deletes the old one
// instead of trashing it) and shows the result. An unedited text is stored exactly as it was read.
// 1 stored, 0 failed ("Action Failed" shown).
int storeTextTabEdit(core::Program& p, std::int64_t key, bool cutting);
// A left click on a link of the editor: http, https, ftp and mailto links open with the shell.
void openEditorLink(core::Program& p);

}  // namespace ops
