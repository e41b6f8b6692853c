// The program behind a window: PSAPI where the system has it (NT family), the
// toolhelp snapshot on Windows 95/98/ME, whose process entries carry full paths.
// Both are looked up at run time because each is missing on the other family.
#include "platform/window.h"

#include "platform/win32/win32.h"

#include <tlhelp32.h>

namespace platform {
using namespace win32;

namespace {

std::string pathByPsapi(DWORD processId) {
  HMODULE psapi = LoadLibraryA("psapi.dll");
  if (!psapi) return {};
  using ModuleFileNameEx = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
  auto moduleFileNameEx = procAddress<ModuleFileNameEx>(psapi, "GetModuleFileNameExA");
  std::string path;
  if (moduleFileNameEx) {
    if (HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)) {
      char buffer[MAX_PATH] = "";
      const DWORD length = moduleFileNameEx(process, nullptr, buffer, MAX_PATH);
      path.assign(buffer, length);
      CloseHandle(process);
    }
  }
  FreeLibrary(psapi);
  return path;
}

std::string pathBySnapshot(DWORD processId) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  using Snapshot = HANDLE(WINAPI*)(DWORD, DWORD);
  using Walk = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
  auto snapshot = procAddress<Snapshot>(kernel, "CreateToolhelp32Snapshot");
  auto first = procAddress<Walk>(kernel, "Process32First");
  auto next = procAddress<Walk>(kernel, "Process32Next");
  if (!snapshot || !first || !next) return {};
  HANDLE processes = snapshot(TH32CS_SNAPPROCESS, 0);
  if (processes == INVALID_HANDLE_VALUE) return {};
  std::string path;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = first(processes, &entry); more; more = next(processes, &entry)) {
    if (entry.th32ProcessID == processId) {
      path = entry.szExeFile;
      break;
    }
  }
  CloseHandle(processes);
  return path;
}

}  // namespace

std::string windowProgramPath(Hwnd window) {
  DWORD processId = 0;
  if (!IsWindow(toHwnd(window)) || !GetWindowThreadProcessId(toHwnd(window), &processId)) return {};
  std::string path = pathByPsapi(processId);
  return path.empty() ? pathBySnapshot(processId) : path;
}

}  // namespace platform
