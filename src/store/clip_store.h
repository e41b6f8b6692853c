// The clip records of tdclips.db: tables, standard sets, and writing, reading, moving and deleting
// one clip.
#pragma once

#include <cstdint>
#include <string>

namespace app {
struct Program;
}

namespace store {

// Creates the tables and standard sets, adds the welcome clip on a fresh start and loads the active set.
void InitClipStore(app::Program& p);
// Inserts the current ClipRecord; 1 written (lastKey set), 0 failed (the user was told).
int WriteClipDB(app::Program& p);
// Reads clip currentKey into the ClipRecord; 1 read, 0 failed or no such clip.
int ReadClip(app::Program& p);
// Reads clip currentKey into the EditCopy; 1 read, 0 failed.
int ReadClipFields(app::Program& p);
// Replaces the text of clip currentKey.
void UpdateClipText(app::Program& p, const std::string& text);
// Moves clip currentKey to targetSet; 1 when it was deleted from the trash instead.
int MoveClip(app::Program& p, const std::string& targetSet);
// Stores the edited text as a new clip and retires the old one; 0 on failure.
int SaveEditedClip(app::Program& p, const std::string& editedText, const std::string& editedRichText, bool cutting);
void DeleteClip(app::Program& p);
void EmptyTrash(app::Program& p);
void VacuumClips(app::Program& p);
// Closes and opens the database again after a failed write.
void ReopenDatabase(app::Program& p);

// Doubles every single quote, for a value placed inside an SQL text literal.
std::string escapeQuotes(const std::string& text);

}  // namespace store
