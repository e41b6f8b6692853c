// The set table: which sets exist, their folders, and reading one set's clips into the rows.
// Everything here answers; showing the result is the caller's business.
#pragma once

#include <string>
#include <vector>

namespace core {
struct Program;
}

namespace store {

// True when the set has a row in Sets.
bool setRowExists(core::Program& p, const std::string& name);
// 1 when the set has a row, else 0 after telling the user.
int SetExists(core::Program& p, const std::string& name);
// Adds a row for a set; false when the engine refused it (a duplicate, a locked file).
bool insertSetRow(core::Program& p, const std::string& name);
// Removes a set's row only (its clips and folder stay); false when the engine refused.
bool deleteSetRow(core::Program& p, const std::string& name);
// Every set's name, in the order a folder list shows them; makes each usable name's folder.
std::vector<std::string> readSetNames(core::Program& p);
// Reads the clips of `set` into the rows, oldest first (the rows are not cleared here);
// false after telling the user when the engine failed part way.
bool readSetRows(core::Program& p, const std::string& set);
// Deletes a set's clips and its row in one transaction, then its folder; false when the engine
// refused, with nothing changed (the reason is logged and left as the last message).
bool deleteSetData(core::Program& p, const std::string& name);
// The folder of a set under the sets folder.
std::string setFolder(const core::Program& p, const std::string& name);

}  // namespace store
