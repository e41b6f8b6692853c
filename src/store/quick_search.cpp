// The quick paste window's search: the index hands out the clips holding every trigram of the
// filter, newest first, and each is checked against the filter's pieces in its folded text, so the
// answer follows our own matching rule whatever the engine's. Clips the index does not hold yet (a
// build under way, or a backlog of changes) are read from cTbl and checked the same way.
#include "store/quick_search.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "core/log.h"
#include "core/program.h"
#include "core/utf8.h"
#include "platform/text_encoding.h"
#include "store/quick_index.h"

namespace store {
namespace {

constexpr std::size_t cancelEvery = 256;
// A larger backlog of changed clips is left to the idle steps; the search reads every clip meanwhile.
constexpr std::size_t searchMarks = 1000;
// More trigrams narrow the candidates less than they cost to merge.
constexpr std::size_t maxTrigrams = 12;
constexpr std::size_t firstLineCharacters = 200;

std::size_t sequenceLength(unsigned char lead) {
  return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// The code point at `i` (a byte that is no valid start counts as itself) and its length.
char32_t codePointAt(const std::string& s, std::size_t i, std::size_t& length) {
  const auto lead = static_cast<unsigned char>(s[i]);
  length = sequenceLength(lead);
  if (length == 1 || i + length > s.size()) {
    length = 1;
    return lead;
  }
  char32_t c = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  return c;
}

bool isSpace(char32_t c) {
  return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
         c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// The filter's pieces, folded, each once.
std::vector<std::string> piecesOf(const std::string& filter) {
  std::vector<std::string> pieces;
  std::string piece;
  const auto flush = [&] {
    if (piece.empty()) return;
    std::string folded = core::foldCase(piece);
    if (std::find(pieces.begin(), pieces.end(), folded) == pieces.end()) pieces.push_back(std::move(folded));
    piece.clear();
  };
  for (std::size_t i = 0; i < filter.size();) {
    std::size_t length = 0;
    const char32_t c = codePointAt(filter, i, length);
    if (isSpace(c)) flush();
    else piece.append(filter, i, length);
    i += length;
  }
  flush();
  return pieces;
}

// The FTS5 query of up to maxTrigrams trigrams taken evenly from the pieces of three characters or
// more; empty when there is none. Each trigram is a quoted string, so no character of the filter
// is read as query syntax.
std::string trigramQuery(const std::vector<std::string>& pieces) {
  std::vector<std::string> trigrams;
  for (const std::string& piece : pieces) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < piece.size(); i += sequenceLength(static_cast<unsigned char>(piece[i]))) starts.push_back(i);
    starts.push_back(piece.size());
    for (std::size_t k = 0; k + 3 < starts.size(); ++k) {
      std::string trigram = piece.substr(starts[k], starts[k + 3] - starts[k]);
      if (std::find(trigrams.begin(), trigrams.end(), trigram) == trigrams.end()) trigrams.push_back(std::move(trigram));
    }
  }
  std::string query;
  const std::size_t count = std::min(trigrams.size(), maxTrigrams);
  for (std::size_t n = 0; n < count; ++n) {
    // Spread over all of them: the first and the last always, so a long piece is held at both ends.
    const std::size_t k = count == 1 ? 0 : n * (trigrams.size() - 1) / (count - 1);
    std::string quoted = "\"";
    for (char c : trigrams[k]) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    query += (query.empty() ? "" : " AND ") + quoted + "\"";
  }
  return query;
}

bool holdsAll(std::string_view folded, const std::vector<std::string>& pieces) {
  for (const std::string& piece : pieces)
    if (folded.find(piece) == std::string_view::npos) return false;
  return true;
}

// Steps `stmt` over candidate rows, adding the keys `accept` takes until `limit`; false when the
// engine failed (its reason is the last message).
template <typename Accept>
bool collect(core::Program& p, sqlite3_stmt* stmt, std::size_t limit, const std::function<bool()>& cancelled,
             QuickSearchResult& result, Accept accept) {
  std::size_t rows = 0;
  int step;
  while (result.keys.size() < limit && (step = p.db.StmtStep(stmt)) == SQLITE_ROW) {
    if (++rows % cancelEvery == 0 && cancelled && cancelled()) {
      result.complete = false;
      return true;
    }
    const std::int64_t key = std::strtoll(p.db.StmtColumnText(stmt, 0), nullptr, 10);
    if (accept(key)) result.keys.push_back(key);
  }
  return result.keys.size() >= limit || step == SQLITE_DONE;
}

// Whether the clip's text holds every piece; false too when it could not be read (`readFailed`).
bool textMatches(quick::ClipTextReader& reader, const quick::ClipColumns& clip, const std::vector<std::string>& pieces,
                 bool& readFailed) {
  std::string text;
  bool current = false;
  if (!reader.text(clip, quickTextBound, text, current)) {
    readFailed = true;
    return false;
  }
  return holdsAll(quick::foldedHead(text), pieces);
}

// The marked clips from the plan's floor on that match, newest first: the index cannot tell.
bool matchMarked(core::Program& p, const quick::SearchPlan& plan, const std::vector<std::string>& pieces,
                 std::vector<std::int64_t>& hits) {
  if (plan.marked.empty() || plan.marked.back() < plan.floor) return true;
  sqlite3_stmt* stmt = p.db.DbPrepare(p.databaseHandle, std::string("SELECT ") + quick::clipColumnsSql +
                                                            " FROM main.cTbl LEFT JOIN main.cExact USING (cKey) WHERE cKey = ?");
  bool ok = stmt != nullptr, readFailed = false;
  quick::ClipTextReader reader(p);
  for (auto key = plan.marked.rbegin(); ok && key != plan.marked.rend() && *key >= plan.floor; ++key) {
    const int step = p.db.StmtBindInt64(stmt, 1, *key) == 1 ? p.db.StmtStep(stmt) : 0;
    ok = step == SQLITE_ROW || step == SQLITE_DONE;
    if (step == SQLITE_ROW) {
      const quick::ClipColumns clip = quick::clipColumnsOf(p, stmt);
      if (clip.set != core::trashSetName && textMatches(reader, clip, pieces, readFailed)) hits.push_back(*key);
    }
    ok = ok && p.db.StmtReset(stmt) == 1;
  }
  const std::string reason = p.db.DbLastMessage();
  if (stmt != nullptr) p.db.StmtFinalize(stmt);
  if (readFailed) core::writeLog(p, p.captureTime + " Quick search could not read a clip's text");
  p.db.restoreLastMessage(reason);
  return ok;
}

// The index's part: the clips from the plan's floor on, the marked ones merged in from `hits`.
bool searchIndex(core::Program& p, const std::vector<std::string>& pieces, const quick::SearchPlan& plan,
                 const std::vector<std::int64_t>& hits, std::size_t limit, const std::function<bool()>& cancelled,
                 QuickSearchResult& result) {
  const std::string query = trigramQuery(pieces);
  sqlite3_stmt* stmt = p.db.DbPrepare(
      p.databaseHandle, std::string("SELECT rowid, t FROM qidx.qText WHERE ") + (query.empty() ? "" : "qText MATCH ?2 AND ") +
                            "rowid >= ?1 ORDER BY rowid DESC");
  bool ok = stmt != nullptr && p.db.StmtBindInt64(stmt, 1, plan.floor) == 1 &&
            (query.empty() || p.db.StmtBindText(stmt, 2, &query) == 1);
  std::size_t next = 0;
  const auto takeHitsAbove = [&](std::int64_t key) {
    while (next < hits.size() && hits[next] > key && result.keys.size() < limit) result.keys.push_back(hits[next++]);
  };
  if (ok) {
    ok = collect(p, stmt, limit, cancelled, result, [&](std::int64_t key) {
      takeHitsAbove(key);
      if (result.keys.size() >= limit || std::binary_search(plan.marked.begin(), plan.marked.end(), key)) return false;
      const char* text = p.db.StmtColumnText(stmt, 1);
      return holdsAll(std::string_view(text, static_cast<std::size_t>(p.db.StmtColumnBytes(stmt, 1))), pieces);
    });
  }
  if (ok && result.complete) takeHitsAbove(std::numeric_limits<std::int64_t>::min());
  const std::string reason = p.db.DbLastMessage();
  if (stmt != nullptr) p.db.StmtFinalize(stmt);
  p.db.restoreLastMessage(reason);
  return ok;
}

// The part read from cTbl: the clips below key `below`, each text read and folded here.
bool scanClips(core::Program& p, const std::vector<std::string>& pieces, std::int64_t below, std::size_t limit,
               const std::function<bool()>& cancelled, QuickSearchResult& result) {
  sqlite3_stmt* stmt = p.db.DbPrepare(p.databaseHandle, std::string("SELECT ") + quick::clipColumnsSql +
                                                            " FROM main.cTbl LEFT JOIN main.cExact USING (cKey) "
                                                            "WHERE cKey < ? AND cSet IS NOT ? ORDER BY cKey DESC");
  bool ok = stmt != nullptr && p.db.StmtBindInt64(stmt, 1, below) == 1 &&
            p.db.StmtBindText(stmt, 2, &core::trashSetName) == 1;
  bool readFailed = false;
  if (ok) {
    quick::ClipTextReader reader(p);
    ok = collect(p, stmt, limit, cancelled, result, [&](std::int64_t) {
      return pieces.empty() || textMatches(reader, quick::clipColumnsOf(p, stmt), pieces, readFailed);
    });
  }
  const std::string reason = p.db.DbLastMessage();
  if (stmt != nullptr) p.db.StmtFinalize(stmt);
  // Logged once; the other clips still count.
  if (readFailed) core::writeLog(p, p.captureTime + " Quick search could not read a clip's text");
  p.db.restoreLastMessage(reason);
  return ok;
}

std::string firstLineOf(const std::string& text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t\r\f\v") != std::string::npos) return core::firstCharacters(line, firstLineCharacters);
    start = end + 1;
  }
  return std::string();
}

}  // namespace

