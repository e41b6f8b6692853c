// Start-up: from process start to the main loop, in a fixed order.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace app {

using core::Program;

// Runs the start-up steps and the main loop, then the shutdown; never returns.
[[noreturn]] void startUp(Program& p);
// Copies the database and settings of an older release from `oldFolder` into the data folder.
void migrateOldFiles(Program& p, const std::string& oldFolder);
// One pass of the main loop: serve the queued keys, wait for an event and hand it to its window's handler.
void mainLoopPass(Program& p);

}  // namespace app
