// Files and folders over KERNEL32 with ANSI paths. Calls that Windows 95 lacks
// are looked up at run time so that the program still loads there.
#include "platform/shell.h"

#include "platform/win32/win32.h"

namespace platform {
using namespace win32;

namespace {

std::string withBackslash(std::string path) {
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

// GetFileAttributes wants "C:\dir", not "C:\dir\"; the root keeps its backslash.
std::string withoutBackslash(std::string path) {
  if (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

DWORD attributes(const std::string& path) { return GetFileAttributesA(withoutBackslash(path).c_str()); }

bool writeAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(bytes.size() - done > 1u << 20 ? 1u << 20 : bytes.size() - done);
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

std::string programFolder() {
  char path[MAX_PATH] = "";
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  const size_t slash = folder.find_last_of('\\');
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

std::string currentFolder() {
  char path[MAX_PATH] = "";
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, path);
  return withBackslash(std::string(path, length < MAX_PATH ? length : 0));
}

std::string tempFolder() {
  char path[MAX_PATH] = "";
  DWORD length = GetTempPathA(MAX_PATH, path);
  if (length == 0 || length >= MAX_PATH) return {};
  using LongPathName = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
  auto longPathName = procAddress<LongPathName>(GetModuleHandleA("kernel32.dll"), "GetLongPathNameA");
  char longPath[MAX_PATH] = "";
  if (longPathName) {
    const DWORD longLength = longPathName(path, longPath, MAX_PATH);
    if (longLength > 0 && longLength < MAX_PATH) return withBackslash(std::string(longPath, longLength));
  }
  return withBackslash(std::string(path, length));
}

// The database engine takes its file names in UTF-8; ours are in the ANSI code page, so a profile
// folder with an accented name would otherwise open the wrong file.
std::string hostPath(const std::string& path) {
  const int wide = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (wide <= 0) return path;
  std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &utf16[0], wide);
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, utf16.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return path;
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(bytes - 1));
  return utf8;
}

bool fileExists(const std::string& path) {
  const DWORD a = attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool folderExists(const std::string& path) {
  const DWORD a = attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool createFolder(const std::string& path) {
  return CreateDirectoryA(withoutBackslash(path).c_str(), nullptr) || folderExists(path);
}

bool copyFile(const std::string& from, const std::string& to, bool overwrite) {
  return CopyFileA(from.c_str(), to.c_str(), overwrite ? FALSE : TRUE) != 0;
}

bool deleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

int deleteFilesIn(const std::string& folder) {
  const std::string base = withBackslash(folder);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((base + "*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int deleted = 0;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (DeleteFileA((base + found.cFileName).c_str())) ++deleted;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return deleted;
}

bool deleteFolderTree(const std::string& folder) {
  const std::string base = withBackslash(folder);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((base + "*.*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = base + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        deleteFolderTree(path);
      } else {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return RemoveDirectoryA(withoutBackslash(base).c_str()) != 0;
}

bool renameFile(const std::string& from, const std::string& to) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) return true;
  if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
  // Windows 95/98/ME have no MoveFileEx: replace by hand.
  DeleteFileA(to.c_str());
  return MoveFileA(from.c_str(), to.c_str()) != 0;
}

std::optional<std::string> readFile(const std::string& path, std::uint64_t maxBytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  DWORD high = 0;
  const DWORD low = GetFileSize(file, &high);
  const std::uint64_t size = (static_cast<std::uint64_t>(high) << 32) | low;
  if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || size > maxBytes || size > 0x7FFFFFFFu) {
    CloseHandle(file);
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(size), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!ReadFile(file, &bytes[done], static_cast<DWORD>(bytes.size() - done), &got, nullptr) || got == 0) break;
    done += got;
  }
  CloseHandle(file);
  bytes.resize(done);
  return bytes;
}

bool writeFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = writeAll(file, bytes);
  return CloseHandle(file) && written;
}

std::optional<std::uint64_t> fileSize(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(search);
  if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

Handle createSharedReadFile(const std::string& path) {
  // Read-only sharing is what keeps a second instance from opening the first one's log.
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? 0 : fromHandle(file);
}

bool writeToFile(Handle file, const std::string& bytes) { return file && writeAll(toHandle(file), bytes); }
bool flushFile(Handle file) { return file && FlushFileBuffers(toHandle(file)); }

void closeFile(Handle file) {
  if (file) CloseHandle(toHandle(file));
}

Handle createMutex(const std::string& name, bool& alreadyExists) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
  alreadyExists = GetLastError() == ERROR_ALREADY_EXISTS;
  return fromHandle(mutex);
}

void closeMutex(Handle mutex) {
  if (mutex) CloseHandle(toHandle(mutex));
}

Handle loadLibrary(const std::string& name) { return fromHandle(LoadLibraryA(name.c_str())); }

void freeLibrary(Handle library) {
  if (library) FreeLibrary(reinterpret_cast<HMODULE>(library));
}

}  // namespace platform

namespace platform {

bool clearReadOnly(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY)) return false;
  if (!(a & FILE_ATTRIBUTE_READONLY)) return true;
  return SetFileAttributesA(path.c_str(), a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)) != 0;
}

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((withBackslash(folder) + "*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

Handle openReadFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  return file == INVALID_HANDLE_VALUE ? 0 : fromHandle(file);
}

bool readFromFile(Handle file, std::size_t count, std::string& bytes) {
  bytes.assign(count, '\0');
  std::size_t done = 0;
  while (done < count) {
    DWORD got = 0;
    const DWORD chunk = static_cast<DWORD>(count - done > 1u << 20 ? 1u << 20 : count - done);
    if (!file || !ReadFile(toHandle(file), &bytes[done], chunk, &got, nullptr)) {
      bytes.resize(done);
      return false;
    }
    if (got == 0) break;  // the end of the file
    done += got;
  }
  bytes.resize(done);
  return true;
}

}  // namespace platform
