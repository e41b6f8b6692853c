// Simulated files and folders: real files under the desktop's temporary root, with the share mode
// of the log enforced, folders that can be made to refuse creation and a disk that can fill up.
#include "platform/shell.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sim/desktop.h"

namespace platform {

using sim::desktop;
namespace fs = std::filesystem;

std::string specialFolder(int csidl) {
  switch (csidl) {
    case CSIDL_APPDATA: return "C:\\Users\\tester\\AppData\\Roaming\\";
    case CSIDL_LOCAL_APPDATA: return "C:\\Users\\tester\\AppData\\Local\\";
    case CSIDL_STARTUP: return "C:\\Users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\";
    default: return "";
  }
}

std::string programFolder() { return "C:\\Program Files\\Tandrel\\"; }
std::string currentFolder() { return programFolder(); }
std::string tempFolder() { return "C:\\Users\\tester\\AppData\\Local\\Temp\\"; }
std::string hostPath(const std::string& path) { return desktop().hostPath(path); }

bool fileExists(const std::string& path) {
  std::error_code e;
  return fs::is_regular_file(hostPath(path), e);
}

bool folderExists(const std::string& path) {
  std::error_code e;
  return fs::is_directory(hostPath(path), e);
}

bool createFolder(const std::string& path) {
  auto& d = desktop();
  const std::string host = hostPath(path);
  for (const auto& refused : d.uncreatableFolders)
    if (hostPath(refused) == host) return false;
  std::error_code e;
  if (fs::is_directory(host, e)) return true;
  return fs::create_directory(host, e);
}

bool copyFile(const std::string& from, const std::string& to, bool overwrite) {
  const std::string target = hostPath(to);
  if (desktop().pathIsLocked(target) || desktop().diskFull) return false;
  std::error_code e;
  if (!fs::is_regular_file(hostPath(from), e)) return false;
  const auto options = overwrite ? fs::copy_options::overwrite_existing : fs::copy_options::none;
  return fs::copy_file(hostPath(from), target, options, e);
}

bool deleteFile(const std::string& path) {
  const std::string host = hostPath(path);
  if (desktop().pathIsLocked(host)) return false;
  std::error_code e;
  return fs::is_regular_file(host, e) && fs::remove(host, e);
}

int deleteFilesIn(const std::string& folder) {
  std::error_code e;
  int deleted = 0;
  for (const auto& entry : fs::directory_iterator(hostPath(folder), e)) {
    if (!entry.is_regular_file() || desktop().pathIsLocked(entry.path().string())) continue;
    if (fs::remove(entry.path(), e)) ++deleted;
  }
  return deleted;
}

bool deleteFolderTree(const std::string& folder) {
  std::error_code e;
  const std::string host = hostPath(folder);
  if (!fs::is_directory(host, e)) return false;
  fs::remove_all(host, e);
  return !e;
}

bool renameFile(const std::string& from, const std::string& to) {
  auto& d = desktop();
  const std::string source = hostPath(from), target = hostPath(to);
  if (d.pathIsLocked(source) || d.pathIsLocked(target)) return false;
  std::error_code e;
  fs::rename(source, target, e);
  if (!e) d.journal.push_back("rename " + from + " to " + to);
  return !e;
}

std::optional<std::string> readFile(const std::string& path, std::uint64_t maxBytes) {
  const std::string host = hostPath(path);
  std::error_code e;
  if (!fs::is_regular_file(host, e)) return std::nullopt;
  const auto size = fs::file_size(host, e);
  if (e || size > maxBytes) return std::nullopt;
  std::ifstream in(host, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool writeFile(const std::string& path, const std::string& bytes) {
  auto& d = desktop();
  const std::string host = hostPath(path);
  if (d.pathIsLocked(host)) return false;
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  if (d.diskFull) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
    return false;
  }
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  d.journal.push_back("write " + path);
  return static_cast<bool>(out);
}

std::optional<std::uint64_t> fileSize(const std::string& path) {
  std::error_code e;
  const auto size = fs::file_size(hostPath(path), e);
  if (e) return std::nullopt;
  return size;
}

Handle createSharedReadFile(const std::string& path) {
  auto& d = desktop();
  const std::string host = hostPath(path);
  if (d.pathIsLocked(host)) return 0;
  std::FILE* file = std::fopen(host.c_str(), "wb");
  if (file == nullptr) return 0;
  const Handle handle = d.nextHandle++;
  d.openFiles[handle] = {file, host, d.currentProcess()};
  return handle;
}

bool writeToFile(Handle file, const std::string& bytes) {
  auto& d = desktop();
  const auto it = d.openFiles.find(file);
  if (it == d.openFiles.end() || d.diskFull) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), it->second.file) == bytes.size();
  std::fflush(it->second.file);  // tests read the log while the program runs
  return ok;
}

