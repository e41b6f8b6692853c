// Fatal error reports. Whatever goes wrong here, the run ends through the shutdown, and an error
// during the shutdown itself ends the process at once rather than running the shutdown again.
#include "app/error_report.h"

#include "app/shutdown.h"
#include "core/log.h"
#include "core/program.h"
#include "core/raise_window.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "platform/window.h"

namespace app {

using namespace core;
std::string errorReportText(int line, const std::string& description) {
  return " There was an error:\r\n\r\n"
         "At line number " + std::to_string(line) + "\r\n" +
         "Description: " + description + "\r\n" +
         "Please report this error to " + supportContact + "\r\n" +
         "Unfortunately the program cannot continue and must end now.";
}

std::string exceptionName(std::uint32_t code) {
  switch (code) {
    case platform::EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case platform::EXCEPTION_INT_DIVIDE_BY_ZERO: return "DIVISION BY ZERO";
    case platform::EXCEPTION_ACCESS_VIOLATION: return "ACCESS VIOLATION";
    case platform::EXCEPTION_ARRAY_BOUNDS_EXCEEDED: return "ARRAY BOUNDS EXCEEDED";
    case platform::EXCEPTION_DATATYPE_MISALIGNMENT: return "DATATYPE MISALIGNMENT";
    case platform::EXCEPTION_ILLEGAL_INSTRUCTION: return "ILLEGAL INSTRUCTION";
    case platform::EXCEPTION_STACK_OVERFLOW: return "STACK OVERFLOW";
    default: return "UNKNOWN!";
  }
}

std::string exceptionReportText(std::uint32_t code) {
  return "Sorry, but there was an unexpected error:\r\n"
         "Code: " + std::to_string(static_cast<std::int32_t>(code)) + "\r\n" +
         "Error: " + exceptionName(code) + "\r\n\r\n" +
         "Please report this error to " + supportContact + "\r\n" +
         "Unfortunately the program must end now.\r\n"
         "Please restart Tandrel and see if the error occurs again.\r\n";
}

void reportError(Program& p, int line, const std::string& description) {
  if (p.shuttingDown) platform::endProcess(1);
  const std::string text = errorReportText(line, description);
  writeLog(p, p.captureTime + text);
  flushLog(p);
  core::raiseMainWindow(p);
  platform::messageBox(p.mainWindow, text, "Tandrel Error!", platform::MB_OK | platform::MB_ICONERROR);
  shutDown(p);
}

void reportException(Program& p, std::uint32_t code) {
  if (p.shuttingDown) platform::endProcess(1);
  if (!p.exceptionReported) {
    p.exceptionReported = true;
    const std::string text = exceptionReportText(code);
    core::raiseMainWindow(p);
    platform::messageBox(p.mainWindow, text, appName + " UNEXPECTED ERROR", platform::MB_OK | platform::MB_ICONERROR);
    writeLog(p, p.captureTime + text);
  }
  shutDown(p);
}

void installErrorHandlers(Program& p) {
  p.errorHandlersInstalled = true;
  platform::setUnhandledExceptionHandler([&p](std::uint32_t code) { reportException(p, code); });
}

}  // namespace app
