// Simulated typing of our own keys: counted, or refused as a window of higher integrity would.
#include "platform/input.h"

#include "platform/sim/desktop.h"

namespace platform {

bool keyIsDown(int virtualKey) { return sim::desktop().heldKeys.count(virtualKey) != 0; }

bool inputWaiting() { return sim::desktop().inputWaiting; }

bool sendPasteKeys() {
  auto& d = sim::desktop();
  if (d.refuseInput) return false;
  ++d.pastesSent;
  return true;
}

}  // namespace platform
