// "Convert Old Format Tandrel Set": the clip sets of the previous generation (an index file
// "<set>.dbt" and the contents in clip.db, both in the data folder) become sets of this database.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace ops {

// Asks for one or more .dbt files and converts each, in the order the dialog gives them.
void ConvertSets(core::Program& p);
// Converts the set named by the pending set name; 1 when clips were converted, 0 when not. Every
// way out clears the pending name and closes clip.db.
int ConvertSetFile(core::Program& p);
// 1 when the set list shows `name`.
int IsListedSet(core::Program& p, const std::string& name);

}  // namespace ops
