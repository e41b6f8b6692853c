// Other programs' windows: the program behind a window (PSAPI on the NT family, the toolhelp
// snapshot on Windows 95/98/ME, each loaded by name because each is missing on the other family),
// and the child controls of a window and their texts.
#include "platform/window.h"

#include "platform/win32/win32.h"

#include <tlhelp32.h>

#include <algorithm>

namespace platform {
using namespace win32;

namespace {

bool windows9x() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// The file of the process's first module, which is its program.
std::string pathByPsapi(DWORD processId) {
  HMODULE psapi = LoadLibraryA("psapi.dll");
  if (!psapi) return {};
  using EnumModules = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
  using ModuleFileNameEx = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
  auto enumModules = procAddress<EnumModules>(psapi, "EnumProcessModules");
  auto moduleFileNameEx = procAddress<ModuleFileNameEx>(psapi, "GetModuleFileNameExA");
  std::string path;
  if (enumModules && moduleFileNameEx) {
    if (HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)) {
      HMODULE first = nullptr;
      DWORD needed = 0;
      if (enumModules(process, &first, sizeof first, &needed) && first) {
        char buffer[MAX_PATH] = "";
        const DWORD length = moduleFileNameEx(process, first, buffer, MAX_PATH);
        path.assign(buffer, length);
      }
      CloseHandle(process);
    }
  }
  FreeLibrary(psapi);
  return path;
}

std::string pathBySnapshot(DWORD processId) {
  HMODULE kernel = LoadLibraryA("kernel32.dll");
  if (!kernel) return {};
  using Snapshot = HANDLE(WINAPI*)(DWORD, DWORD);
  using Walk = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
  auto snapshot = procAddress<Snapshot>(kernel, "CreateToolhelp32Snapshot");
  auto first = procAddress<Walk>(kernel, "Process32First");
  auto next = procAddress<Walk>(kernel, "Process32Next");
  std::string path;
  if (snapshot && first && next) {
    HANDLE processes = snapshot(TH32CS_SNAPPROCESS, 0);
    if (processes != INVALID_HANDLE_VALUE) {
      PROCESSENTRY32 entry = {};
      entry.dwSize = sizeof entry;
      for (BOOL more = first(processes, &entry); more; more = next(processes, &entry)) {
        if (entry.th32ProcessID == processId) {
          path = entry.szExeFile;
          break;
        }
      }
      CloseHandle(processes);
    }
  }
  FreeLibrary(kernel);
  return path;
}

BOOL CALLBACK collectChild(HWND child, LPARAM data) {
  reinterpret_cast<std::vector<Hwnd>*>(data)->push_back(fromHwnd(child));
  return TRUE;
}

}  // namespace

std::string windowProgramPath(Hwnd window) {
  DWORD processId = 0;
  if (!IsWindow(toHwnd(window)) || !GetWindowThreadProcessId(toHwnd(window), &processId)) return {};
  if (windows9x()) return pathBySnapshot(processId);
  // A process we may not open (another user's, an elevated one) still has its name in the snapshot.
  std::string path = pathByPsapi(processId);
  return path.empty() ? pathBySnapshot(processId) : path;
}

Hwnd findWindow(const std::string& className) { return fromHwnd(FindWindowA(className.c_str(), nullptr)); }

std::vector<Hwnd> childWindows(Hwnd parent) {
  std::vector<Hwnd> children;
  if (parent != 0) EnumChildWindows(toHwnd(parent), collectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::string getClassName(Hwnd window, int maxChars) {
  if (maxChars <= 1) return {};
  std::string name(static_cast<std::size_t>(maxChars), '\0');
  const int length = GetClassNameA(toHwnd(window), &name[0], maxChars);
  name.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return name;
}

std::optional<std::string> controlText(Hwnd control, int maxChars, unsigned timeoutMs) {
  if (maxChars <= 1) return std::string();
  std::string text(static_cast<std::size_t>(maxChars), '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(toHwnd(control), WM_GETTEXT, static_cast<WPARAM>(maxChars),
                           reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, timeoutMs, &copied))
    return std::nullopt;
  text.resize(std::min<std::size_t>(static_cast<std::size_t>(copied), static_cast<std::size_t>(maxChars - 1)));
  // Some controls answer a length without the text; the text ends at its zero byte in any case.
  text.resize(std::min(text.size(), text.find('\0')));
  return text;
}

}  // namespace platform
