// The search of the quick paste window over every clip outside the trash, and the index that keeps
// it fast (tdclips.idx beside the database, built and kept in step by store/quick_index.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace core {
struct Program;
}

namespace store {

struct QuickSearchResult {
  std::vector<std::int64_t> keys;  // matching clips, newest first, at most `limit`
  bool complete = true;            // false: stopped by `cancelled` (the keys so far are partial)
  bool indexed = false;            // the index served it (false: scanned while the index is being built)
  bool failed = false;             // the database failed; the reason is logged
};
// A clip matches when every piece of the filter (split at white space) appears in its text, in any
// order, ignoring case as core::findIgnoringCase does. The text is the exact one, up to its first
// quickTextBound bytes; a picture's is its caption. An empty filter matches every clip outside the
// trash. `cancelled` is asked every few hundred rows; when it answers true the search stops at once.
QuickSearchResult QuickSearch(core::Program& p, const std::string& filterUtf8, std::size_t limit,
                              const std::function<bool()>& cancelled);

// How much of each clip's exact text (UTF-8 bytes) the search looks at, so that a 64 MiB clip costs
// no more than a long letter.
constexpr std::size_t quickTextBound = 32 * 1024;

struct QuickRow {
  std::int64_t key = 0;
  std::string firstLine;  // UTF-8, the exact text's first non-empty line (at most 200 characters), or the image caption
  std::string setName, noteOrSource, date;  // UTF-8; noteOrSource: the note when not blank, else the source
};
// The rows of clips, in the order of `keys`; nullopt for a clip that is gone.
std::vector<std::optional<QuickRow>> ReadQuickRows(core::Program& p, const std::vector<std::int64_t>& keys);

// True when the index is built through and paired with the open database: searches use it.
bool QuickIndexReady(const core::Program& p);
// A short step (about 20 ms at most) of building the index or of taking in the clips changed since;
// true while more is left. The main loop calls it when idle.
bool QuickIndexWork(core::Program& p);

}  // namespace store
