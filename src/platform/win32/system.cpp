// Time, the end of the process, the top-level exception filter, the capture
// sound and the mouse check over KERNEL32, USER32 and WINMM.
#include "platform/system.h"

#include "platform/win32/win32.h"

#include <mmsystem.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>

namespace platform {
using namespace win32;

namespace {

std::function<void(std::uint32_t)> exceptionHandler;
std::string captureSound;  // a whole RIFF/WAVE file, played from memory

LONG WINAPI unhandledException(EXCEPTION_POINTERS* info) {
  if (exceptionHandler && info && info->ExceptionRecord)
    exceptionHandler(static_cast<std::uint32_t>(info->ExceptionRecord->ExceptionCode));
  return EXCEPTION_EXECUTE_HANDLER;  // the handler ends the process; if it did not, end it here
}

void putLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Our capture sound: a 0.1 s two-step chime, 8-bit mono at 22050 Hz, faded at both ends so it does not click.
std::string makeChime() {
  constexpr int rate = 22050;
  constexpr int samples = rate / 10;
  const double pi = std::acos(-1.0);
  std::string data;
  data.reserve(samples);
  for (int i = 0; i < samples; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double frequency = i < samples / 2 ? 880.0 : 1320.0;
    const int edge = rate / 200;  // 5 ms
    double envelope = 1.0;
    if (i < edge) envelope = static_cast<double>(i) / edge;
    if (samples - i < edge) envelope = static_cast<double>(samples - i) / edge;
    const double value = 0.6 * envelope * std::sin(2 * pi * frequency * t);
    data += static_cast<char>(static_cast<unsigned char>(128 + std::lround(value * 127)));
  }
  std::string wav = "RIFF";
  putLe(wav, static_cast<std::uint32_t>(36 + data.size()), 4);
  wav += "WAVEfmt ";
  putLe(wav, 16, 4);
  putLe(wav, 1, 2);     // PCM
  putLe(wav, 1, 2);     // mono
  putLe(wav, rate, 4);  // samples per second
  putLe(wav, rate, 4);  // bytes per second
  putLe(wav, 1, 2);     // block align
  putLe(wav, 8, 2);     // bits per sample
  wav += "data";
  putLe(wav, static_cast<std::uint32_t>(data.size()), 4);
  return wav + data;
}

}  // namespace

LocalTime localTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::uint32_t tickCount() { return GetTickCount(); }

std::int64_t preciseMicroseconds() {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER f;
    return QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? f.QuadPart : 1000;
  }();
  LARGE_INTEGER now;
  if (!QueryPerformanceCounter(&now)) return static_cast<std::int64_t>(GetTickCount()) * 1000;
  return static_cast<std::int64_t>(now.QuadPart / frequency * 1000000 + now.QuadPart % frequency * 1000000 / frequency);
}

void sleep(int milliseconds) { Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0); }

void endProcess(int exitCode) {
  ExitProcess(static_cast<UINT>(exitCode));
  __builtin_unreachable();
}

void setUnhandledExceptionHandler(std::function<void(std::uint32_t code)> handler) {
  exceptionHandler = std::move(handler);
  SetUnhandledExceptionFilter(unhandledException);
}

std::intptr_t initSound() { return static_cast<std::intptr_t>(waveOutGetNumDevs()); }

bool loadCaptureSound() {
  if (captureSound.empty()) captureSound = makeChime();
  return !captureSound.empty();
}

void playCaptureSound() {
  if (!captureSound.empty()) PlaySoundA(captureSound.data(), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
}

bool mousePresent() { return GetSystemMetrics(SM_MOUSEPRESENT) != 0; }

}  // namespace platform
