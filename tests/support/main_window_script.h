// A whole program driven through its main window: a database seeded before the start, user actions
// posted as window events from the script, and what the window shows read back.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/utf8.h"
#include "platform/gadgets.h"
#include "platform/text_encoding.h"
#include "store/clip_store.h"
#include "support/sim_fixture.h"
#include "ui/gadgets.h"

namespace testing_support {

// One clip written into the database before the program starts.
struct SeedClip {
  std::string set, text, source, note;
};

class MainWindowTest : public SimTest {
 protected:
  // A settings file of this release (so no first-run question) and a database holding these sets
  // (td_clips and td_trash first) and clips, in this order.
  void seed(const std::vector<SeedClip>& clips, const std::vector<std::string>& sets = {},
            const std::string& settings = "Version = 2.8\r\n") {
    write(dataFolder + "tandrel.ini", settings);
    createDatabase();
    std::string sql = "insert into Sets (setName) values ('td_clips'), ('td_trash');";
    for (const auto& set : sets) sql += "insert into Sets (setName) values ('" + store::escapeQuotes(set) + "');";
    for (const auto& c : clips)
      sql += "insert into cTbl (cDate, cSet, cRTFsw, cHTMLsw, cImageSW, cSource, cNote, cText, cRTF, cHTML) values "
             "('2026-12-01  10:00:00', '" + store::escapeQuotes(c.set) + "', 'N', 'N', 'N', '" +
             store::escapeQuotes(c.source) + "', '" + store::escapeQuotes(c.note) + "', '" +
             store::escapeQuotes(c.text) + "', ' ', ' ');";
    execute(sql);
  }
  // Runs the script to the end of the session; the program must end cleanly.
  void runToEnd() {
    thenEndSession();
    ASSERT_EQ(run(), 0);
  }
  // Inside a step: the user acts on a gadget of the main window.
  void post(int gadget, int type = platform::GADGET_LEFT_CLICK, std::intptr_t data = 0) {
    desktop.postEvent({platform::EVENT_GADGET, core::mainWindowNumber, gadget, type, data});
  }
  // Inside a step: only `row` of a list is selected, as a click on it leaves it.
  void selectOnly(int list, int row) {
    platform::deselectListRows(list);
    platform::selectListRow(list, row);
  }
  // The row of the set list that shows `name`; -1 when none.
  // The row of the set named `name` (ANSI); lists show UTF-8.
  int setRow(const std::string& name) {
    const auto rows = desktop.listRows(ui::gadgetSetList);
    for (std::size_t r = 0; r < rows.size(); ++r)
      if (rows[r][0] == platform::ansiToUtf8(name)) return static_cast<int>(r);
    return -1;
  }
  sim::Gadget& gadget(int number) { return desktop.gadgets[number]; }
  // Column `c` of every row of the clip list, top first.
  std::vector<std::string> listColumn(int c) {
    std::vector<std::string> out;
    for (const auto& row : desktop.listRows(ui::gadgetClipList)) out.push_back(row[static_cast<std::size_t>(c)]);
    return out;
  }
  // The text the clipboard holds for other programs (up to its zero byte).
  std::string clipboardText() {
    const std::string bytes = desktop.clipboard[platform::CF_TEXT];
    return bytes.substr(0, bytes.find('\0'));
  }
};

// A caption of fewer than 15 characters as a list with wide captions shows it: padded to 85 characters.
// Counted in characters: captions are UTF-8.
inline std::string wideCaption(const std::string& text) {
  return text + std::string(85 - core::characterCount(text), ' ');
}

}  // namespace testing_support
