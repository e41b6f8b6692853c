// Time, sleeping, the end of the process, processor exceptions, sound and mouse.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// The local date and time.
LocalTime localTime();
// Milliseconds since the system started.
std::uint32_t tickCount();
// A steady clock in microseconds for timing the program's own steps; its start is arbitrary.
std::int64_t preciseMicroseconds();
// Suspends the calling thread.
void sleep(int milliseconds);

// Ends the process at once with `exitCode`; never returns.
[[noreturn]] void endProcess(int exitCode);

// Installs the handler of processor exceptions that nothing else takes; it gets the exception code
// and does not return (it ends the process).
void setUnhandledExceptionHandler(std::function<void(std::uint32_t code)> handler);

// Initialises the sound output; nonzero (a handle) when a device is there.
std::intptr_t initSound();
// Loads the capture sound from the program's own data. False on failure.
bool loadCaptureSound();
// Plays the capture sound without waiting for it.
void playCaptureSound();
// True when a mouse is attached.
bool mousePresent();

}  // namespace platform
