// The error handler around one piece of work: an escaped error becomes the fatal error report.
#pragma once

#include <exception>

#include "core/program.h"

namespace app {

template <typename Work>
auto guarded(Program& p, Work&& work) -> decltype(work()) {
  if (!p.errorHandlersInstalled) return work();
  try {
    return work();
  } catch (const ProgramError& e) {
    reportError(p, e.line(), e.what());
  } catch (const std::exception& e) {
    reportError(p, 0, e.what());
  }
}

}  // namespace app
