// Clip sets. A set name becomes a folder name under the sets folder, so only names that are plain
// file names are accepted, and no folder operation here ever leaves that folder.
#include "store/sets.h"

#include <sqlite3.h>

#include <algorithm>

#include "app/program.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "store/clip_store.h"
#include "store/set_names.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/main_window.h"
#include "ui/status.h"

namespace store {
namespace {

constexpr std::size_t previewLimit = 1000;

void tell(app::Program& p, const std::string& text, const std::string& title = app::appName) {
  platform::messageBox(p.mainWindow, text, title, platform::MB_OK | platform::MB_ICONINFORMATION);
}

bool setRowExists(app::Program& p, const std::string& name) {
  Recordset rs;
  p.db.DbQuery("select * from sets where setName = '" + escapeQuotes(name) + "'", p.databaseHandle, rs);
  const bool found = p.db.RecordsetValueByName("setName", rs) == 1;
  p.db.RecordsetRelease(rs);
  return found;
}

std::string folderOf(const app::Program& p, const std::string& name) { return p.paths.setsFolder + name; }

}  // namespace

void LoadActiveSet(app::Program& p) {
  ui::clearClipView(p);
  ui::showStatus(p, "Selecting Clips", ui::colour::green, ui::colour::black);
  std::string& active = p.settings.activeSetName;
  if (!setRowExists(p, active)) {
    tell(p, "Active set " + active + " not found in database. Using default.");
    active = app::mainSetName;
    // Even the main set's row may be gone (a restored or damaged file): it is made again.
    if (!setRowExists(p, active))
      p.db.DbExecute("insert into sets (setName) values ('" + escapeQuotes(active) + "')", p.databaseHandle);
  }

  // Only what the list needs: the first 1000 bytes of each text and its length, never the images.
  sqlite3_stmt* stmt = p.db.DbPrepare(
      p.databaseHandle,
      "SELECT cKey, cDate, cRTFsw, cHTMLsw, cImageSW, cSource, cNote, substr(CAST(cText AS BLOB), 1, 1000), "
      "length(CAST(cText AS BLOB)) FROM cTbl WHERE cSet = ? ORDER BY cKey");
  if (stmt == nullptr) {
    tell(p, "Error in database = " + p.db.DbLastMessage());
    ui::fillClipList(p);
    return;
  }
  p.db.StmtBindText(stmt, 1, &active);
  auto column = [&](int c) {
    const int n = p.db.StmtColumnBytes(stmt, c);
    const char* text = p.db.StmtColumnText(stmt, c);
    return n == 0 || text == nullptr ? std::string(" ") : std::string(text, static_cast<std::size_t>(n));
  };
  int result;
  while ((result = p.db.StmtStep(stmt)) == SQLITE_ROW) {
    app::ClipRow row;
    row.key = std::strtoll(p.db.StmtColumnText(stmt, 0), nullptr, 10);
    row.date = column(1);
    row.richFlag = column(2);
    row.htmlFlag = column(3);
    row.imageFlag = column(4);
    row.source = column(5);
    row.note = column(6);
    const int textBytes = p.db.StmtColumnBytes(stmt, 7);
    const char* text = p.db.StmtColumnText(stmt, 7);
    row.preview = text == nullptr ? "" : std::string(text, static_cast<std::size_t>(textBytes));
    const long long length = std::strtoll(p.db.StmtColumnText(stmt, 8) ? p.db.StmtColumnText(stmt, 8) : "0", nullptr, 10);
    row.complete = length < static_cast<long long>(previewLimit) ? "Y" : "N";
    p.view.rows.push_back(std::move(row));
  }
  if (result != SQLITE_DONE) tell(p, "Error in database = " + p.db.DbLastMessage());
  p.db.StmtFinalize(stmt);
  ui::fillClipList(p);
}

std::string selectedSetName(app::Program& p) {
  const auto selected = platform::listSelectedRows(ui::gadgetSetList);
  if (selected.empty() || selected.front() >= static_cast<int>(p.view.setNames.size())) return "";
  return p.view.setNames[static_cast<std::size_t>(selected.front())];
}

void RefreshSetFolders(app::Program& p) {
  // The list is refilled: a selection kept by row would now name another set.
  platform::deselectListRows(ui::gadgetSetList);
  p.view.setNames.clear();
  Recordset rs;
  if (p.db.DbQuery("select * from sets", p.databaseHandle, rs) != 0) {
    for (int i = 1; i <= rs.rowCount; ++i) {
      if (p.db.RecordsetValueByName("setName", rs) == 1) {
        p.view.setNames.push_back(rs.value);
        if (isUsableSetName(rs.value)) platform::createFolder(folderOf(p, rs.value));
      }
      p.db.RecordsetNext(rs);
    }
  }
  p.db.RecordsetRelease(rs);
  // Listed as a folder list lists them.
  std::sort(p.view.setNames.begin(), p.view.setNames.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
  });
  app::Program* program = &p;
  platform::setListRows(ui::gadgetSetList, static_cast<int>(p.view.setNames.size()),
                        [program](int row, int) {
                          return row < static_cast<int>(program->view.setNames.size())
                                     ? program->view.setNames[static_cast<std::size_t>(row)]
                                     : std::string();
                        });
}

