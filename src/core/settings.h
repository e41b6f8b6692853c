// The settings file tandrel.ini: " = " lines ended by CR LF, no sections, keys matched in any
// letter case, written whole at every save.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace core {

struct Program;

// The settings file's bytes; nullopt when it is missing, unreadable or larger than any settings file.
std::optional<std::string> readSettingsFile(const Program& p);
// Fills the settings record from the file, or from the defaults when it cannot be read.
void loadSettings(Program& p);
// Writes the whole file anew (through a temporary file, so a failed write keeps the old one).
void saveSettings(Program& p);
// Copies the main window's screen position into the settings unless it is minimised.
void rememberWindowPosition(Program& p);

// The settings file's lines in the order they are written.
using SettingsLines = std::vector<std::pair<std::string, std::string>>;
SettingsLines settingsLines(const Program& p);
// Parses a settings file: keys (as written) and values, in file order.
SettingsLines parseSettings(const std::string& bytes);
// The value of a key in any letter case; nullopt when missing or unusable as a value.
std::optional<std::string> settingValue(const SettingsLines& lines, const std::string& key);

}  // namespace core
