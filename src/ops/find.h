// Finding and replacing text in the Text tab, and searching every clip of the list from the top.
#pragma once

namespace core {
struct Program;
}

namespace platform {
struct FindReport;
}

namespace ops {

// "Find" and "Search 'Text' entry": the find dialog on the clip in the Text tab.
void findInText(core::Program& p);
// "Find and replace text": the replace dialog on the clip in the Text tab.
void openReplaceDialog(core::Program& p);
// "Search Clips": shows the top clip and opens the find dialog; a search goes on through the
// clips below until it finds the text.
void searchAllClips(core::Program& p);
// What the find dialog reports: find next, replace, replace all, or that it closed.
void handleFindMessage(core::Program& p, const platform::FindReport& report);

}  // namespace ops
