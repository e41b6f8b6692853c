// The database commands of the menu: backing up to a numbered file, restoring from a backup or a
// maintenance copy, and reloading the window from the database after the file under it changed.
#pragma once

namespace core {
struct Program;
}

namespace ops {

// "Backup Database": asks for a number 1-9 and copies the database to tdclips_<n>.dbk.
void BackupDatabase(core::Program& p);
// "Restore Database from Backup": 1 restored, 0 not (the live database is then as it was).
int RestoreBackup(core::Program& p);
// "Replace the current Database from the original Database": the same for a .dbkm copy.
int RestoreMaintenanceCopy(core::Program& p);
// The set list, the active set's clips with the first one shown, and the tray menu from the
// database again; an open target set is closed.
void ReloadClipStore(core::Program& p);

}  // namespace ops