bool flushFile(Handle file) {
  const auto it = desktop().openFiles.find(file);
  return it != desktop().openFiles.end() && std::fflush(it->second.file) == 0;
}

void closeFile(Handle file) {
  auto& d = desktop();
  const auto it = d.openFiles.find(file);
  if (it == d.openFiles.end()) return;
  std::fclose(it->second.file);
  d.openFiles.erase(it);
}

Handle createMutex(const std::string& name, bool& alreadyExists) {
  auto& d = desktop();
  alreadyExists = d.mutexCounts[name] > 0;
  ++d.mutexCounts[name];
  const Handle handle = d.nextHandle++;
  d.mutexHandles[handle] = {name, d.currentProcess()};
  return handle;
}

void closeMutex(Handle mutex) {
  auto& d = desktop();
  const auto it = d.mutexHandles.find(mutex);
  if (it == d.mutexHandles.end()) return;
  --d.mutexCounts[it->second.name];
  d.mutexHandles.erase(it);
}

Handle loadLibrary(const std::string& name) {
  auto& d = desktop();
  if (d.missingLibraries.count(name) != 0) return 0;
  d.librariesLoaded.push_back(name);
  return d.nextHandle++;
}

void freeLibrary(Handle) {}

int shellExecute(Hwnd owner, const std::string& verb, const std::string& file, const std::string& parameters,
                 int showCommand) {
  auto& d = desktop();
  d.shellExecutions.push_back({verb, file, parameters, showCommand, owner});
  return d.shellResult;
}

bool createShortcut(const Shortcut& shortcut) {
  auto& d = desktop();
  d.shortcuts.push_back(shortcut);
  d.journal.push_back("shortcut " + shortcut.linkPath);
  // Written as a file so tests find it where the shell would put it.
  return writeFile(shortcut.linkPath, "target=" + shortcut.target + "\r\nworkingFolder=" + shortcut.workingFolder +
                                          "\r\ndescription=" + shortcut.description + "\r\n");
}

}  // namespace platform

namespace platform {

namespace {

// The paths of a zero-separated list.
std::vector<std::string> pathList(const std::string& buffer) {
  std::vector<std::string> paths;
  std::size_t start = 0;
  while (start < buffer.size()) {
    const std::size_t end = buffer.find('\0', start);
    const std::string path = buffer.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (path.empty()) break;
    paths.push_back(path);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return paths;
}

std::string fileNameOf(const std::string& path) {
  const auto slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

constexpr int errorCancelled = 1223;
constexpr int errorDiskFull = 112;
constexpr int errorFileNotFound = 2;

}  // namespace

int shellFileOperation(int function, const std::string& from, const std::string& to, unsigned flags, bool& aborted) {
  auto& d = desktop();
  d.shellOperations.push_back({function, from, to, flags});
  aborted = false;
  const auto sources = pathList(from), targets = pathList(to);
  if (function != FO_COPY || sources.empty() || targets.size() != sources.size()) return errorFileNotFound;
  if (d.shellCopiesNothing) return 0;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    if (!fileExists(sources[i])) return errorFileNotFound;
    if (fileExists(targets[i])) {
      sim::MessageBoxRecord question;
      question.title = "Confirm file overwrite";
      question.text = "A file called '" + fileNameOf(targets[i]) + "' already exists. Do you want to replace it?";
      question.style = MB_YESNO | MB_ICONQUESTION;
      if (d.answer(question) != IDYES) {
        aborted = true;
        return errorCancelled;
      }
    }
    if (!copyFile(sources[i], targets[i], true)) return errorDiskFull;
  }
  return 0;
}

bool clearReadOnly(const std::string& path) {
  std::error_code e;
  const std::string host = hostPath(path);
  if (!fs::is_regular_file(host, e)) return false;
  fs::permissions(host, fs::perms::owner_write, fs::perm_options::add, e);
  return !e;
}

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code e;
  for (const auto& entry : fs::directory_iterator(hostPath(folder), e))
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  return names;
}

Handle openReadFile(const std::string& path) {
  auto& d = desktop();
  const std::string host = hostPath(path);
  std::error_code e;
  if (!fs::is_regular_file(host, e)) return 0;
  std::FILE* file = std::fopen(host.c_str(), "rb");
  if (file == nullptr) return 0;
  const Handle handle = d.nextHandle++;
  d.openFiles[handle] = {file, host, d.currentProcess()};
  return handle;
}

bool readFromFile(Handle file, std::size_t count, std::string& bytes) {
  bytes.clear();
  const auto it = desktop().openFiles.find(file);
  if (it == desktop().openFiles.end()) return false;
  bytes.resize(count);
  const std::size_t got = std::fread(&bytes[0], 1, count, it->second.file);
  bytes.resize(got);
  return got == count || !std::ferror(it->second.file);
}

}  // namespace platform
