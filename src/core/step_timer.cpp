// Step timing into the log.
#include "core/step_timer.h"

#include <cstdio>

#include "core/log.h"
#include "core/program.h"
#include "platform/system.h"

namespace core {
namespace {

std::string milliseconds(std::int64_t microseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(microseconds) / 1000.0);
  return text;
}

}  // namespace

StepTimer::StepTimer(Program& p, const char* what) : p_(p) {
  if (p.settings.debugTiming != 1 || p.stepTimer != nullptr) return;
  owner_ = true;
  p.stepTimer = this;
  line_ = std::string("timing ") + what + ":";
  start_ = last_ = platform::preciseMicroseconds();
}

StepTimer::~StepTimer() {
  if (!owner_) return;
  p_.stepTimer = nullptr;
  const std::int64_t now = platform::preciseMicroseconds();
  if (now != last_) line_ += " rest " + milliseconds(now - last_) + ",";
  writeLog(p_, line_ + " total " + milliseconds(now - start_) + " ms");
}

void markStep(Program& p, const char* step) {
  StepTimer* t = p.stepTimer;
  if (t == nullptr) return;
  const std::int64_t now = platform::preciseMicroseconds();
  t->line_ += std::string(" ") + step + " " + milliseconds(now - t->last_) + ",";
  t->last_ = now;
}

}  // namespace core
