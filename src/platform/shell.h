// Files, folders, shell folders, shortcuts, named mutexes and libraries.
// Paths are Windows paths ("C:\...\"); folder paths end with a backslash where the logic builds them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

// The path of a shell special folder (CSIDL_*), with a trailing backslash; empty on failure.
std::string specialFolder(int csidl);
// The folder of the running program, with a trailing backslash.
std::string programFolder();
// The process's current folder, with a trailing backslash.
std::string currentFolder();
// The user's temporary folder in its long-name form, with a trailing backslash.
std::string tempFolder();
// The name under which the database engine opens a Windows path (UTF-8 on Windows; a path under
// the simulated desktop's folder in the native build).
std::string hostPath(const std::string& path);

bool fileExists(const std::string& path);
bool folderExists(const std::string& path);
// Creates one folder; false when it cannot be made (an existing folder is not an error).
bool createFolder(const std::string& path);
// Copies a file, replacing the target when `overwrite`. False on failure.
bool copyFile(const std::string& from, const std::string& to, bool overwrite);
bool deleteFile(const std::string& path);
// Deletes the files of a folder (not its subfolders). Answers how many were deleted.
int deleteFilesIn(const std::string& folder);
// Deletes a folder with everything in it. False on failure.
bool deleteFolderTree(const std::string& folder);
// Renames a file, replacing an existing target. False on failure.
bool renameFile(const std::string& from, const std::string& to);
// Reads a whole file of at most `maxBytes`; nullopt when it cannot be opened or is larger.
std::optional<std::string> readFile(const std::string& path, std::uint64_t maxBytes);
// Writes a whole file, replacing it. False on failure (nothing is promised about a partial file).
bool writeFile(const std::string& path, const std::string& bytes);
// Size of a file in bytes; nullopt when it does not exist.
std::optional<std::uint64_t> fileSize(const std::string& path);

// Creates (empties) a file for writing that other programs may only read; 0 when it cannot.
Handle createSharedReadFile(const std::string& path);
// Appends to a file made above. False on failure.
bool writeToFile(Handle file, const std::string& bytes);
bool flushFile(Handle file);
void closeFile(Handle file);

// Creates a named mutex, not owned; `alreadyExists` tells whether another holder had it. 0 on failure.
Handle createMutex(const std::string& name, bool& alreadyExists);
void closeMutex(Handle mutex);

// Loads a system library by name; 0 when it cannot.
Handle loadLibrary(const std::string& name);
void freeLibrary(Handle library);

// Runs a shell verb ("open", "print") on a file or web address; answers the shell's result,
// above 32 on success.
int shellExecute(Hwnd owner, const std::string& verb, const std::string& file, const std::string& parameters,
                 int showCommand);

// A shell link (.lnk). False on failure.
struct Shortcut {
  std::string linkPath, target, arguments, workingFolder, description, iconPath;
  int iconIndex = 0;
  int showCommand = SW_SHOWNORMAL;
};
bool createShortcut(const Shortcut& shortcut);

// The shell's file operation (SHFileOperationA). `from` and `to` hold paths each ended by a zero
// byte, with one more zero byte at the end. Answers the shell's result, 0 on success; `aborted`
// tells whether the user stopped or declined any part of it (the question before a file is replaced).
constexpr int FO_COPY = 2;
constexpr unsigned FOF_ALLOWUNDO = 0x40;
int shellFileOperation(int function, const std::string& from, const std::string& to, unsigned flags, bool& aborted);

// Clears a file's read-only attribute. False when the file is not there or keeps it.
bool clearReadOnly(const std::string& path);
// The names (not paths) of the files in a folder; none when it cannot be read.
std::vector<std::string> filesIn(const std::string& folder);

// Opens a file for reading, others may read it too; 0 when it cannot be opened.
Handle openReadFile(const std::string& path);
// Reads the next `count` bytes (fewer at the end of the file) into `bytes`; false on a read error.
bool readFromFile(Handle file, std::size_t count, std::string& bytes);

}  // namespace platform
