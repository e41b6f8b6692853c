// The keyboard over USER32, and under Wine the key bridge. While the shortcut keys are watched, a
// low-level keyboard hook on a thread of its own sees every key of the desktop, keeps the few that
// can make a shortcut (KeyFilter) and queues them for the main loop, waking it with a message
// posted to a hidden window of ours (a thread message would be lost to a message box's loop). The
// hook never takes a key from anyone: each goes on to the next hook at once.
// Wine's hook knows only the keys typed into Wine's own windows; on an X11 desktop the bridge
// (tandrel-keys, started by scripts/run.sh) reports the shortcut keys whatever window has the
// focus, over UDP on 127.0.0.1, and its reports are merged with the hook's here
// (src/platform/key_channel.h), only while the keys are watched: otherwise the port is closed and
// the bridge wakes nothing. On Windows there is no socket, and no thread while nothing is watched.
#include "platform/keyboard.h"

#include "platform/gadgets.h"
#include "platform/key_channel.h"
#include "platform/types.h"
#include "platform/window.h"

// Winsock 2 must be read before <windows.h>, and win32.h reads that after the platform headers.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>

#include "platform/win32/win32.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace platform {
using namespace win32;

namespace {

// One opening of the port: its socket and the thread that waits on it. The thread closes the
// socket itself once told to stop, so no call is ever left waiting on a closed handle.
struct Listener {
  SOCKET socket = INVALID_SOCKET;
  std::atomic<bool> stop{false};
  std::atomic<bool> ended{false};
};

struct Bridge {
  keychannel::Channel channel;
  // The rest belongs to the GUI thread.
  bool watched = false;
  bool winsock = false;
  std::shared_ptr<Listener> listener, previous;
  std::thread thread;
};

// The queue between the threads that see keys and the main loop.
struct Queue {
  std::mutex lock;
  std::vector<KeyEvent> events;
  bool posted = false;                 // a wake-up is on its way and not yet answered by a take
  HWND wake = nullptr;                 // the hidden window the wake-ups go to
  keychannel::Receiver receiver;       // under Wine with the bridge listening
  bool merging = false;
};

Queue& queue() {
  static Queue* const made = new Queue;  // lives as long as the process, as the threads may
  return *made;
}

// Queues events (under the lock) and wakes the main loop once for all that come before it takes
// them.
void queueEvents(Queue& q, const std::vector<KeyEvent>& events) {
  if (events.empty()) return;
  q.events.insert(q.events.end(), events.begin(), events.end());
  if (q.posted || q.wake == nullptr) return;
  q.posted = PostMessageW(q.wake, WM_NULL, 0, 0) != 0;
}

bool underWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The channel file named by TANDREL_KEYS_FILE, a Linux path that Wine turns into one of its own.
std::optional<keychannel::Channel> readChannel() {
  char unixPath[1024];
  const DWORD length = GetEnvironmentVariableA("TANDREL_KEYS_FILE", unixPath, sizeof unixPath);
  if (length == 0 || length >= sizeof unixPath) return std::nullopt;
  using ToDosPath = WCHAR*(CDECL*)(const char*);
  const auto toDosPath = procAddress<ToDosPath>(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name");
  WCHAR* dosPath = toDosPath != nullptr ? toDosPath(unixPath) : nullptr;
  if (dosPath == nullptr) return std::nullopt;
  HANDLE file = CreateFileW(dosPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  HeapFree(GetProcessHeap(), 0, dosPath);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  char text[128];
  DWORD size = 0;
  const BOOL read = ReadFile(file, text, sizeof text, &size, nullptr);
  CloseHandle(file);
  if (!read) return std::nullopt;
  return keychannel::parseChannel(std::string_view(text, size));
}

sockaddr_in loopback(std::uint16_t port) {
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_port = htons(port);
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return at;
}

// What the bridge's keys were typed into. Wine makes its desktop window the foreground when the X
// focus goes to a window not its own, so a real window in front means that Wine sees the keys
// itself and can type into that window.
KeyEvent bridgeContext() {
  KeyEvent context;
  HWND front = GetForegroundWindow();
  context.foreground = fromHwnd(front);
  context.fromBridge = front == nullptr || front == GetDesktopWindow();
  return context;
}

// Takes the bridge's datagrams as they come, on a thread of its own that waits in select: each
// report is timed when it arrives and queued at once, and it wakes the main loop only when it
// brings a key event. While the bridge holds a key it waits at most until that hold expires.
// Anything but a whole datagram with the token from 127.0.0.1 is dropped without a word.
void receive(Bridge* bridge, std::shared_ptr<Listener> listener) {
  Queue& q = queue();
  char data[64];
  while (!listener->stop) {
    bool holding;
    {
      std::lock_guard<std::mutex> hold(q.lock);
      queueEvents(q, q.receiver.expire(GetTickCount()));
      holding = q.receiver.holding();
    }
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener->socket, &readable);
    timeval wait{0, static_cast<long>(keychannel::keepAliveMs) * 1000};
    const int ready = select(0, &readable, nullptr, nullptr, holding ? &wait : nullptr);
    if (listener->stop) break;
    if (ready == 0) continue;
    if (ready == SOCKET_ERROR) break;  // the socket is gone: Wine's own keys stand
    sockaddr_in from{};
    int fromSize = sizeof from;
    const int size =
        recvfrom(listener->socket, data, sizeof data, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (listener->stop) break;
    if (size == SOCKET_ERROR) {
      const int error = WSAGetLastError();
      if (error == WSAEMSGSIZE || error == WSAECONNRESET || error == WSAEINTR) continue;
      break;
    }
    if (fromSize < static_cast<int>(sizeof from) || from.sin_family != AF_INET ||
        from.sin_addr.s_addr != htonl(INADDR_LOOPBACK))
      continue;
    const auto report = keychannel::parseDatagram(data, static_cast<std::size_t>(size), bridge->channel.token);
    if (!report) continue;
    const KeyEvent context = bridgeContext();
    std::lock_guard<std::mutex> hold(q.lock);
    // A listener told to stop must not leave a press behind for the next one.
    if (!listener->stop) queueEvents(q, q.receiver.receive(*report, GetTickCount(), context));
  }
  closesocket(listener->socket);
  listener->ended = true;
}

// A datagram that no check lets through, to get the listening thread out of its wait.
void wake(std::uint16_t port) {
  const SOCKET sender = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (sender == INVALID_SOCKET) return;
  const sockaddr_in to = loopback(port);
  const char nothing = 0;
  sendto(sender, &nothing, 1, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  closesocket(sender);
}

// The previous listener gives the port back; waits a little for it, as it was told long before.
bool previousEnded(Bridge& bridge) {
  if (!bridge.previous) return true;
  for (int i = 0; i < 100 && !bridge.previous->ended; ++i) {
    if (i % 10 == 9) wake(bridge.channel.port);
    Sleep(10);
  }
  if (!bridge.previous->ended) return false;
  bridge.thread.join();
  bridge.previous.reset();
  return true;
}

void startListening(Bridge& bridge) {
  if (!bridge.winsock) {
    WSADATA winsock;
    if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0) return;
    bridge.winsock = true;
  }
  if (!previousEnded(bridge)) {
    OutputDebugStringA("Tandrel: the key bridge's listener did not end; the shortcuts see Wine's own keys only\n");
    return;
  }
  const SOCKET listening = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  const sockaddr_in at = loopback(bridge.channel.port);
  if (listening == INVALID_SOCKET || bind(listening, reinterpret_cast<const sockaddr*>(&at), sizeof at) != 0) {
    OutputDebugStringA("Tandrel: the key bridge's port is taken; the shortcuts see Wine's own keys only\n");
    if (listening != INVALID_SOCKET) closesocket(listening);
    return;
  }
  {
    // Whatever was heard before belongs to a time when nobody listened.
    Queue& q = queue();
    std::lock_guard<std::mutex> hold(q.lock);
    q.receiver = keychannel::Receiver{};
    q.merging = true;
  }
  bridge.listener = std::make_shared<Listener>();
  bridge.listener->socket = listening;
  bridge.thread = std::thread(receive, &bridge, bridge.listener);
}

// The port is closed, so the bridge's datagrams wake nobody: the kernel drops them.
void stopListening(Bridge& bridge) {
  if (!bridge.listener) return;
  {
    Queue& q = queue();
    std::lock_guard<std::mutex> hold(q.lock);
    q.merging = false;
  }
  bridge.listener->stop = true;
  wake(bridge.channel.port);
  bridge.previous = std::move(bridge.listener);
}

// The bridge under Wine with a channel file; nullptr on Windows and without one.
Bridge* bridge() {
  static Bridge* const made = [] {
    if (!underWine()) return static_cast<Bridge*>(nullptr);
    const auto channel = readChannel();
    if (!channel) return static_cast<Bridge*>(nullptr);
    auto* bridge = new Bridge;  // lives as long as the process, as its thread may
    bridge->channel = *channel;
    return bridge;
  }();
  return made;
}

// --- the hook ---

KeyFilter hookFilter;  // the hook thread's alone

bool asyncDown(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

// Called by the system on the hook thread for every key of the desktop, before any program gets
// it; kept short, as a hook that is slow to answer lags typing everywhere and is removed.
LRESULT CALLBACK keyHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const bool down = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
    if (auto event = hookFilter.onKey(static_cast<int>(key->vkCode), down, key->dwExtraInfo)) {
      event->foreground = fromHwnd(GetForegroundWindow());
      Queue& q = queue();
      std::lock_guard<std::mutex> hold(q.lock);
      if (q.merging)
        queueEvents(q, q.receiver.own(*event, GetTickCount()));
      else
        queueEvents(q, {*event});
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct Hook {
  std::thread thread;
  DWORD threadId = 0;
};
// Never destroyed: the program may end with the hook's thread still running.
Hook& hook = *new Hook;

// The hook's thread: installs the hook and pumps its messages, which is how the system calls the
// hook, until told to quit.
void hookThread(HANDLE ready, bool* installed, DWORD* id) {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before anyone posts the quit
  hookFilter.reset(asyncDown(VK_LCONTROL), asyncDown(VK_RCONTROL), asyncDown(VK_LMENU), asyncDown(VK_RMENU));
  HHOOK installedHook = SetWindowsHookExW(WH_KEYBOARD_LL, keyHook, GetModuleHandleW(nullptr), 0);
  *installed = installedHook != nullptr;
  *id = GetCurrentThreadId();
  SetEvent(ready);
  if (installedHook == nullptr) return;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  UnhookWindowsHookEx(installedHook);
}

void installHook() {
  Queue& q = queue();
  if (q.wake == nullptr)
    q.wake = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (ready == nullptr) return;
  bool installed = false;
  hook.thread = std::thread(hookThread, ready, &installed, &hook.threadId);
  WaitForSingleObject(ready, INFINITE);
  CloseHandle(ready);
  if (!installed) {
    hook.thread.join();
    hook.threadId = 0;
    OutputDebugStringA("Tandrel: the keyboard hook could not be installed; the shortcuts see no key\n");
  }
}

void removeHook() {
  if (!hook.thread.joinable()) return;
  if (hook.threadId != 0) PostThreadMessageW(hook.threadId, WM_QUIT, 0, 0);
  hook.thread.join();
  hook.threadId = 0;
  Queue& q = queue();
  std::lock_guard<std::mutex> hold(q.lock);
  q.events.clear();  // what came before belongs to a time when nobody watched
  q.posted = false;
}

}  // namespace

void setKeysWatched(bool watched) {
  static bool hooked = false;
  if (hooked != watched) {
    hooked = watched;
    if (watched)
      installHook();
    else
      removeHook();
  }
  Bridge* keys = bridge();
  if (keys == nullptr || keys->watched == watched) return;
  keys->watched = watched;
  if (watched)
    startListening(*keys);
  else
    stopListening(*keys);
}

std::vector<KeyEvent> takeKeyEvents() {
  Queue& q = queue();
  std::lock_guard<std::mutex> hold(q.lock);
  std::vector<KeyEvent> taken;
  taken.swap(q.events);
  q.posted = false;
  return taken;
}

std::int16_t getAsyncKeyState(int virtualKey) { return static_cast<std::int16_t>(GetAsyncKeyState(virtualKey)); }

}  // namespace platform
