// The Online Help tab's own page: logo, version and links into the product web site.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace ui {

// The product web site; the page's links are this address followed by a path.
inline const std::string webSite = "http://www.tandrel.example/";

// The page and logo files in the data folder; the page names the logo without a folder.
inline const std::string helpPageFile = "Tandrel_.htm";
inline const std::string logoFile = "TandrelLogo.jpg";

// The page text.
std::string helpPageText();
// Writes the page and shows it in the Online Help tab (nothing happens where there is no browser).
void buildHelpPage(core::Program& p);
void showHelpPage(core::Program& p);
// Writes `page` to the page file and points the browser at it.
void showPage(core::Program& p, const std::string& page);
// Writes the logo the page shows; without a picture (empty bytes) the file is left unwritten and
// the page shows its alternative text.
void writeLogoFile(core::Program& p, const std::string& jpeg);

// About: the page anew, on the Online Help tab brought to the front.
void showAbout(core::Program& p);
// The web site's update check, loaded into the Online Help tab over the page.
void checkForNewVersion(core::Program& p);
// " Online Help" (the logo button): the web site's help, loaded into the Online Help tab over the page.
void showOnlineHelp(core::Program& p);
// The web site's home page in the user's own browser.
void openHomePage(core::Program& p);

}  // namespace ui
