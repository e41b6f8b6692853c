// The clip sets of the program's previous generation: an index file of fixed 437-byte records per
// set ("<set>.dbt") and the clip contents in the SQLite file clip.db. Both come from disk as they
// are, so everything here reads them as untrusted: every slice is clamped to its record, every read
// is bounded, and no byte of a file ever becomes part of an SQL text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

struct sqlite3;

namespace core {
struct Program;
}

namespace store {

constexpr std::size_t oldRecordSize = 437;

// The fields of one index record that the conversion uses.
struct OldRecord {
  std::string source;                  // positions 69-124, trimmed
  std::string date;                    // positions 125-143, as they are
  std::optional<std::uint32_t> blob;   // positions 167-172: the number of the clip's contents
  std::string text;                    // positions 185-434: the first 250 characters, trimmed
  char type = ' ';                     // position 435: 'T' or 'F' text, 'I' image
};

enum class OldRecordKind {
  Clip,        // a record of the format
  Blank,       // nothing but blanks up to its first zero byte: skipped
  Unreadable,  // no type T, F or I, or a contents number that is no number: not of this format
};

// Parses one record (the bytes up to its first zero byte; positions past them are empty).
OldRecordKind parseOldRecord(const std::string& bytes, OldRecord& record);

// What reading the next record of an index file gave.
enum class OldRead { Record, End, ShortTail, Failed };
// Reads the next whole record through `read` (the next n bytes of the file; false on a read error).
// A tail shorter than a record is reported once and read no further.
using ReadBytes = std::function<bool(std::size_t, std::string&)>;
OldRead readOldRecord(const ReadBytes& read, std::string& record);

// The key of a clip's contents in clip.db: the number in decimal and a letter.
std::string oldBlobKey(std::uint32_t number, char letter);

// clip.db, opened on a handle of its own and checked for its table; null with the reason when it
// cannot be read.
sqlite3* openOldContents(core::Program& p, const std::string& path, std::string& reason);

struct OldBlob {
  enum State { Found, Missing, Failed } state = Missing;
  std::string key;     // the key that was found ("12R" where "12T" was asked for and missing)
  std::string bytes;   // the contents: text (plain or rich) or an encoded image
  std::string reason;  // Failed: the engine's message
};
// ReadOldBlob: the contents stored under `key`; a text missing under "T" is looked for under "R".
// Found with an empty value counts as missing (logged). Failed when the file cannot be read, or
// stayed locked for a few seconds (nothing is logged: the caller counts such records).
OldBlob ReadOldBlob(core::Program& p, sqlite3* oldContents, const std::string& key);

}  // namespace store
