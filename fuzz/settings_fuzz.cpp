// The settings file: whatever bytes tandrel.ini holds, after a crash, an editor or another program.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/settings.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const core::SettingsLines lines = core::parseSettings(bytes);
  // A key found in the file is found again whatever its letter case (the first keys only: each
  // look-up reads every line, and all of them would make a long file quadratic here).
  std::size_t checked = 0;
  for (const auto& [key, value] : lines) {
    if (++checked > 64) break;
    const auto found = core::settingValue(lines, key);
    if (found) FUZZ_REQUIRE(found->size() <= bytes.size());
  }
  for (const char* key : {"Version", "ActiveClipSet", "winPosX", "ToolTipBG", "SupressDuplicates", "SkipPrivate"})
    core::settingValue(lines, key);
  return 0;
}
