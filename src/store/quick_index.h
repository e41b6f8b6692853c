// The quick paste index: tdclips.idx beside the clip database, attached to its connection as "qidx".
// It holds each clip outside the trash as its case-folded exact text (bounded), in an FTS5 table
// of trigrams that hands out candidates; the search checks every candidate itself.
//
// It never names itself in the clip database: triggers there only mark the keys of changed clips in
// cIdxDirty, so that an engine without FTS5 (an older release) can still write every clip, and
// every write, ours or not, is caught. The index takes the marked clips in when idle, a batch at a
// time (a commit per capture would cost more than the capture); until then a search reads the few
// marked clips from cTbl, so a keystroke never writes. The database and the index store the same
// random id, renewed at every commit that changes the index, so a database put back from a copy is
// never served by an index that has moved on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct sqlite3_blob;
struct sqlite3_stmt;

namespace core {
struct Program;
}

namespace store::quick {

inline const std::string indexFileName = "tdclips.idx";

struct SearchPlan {
  // The key from which on the index holds every clip (0: all of them; a build under way holds only
  // the newest); -1 when it cannot serve now.
  std::int64_t floor = -1;
  std::vector<std::int64_t> marked;  // changed since the index took them: read from cTbl instead; ascending
};
// Attaches and pairs the index when needed and reads the marks. A backlog of more than `maxMarks`
// marks leaves the index out (floor -1) until the idle steps have taken it in.
SearchPlan prepareForSearch(core::Program& p, std::size_t maxMarks);
// An index query failed: the file is taken as damaged, deleted and built again.
void indexFailed(core::Program& p, const std::string& reason);
// One step of the idle work; true while more is left.
bool workStep(core::Program& p);

// The texts of one clip, read from cTbl and its side row.
struct ClipColumns {
  std::int64_t key = 0;
  std::string set, source;  // cSet, and cSource as bytes
  std::string fingerprint;  // the side row's; empty when none
  bool exactText = false, exactSource = false;  // the side row holds a text, a source
};

// Reads the head of clip texts without loading the rest of a large one. Its handles are closed
// when it goes, so it must not outlive the call that made it.
class ClipTextReader {
 public:
  explicit ClipTextReader(core::Program& p) : p_(p) {}
  ClipTextReader(const ClipTextReader&) = delete;
  ClipTextReader& operator=(const ClipTextReader&) = delete;
  ~ClipTextReader();

  // The clip's exact text as UTF-8, its first `bound` bytes at most, never cutting a character;
  // `current` tells whether the side row still matches (its exact source then holds). False when
  // the text could not be read (the engine's reason is the last message).
  bool text(const ClipColumns& clip, std::size_t bound, std::string& out, bool& current);

 private:
  // The first `bound` bytes of a cell into `out`, its whole size into `total`.
  bool head(sqlite3_blob*& blob, const char* table, const char* column, std::int64_t key, std::size_t bound,
            std::string& out, std::size_t& total);

  core::Program& p_;
  sqlite3_blob* text_ = nullptr;
  sqlite3_blob* exact_ = nullptr;
};

// The columns ClipColumns is read from, in its order, for a query over cTbl LEFT JOIN cExact.
inline const char* const clipColumnsSql =
    "cKey, cSet, CAST(cSource AS BLOB), eFingerprint, typeof(eText) <> 'null', typeof(eSource) <> 'null'";
constexpr int clipColumnCount = 6;

// The ClipColumns of the row `stmt` stands on, read with clipColumnsSql first.
ClipColumns clipColumnsOf(core::Program& p, sqlite3_stmt* stmt);

// A text as the index keeps it and the search compares it: its first quickTextBound bytes, folded.
std::string foldedHead(const std::string& utf8);

}  // namespace store::quick
