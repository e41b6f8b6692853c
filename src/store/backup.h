// Copying the clip database to a numbered backup file through the shell, which shows its progress
// and asks before it replaces an older backup.
#pragma once

#include <string>
#include <vector>

namespace core {
struct Program;
}

namespace store {

// The shell's copy of each source to the target of the same place; answers the shell's result,
// 0 on success. `aborted` tells whether the user stopped or declined a part of it.
int CopyFiles(const std::vector<std::string>& sources, const std::vector<std::string>& targets, bool& aborted);

// The backup file of a number 1 to 9.
std::string backupPath(const core::Program& p, char number);

// Copies the database into `target`; true only when the target then holds the database whole (a
// replacement the user declined, or a copy that wrote nothing, is a failure).
bool backUpDatabase(core::Program& p, const std::string& target);

}  // namespace store
