// The clip records of tdclips.db: tables, standard sets, and writing, reading, moving and deleting
// one clip.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3_stmt;

namespace core {
struct Program;
}

namespace store {

// Creates the tables and standard sets (the active set's row only with `insertActiveSet`) and
// adds the welcome clip on a fresh start; 0 when that clip could not be written.
int CreateClipTables(core::Program& p, bool insertActiveSet = true);
// The statements that make the tables and the index of a clip database where they are missing.
void CreateClipSchema(core::Program& p);
// Inserts the current ClipRecord; 1 written (lastKey set), 0 failed (the user was told of the reason).
// The rich text is the capture's unless `recordRichText`, when cRTFsw and cRTF are stored as the
// record holds them (a duplicate keeps its clip's own).
int WriteClipDB(core::Program& p, bool recordRichText = false);
// Writes a plain text clip (no rich text, no picture) into the active set, dated p.captureTime; the
// text is UTF-8, the source and the note ANSI.
int WritePlainTextClip(core::Program& p, const std::string& source, const std::string& note, const std::string& text);
// Reads clip currentKey into the ClipRecord; 1 read, 0 failed or no such clip (nothing is shown).
int ReadClip(core::Program& p);
// Reads clip currentKey into the EditCopy, its text as UTF-8; 1 read, 0 failed.
int ReadClipFields(core::Program& p);
// Replaces the text of clip currentKey by a UTF-8 text (its side row changes with it), and with `plainText` also drops its rich text (a combined clip
// whose rich text holds only its first piece); 1 done, 0 refused (the user was told).
int UpdateClipText(core::Program& p, const std::string& text, bool plainText = false);
// False only when the store says clip `key` is not there (deleted, by us or by another program).
bool ClipExists(core::Program& p, std::int64_t key);
// Moves clip currentKey to targetSet; 1 when it was deleted from the trash instead, 0 moved,
// -1 refused (the user was told).
int MoveClip(core::Program& p, const std::string& targetSet);
// Stores the edited UTF-8 text as a new clip and retires the old one, in one transaction; 1 committed
// (lastKey and the clip's row name the new record), 0 on failure, nothing stored and the engine's
// reason left as the last message (nothing is shown).
int SaveEditedClip(core::Program& p, const std::string& editedText, const std::string& editedRichText, bool cutting);
// Replaces the note of clip currentKey (an empty note is stored as one blank); 1 done, 0 failed
// (the reason is in DbLastMessage; nothing is shown).
int UpdateClipNote(core::Program& p, const std::string& note);
// Many writes as one transaction, one disk sync for all. CommitBatch answers false when the
// engine did not commit, so part of the batch may be lost: the caller reloads what it shows.
void BeginBatch(core::Program& p);
bool CommitBatch(core::Program& p);
// Gives up a batch the engine did not commit, so that nothing of it is half kept.
void RollBackBatch(core::Program& p);
void DeleteClip(core::Program& p);
void EmptyTrash(core::Program& p);
void VacuumClips(core::Program& p);

// Steps a read, again and again while another program holds a lock on the file, for about
// maxReadWaitMs in all: the window waits with it. Answers SQLITE_ROW, SQLITE_DONE, or 0 when it
// failed or gave up. One step may wait up to the engine's own busy timeout before the clock is read.
constexpr std::uint32_t maxReadWaitMs = 3000;
int stepRead(core::Program& p, sqlite3_stmt* stmt);

// Doubles every single quote, for a value placed inside an SQL text literal.
std::string escapeQuotes(const std::string& text);

// The length and a hash of a clip's cText and cSource bytes. A side row of exact text is used only
// while they still match: a path that changes cText without it (or an older release) leaves a row
// that no longer says what the clip holds.
std::string fingerprintOf(const std::string& text, const std::string& source);

}  // namespace store
