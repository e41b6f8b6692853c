// Reading and writing tandrel.ini, and the start-with-Windows shortcut made when it is saved.
#include "core/settings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/program.h"
#include "core/set_names.h"
#include "core/text.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace core {
namespace {

// Anything beyond these is not a settings file we wrote; it is read as far as it makes sense.
constexpr std::uint64_t maxSettingsFileBytes = 64u << 20;
constexpr std::size_t maxValueLength = 1024;

class SettingsReader {
 public:
  explicit SettingsReader(SettingsLines lines) : lines_(std::move(lines)) {}

  std::optional<std::string> get(const std::string& key) const { return settingValue(lines_, key); }

  std::string text(const std::string& key, const std::string& fallback) const {
    return get(key).value_or(fallback);
  }

  // "Y" turns a flag on and "N" off; anything else leaves it as it was.
  void flag(const std::string& key, int& field) const {
    const auto v = get(key);
    if (!v) return;
    if (*v == "Y") field = 1;
    else if (*v == "N") field = 0;
  }

  // A window coordinate, written with six decimals and read back rounded.
  int position(const std::string& key, int fallback) const {
    const auto v = get(key);
    if (!v || v->empty()) return fallback;
    char* end = nullptr;
    const double d = std::strtod(v->c_str(), &end);
    if (end == v->c_str() || !std::isfinite(d) || d < -32768.0 || d > 32767.0) return fallback;
    return static_cast<int>(std::lround(d));
  }

  std::int64_t colour(const std::string& key, std::int64_t fallback) const {
    const auto v = get(key);
    if (!v || v->empty()) return fallback;
    char* end = nullptr;
    const long long n = std::strtoll(v->c_str(), &end, 10);
    if (end == v->c_str() || *end != '\0' || n < 0 || n > 0xFFFFFF) return fallback;
    return n;
  }

 private:
  SettingsLines lines_;
};

std::string yesNo(int flag) { return flag == 1 ? "Y" : "N"; }

// Adds a line, or replaces the value of a key already written, so the line keeps its first place.
void put(SettingsLines& lines, const std::string& key, const std::string& value) {
  const std::string wanted = lowerAscii(key);
  for (auto& line : lines) {
    if (lowerAscii(line.first) == wanted) {
      line = {key, value};
      return;
    }
  }
  lines.emplace_back(key, value);
}

std::string sixDecimals(int value) {
  char text[48];
  std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value));
  return text;
}

void createStartupShortcut(const Program& p) {
  const std::string startup = platform::specialFolder(platform::CSIDL_STARTUP);
  if (startup.empty()) return;
  platform::Shortcut link;
  link.linkPath = startup + appName + ".LNK";
  link.target = p.paths.programFolder + "Tandrel.exe";
  link.workingFolder = p.paths.programFolder;
  link.description = appName;
  link.iconPath = link.target;
  link.iconIndex = 0;
  link.showCommand = platform::SW_SHOWNORMAL;
  platform::createShortcut(link);
}

}  // namespace

std::optional<std::string> settingValue(const SettingsLines& lines, const std::string& key) {
  const std::string wanted = lowerAscii(key);
  for (const auto& [k, v] : lines) {
    if (lowerAscii(k) != wanted) continue;
    if (v.size() > maxValueLength || v.find('\0') != std::string::npos) return std::nullopt;
    return v;
  }
  return std::nullopt;
}

SettingsLines parseSettings(const std::string& bytes) {
  SettingsLines lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = trimBlanks(line.substr(0, eq), " \t");
    if (key.empty()) continue;
    lines.emplace_back(std::move(key), trimBlanks(line.substr(eq + 1), " \t"));
  }
  return lines;
}

std::optional<std::string> readSettingsFile(const Program& p) {
  return platform::readFile(p.paths.settingsPath, maxSettingsFileBytes);
}

