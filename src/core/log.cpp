// The diagnostic log and the time text that prefixes its lines.
#include "core/log.h"

#include <cstdio>

#include "core/program.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace core {

bool openLog(Program& p) {
  p.logFile = platform::createSharedReadFile(p.paths.logPath);
  return p.logFile != 0;
}

void writeLog(Program& p, const std::string& text) {
  if (p.logFile == 0) return;
  platform::writeToFile(p.logFile, text + "\r\n");
}

void flushLog(Program& p) {
  if (p.logFile != 0) platform::flushFile(p.logFile);
}

void closeLog(Program& p) {
  if (p.logFile == 0) return;
  platform::closeFile(p.logFile);
  p.logFile = 0;
}

std::string localTimeText(const char* format) {
  const platform::LocalTime t = platform::localTime();
  char text[64];
  std::snprintf(text, sizeof text, format, t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

std::string currentTimeText() { return localTimeText("%04d-%02d-%02d  %02d:%02d:%02d"); }

}  // namespace core
