// Texts in the system's ANSI code page (CF_TEXT, the ...A calls, the cTbl columns) and their exact
// form as UTF-8.
#pragma once

#include <string>

namespace platform {

// The ANSI text as UTF-8, converted as the system converts its code page; every byte has a form, so
// two different texts never convert to one. Empty when the system refuses the conversion.
std::string ansiToUtf8(const std::string& ansi);
// The UTF-8 text in the ANSI code page, as the system converts: a character without a form there
// becomes the system's nearest one or '?'. Empty when the system refuses the conversion.
std::string utf8ToAnsi(const std::string& utf8);

}  // namespace platform
