// The clipboard watcher. Every change is passed on to the next viewer whatever happens here
// (except the one the system sends on joining), so a failure never breaks the chain; and the
// clipboard is closed as soon as its data is read, so no other program waits behind a message box.
#include "capture/watcher.h"

#include <algorithm>
#include <string>
#include <vector>

#include "capture/image_capture.h"
#include "capture/private_data.h"
#include "capture/source.h"
#include "capture/text_capture.h"
#include "core/clipboard_write.h"
#include "core/log.h"
#include "core/program.h"
#include "core/raise_window.h"
#include "core/step_timer.h"
#include "core/text.h"
#include "core/utf8.h"
#include "platform/clipboard.h"
#include "platform/system.h"
#include "platform/text_encoding.h"
#include "platform/window.h"
#include "store/clip_store.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/main_window.h"
#include "ui/menus.h"
#include "ui/status.h"
#include "ui/tray_menu.h"

namespace capture {
namespace {

constexpr int maxOpenTries = 50;
// A hung viewer further down the chain must not freeze us; a change it missed is not sent again.
constexpr unsigned forwardTimeoutMs = 3000;

void logStep(core::Program& p, const std::string& text) { core::writeLog(p, p.captureTime + " " + text); }

void passOn(core::Program& p, unsigned message, platform::WParam wParam, platform::LParam lParam) {
  core::CaptureState& c = p.capture;
  // Never to ourselves: a chain that names us as our own successor would recurse without end.
  if (c.nextViewer == 0 || c.nextViewer == p.mainWindow) return;
  const platform::Hwnd next = c.nextViewer;
  if (platform::sendMessageTimeout(next, message, wParam, lParam, forwardTimeoutMs)) return;
  if (std::find(c.silentViewers.begin(), c.silentViewers.end(), next) != c.silentViewers.end()) return;
  c.silentViewers.push_back(next);
  logStep(p, "the next clipboard viewer (window " + std::to_string(next) + ") did not answer within " +
                 std::to_string(forwardTimeoutMs / 1000) + " s; changes are passed on without waiting for it");
}

void findSource(core::Program& p) {
  core::CaptureState& c = p.capture;
  platform::Hwnd source = platform::getForegroundWindow();
  if (source == 0) source = platform::getActiveWindow();
  if (source == 0) source = platform::getOpenClipboardWindow();
  if (source == 0) source = p.mainWindow;
  c.sourceWindow = source;
  // Our own window in front means the text came from somewhere we cannot see (a program without a
  // window of its own, or another desktop bridged in): the source is unknown, not Tandrel.
  if (source == p.mainWindow) {
    c.sourceTitle.clear();
    return;
  }
  c.sourceTitle = sourceTitleOf(source);
}

void switchListPasteOff(core::Program& p) {
  p.capture.listPasteMode = 0;
  p.capture.capturing = 1;
  ui::refreshStatus(p);
}

enum class TextRead { Taken, Flood, NotText, Unreadable, TooLarge };

// Reads the exact text of the open clipboard into clipExact where the ANSI text just read does not
// give it back (else leaves it empty); false when it is too large to take.
bool readExactText(core::Program& p) {
  core::CaptureState& c = p.capture;
  c.clipExact.clear();
  if (!platform::isClipboardFormatAvailable(platform::CF_UNICODETEXT)) return true;
  // Two bytes a character: the bound in characters is the ANSI text's.
  const std::size_t size = platform::clipboardDataSize(platform::CF_UNICODETEXT);
  if (size / 2 > core::clipTextLimit && refuseOversizedText(p, size, "copied Unicode text")) return false;
  auto exact = platform::getClipboardUnicodeText();
  if (!exact) return true;
  // Most texts fit the code page: they keep no second copy.
  const bool same = core::isAscii(c.clipText) ? *exact == c.clipText : *exact == platform::ansiToUtf8(c.clipText);
  if (!same) c.clipExact = std::move(*exact);
  return true;
}

// Reads the text (and its rich text) and closes the clipboard before anything is stored.
TextRead readText(core::Program& p) {
  core::CaptureState& c = p.capture;
  if (!platform::openClipboard(0)) return TextRead::NotText;
  logStep(p, "Have text - Opening Clipboard");
  if (!platform::isClipboardFormatAvailable(platform::CF_TEXT)) {
    platform::closeClipboard();
    return TextRead::Unreadable;
  }
  c.clipSequence = platform::clipboardSequenceNumber();
  // Measured before anything is copied: a text too large to keep is never taken into memory.
  if (refuseOversizedText(p, platform::clipboardDataSize(platform::CF_TEXT), "copied text")) {
    platform::closeClipboard();
    return TextRead::TooLarge;
  }
  auto text = platform::getClipboardText();
  if (!text) {
    platform::closeClipboard();
    return TextRead::NotText;
  }
  c.clipText = std::move(*text);
  if (!readExactText(p)) {
    platform::closeClipboard();
    return TextRead::TooLarge;
  }
  if (isFlood(p)) {
    logStep(p, "Duplicate flood - close clipboard -exiting");
    c.clipExact.clear();
    platform::closeClipboard();
    return TextRead::Flood;
  }
  c.richTextRead = 0;
  if (p.settings.saveHtml == 1 && readRichText(p)) logStep(p, "checking for rich text");
  platform::closeClipboard();
  return TextRead::Taken;
}

// Keeps what was read for storing once the changes that came meanwhile have been read too.
void keepRead(core::Program& p, bool image) {
  core::CaptureState& c = p.capture;
  core::ReadChange change;
  change.image = image;
  change.text = image ? std::move(c.dibBytes) : c.clipText;
  c.dibBytes.clear();
  change.richText = c.richText;
  change.richTextRead = c.richTextRead;
  change.richTextFlag = c.richTextFlag;
  change.sourceWindow = c.sourceWindow;
  change.sourceTitle = c.sourceTitle;
  change.time = p.captureTime;
  change.exactText = std::move(c.clipExact);
  c.clipExact.clear();
  c.readChanges.push_back(std::move(change));
}

void storeImage(core::Program& p) {
  core::CaptureState& c = p.capture;
  logStep(p, "saving an image ");
  // The tray menu is built when it is opened, not at every capture.
  if (captureImage(p) != 0) {
    if (p.mainWindow != platform::getForegroundWindow())
      platform::setTrayIcon(p.mainWindow, platform::TrayImage::NewClip, "Tandrel\x99 Active");
  }
  if (c.listPasteMode == 1) switchListPasteOff(p);
}

void storeText(core::Program& p) {
  core::CaptureState& c = p.capture;
  core::CaptureState::Batch& batch = c.batch;
  if (captureText(p) != 0 && c.listPasteMode == 1) switchListPasteOff(p);
  const std::string done = p.captureTime + " Finished with text clip - done";
  if (batch.open) batch.doneLines.push_back(done);
  else core::writeLog(p, done);
}

void closeBatch(core::Program& p) {
  core::CaptureState::Batch& batch = p.capture.batch;
  batch.open = false;
  if (store::CommitBatch(p)) {
    for (const std::string& line : batch.doneLines) core::writeLog(p, line);
    batch.doneLines.clear();
    return;
  }
  core::writeLog(p, p.captureTime + " clips read together not stored: " + p.db.DbLastMessage());
  store::RollBackBatch(p);
  batch.doneLines.clear();
  // What the list shows is what the store has.
  core::ViewState& v = p.view;
  if (v.rows.size() > batch.firstRow) v.rows.resize(batch.firstRow);
  const int kept = static_cast<int>(batch.firstRow);
  v.order.erase(std::remove_if(v.order.begin(), v.order.end(), [kept](int e) { return e >= kept; }), v.order.end());
  ui::drawRows(p);
  v.currentRow = 0;
  ui::selectRow(p);
  ui::showClipContent(p);
  ui::showActionFailed(p);
}

void endOfChange(core::Program& p) {
  logStep(p, "clipboard processing complete - close clipboard");
  ui::resetColumnTitles(p);
  p.view.sortDirection = 1;
  p.capture.ownWrite = 0;
  core::markStep(p, "titles");
  // Only the text in memory: writing the page file on every capture would cost each copy a file.
  p.view.pageText.clear();
}

// Stores the changes read, oldest first. Before each one the changes that arrived meanwhile are
// read, while their data is still on the clipboard: a copier faster than a capture would
// otherwise have replaced it by the time its notification is handled, and the change would be
// read as a repeat of the next one and lost. The window paints once at the end, when the
// caller's repaint hold ends.
// `readMore` off stores only what has been read: the way out at exit, which may come from inside
// the reading of the next change.
void storeReadChanges(core::Program& p, bool readMore = true) {
  core::CaptureState& c = p.capture;
  c.storing = true;
  core::CaptureState::Batch& batch = c.batch;
  for (;;) {
    if (readMore) platform::takeClipboardChanges();
    if (c.readChanges.empty()) break;
    core::ReadChange change = std::move(c.readChanges.front());
    c.readChanges.pop_front();
    c.moreToStore = !c.readChanges.empty();
    // Combine mode and a replacement rewrite a clip the user sees: they keep their own writes.
    if (c.moreToStore && !batch.open && c.combineCount == 0 && c.replaceActive == 0) {
      store::BeginBatch(p);
      batch.open = true;
      batch.firstRow = p.view.rows.size();
    }
    p.captureTime = change.time;
    c.sourceWindow = change.sourceWindow;
    c.sourceTitle = std::move(change.sourceTitle);
    c.richText = std::move(change.richText);
    c.richTextRead = change.richTextRead;
    c.richTextFlag = change.richTextFlag;
    if (change.image) {
      c.dibBytes = std::move(change.text);
      storeImage(p);
    } else {
      c.clipText = std::move(change.text);
      c.clipExact = std::move(change.exactText);
      storeText(p);
      // Not left for a text the Text tab adds later.
      c.clipExact.clear();
    }
    if (batch.open && !c.moreToStore) closeBatch(p);
    endOfChange(p);
  }
  if (batch.open) closeBatch(p);
  c.storing = false;
  c.moreToStore = false;
  // The last change was dropped (a repeat, a store that failed): the rows before it are shown.
  if (p.view.rowsNotDrawn > 0) {
    ui::drawRows(p);
    p.view.currentRow = 0;
    ui::selectRow(p);
    ui::showClipContent(p);
    ui::refreshStatus(p);
  }
}

}  // namespace

void storeReadChangesAtExit(core::Program& p) {
  if (p.capture.readChanges.empty() && !p.capture.batch.open) return;
  storeReadChanges(p, false);
}

int clipboardHasFormats(core::Program& p) {
  int failures = 0;
  while (!platform::openClipboard(0)) {
    p.capture.clipboardBusy = 1;
    platform::sleep(5);
    if (++failures > maxOpenTries) {
      core::writeLog(p, p.captureTime + " unable to open clipboard to enumerate - TERMINATED" + std::to_string(failures));
      platform::closeClipboard();
      return 0;
    }
  }
  const unsigned first = platform::enumClipboardFormats(0);
  platform::closeClipboard();
  return first != 0 ? 1 : 0;
}

platform::LResult onDrawClipboard(core::Program& p, platform::WParam wParam, platform::LParam lParam) {
  core::CaptureState& c = p.capture;
  const unsigned message = platform::WM_DRAWCLIPBOARD;
  if (c.ignoreNextChange == 1) {
    c.ignoreNextChange = 0;
    return 0;
  }
  // Our own write, announced while ownWrite is up or forwarded late by a viewer that joined after us.
  const bool own = c.ownWrite == 1 || core::clipboardIsOwnWrite(p);
  if (!(c.replaceCapture == 1 && c.replaceActive == 1) && (own || c.capturing == 0)) {
    passOn(p, message, wParam, lParam);
    return 0;
  }
  core::StepTimer timer(p, "clipboard change");
  ui::RepaintHold hold(p);
  p.captureTime = core::currentTimeText();
  findSource(p);
  c.richTextFlag = 0;
  core::markStep(p, "source");

  if (clipboardHasFormats(p) == 0) {
    passOn(p, message, wParam, lParam);
    logStep(p, "8580 - Drawclipboard but no formats");
    c.clipboardBusy = 0;
    return 0;
  }

  core::markStep(p, "formats");
  // Before anything of the data is read: a private change leaves no trace but this line.
  if (p.settings.skipPrivate == 1 && isMarkedPrivate(p)) {
    passOn(p, message, wParam, lParam);
    logStep(p, "private clipboard change skipped");
    c.hasPreviousText = false;  // the next text is no flood repeat of the one before this change
    c.clipboardBusy = 0;
    return 0;
  }
  bool imageNeeded = true;
  bool kept = false;
  if (platform::getPriorityClipboardFormat(c.textFormats.data(), 1) > 0) {
    if (!c.sourceTitle.empty()) lookUpBrowserAddress(p);
    const TextRead read = readText(p);
    core::markStep(p, "read");
    switch (read) {
      case TextRead::Flood:
        passOn(p, message, wParam, lParam);
        p.view.pageText.clear();
        c.clipboardBusy = 0;
        return 0;
      case TextRead::Unreadable:
        ui::showStatus(p, "Clipboard Error", ui::colour::red, ui::colour::black);
        if (p.mainWindow != 0 && platform::isIconic(p.mainWindow)) {
          platform::showWindow(p.mainWindow, platform::SW_RESTORE);
          core::bringToFront(p.mainWindow);
        }
        imageNeeded = false;
        break;
      case TextRead::Taken:
        keepRead(p, false);
        kept = true;
        imageNeeded = false;
        break;
      case TextRead::TooLarge:
        imageNeeded = false;
        break;
      case TextRead::NotText:
        break;
    }
  }
  if (imageNeeded) {
    c.dibBytes.clear();
    readClipboardImage(p);
    platform::sleep(20);
    core::markStep(p, "read");
    if (!c.dibBytes.empty()) {
      keepRead(p, true);
      kept = true;
    }
  }
  if (!kept) endOfChange(p);
  passOn(p, message, wParam, lParam);
  core::markStep(p, "pass on");
  c.clipboardBusy = 0;
  // A change that arrives while others are stored is only read; the call storing them stores it.
  if (kept && !c.storing) storeReadChanges(p);
  return 0;
}

platform::LResult onChangeClipboardChain(core::Program& p, platform::WParam leaving, platform::LParam successor) {
  core::CaptureState& c = p.capture;
  if (leaving == c.nextViewer) c.nextViewer = static_cast<platform::Hwnd>(successor);
  else passOn(p, platform::WM_CHANGECBCHAIN, leaving, successor);
  if (c.nextViewer == p.mainWindow) c.nextViewer = 0;
  return 0;
}

platform::Hwnd joinChain(core::Program& p) {
  const platform::Hwnd next = platform::setClipboardViewer(p.mainWindow);
  return next == p.mainWindow ? 0 : next;
}

int toggleCapture(core::Program& p) {
  core::CaptureState& c = p.capture;
  if (c.capturing == 1) {
    c.capturing = 0;
    platform::changeClipboardChain(p.mainWindow, c.nextViewer);
    platform::setTrayIcon(p.mainWindow, platform::TrayImage::NotActive, "Tandrel Not Active");
  } else {
    c.capturing = 1;
    c.listPasteMode = 0;
    c.ignoreNextChange = 1;
    c.nextViewer = joinChain(p);
    platform::setTrayIcon(p.mainWindow, platform::TrayImage::Waiting, "Tandrel\x99 Waiting");
  }
  ui::buildTrayMenu(p);
  ui::buildMainMenu(p);
  ui::refreshStatus(p);
  return 0;
}

int rejoinChain(core::Program& p) {
  core::CaptureState& c = p.capture;
  // Out of the chain while capture is off: joining now would make us a member twice once
  // capture is switched on again.
  if (c.capturing != 1) return 0;
  c.ignoreNextChange = 1;
  platform::changeClipboardChain(p.mainWindow, c.nextViewer);
  c.ignoreNextChange = 1;
  c.nextViewer = joinChain(p);
  return 0;
}

}  // namespace capture