QuickSearchResult QuickSearch(core::Program& p, const std::string& filterUtf8, std::size_t limit,
                              const std::function<bool()>& cancelled) {
  QuickSearchResult result;
  if (p.databaseHandle == nullptr) {
    result.failed = true;
    return result;
  }
  if (limit == 0) return result;
  const std::vector<std::string> pieces = piecesOf(filterUtf8);
  constexpr std::int64_t all = std::numeric_limits<std::int64_t>::max();
  if (pieces.empty()) {
    // Without a filter the newest clips are the answer, from cTbl alone.
    result.indexed = true;
    if (!scanClips(p, pieces, all, limit, cancelled, result)) {
      core::writeLog(p, p.captureTime + " Quick search failed: " + p.db.DbLastMessage());
      result.failed = true;
    }
    return result;
  }
  // The index holds every clip from the plan's floor on, but for the marked ones; the rest is read
  // from cTbl.
  const quick::SearchPlan plan = quick::prepareForSearch(p, searchMarks);
  std::vector<std::int64_t> hits;
  if (plan.floor >= 0 && (!matchMarked(p, plan, pieces, hits) ||
                          !searchIndex(p, pieces, plan, hits, limit, cancelled, result))) {
    const std::string reason = p.db.DbLastMessage();
    core::writeLog(p, p.captureTime + " Quick search left the index: " + reason);
    quick::indexFailed(p, reason);
    return QuickSearch(p, filterUtf8, limit, cancelled);
  }
  const std::int64_t floor = plan.floor;
  result.indexed = floor == 0 || (floor > 0 && result.keys.size() >= limit);
  if (!result.indexed && result.complete && !scanClips(p, pieces, floor < 0 ? all : floor, limit, cancelled, result)) {
    core::writeLog(p, p.captureTime + " Quick search failed: " + p.db.DbLastMessage());
    result.failed = true;
  }
  return result;
}

