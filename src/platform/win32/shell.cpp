// Shell folders and Startup shortcuts over SHELL32 and the shell's link object.
#include "platform/shell.h"

#include "platform/win32/win32.h"

#include <objbase.h>
#include <shlobj.h>

namespace platform {
using namespace win32;

std::string specialFolder(int csidl) {
  // Looked up at call time: old shell32 versions lack the function and the program must still start.
  HMODULE shell = LoadLibraryA("shell32.dll");
  if (!shell) return {};
  using GetFolderPath = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
  auto getFolderPath = procAddress<GetFolderPath>(shell, "SHGetSpecialFolderPathA");
  char path[MAX_PATH] = "";
  const bool found = getFolderPath && getFolderPath(nullptr, path, csidl, FALSE);
  FreeLibrary(shell);
  if (!found || !path[0]) return {};
  std::string folder = path;
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

int shellExecute(Hwnd owner, const std::string& verb, const std::string& file, const std::string& parameters,
                 int showCommand) {
  HINSTANCE result = ShellExecuteA(win32::toHwnd(owner), verb.c_str(), file.c_str(),
                                   parameters.empty() ? nullptr : parameters.c_str(), nullptr, showCommand);
  return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

bool createShortcut(const Shortcut& shortcut) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return false;
  link->SetPath(shortcut.target.c_str());
  link->SetArguments(shortcut.arguments.c_str());
  link->SetWorkingDirectory(shortcut.workingFolder.c_str());
  link->SetDescription(shortcut.description.c_str());
  link->SetIconLocation(shortcut.iconPath.c_str(), shortcut.iconIndex);
  link->SetShowCmd(shortcut.showCommand);
  bool saved = false;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    // IPersistFile only takes wide paths; the ANSI path is converted in the system's code page.
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, shortcut.linkPath.c_str(), -1, widePath, MAX_PATH) > 0)
      saved = SUCCEEDED(file->Save(widePath, TRUE));
    file->Release();
  }
  link->Release();
  return saved;
}

}  // namespace platform

namespace platform {

int shellFileOperation(int function, const std::string& from, const std::string& to, unsigned flags, bool& aborted) {
  // The lists are copied so that they end in two zero bytes whatever the caller passed.
  std::string source = from + std::string(2, '\0');
  std::string target = to + std::string(2, '\0');
  SHFILEOPSTRUCTA operation = {};
  operation.hwnd = nullptr;
  operation.wFunc = static_cast<UINT>(function);
  operation.pFrom = source.c_str();
  operation.pTo = target.c_str();
  operation.fFlags = static_cast<FILEOP_FLAGS>(flags);
  const int result = SHFileOperationA(&operation);
  aborted = operation.fAnyOperationsAborted != FALSE;
  return result;
}

}  // namespace platform
