// The conversion of old clip sets. The records are read by the store; this flow asks, tells,
// turns rich text into plain text through the Text tab's editor and writes each clip. Set names
// come from file names, so they pass the set-name rules and reach the database quoted; nothing
// read from the files is ever part of an SQL text.
#include "ops/conversion.h"

#include <sqlite3.h>

#include "core/clip_text.h"
#include "core/image_codec.h"
#include "core/log.h"
#include "core/program.h"
#include "core/set_names.h"
#include "core/settings.h"
#include "ops/set_commands.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/window.h"
#include "store/clip_store.h"
#include "store/old_format.h"
#include "store/sets.h"
#include "ui/gadgets.h"
#include "ui/status.h"

namespace ops {
namespace {

const std::string mainOldSet = "clips";

void tell(core::Program& p, const std::string& text, const std::string& title = core::appName) {
  platform::messageBox(p.mainWindow, text, title, platform::MB_OK | platform::MB_ICONINFORMATION);
}

// One set's conversion: what is open and what was done, so that every way out can undo it.
struct Conversion {
  std::string name;               // the set name: the file name without ".dbt"
  sqlite3* contents = nullptr;    // clip.db
  platform::Handle index = 0;     // <name>.dbt
  bool rowInserted = false;       // the Sets row is ours to take back when nothing arrives
  int converted = 0;
  int skipped = 0;                // records that are no clip of the format
  int shortened = 0;              // clips kept with their list text: clip.db could not be read
  int failedInRow = 0;            // clip.db reads failed one after another
  int problems = 0;               // records skipped or shortened, the first ones logged
  std::string failedReason;       // the engine's message of the last failed read
};

// A damaged file may hold thousands of bad records: the log names the first ones and counts the rest.
constexpr int loggedProblems = 20;
// Reads failing one after another mean clip.db cannot be read any more, not one damaged clip.
constexpr int maxFailedReadsInRow = 20;

void logProblem(core::Program& p, Conversion& c, const std::string& text) {
  if (c.problems++ < loggedProblems) core::writeLog(p, p.captureTime + " " + text);
}

// Every way out: the index file and clip.db closed, the pending name cleared.
void finish(core::Program& p, Conversion& c) {
  if (c.index != 0) platform::closeFile(c.index);
  c.index = 0;
  if (c.contents != nullptr) {
    p.db.DbClose(c.contents);
    core::writeLog(p, p.captureTime + " Closed Database " + p.paths.dataFolder);
  }
  c.contents = nullptr;
  p.view.pendingSetName.clear();
}

int PrepareConversion(core::Program& p, Conversion& c) {
  std::string reason;
  const std::string contentsPath = p.paths.dataFolder + "clip.db";
  if (!platform::fileExists(contentsPath)) {
    tell(p, "No existing database for conversion. clip.db. Can not continue. ");
    return 0;
  }
  c.contents = store::openOldContents(p, contentsPath, reason);
  if (c.contents == nullptr) {
    tell(p, "The old clip database " + contentsPath + " cannot be read (" + reason + "). Can not continue. ");
    return 0;
  }
  core::writeLog(p, p.captureTime + " Opened Database " + p.paths.dataFolder);

  std::string name = p.view.pendingSetName;
  if (name.empty()) {
    tell(p, "No File selected to convert. Please select a dbt file and Retry.");
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabSets);
    return 0;
  }
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dbt") == 0) {
    name.resize(name.size() - 4);
  } else {
    tell(p, "Information: This doesn't appear to be a valid .dbt file, please select another");
  }
  const bool firstMainSet = name == mainOldSet && p.settings.clipsConverted == "N";
  if (!firstMainSet && IsListedSet(p, name) == 1) {
    tell(p, name + " appears to be a duplicate. Please select another.");
    return 0;
  }
  if (!core::isUsableSetName(name)) {
    tell(p, "Sorry, but " + name + " could not be added", "Name Error");
    return 0;
  }
  c.name = name;
  return 1;
}

