// The help and about page.
#include "ui/help_page.h"

#include "core/log.h"
#include "core/logo.h"
#include "core/program.h"
#include "platform/gadgets.h"
#include "platform/shell.h"
#include "ui/clip_list.h"
#include "ui/gadgets.h"
#include "ui/status.h"

namespace ui {
namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string linkLine(const std::string& margin, const std::string& href, const std::string& target,
                     const std::string& text) {
  return "<div style=" + quoted(margin) + "><a href=" + quoted(href) +
         (target.empty() ? "" : " target=" + quoted(target)) + ">" + text + "</a></div>";
}

}  // namespace

std::string helpPageText() {
  const std::string& v = core::productVersion;
  return "<!DOCTYPE HTML PUBLIC " + quoted("-//W3C//DTD HTML 4.01 Transitional//EN") + ">" +
         "<html><head><STYLE>BODY{background-color:#0cf;margin-top:10px; color:#000000;font-family:arial,sans-serif;"
         "font-weight:normal;color:#000000;font-size:13px;}"
         "A{text-decoration:none;font-family:arial,sans-serif;border:black 2px solid;background-color:white;color:black;"
         "font-weight:bold;font-size:13px;padding:0 4px;width:160px;}"
         "A:hover{color:#ffffff;background:#ff0000;}"
         ".bkwh{font-size:13px;border:0px solid black;background-color:white;color:black;font-weight:bold;padding:0 2px;}"
         "</STYLE><base target=" + quoted("_blank") + "></head><body><div style=" +
         quoted("text-align:center;padding:10px 0 0 0") + ">" +
         "<div style=" + quoted("margin:auto;border:2px solid blue;width:420px;background-color:white;padding:2px;") + ">" +
         "<div class=bkwh style=" +
         quoted("margin:auto;float:left;width:200px;font-size:13px;text-align:center;background-color:#fff;padding:14px") +
         "><img src=" + quoted(logoFile) + " width=60 height=74 alt=" + quoted("Tandrel") + " border=0><br>" +
         "Tandrel<br><span style=" + quoted("font-size:11px;font-weight:bold") + ">Your #1 clipboard assistant</span></div>" +
         "<div style=" + quoted("float:left") + "><b>version <b>" + v + "</b></b><hr color=red size=3 noshade>" +
         linkLine("margin:0px 0 0 0;", webSite + "index.htm", "", "Tandrel Homepage") +
         linkLine("margin:7px 0 0 0;", webSite + "help_20.htm?" + v, "_self", "Tandrel Online Help") +
         linkLine("margin:7px 0 0 0;", webSite + "commentform.htm?" + v, "_self", "Send Us a Comment") +
         linkLine("margin:7px 0 0 0;", webSite + "ckupdate.htm?" + v, "_self", "Check For New Version") +
         "</div><div style=" + quoted("clear:both") + "></div></div></div></body></html>";
}

void showPage(core::Program& p, const std::string& page) {
  const std::string file = p.paths.dataFolder + helpPageFile;
  p.view.pageText = page;
  platform::writeFile(file, page + "\n");
  if (p.view.browserAvailable) platform::browserNavigate(gadgetHelpBrowser, file);
}

void writeLogoFile(core::Program& p, const std::string& jpeg) {
  if (jpeg.empty()) return;
  if (!platform::writeFile(p.paths.dataFolder + logoFile, jpeg))
    core::writeLog(p, p.captureTime + " The logo could not be written to " + p.paths.dataFolder + logoFile);
}

void buildHelpPage(core::Program& p) {
  const core::EncodedImage logo = core::logoJpeg();
  if (logo.ok()) writeLogoFile(p, logo.bytes);
  else core::writeLog(p, p.captureTime + " The logo could not be made: " + logo.failure);
  showPage(p, helpPageText());
}

void showHelpPage(core::Program& p) { buildHelpPage(p); }

void showAbout(core::Program& p) {
  buildHelpPage(p);
  platform::setPanelTab(gadgetContentPanel, tabHelp);
  drawRows(p);
  refreshStatus(p);
}

namespace {

// The page goes in first: a view that hands web addresses to the user's browser keeps showing it,
// so the tab is never brought to the front empty.
void loadOverThePage(core::Program& p, const std::string& address) {
  buildHelpPage(p);
  if (p.view.browserAvailable) platform::browserNavigate(gadgetHelpBrowser, address);
  platform::setPanelTab(gadgetContentPanel, tabHelp);
}

}  // namespace

void checkForNewVersion(core::Program& p) { loadOverThePage(p, webSite + "ckupdate.htm?" + core::productVersion); }

void showOnlineHelp(core::Program& p) { loadOverThePage(p, webSite + "help_20.htm?" + core::productVersion); }

void openHomePage(core::Program& p) {
  const int result = platform::shellExecute(p.mainWindow, "open", webSite, "", platform::SW_SHOWNORMAL);
  if (result > 32) return;  // the shell's codes up to 32 are failures
  core::writeLog(p, p.captureTime + " The home page could not be opened (" + std::to_string(result) + "): " + webSite);
  showActionFailed(p);
}

}  // namespace ui
