#include "ops/quick_paste.h"

#include "core/log.h"
#include "core/program.h"
#include "core/step_timer.h"
#include "platform/gadgets.h"
#include "platform/input.h"
#include "platform/keyboard.h"
#include "platform/system.h"
#include "platform/window.h"
#include "store/quick_search.h"
#include "ui/clip_list.h"
#include "ui/quick_paste_window.h"

namespace ops {
namespace {

const char* const copiedOnly = "Copied: press Ctrl+V where you want it";

// Lists the matches of the filter in the box. A key the user typed meanwhile stops the search; it
// runs again for the newer filter.
void search(core::Program& p) {
  auto& qp = p.quickPaste;
  core::StepTimer timer(p, "quick paste filter");
  const std::string filter = platform::filterBoxText(ui::gadgetQuickFilter);
  qp.searchPending = false;
  const store::QuickSearchResult found =
      store::QuickSearch(p, filter, ui::quickPasteListed + 1, [] { return platform::inputWaiting(); });
  core::markStep(p, "search");
  if (found.failed) {
    ui::setQuickStatus(p, "The clips could not be searched: see tandrel.log");
    return;
  }
  if (!found.complete) {
    qp.searchPending = true;
    return;
  }
  qp.filter = filter;
  qp.keys = found.keys;
  qp.indexed = found.indexed;
  // The index takes in what changed, or goes on being built, while the user reads and types.
  p.quickIndex.workDue = true;
  ui::showQuickMatches(p);
  core::markStep(p, "listed");
  platform::updateWindow(qp.window);
  core::markStep(p, "shown");
}

void open(core::Program& p, platform::Hwnd target, bool fromBridge) {
  auto& qp = p.quickPaste;
  core::StepTimer timer(p, "quick paste open");
  if (qp.window == 0) {
    if (!ui::openQuickPasteWindow(p)) {
      core::writeLog(p, p.captureTime + " The quick paste window could not be opened");
      return;
    }
    qp.target = target;
    qp.fromBridge = fromBridge;
    core::markStep(p, "window made");
    search(p);
  } else if (target != 0) {
    // Asked again while open: the choice goes where the user is now.
    qp.target = target;
    qp.fromBridge = fromBridge;
  }
  ui::showQuickPasteWindow(p);
  core::markStep(p, "in front");
}

// Waits, a little, for the keys that would turn our Ctrl+V into another chord to come up.
void waitForKeysUp() {
  for (int i = 0; i < 200; ++i) {
    if (!platform::keyIsDown(platform::VK_RETURN) && !platform::keyIsDown(platform::VK_SHIFT) &&
        !platform::keyIsDown(platform::VK_MENU))
      return;
    platform::sleep(10);
  }
}

// The window comes back to say why the clip was only copied.
void reopenWith(core::Program& p, const std::string& text) {
  ui::showQuickPasteWindow(p);
  ui::setQuickStatus(p, text);
}

void choose(core::Program& p, bool copyOnly) {
  auto& qp = p.quickPaste;
  const int row = ui::quickSelectedRow();
  if (row < 0 || row >= static_cast<int>(qp.keys.size())) return;
  const std::int64_t key = qp.keys[static_cast<std::size_t>(row)];
  if (!ui::copyClipWithKey(p, key)) {
    ui::setQuickStatus(p, "The clip could not be put on the clipboard: another program holds it. Try again.");
    return;
  }
  if (copyOnly || qp.target == 0 || qp.fromBridge) {
    ui::setQuickStatus(p, copiedOnly);
    return;
  }
  const platform::Hwnd target = qp.target;
  platform::showWindow(qp.window, platform::SW_HIDE);
  waitForKeysUp();
  platform::setForegroundWindow(target);
  if (platform::getForegroundWindow() != target) {
    reopenWith(p, "The window you were in could not be brought back. " + std::string(copiedOnly));
    return;
  }
  if (!platform::sendPasteKeys()) {
    core::writeLog(p, p.captureTime + " The system refused the keys of a quick paste");
    reopenWith(p, "That window does not accept keys from Tandrel (it runs with higher rights). " +
                      std::string(copiedOnly));
    return;
  }
  closeQuickPaste(p);
}

void onKey(core::Program& p, std::intptr_t data) {
  const int key = static_cast<int>(data & 0xFFFF);
  const bool shift = (data & platform::KEY_SHIFT) != 0;
  const bool ctrl = (data & platform::KEY_CTRL) != 0;
  if (key == platform::VK_ESCAPE) closeQuickPaste(p);
  else if (key == platform::VK_RETURN) choose(p, shift);
  else ui::moveQuickSelection(p, key, ctrl);
}

}  // namespace

void serveQuickPasteAsk(core::Program& p) {
  core::QuickPasteAsk ask = p.quickPasteAsk;
  if (!ask.asked) return;
  p.quickPasteAsk = core::QuickPasteAsk{};
  // The chord pressed in our own window has nothing to paste into.
  if (ask.target == p.quickPaste.window || ask.target == p.mainWindow) ask.target = 0;
  open(p, ask.target, ask.fromBridge);
}

void openQuickPasteFromMenu(core::Program& p) { open(p, 0, false); }

void handleQuickPasteEvent(core::Program& p, const platform::WindowEvent& event) {
  if (p.quickPaste.window == 0) return;
  switch (event.kind) {
    case platform::EVENT_GADGET:
      if (event.gadget == ui::gadgetQuickFilter && event.type == platform::GADGET_TEXT_CHANGE) search(p);
      else if (event.gadget == ui::gadgetQuickFilter && event.type == platform::GADGET_KEY) onKey(p, event.data);
      else if (event.gadget == ui::gadgetQuickList && event.type == platform::GADGET_DOUBLE_CLICK) choose(p, false);
      // The keys stay the filter box's, wherever the user clicked.
      if (p.quickPaste.window != 0 && event.gadget == ui::gadgetQuickList) platform::setFocusGadget(ui::gadgetQuickFilter);
      break;
    case platform::EVENT_DEACTIVATE:
      // A window brought back to say why it only copied is in front again: the old notice is stale.
      if (platform::getForegroundWindow() != p.quickPaste.window) closeQuickPaste(p);
      break;
    case platform::EVENT_CLOSE:
      closeQuickPaste(p);
      break;
    default:
      break;
  }
  if (p.quickPaste.window != 0 && p.quickPaste.searchPending && !platform::inputWaiting()) search(p);
}

void closeQuickPaste(core::Program& p) { ui::closeQuickPasteWindow(p); }

}  // namespace ops
