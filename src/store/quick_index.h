// The quick paste index: tdclips.idx beside the clip database, attached to its connection as "qidx".
// It holds each clip outside the trash as its case-folded exact text (bounded), in an FTS5 table
// of trigrams that hands out candidates; the search checks every candidate itself.
//
// It never names itself in the clip database: triggers there only mark the keys of changed clips in
// cIdxDirty, so that an engine without FTS5 (an older release) can still write every clip, and
// every write, ours or not, is caught. The index takes the marked clips in before each search and
// when idle. The database and the index store the same random id, renewed at each catch-up, so a
// database put back from a copy is never served by an index that has moved on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct sqlite3_blob;

namespace core {
struct Program;
}

namespace store::quick {

inline const std::string indexFileName = "tdclips.idx";

// Makes the index ready to answer a search: attached and paired, the marked clips taken in (a
// backlog larger than `maxMarks` is left, and the index then serves nothing). Answers the key from
// which on the index holds every clip (0: all of them; a build under way holds only the newest), or
// -1 when it cannot serve now.
std::int64_t prepareForSearch(core::Program& p, std::size_t maxMarks);
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

// A text as the index keeps it and the search compares it: its first quickTextBound bytes, folded.
std::string foldedHead(const std::string& utf8);

}  // namespace store::quick