namespace {

// One row of the quick paste list from a statement made by ReadQuickRows, stepped on its clip.
QuickRow quickRowOf(core::Program& p, sqlite3_stmt* stmt, std::int64_t key, quick::ClipTextReader& reader) {
  const auto cell = [&](int column) {
    return std::string(p.db.StmtColumnText(stmt, column), static_cast<std::size_t>(p.db.StmtColumnBytes(stmt, column)));
  };
  quick::ClipColumns clip;
  clip.key = key;
  clip.set = cell(1);
  clip.source = cell(2);
  clip.fingerprint = cell(3);
  clip.exactText = cell(4) == "1";
  clip.exactSource = cell(5) == "1";
  QuickRow row;
  row.key = key;
  row.date = cell(quick::clipColumnCount);
  const std::string note = cell(quick::clipColumnCount + 1);
  const std::string exactSource = cell(quick::clipColumnCount + 2);
  std::string text;
  bool current = false;
  // The first line lies in the head of the text.
  if (!reader.text(clip, 4096, text, current)) text.clear();
  row.firstLine = firstLineOf(text);
  row.setName = platform::ansiToUtf8(clip.set);
  const bool blankNote = note.find_first_not_of(" \t\r\n") == std::string::npos;
  row.noteOrSource = !blankNote ? platform::ansiToUtf8(note)
                     : current && clip.exactSource ? exactSource
                                                   : platform::ansiToUtf8(clip.source);
  return row;
}

}  // namespace

std::vector<std::optional<QuickRow>> ReadQuickRows(core::Program& p, const std::vector<std::int64_t>& keys) {
  std::vector<std::optional<QuickRow>> rows(keys.size());
  if (p.databaseHandle == nullptr || keys.empty()) return rows;
  // One statement and one text reader for them all: making either costs more than reading a row.
  sqlite3_stmt* stmt = p.db.DbPrepare(p.databaseHandle, std::string("SELECT ") + quick::clipColumnsSql +
                                                            ", cDate, cNote, eSource FROM main.cTbl LEFT JOIN "
                                                            "main.cExact USING (cKey) WHERE cKey = ?");
  if (stmt == nullptr) return rows;
  quick::ClipTextReader reader(p);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (i > 0) p.db.StmtReset(stmt);
    if (p.db.StmtBindInt64(stmt, 1, keys[i]) == 0) break;
    const int step = p.db.StmtStep(stmt);
    if (step == SQLITE_ROW) {
      rows[i] = quickRowOf(p, stmt, keys[i], reader);
    } else if (p.db.DbLastMessage() != core::dbResultText(SQLITE_DONE)) {
      core::writeLog(p, p.captureTime + " Quick paste row " + std::to_string(keys[i]) + " not read: " + p.db.DbLastMessage());
      break;
    }
  }
  p.db.StmtFinalize(stmt);
  return rows;
}


bool QuickIndexReady(const core::Program& p) { return p.quickIndex.ready && !p.quickIndex.unavailable; }

bool QuickIndexWork(core::Program& p) { return quick::workStep(p); }

}  // namespace store
