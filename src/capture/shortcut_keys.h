// The system-wide shortcuts Ctrl+Alt+T, Ctrl+Alt+R, Ctrl+Alt+V and the Ctrl+V of List Paste. They
// are not registered with the system: the main loop polls the keyboard while one of them can fire.
#pragma once

namespace core {
struct Program;
}

namespace capture {

// True while some shortcut can fire: one of its settings is on, or List Paste is.
bool shortcutsCanFire(const core::Program& p);
// Starts watching the keys whose shortcut has just become possible with one throw-away read, so a
// press from before does not fire; forgets the keys that can no longer fire. Reads nothing else.
void watchShortcutKeys(core::Program& p);
// One poll, in the order T, R, V; each key is read only while its shortcut can fire.
void pollShortcuts(core::Program& p);

}  // namespace capture