void loadSettings(Program& p) {
  Settings& s = p.settings;
  const auto bytes = readSettingsFile(p);
  if (!bytes) p.firstRun = 1;
  const SettingsReader in(bytes ? parseSettings(*bytes) : SettingsLines{});

  s.clipIndexFile = in.text("clipIndexFile", "clips.dbt");
  const std::string activeSet = in.text("ActiveClipSet", mainSetName);
  s.lastBackup = in.text("LastBackup", "Never");
  s.backupNumber = in.text("backupNum", "");
  s.activeSetName = core::isUsableSetName(activeSet) ? activeSet : mainSetName;
  s.startMinimized = in.text("Minimized", "");
  s.startWithWindows = in.text("StartWithWindows", "N");
  s.clipsConverted = in.text("clipsConverted", "N");
  s.suppressDuplicates = in.text("SupressDuplicates", "Y");
  s.saveImages = in.text("SaveImages", "Y");
  s.usePng = in.text("UsePNG", "N") == "Y" ? 1 : 0;
  s.startWithWindowsAtStart = s.startWithWindows;
  s.windowX = in.position("winPosX", 50);
  s.windowY = in.position("winPosY", 50);
  s.version = in.text("Version", "");

  // Only a file written by a release before 2.0 gets the notice; a clean first start does not.
  if (bytes && s.version.compare("2.0") < 0) {
    platform::messageBox(p.mainWindow,
                         "This appears to be the first time you've run Tandrel V2. \r\n"
                         "To convert your old clip sets, please follow the instructions in our 'Help' panel.",
                         productName, platform::MB_OK | platform::MB_ICONINFORMATION);
    p.freshStart = 1;
    s.activeSetName = mainSetName;
  }
  if (p.firstRun == 1) {
    p.freshStart = 1;
    s.activeSetName = mainSetName;
  }

  in.flag("SaveHTML", s.saveHtml);
  in.flag("DisplayTooltips", s.showTooltips);
  in.flag("ListPaste", s.listPasteShortcut);
  in.flag("TopList", s.topListShortcut);
  in.flag("ReverseCase", s.reverseCaseShortcut);
  in.flag("soundYes", s.captureSound);
  in.flag("SkipPrivate", s.skipPrivate);
  in.flag("QuickPaste", s.quickPasteShortcut);
  in.flag("DebugTiming", s.debugTiming);

  s.imageExtension = s.usePng == 1 ? ".png" : ".jpg";
  s.tooltipColour = in.colour("ToolTipBG", 16776960);
}

void rememberWindowPosition(Program& p) {
  if (p.mainWindow == 0 || platform::isIconic(p.mainWindow)) return;
  if (const auto at = platform::windowPosition(p.mainWindow)) {
    p.settings.windowX = at->x;
    p.settings.windowY = at->y;
  }
}

SettingsLines settingsLines(const Program& p) {
  const Settings& s = p.settings;
  SettingsLines lines;
  put(lines, "ActiveClipSet", s.activeSetName);
  put(lines, "clipDatabase", "tdclips.db");
  // Set when the backup is made, so that a second backup of the run already shows it.
  put(lines, "LastBackup", s.lastBackup);
  put(lines, "backupNum", s.backupNumber);
  put(lines, "clipIndexFile", s.clipIndexFile);
  put(lines, "clipDatFile", "clip.db");
  put(lines, "VistaConverted", "Y");
  put(lines, "StartWithWindows", s.startWithWindows);
  put(lines, "Version", productVersion);
  put(lines, "Minimized", s.startMinimized);
  put(lines, "SupressDuplicates", s.suppressDuplicates);
  put(lines, "SaveImages", s.saveImages);
  put(lines, "UsePNG", yesNo(s.usePng));
  put(lines, "Version", productVersion);
  put(lines, "winPosX", sixDecimals(s.windowX));
  put(lines, "winPosY", sixDecimals(s.windowY));
  put(lines, "SaveHTML", yesNo(s.saveHtml));
  put(lines, "DisplayTooltips", yesNo(s.showTooltips));
  put(lines, "ListPaste", yesNo(s.listPasteShortcut));
  put(lines, "TopList", yesNo(s.topListShortcut));
  put(lines, "ReverseCase", yesNo(s.reverseCaseShortcut));
  if (s.captureSound != 0) put(lines, "soundYes", "Y");
  else put(lines, "SoundYes", "N");
  put(lines, "clipsConverted", s.clipsConverted);
  put(lines, "ToolTipBG", std::to_string(s.tooltipColour));
  put(lines, "SkipPrivate", yesNo(s.skipPrivate));
  put(lines, "QuickPaste", yesNo(s.quickPasteShortcut));
  // A debugging aid: kept by a file that has it, never added to one that has not.
  if (s.debugTiming == 1) put(lines, "DebugTiming", "Y");
  return lines;
}

void saveSettings(Program& p) {
  Settings& s = p.settings;
  if (s.startWithWindows != s.startWithWindowsAtStart) {
    s.startWithWindowsAtStart = s.startWithWindows;
    if (s.startWithWindows == "Y") createStartupShortcut(p);
  }
  rememberWindowPosition(p);

  std::string bytes;
  for (const auto& [key, value] : settingsLines(p)) bytes += key + " = " + value + "\r\n";
  // A crash or a full disk during the write leaves the previous file in place.
  const std::string temporary = p.paths.settingsPath + ".new";
  if (platform::writeFile(temporary, bytes)) {
    if (!platform::renameFile(temporary, p.paths.settingsPath)) platform::deleteFile(temporary);
  } else {
    platform::deleteFile(temporary);
  }
  platform::deleteFile(p.paths.dataFolder + "tandrelimage.jpg");
}

}  // namespace core
