// Printing a text clip: the selected clip's stored text goes into a print file, which the shell
// prints with whatever program the system keeps for text files.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace ops {

// "Print Clip" and "Print Item Text": answers the shell's result (above 32 when it printed), or 0
// when nothing was handed to the shell (the user was told why).
int printTextClip(core::Program& p);
// Writes the current row's clip text, exactly as stored (for a rich-text clip its plain text), to a
// new file of printFolder and answers 1 with its path in `path`; 0 with "No File" or "Not Printed"
// in the status line. The editor is left as it is, unsaved edits included.
int writePrintFile(core::Program& p, std::string& path);

}  // namespace ops
