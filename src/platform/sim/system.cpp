// Simulated time (virtual: a sleep advances the clock at once), the end of the process, processor
// exceptions, sound and mouse, and message boxes answered from the test's script.
#include "platform/system.h"

#include "platform/dialogs.h"
#include "platform/sim/desktop.h"

namespace platform {

using sim::desktop;

namespace {

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int daysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && leapYear(y) ? 29 : days[m - 1];
}

}  // namespace

LocalTime localTime() {
  auto& d = desktop();
  LocalTime t = d.startTime;
  std::uint64_t seconds = d.ticks / 1000 + static_cast<std::uint64_t>(t.hour * 3600 + t.minute * 60 + t.second);
  std::uint64_t days = seconds / 86400;
  seconds %= 86400;
  t.hour = static_cast<int>(seconds / 3600);
  t.minute = static_cast<int>(seconds / 60 % 60);
  t.second = static_cast<int>(seconds % 60);
  while (days-- > 0) {
    if (++t.day > daysInMonth(t.year, t.month)) {
      t.day = 1;
      if (++t.month > 12) {
        t.month = 1;
        ++t.year;
      }
    }
  }
  return t;
}

std::uint32_t tickCount() { return static_cast<std::uint32_t>(desktop().ticks.load()); }

// Virtual time, so that timed steps log the same figures in every run of a test.
std::int64_t preciseMicroseconds() { return static_cast<std::int64_t>(desktop().ticks.load()) * 1000; }

void sleep(int milliseconds) {
  auto& d = desktop();
  d.ticks += static_cast<std::uint64_t>(milliseconds > 0 ? milliseconds : 0);
  if (std::this_thread::get_id() != d.mainThread) std::this_thread::yield();
  else if (d.duringSleep) d.duringSleep();
}

void endProcess(int exitCode) { throw sim::ProcessEnded{exitCode}; }

void setUnhandledExceptionHandler(std::function<void(std::uint32_t)> handler) {
  auto& d = desktop();
  d.exceptionHandlers[d.currentProcess()] = std::move(handler);
}

std::intptr_t initSound() { return desktop().soundDevice ? 0x5D : 0; }
bool loadCaptureSound() { return desktop().soundDevice; }
void playCaptureSound() { ++desktop().soundsPlayed; }
bool mousePresent() { return desktop().mouse; }

int messageBox(Hwnd owner, const std::string& text, const std::string& title, unsigned style) {
  sim::MessageBoxRecord record;
  record.owner = owner;
  record.text = text;
  record.title = title;
  record.style = style;
  return desktop().answer(record);
}

}  // namespace platform

namespace platform {

std::optional<std::string> inputBox(Hwnd, const std::string& title, const std::string& prompt, const std::string&) {
  auto& d = desktop();
  sim::Desktop::InputRecord record{title, prompt, true};
  std::optional<std::string> answer;
  if (d.inputAnswers.empty()) {
    record.scripted = false;
  } else {
    answer = d.inputAnswers.front();
    d.inputAnswers.pop_front();
  }
  d.inputs.push_back(record);
  return answer;
}

PromptAnswer promptDialog(const PromptLayout& layout) {
  auto& d = desktop();
  sim::Desktop::PromptRecord record{layout, true};
  PromptAnswer answer;
  if (d.promptAnswers.empty()) {
    record.scripted = false;
  } else {
    answer = d.promptAnswers.front();
    d.promptAnswers.pop_front();
  }
  d.prompts.push_back(record);
  return answer;
}

}  // namespace platform

namespace platform {

std::optional<Colour> chooseColour(Hwnd, Colour initial, const Colour (&)[16]) {
  auto& d = desktop();
  d.colourDialogStarts.push_back(initial);
  if (d.colourAnswers.empty()) return std::nullopt;
  const auto answer = d.colourAnswers.front();
  d.colourAnswers.pop_front();
  return answer;
}

}  // namespace platform

namespace platform {

std::vector<std::string> openFileDialog(Hwnd, const std::string& title, const std::string& folder,
                                        const std::string& filter, bool multiSelect) {
  auto& d = desktop();
  sim::Desktop::FileDialogRecord record{title, folder, filter, multiSelect, true};
  std::vector<std::string> chosen;
  if (d.fileDialogAnswers.empty()) {
    record.scripted = false;
  } else {
    chosen = d.fileDialogAnswers.front();
    d.fileDialogAnswers.pop_front();
  }
  d.fileDialogs.push_back(record);
  if (!multiSelect && chosen.size() > 1) chosen.resize(1);
  return chosen;
}

}  // namespace platform
