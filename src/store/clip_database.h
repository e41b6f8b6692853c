// Opening tdclips.db at start-up: an existing file is never replaced; a damaged one is set aside.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace store {

// Opens (or creates) the clip database; false when the program cannot go on (the user was told).
bool openClipDatabase(core::Program& p);
// Converts values that an older release stored as UTF-8 back to the program's bytes, once per file;
// a conversion that cannot be committed is rolled back (and logged) and runs again at the next start.
void convertOlderText(core::Program& p);
// A text stored as UTF-8 from single bytes, turned back into those bytes in `bytes`; false when
// the text holds no such sequence (it is already the program's own bytes).
bool latin1FromUtf8(const std::string& text, std::string& bytes);

}  // namespace store
