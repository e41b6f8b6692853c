// The diagnostic log tandrel.log: one 8-bit line per entry, emptied at every start and held
// open with read-only sharing, which also keeps a second instance from starting.
#pragma once

#include <string>

namespace core {

struct Program;

// Creates (empties) the log; false when it cannot be created, usually because another instance holds it.
bool openLog(Program& p);
// Appends a line; callers build the prefix themselves. Failures are ignored.
void writeLog(Program& p, const std::string& text);
// Forces what was written to disk.
void flushLog(Program& p);
void closeLog(Program& p);

// The capture time text "%yyyy-%mm-%dd  %hh:%ii:%ss" of the current local time.
std::string currentTimeText();
// The local time through a printf format of six ints: year, month, day, hour, minute, second.
std::string localTimeText(const char* format);

}  // namespace core