// "Importing" and a run of one to three marks, one more for every record.
std::string progressText(int records) {
  std::string text = "Importing";
  for (int mark = 0; mark <= records % 3; ++mark) text += "> ";
  return text;
}

// The contents of one record into the ClipRecord; false when clip.db could not be read, and the
// record keeps the text of its index entry.
bool readContents(core::Program& p, Conversion& c, const store::OldRecord& record, int number) {
  core::ClipRecord& r = p.clip;
  if (!record.blob) return true;
  const bool image = record.type == 'I';
  const store::OldBlob blob =
      store::ReadOldBlob(p, c.contents, store::oldBlobKey(*record.blob, image ? 'I' : 'T'));
  if (blob.state == store::OldBlob::Failed) {
    logProblem(p, c, "Record " + std::to_string(number) + " of " + c.name + ".dbt kept with its list text only: " +
                         blob.key + " of clip.db could not be read, " + blob.reason);
    c.failedReason = blob.reason;
    return false;
  }
  if (blob.state == store::OldBlob::Missing) return true;
  if (image) {
    // Kept as the bytes came; one that shows as no picture is still the user's clip.
    if (!core::decodeImage(blob.bytes).ok())
      core::writeLog(p, p.captureTime + " Converted image of " + blob.key + " in " + c.name + " does not decode");
    r.image = blob.bytes;
    r.imageOwned = true;
    r.cImageSW = "Y";
  } else if (blob.key.back() == 'R') {
    // The editor reads rich text and gives back its plain text, with every character its \u
    // escapes hold.
    platform::setEditorRichText(ui::gadgetTextEditor, blob.bytes);
    core::setClipText(r, platform::editorText(ui::gadgetTextEditor));
  } else {
    r.cText = blob.bytes;
  }
  return true;
}

bool writeClip(core::Program& p, Conversion& c, const store::OldRecord& record, int number) {
  core::ClipRecord& r = p.clip;
  r = core::ClipRecord{};
  r.cDate = record.date;
  r.cSource = record.source;
  r.cText = record.text;
  r.cImageSW = "N";
  const bool read = readContents(p, c, record, number);
  c.failedInRow = read ? 0 : c.failedInRow + 1;
  r.cRTFsw = "N";
  r.cHTMLsw = "N";
  r.cSet = c.name;
  r.cNote = " ";
  r.cRTF = " ";
  r.cHTML = " ";
  // The write marks rich text from the last capture's state; a converted clip has none.
  const int richTextFlag = p.capture.richTextFlag;
  p.capture.richTextFlag = 0;
  const int written = store::WriteClipDB(p);
  p.capture.richTextFlag = richTextFlag;
  if (written == 0) {
    tell(p, "The conversion of " + c.name + " stopped after " + std::to_string(c.converted) +
                " clips: a clip could not be stored.");
    return false;
  }
  ++c.converted;
  if (!read) ++c.shortened;
  if (c.failedInRow >= maxFailedReadsInRow) {
    tell(p, "The old clip database clip.db could not be read (" + c.failedReason + "). The conversion of " + c.name +
                " stopped after " + std::to_string(c.converted) + " clips.");
    return false;
  }
  return true;
}

