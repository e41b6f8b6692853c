// Putting another file in the place of the clip database, and getting the live one back whenever
// that goes wrong, at once or at the next start; the check that a file is a clip database; the
// reopening after a failed write. The live clips are never lost: until a copy has proved to be a
// clip database the live file is kept aside under a name no backup or copy can take, and after a
// success it stays there. While it is aside a note in the data folder names it.
#pragma once

#include <string>

struct sqlite3;

namespace core {
struct Program;
}

namespace store {

enum class SetsCheck { Valid, QueryFailed, NoSetName, NoSetId };
// Whether "select * from sets" works on `db` and each row gives setName and setID by name; the
// engine's reason of a failure goes to `reason`.
SetsCheck checkSets(core::Program& p, sqlite3* db, std::string& reason);

struct ReplaceResult {
  enum Outcome {
    Replaced,        // the copy is the clip database now, open and checked
    CloseFailed,     // the live database could not be closed: nothing was touched, it is still open
    CopyFailed,      // the copy did not arrive whole; the live database is back and open
    Invalid,         // the copy is no clip database; the live database is back and open
    LiveLost,        // the live database could not be opened again (it is still on disk)
  };
  Outcome outcome = CloseFailed;
  std::string reason;     // the failing step's message
  std::string asidePath;  // where the live database was kept
  // LiveLost only: the live file could not even be put back; it stays at asidePath, and the next
  // start puts it back.
  bool leftAside = false;
};
// Closes the database, sets the live file aside, waits `waitMs`, copies `chosen` into its place
// and opens and checks it. A replaced file gets what start-up gives an opened one: its read-only
// mark cleared, the schema statements and the one-time text conversion. On every failure the
// restored handle is closed and the live file put back and opened again.
ReplaceResult replaceDatabase(core::Program& p, const std::string& chosen, int waitMs);

// The live databases set aside by replacements: dataFolder + this + a date stamp.
inline const std::string asidePrefix = "tdclips.db.pre-restore-";
constexpr int keptAsideCopies = 3;
// Removes all but the newest kept copies set aside.
void pruneAsideCopies(core::Program& p);

// The note in the data folder that names the live database's copy while a replacement has it aside.
inline const std::string restoreMarkerName = "tdclips.db.restoring";

struct RestoreRecovery {
  enum Outcome {
    Nothing,        // no note: no replacement was left unfinished
    NoteRemoved,    // a note whose copy is gone (put back by hand, or never made): removed, nothing moved
    PutBack,        // the copy is the clip database again
    NotPutBack,     // the copy could not be put back; the note stays for the next start
  };
  Outcome outcome = Nothing;
  std::string asidePath;  // the copy the note names
  std::string badPath;    // what stood at the database's place, now kept here; empty when nothing did
};
// At start, before the database is opened: when a replacement could not put the live database
// back, moves whatever stands in its place aside as ".bad-<date>" (never deleted) and puts the copy
// back, both with their journals. Shows nothing; the caller tells the user.
RestoreRecovery recoverUnfinishedRestore(core::Program& p);

// After a write that failed badly: closes the database, opens it again and checks it, tells the
// user, and reloads the list. Ends the program when the database cannot be had again.
void ReopenDatabase(core::Program& p);

}  // namespace store
