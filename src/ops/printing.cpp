// Printing. The print files are scratch files, deleted at the end of the run; each print gets a file
// of its own, so a second print within the same second cannot overwrite one that is still printing.
// What prints is the clip as stored, read without touching the editor: refreshing the Text tab
// first would throw away the user's unsaved edits.
#include "ops/printing.h"

#include "core/clip_text.h"
#include "core/log.h"
#include "core/program.h"
#include "core/utf8.h"
#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/text_encoding.h"
#include "platform/window.h"
#include "store/clip_store.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/status.h"

namespace ops {
namespace {

constexpr int hiddenWindow = 0;

std::string printStamp() { return core::localTimeText("%04d-%02d-%02d-%02d%02d%02d"); }

void notPrinted(core::Program& p, const char* status) { ui::showStatus(p, status, ui::colour::white, ui::colour::red); }

// The current row's text as stored (a rich-text clip's plain text); empty when there is no clip or
// its text is the blank that stands for none. False when the clip cannot be read.
bool storedText(core::Program& p, std::string& text) {
  text.clear();
  const core::ClipRow* row = ui::elementAtRow(p, p.view.currentRow);
  if (row == nullptr) return true;
  p.currentKey = std::to_string(row->key);
  if (store::ReadClipFields(p) == 0) return false;
  if (p.editCopy.text != " ") text = p.editCopy.text;
  return true;
}

}  // namespace

int writePrintFile(core::Program& p, std::string& path) {
  const std::string base = p.paths.printFolder + "td_" + printStamp();
  path = base + ".txt";
  for (int n = 2; platform::fileExists(path); ++n) path = base + "-" + std::to_string(n) + ".txt";
  std::string text;
  if (!storedText(p, text)) {
    notPrinted(p, "Not Printed");
    return 0;
  }
  if (text.empty()) {
    notPrinted(p, "No File");
    return 0;
  }
  // A text the code page holds prints as the plain 8-bit file it always was; any other as UTF-16
  // with a byte order mark, which the system's editor opens.
  const std::string ansi = platform::utf8ToAnsi(text);
  const std::string bytes = core::exactBeside(text, ansi).empty() ? ansi : "\xFF\xFE" + core::utf16le(text);
  if (!platform::writeFile(path, bytes)) {
    platform::deleteFile(path);  // half a text would print as if it were all of it
    notPrinted(p, "Not Printed");
    return 0;
  }
  return 1;
}

int printTextClip(core::Program& p) {
  if (platform::runsOnWindows9x()) {
    platform::messageBox(p.mainWindow, "Requires Win/NT, 2000, XP, 2003, or Vista", core::appName + " Error",
                         platform::MB_OK | platform::MB_ICONERROR);
    return 0;
  }
  if (platform::panelTab(ui::gadgetContentPanel) != ui::tabText) {
    platform::messageBox(p.mainWindow, "Sorry, there is no active text clip to print.", core::appName,
                         platform::MB_OK | platform::MB_ICONINFORMATION);
    return 0;
  }
  std::string path;
  if (writePrintFile(p, path) == 0) return 0;
  const int result = platform::shellExecute(p.mainWindow, "print", path, "", hiddenWindow);
  if (result <= 32) {
    platform::messageBox(p.mainWindow, std::to_string(result), "Print Error ", platform::MB_OK | platform::MB_ICONERROR);
    return result;
  }
  ui::showStatus(p, "Printed", ui::colour::white, ui::colour::black);
  return result;
}

}  // namespace ops
