// The two fatal reports: errors caught by the program's error handler and processor exceptions
// that reach the top level. Both tell the user, write the log and end through the shutdown.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace core {
struct Program;
}

namespace app {

using core::Program;

// An error the program's error handler reports with the source line where it was raised.
class ProgramError : public std::runtime_error {
 public:
  ProgramError(int line, const std::string& description) : std::runtime_error(description), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

// The report texts, as shown and logged.
std::string errorReportText(int line, const std::string& description);
std::string exceptionName(std::uint32_t code);
std::string exceptionReportText(std::uint32_t code);

// Reports an error caught by the handler, then shuts down; never returns.
[[noreturn]] void reportError(Program& p, int line, const std::string& description);
// Reports a processor exception (the first of the run only), then shuts down; never returns.
[[noreturn]] void reportException(Program& p, std::uint32_t code);
// Installs both reports (start-up, after the window is shown).
void installErrorHandlers(Program& p);

// Runs one piece of the program's work under the error handler once it is installed.
template <typename Work>
auto guarded(Program& p, Work&& work) -> decltype(work());

}  // namespace app

#include "app/error_report_guard.h"