void importRecords(core::Program& p, Conversion& c) {
  platform::setPanelTab(ui::gadgetContentPanel, ui::tabText);
  const platform::Handle index = c.index;
  const store::ReadBytes read = [index](std::size_t n, std::string& bytes) {
    return platform::readFromFile(index, n, bytes);
  };
  std::string bytes;
  for (int number = 1;; ++number) {
    ui::showStatus(p, progressText(number - 1), ui::colour::green, ui::colour::black);
    // What the user does meanwhile waits for the import: a Restore or an Exit run now would close
    // the database under it.
    for (const platform::WindowEvent& e : platform::pendingWindowEvents()) p.heldEvents.push_back(e);
    platform::sleep(2);

    const store::OldRead got = store::readOldRecord(read, bytes);
    if (got == store::OldRead::End) return;
    if (got == store::OldRead::ShortTail) {
      core::writeLog(p, p.captureTime + " " + c.name + ".dbt ends in " + std::to_string(bytes.size()) +
                           " bytes that are no whole record; they were left");
      return;
    }
    if (got == store::OldRead::Failed) {
      tell(p, c.name + ".dbt could not be read past record " + std::to_string(number - 1) + ". The conversion of " +
                  c.name + " stopped after " + std::to_string(c.converted) + " clips.");
      return;
    }
    store::OldRecord record;
    const store::OldRecordKind kind = store::parseOldRecord(bytes, record);
    if (kind == store::OldRecordKind::Blank) continue;
    if (kind == store::OldRecordKind::Unreadable) {
      // One damaged record must not cost the records after it.
      ++c.skipped;
      logProblem(p, c,
                 "Record " + std::to_string(number) + " of " + c.name + ".dbt skipped: it is not an old Tandrel clip");
      continue;
    }
    if (!writeClip(p, c, record, number)) return;
  }
}

}  // namespace

int IsListedSet(core::Program& p, const std::string& name) {
  for (const std::string& listed : p.view.setNames)
    if (listed == name) return 1;
  return 0;
}

int ConvertSetFile(core::Program& p) {
  Conversion c;
  if (PrepareConversion(p, c) == 0) {
    finish(p, c);
    return 0;
  }
  const std::string indexPath = p.paths.dataFolder + c.name + ".dbt";
  c.index = platform::openReadFile(indexPath);
  if (c.index == 0) {
    tell(p, "Invalid set dbt specified. " + c.name);
    finish(p, c);
    return 0;
  }
  core::writeLog(p, p.captureTime + " Opened ClipindexFile " + p.paths.dataFolder + c.name);

  // The row comes before the first clip, so no clip ever names a set that has no row.
  c.rowInserted = store::insertSetRow(p, c.name);
  if (!c.rowInserted) {
    if (c.name == mainOldSet && p.settings.clipsConverted == "N") {
      p.settings.clipsConverted = "Y";
    } else {
      tell(p, "Sorry, but " + c.name + " could not be added", "Name Error");
      finish(p, c);
      return 0;
    }
  }

  importRecords(p, c);
  platform::closeFile(c.index);
  c.index = 0;
  if (c.problems > loggedProblems)
    core::writeLog(p, p.captureTime + " " + std::to_string(c.problems - loggedProblems) + " more records of " + c.name +
                         ".dbt skipped or kept with their list text only");

  if (c.converted == 0) {
    // Taken back, so that a later try is not refused as a duplicate.
    if (c.rowInserted) store::deleteSetRow(p, c.name);
    finish(p, c);
    RefreshSetFolders(p);
    tell(p, "No clips were converted from " + c.name + ".dbt.");
    return 0;
  }
  if (c.name == mainOldSet) p.settings.clipsConverted = "Y";
  p.settings.activeSetName = c.name;
  finish(p, c);
  RefreshSetFolders(p);
  LoadActiveSet(p);
  core::saveSettings(p);
  ui::showStatus(p, "Action Complete", ui::colour::blue, ui::colour::white);
  core::writeLog(p, p.captureTime + " Converted " + std::to_string(c.converted) + " clips into " + c.name);
  if (c.skipped > 0 || c.shortened > 0)
    tell(p, "Conversion of set " + c.name + ": " + std::to_string(c.skipped) + " records skipped, " +
                std::to_string(c.shortened) + " clips kept with their list text only (see the log).");
  return 1;
}

void ConvertSets(core::Program& p) {
  const auto chosen = platform::openFileDialog(p.mainWindow, "Tandrel Conversion: - Please select set(s) to convert",
                                               p.paths.dataFolder, "dbt file|*.dbt", true);
  for (const std::string& path : chosen) {
    const auto slash = path.find_last_of("\\/");
    p.view.pendingSetName = slash == std::string::npos ? path : path.substr(slash + 1);
    ConvertSetFile(p);
  }
}

}  // namespace ops
