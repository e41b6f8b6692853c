// A command's own text clip: written through the store and listed, never compared with the last
// capture, so a cut or a combine that happens to repeat a text is still kept.
#include "capture/command_clip.h"

#include "core/clip_text.h"
#include "core/log.h"
#include "core/program.h"
#include "core/utf8.h"
#include "store/clip_store.h"
#include "ui/clip_list.h"
#include "ui/tray_menu.h"

namespace capture {

namespace {
constexpr std::size_t previewLimit = 1000;
}

int storeCommandClip(core::Program& p, const std::string& text, const std::string& source, const std::string& note) {
  p.captureTime = core::currentTimeText();
  if (store::WritePlainTextClip(p, source, note, text) == 0) return 0;
  const core::ClipRecord& r = p.clip;

  core::ClipRow row;
  row.key = p.lastKey;
  row.date = r.cDate;
  row.complete = core::characterCount(text) < previewLimit ? "Y" : "N";
  core::setRowText(row, core::firstCharacters(text, previewLimit));
  row.richFlag = row.htmlFlag = row.imageFlag = "N";
  row.source = r.cSource;
  row.note = r.cNote;
  ui::addRowAtTop(p, row);
  ui::drawInsertedRow(p, 0);
  p.view.currentRow = 0;
  ui::selectRow(p);
  ui::buildTrayMenu(p);
  return 1;
}

}  // namespace capture
