// The Online Help tab's own page: logo, version and links into the product web site.
#pragma once

#include <string>

namespace core {
struct Program;
}

namespace ui {

// The product web site; the page's links are this address followed by a path.
inline const std::string webSite = "http://www.tandrel.example/";

// The page text.
std::string helpPageText();
// Writes the page and shows it in the Online Help tab (nothing happens where there is no browser).
void buildHelpPage(core::Program& p);
void showHelpPage(core::Program& p);
// Writes `page` to the page file and points the browser at it.
void showPage(core::Program& p, const std::string& page);

}  // namespace ui
