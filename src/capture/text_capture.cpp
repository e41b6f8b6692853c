// Text capture. A flood of one text (a program rewriting the clipboard in a loop) and an endless
// run of repeats (two clipboard tools feeding each other) switch capture off instead of filling
// the database.
#include "capture/text_capture.h"

#include "capture/watcher.h"
#include "core/clip_text.h"
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
#include "ui/caption.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/main_window.h"
#include "ui/status.h"

namespace capture {
namespace {

constexpr int floodAlertEvery = 30;
constexpr int raceLimit = 19;
constexpr std::size_t previewLimit = 1000;

// The repeat signature as the log shows it: without the mark of an exact text.
std::string loggedSignature(const core::CaptureState& c) {
  const std::string& signature = c.repeatSignature;
  return !signature.empty() && signature[0] == '\0' ? signature.substr(1) : signature;
}

void hijackAlert(core::Program& p) {
  p.capture.capturing = 1;
  toggleCapture(p);
  ui::showStatus(p, "Clipboard Hijack", ui::colour::red, ui::colour::white);
}

void raceAlarm(core::Program& p) {
  core::CaptureState& c = p.capture;
  core::writeLog(p, p.captureTime + " Tandrel Possible Race Condition detected - restarting " + loggedSignature(c));
  c.capturing = 1;
  toggleCapture(p);
  platform::setGadgetText(ui::gadgetCollectingLabel, "Inactive");
  platform::setGadgetColours(ui::gadgetCollectingLabel, ui::colour::red, ui::colour::panelGrey);
  if (p.mainWindow != 0 && platform::isIconic(p.mainWindow)) {
    platform::showWindow(p.mainWindow, platform::SW_RESTORE);
    core::bringToFront(p.mainWindow);
  }
}

// The repeat rules shared by a new clip and combine mode: 1 when the text is dropped.
int dropAsRepeat(core::Program& p, bool logDuplicate) {
  core::CaptureState& c = p.capture;
  c.clipType = "T";
  const int repeats = repeatCounter(p);
  if (repeats > raceLimit) {
    raceAlarm(p);
    c.repeatCount = 0;
    return 1;
  }
  if (repeats > 0 && c.replaceCapture == 0) {
    if (logDuplicate) {
      core::writeLog(p, " duplicate - " + loggedSignature(c));
      ui::showStatus(p, "Duplicate", ui::colour::white, ui::colour::red);
    }
    return 1;
  }
  return 0;
}

// The caption of the clip text: the exact text's where it has one, otherwise made from the ANSI
// text's first line only, so that a huge text is never converted whole.
std::string captionOf(core::Program& p) {
  const core::CaptureState& c = p.capture;
  if (!c.clipExact.empty()) return ui::buildCaption(c.clipExact, p.view.fillWidth, p.view.captionWidth);
  std::size_t start = c.clipText.find_first_not_of(' ');
  if (start == std::string::npos) start = c.clipText.size();
  while (start < c.clipText.size() && c.clipText[start] == '\n') ++start;
  return ui::buildCaption(platform::ansiToUtf8(c.clipText.substr(start, 81)), p.view.fillWidth, p.view.captionWidth);
}

core::ClipRow rowForText(core::Program& p) {
  core::CaptureState& c = p.capture;
  core::ClipRow row;
  core::setRowSource(row, c.sourceTitle);
  row.date = p.captureTime;
  if (c.clipExact.empty()) {
    row.complete = c.clipText.size() < previewLimit ? "Y" : "N";
    row.preview = c.clipText.substr(0, previewLimit);
  } else {
    row.complete = core::characterCount(c.clipExact) < previewLimit ? "Y" : "N";
    core::setRowText(row, core::firstCharacters(c.clipExact, previewLimit));
  }
  row.richFlag = c.richTextRead == 1 && p.settings.saveHtml == 1 ? "Y" : "N";
  row.htmlFlag = "N";
  row.imageFlag = "N";
  row.note = " ";
  row.caption = c.listCaption;
  row.captured = true;
  return row;
}

// The current clip as a new text clip of the active set, its text and the exact form beside it as
// read; the source is UTF-8.
void fillTextRecord(core::Program& p, const std::string& text, const std::string& exact, const std::string& date,
                    const std::string& source) {
  core::ClipRecord& r = p.clip;
  r = core::ClipRecord{};
  r.cImageSW = "N";
  r.cSet = p.settings.activeSetName;
  r.cText = text;
  r.exactText = exact;
  r.cDate = date;
  core::setClipSource(r, source);
  r.cRTF = p.capture.richText;
}

int storeNewTextClip(core::Program& p) {
  core::CaptureState& c = p.capture;
  // A text the user adds by hand is told why it was not added.
  if (dropAsRepeat(p, c.fedByTextTab) == 1) return 0;
  core::markStep(p, "repeat");
  // Changes read while this one waited are stored right behind it, and the window shows only
  // the last of them: this one's row is told to the list with theirs.
  const bool shown = !c.fedByTextTab && !c.moreToStore;
  const bool richShown = p.settings.saveHtml == 1 && c.richTextRead == 1 && !c.moreToStore;
  // The view is blanked for the capture where no clip is shown over it before the next paint:
  // otherwise the editor would take the empty text only to take the new one.
  const auto blankView = [&] {
    if (!shown) return;
    ui::blankContentView(p);
    if (richShown) ui::showRichText(p, c.richText);
  };
  c.replaceCapture = 0;
  ++c.captureCounter;

  core::ClipRow row = rowForText(p);
  const int replacedRow = p.view.currentRow;
  if (c.replaceActive == 1) {
    if (const core::ClipRow* replaced = ui::elementAtRow(p, replacedRow)) {
      row.source = replaced->source;
      row.exactSource = replaced->exactSource;
    }
  }

  fillTextRecord(p, c.clipText, c.clipExact, row.date, core::rowSource(row));
  if (richShown) ui::showRichText(p, c.richText);

  if (c.replaceActive == 0) {
    if (store::WriteClipDB(p) == 0) {
      blankView();
      ui::showActionFailed(p);
      return 0;  // the row is only added for a stored clip
    }
    core::markStep(p, "store");
    // A copy made while this one was written is read now, before the window work below gives the
    // next copy time to replace it; the window then shows the last of them only.
    if (c.storing && !c.moreToStore && !c.fedByTextTab) {
      platform::takeClipboardChanges();
      c.moreToStore = !c.readChanges.empty();
      core::markStep(p, "read waiting");
    }
  }
  row.key = p.lastKey;
  const int addedRow = ui::addRowAtRow(p, row, c.replaceActive == 1 ? replacedRow : 0);
  if (p.view.order.size() != p.view.rows.size())
    core::writeLog(p, p.captureTime + " List rows " + std::to_string(p.view.order.size()) +
                         " do not match the kept rows " + std::to_string(p.view.rows.size()));

  if (!c.moreToStore) ui::drawInsertedRow(p, addedRow);
  else ++p.view.rowsNotDrawn;
  core::markStep(p, "rows");
  if (p.settings.captureSound != 0) platform::playCaptureSound();
  p.view.currentRow = c.replaceActive == 1 ? replacedRow : 0;
  if (c.moreToStore) {
    blankView();
    return 1;
  }
  ui::selectRow(p);
  core::markStep(p, "select");
  ui::showClipContent(p);
  core::markStep(p, "show");
  ui::refreshStatus(p);
  core::markStep(p, "status");
  return 1;
}

int combineCapture(core::Program& p) {
  core::CaptureState& c = p.capture;
  if (c.combineCount == 1) c.listCaption = captionOf(p);
  if (dropAsRepeat(p, true) == 1) return 0;
  // The text gathered so far stays as it is; a later, smaller piece may still join it.
  if (refuseOversizedText(p, c.combinedText.size() + c.clipText.size() + 2, "combined capture")) return 0;
  // Gathered as UTF-8: a later piece may not fit the code page where the first one did.
  c.combinedText += core::exactOf(c.clipText, c.clipExact) + "\n\r";
  const std::string combinedPreview = core::firstCharacters(c.combinedText, previewLimit);
  const char* const combinedComplete = core::characterCount(c.combinedText) < previewLimit ? "Y" : "N";
  // The combined clip, made with the first piece, or again when it was deleted meanwhile.
  const auto newCombinedClip = [&] {
    fillTextRecord(p, "", "", p.captureTime, c.sourceTitle);
    core::setClipText(p.clip, c.combinedText);
    if (store::WriteClipDB(p) == 0) return false;
    c.combineKey = p.lastKey;
    core::ClipRow row = rowForText(p);
    row.key = c.combineKey;
    core::setRowText(row, combinedPreview);
    row.complete = combinedComplete;
    ui::addRowAtTop(p, row);
    return true;
  };
  if (c.combineCount == 1 || !store::ClipExists(p, c.combineKey)) {
    if (c.combineCount != 1) {
      core::writeLog(p, p.captureTime + " the combined clip " + std::to_string(c.combineKey) +
                            " is gone: the text gathered so far is a new clip");
      c.richTextFlag = 0;  // plain text from the second piece on, as the update makes it
    }
    if (!newCombinedClip()) {
      ui::showActionFailed(p);
      return 0;
    }
  } else {
    // Always the clip combine mode created, whatever row the user has selected meanwhile. Its rich
    // text holds only the first piece, so from the second piece on it is plain text.
    const std::string selectedKey = p.currentKey;
    p.currentKey = std::to_string(c.combineKey);
    const int updated = store::UpdateClipText(p, c.combinedText, true);
    p.currentKey = selectedKey;
    // A refused update leaves the row as the database has it; the text gathered so far is written
    // with the next piece.
    if (updated == 0) {
      ui::showActionFailed(p);
      return 0;
    }
    if (core::ClipRow* row = ui::elementWithKey(p, c.combineKey)) {
      core::setRowText(*row, combinedPreview);
      row->complete = combinedComplete;
      row->richFlag = "N";
      core::setRowSource(*row, c.sourceTitle);
      row->date = p.captureTime;
    }
  }
  ++c.combineCount;
  ui::drawRows(p);
  const int combinedRow = ui::rowOfKey(p, c.combineKey);
  if (combinedRow >= 0) {
    p.view.currentRow = combinedRow;
    ui::selectRow(p);
    ui::showClipContent(p);
  }
  ui::refreshStatus(p);
  return 1;
}

}  // namespace

int isFlood(core::Program& p) {
  core::CaptureState& c = p.capture;
  if (c.hasPreviousText && c.clipText == c.previousText && c.clipExact == c.previousExact) {
    // A notification that waited while the clipboard changed on reads a change already read: it is
    // dropped, but a program rewriting the clipboard is not what it shows.
    if (c.clipSequence != 0 && c.clipSequence == c.previousSequence) return 1;
    ++c.floodCount;
    if (c.floodCount % floodAlertEvery == 0 && p.settings.suppressDuplicates == "Y") hijackAlert(p);
    return 1;
  }
  c.previousText = c.clipText;
  c.previousExact = c.clipExact;
  c.hasPreviousText = true;
  c.previousSequence = c.clipSequence;
  c.previousTextTime = platform::tickCount();
  c.floodCount = 0;
  return 0;
}

void raiseRaceAlarm(core::Program& p) { raceAlarm(p); }

bool refuseOversizedText(core::Program& p, std::size_t bytes, const std::string& what) {
  if (bytes <= core::clipTextLimit) return false;
  core::writeLog(p, core::currentTimeText() + " " + what + " of " + std::to_string(bytes) +
                        " bytes refused: a clip holds at most " + std::to_string(core::clipTextLimit >> 20) + " MB");
  ui::showStatus(p, "Clip Too Large", ui::colour::red, ui::colour::white);
  return true;
}

int readRichText(core::Program& p) {
  core::CaptureState& c = p.capture;
  if (c.richTextFormat == 0) c.richTextFormat = platform::registerClipboardFormat("Rich Text Format");
  if (c.richTextFormat == 0 || !platform::isClipboardFormatAvailable(c.richTextFormat)) return 0;
  // Too large to keep: the clip is its plain text alone.
  if (const std::size_t size = platform::clipboardDataSize(c.richTextFormat); size > core::clipTextLimit) {
    core::writeLog(p, p.captureTime + " rich text of " + std::to_string(size) + " bytes dropped, its plain text kept: a clip holds at most " +
                          std::to_string(core::clipTextLimit >> 20) + " MB");
    return 0;
  }
  ui::showStatus(p, "Getting RTF", ui::colour::lightCyan, ui::colour::black);
  auto bytes = platform::getClipboardBytes(c.richTextFormat);
  if (!bytes) {
    c.richText = " ";
    p.view.messageText = "Tandrel was unable to properly retrieve the rich text.";
    ui::showStatus(p, "RTF Failed", ui::colour::lightYellow, ui::colour::black);
    return 0;
  }
  const auto zero = bytes->find('\0');
  if (zero != std::string::npos) bytes->resize(zero);
  c.richText = std::move(*bytes);
  c.richTextFlag = 1;
  c.richTextRead = 1;
  ui::showStatus(p, " Rich Text", ui::colour::lightCyan, ui::colour::black);
  return 1;
}

int repeatCounter(core::Program& p) {
  core::CaptureState& c = p.capture;
  p.captureTime = core::currentTimeText();
  std::string signature;
  if (c.clipType == "I") {
    signature = c.listCaption + p.captureTime + c.sourceTitle;
  } else {
    // Texts beyond the code page may share one ANSI form: they are told apart by their exact text,
    // marked so that it never equals an ANSI text's signature.
    signature = c.clipExact.empty() ? c.clipText.substr(0, previewLimit)
                                    : '\0' + core::firstCharacters(c.clipExact, previewLimit);
    if (p.settings.suppressDuplicates != "Y") signature += p.captureTime.substr(0, 19) + c.sourceTitle;
  }
  if (signature == c.repeatSignature) {
    ++c.repeatCount;
  } else {
    c.repeatSignature = std::move(signature);
    c.repeatCount = 0;
  }
  return c.repeatCount;
}

int captureText(core::Program& p) {
  core::CaptureState& c = p.capture;
  if (c.combineCount != 0) return combineCapture(p);
  if (c.fedByTextTab && refuseOversizedText(p, c.clipText.size(), "text added from the Text tab")) return 0;
  c.listCaption = captionOf(p);
  if (c.ownWrite == 0 || c.fedByTextTab) {
    if (storeNewTextClip(p) == 0) return 0;
    // Within a clipboard change only: the watcher takes the flag down at its end, and nothing
    // would for a text the Text tab fed in, leaving every later copy uncaptured.
    if (!c.fedByTextTab) c.ownWrite = 1;
    if (p.mainWindow != platform::getForegroundWindow() && c.capturing == 1)
      platform::setTrayIcon(p.mainWindow, platform::TrayImage::NewClip, "Tandrel\x99 Active");
    core::markStep(p, "tray icon");
  }
  // Rich text shown in the editor cannot be saved back as it is.
  const core::ClipRow* shown = ui::elementAtRow(p, p.view.currentRow);
  ui::buildEditorPopupMenu(p, c.richTextFlag == 0 && (shown == nullptr || shown->richFlag != "Y"));
  return 1;
}

}  // namespace capture
