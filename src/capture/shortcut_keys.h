// The system-wide shortcuts Ctrl+Alt+T, Ctrl+Alt+R, Ctrl+Alt+V, the Ctrl+V of List Paste and the
// quick paste chord Ctrl+Alt+H. They are not registered with the system: the platform queues the
// presses and releases of their keys while one of them can fire, and the main loop serves them.
#pragma once

namespace core {
struct Program;
}

namespace capture {

// True while some shortcut can fire: one of its settings is on, or List Paste is.
bool shortcutsCanFire(const core::Program& p);
// Serves the key events queued since the previous call, in order, each with the modifiers held
// when it happened. Takes none while the database is closed: they wait for it.
void serveShortcutKeys(core::Program& p);

}  // namespace capture