void NewSet(app::Program& p) {
  for (;;) {
    const auto answer = platform::inputBox(p.mainWindow, "New Set", "Enter Name For New Set (1 - 32 Characters)", "");
    if (!answer || answer->empty()) return;
    const std::string& name = *answer;
    if (name.size() > maxSetNameLength) {
      tell(p, "Sorry, but the Set name can not be more than 32 characters in length", "Name Error");
      continue;
    }
    if (!isUsableSetName(name) ||
        p.db.DbExecute("insert into sets (setName) values ('" + escapeQuotes(name) + "')", p.databaseHandle) == 0) {
      tell(p, "Sorry, but " + name + " could not be added", "Name Error");
      return;
    }
    platform::createFolder(folderOf(p, name));
    RefreshSetFolders(p);
    ui::showStatus(p, "Action Complete", ui::colour::blue, ui::colour::white);
    return;
  }
}

int SetExists(app::Program& p, const std::string& name) {
  Recordset rs;
  p.db.DbQuery("select * from sets where setName = '" + escapeQuotes(name) + "'", p.databaseHandle, rs);
  p.db.RecordsetValueByName("setName", rs);
  const bool found = p.db.DbLastMessage() == "OK";
  p.db.RecordsetRelease(rs);
  if (found) return 1;
  tell(p, "We are unable to open " + name + ". Possible Data error");
  return 0;
}

int ValidateSelectedSet(app::Program& p) {
  const std::string name = selectedSetName(p);
  if (name.empty()) {
    tell(p, "Please select a set and try again");
    return 0;
  }
  p.view.pickedSet = name;
  if (SetExists(p, name) == 0) {
    tell(p, "Information: This doesn't appear to be a valid Set, please select another");
    return 0;
  }
  return 1;
}

void DeleteSet(app::Program& p) {
  if (ValidateSelectedSet(p) == 0) return;
  const std::string name = p.view.pickedSet;
  if (platform::messageBox(p.mainWindow, "Are you sure you want to delete " + name, app::appName,
                           platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
    return;
  if (p.db.DbExecute("DELETE FROM ctbl WHERE cSet ='" + escapeQuotes(name) + "';", p.databaseHandle) == 0)
    tell(p, "Delete Items failed For Value " + p.db.DbLastMessage(), app::appName + " error");
  if (p.db.DbExecute("DELETE FROM Sets WHERE setName ='" + escapeQuotes(name) + "';", p.databaseHandle) == 0)
    tell(p, "Delete Set failed For Value " + p.db.DbLastMessage(), app::appName + " error");
  if (isUsableSetName(name)) platform::deleteFolderTree(folderOf(p, name));
  RefreshSetFolders(p);
  ui::showStatus(p, "Set Deleted", ui::colour::blue, ui::colour::white);
}

void DeleteSetCommand(app::Program& p) {
  const std::string name = selectedSetName(p);
  if (name.empty()) {
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabSets);
    ui::refreshStatus(p);
    tell(p, "Please select a Set to delete and click 'Delete Set' again");
    return;
  }
  if (name == app::trashSetName || name == app::mainSetName || name == p.settings.activeSetName) {
    tell(p, "Sorry, you may not delete either the main, trash or Active set.");
    return;
  }
  DeleteSet(p);
  ui::refreshStatus(p);
}

}  // namespace store
