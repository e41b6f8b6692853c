// The clip records of tdclips.db: tables, standard sets, and writing, reading, moving and deleting
// one clip.
#pragma once

#include <cstdint>
#include <string>

namespace core {
struct Program;
}

namespace store {

// Creates the tables and standard sets and adds the welcome clip on a fresh start; 0 when that
// clip could not be written.
int CreateClipTables(core::Program& p);
// The statements that make the tables and the index of a clip database where they are missing.
void CreateClipSchema(core::Program& p);
// Inserts the current ClipRecord; 1 written (lastKey set), 0 failed (the user was told of the reason).
int WriteClipDB(core::Program& p);
// Reads clip currentKey into the ClipRecord; 1 read, 0 failed or no such clip (nothing is shown).
int ReadClip(core::Program& p);
// Reads clip currentKey into the EditCopy; 1 read, 0 failed.
int ReadClipFields(core::Program& p);
// Replaces the text of clip currentKey, and with `plainText` also drops its rich text (a combined clip
// whose rich text holds only its first piece); 1 done, 0 refused (the user was told).
int UpdateClipText(core::Program& p, const std::string& text, bool plainText = false);
// Moves clip currentKey to targetSet; 1 when it was deleted from the trash instead, 0 moved,
// -1 refused (the user was told).
int MoveClip(core::Program& p, const std::string& targetSet);
// Stores the edited text as a new clip and retires the old one; 0 on failure, nothing stored and the
// engine's reason left as the last message (nothing is shown).
int SaveEditedClip(core::Program& p, const std::string& editedText, const std::string& editedRichText, bool cutting);
void DeleteClip(core::Program& p);
void EmptyTrash(core::Program& p);
void VacuumClips(core::Program& p);

// Doubles every single quote, for a value placed inside an SQL text literal.
std::string escapeQuotes(const std::string& text);

}  // namespace store
