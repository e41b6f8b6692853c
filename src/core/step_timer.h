// Timing of the steps of one piece of work (a clipboard change, the start) into the log, for
// finding where the time goes on a real desktop. Off unless the settings file says
// "DebugTiming = Y"; off, a step mark costs one test.
#pragma once

#include <cstdint>
#include <string>

namespace core {

struct Program;

class StepTimer {
 public:
  // Times `what` while it lives. Inside another timer it is inert, and the marks go to the outer one.
  StepTimer(Program& p, const char* what);
  // Writes "timing <what>: <step> <ms>, ... total <ms>" when it timed anything.
  ~StepTimer();
  StepTimer(const StepTimer&) = delete;
  StepTimer& operator=(const StepTimer&) = delete;

 private:
  friend void markStep(Program& p, const char* step);
  Program& p_;
  bool owner_ = false;
  std::int64_t start_ = 0;
  std::int64_t last_ = 0;
  std::string line_;
};

// Ends the step that ran since the previous mark (or the timer's start) and names it.
void markStep(Program& p, const char* step);

}  // namespace core
