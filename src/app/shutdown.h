// The ordered shutdown that ends every run.
#pragma once

namespace core {
struct Program;
}

namespace app {

using core::Program;

// Leaves the viewer chain, saves the settings, removes scratch files, closes the window, empties the
// trash, compacts the database when asked, logs the end and ends the process.
[[noreturn]] void shutDown(Program& p);

}  // namespace app
