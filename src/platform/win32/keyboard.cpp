// The keyboard over USER32, and under Wine the key bridge. Wine's GetAsyncKeyState knows only the
// keys typed into Wine's own windows; on an X11 desktop the bridge (tandrel-keys, started by
// scripts/run.sh) reports the shortcut keys whatever window has the focus, over UDP on 127.0.0.1,
// and its reports are merged in here (src/platform/key_channel.h), only while the shortcut poll
// watches the keys: otherwise the port is closed and the bridge wakes nothing. On Windows this is
// GetAsyncKeyState alone: no socket, no thread.
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
  std::mutex lock;  // the key state, written by the listening thread
  keychannel::Receiver keys;
  // The rest belongs to the GUI thread.
  bool watched = false;
  bool winsock = false;
  std::shared_ptr<Listener> listener, previous;
  std::thread thread;
};

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

// Takes the bridge's datagrams as they come, on a thread of its own that waits in recvfrom: the
// main loop is never woken by them, and a report is timed when it arrives, not when someone asks.
// Anything but a whole datagram with the token from 127.0.0.1 is dropped without a word.
void receive(Bridge* bridge, std::shared_ptr<Listener> listener) {
  char data[64];
  while (!listener->stop) {
    sockaddr_in from{};
    int fromSize = sizeof from;
    const int size =
        recvfrom(listener->socket, data, sizeof data, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (listener->stop) break;
    if (size == SOCKET_ERROR) {
      const int error = WSAGetLastError();
      if (error == WSAEMSGSIZE || error == WSAECONNRESET || error == WSAEINTR) continue;
      break;  // the socket is gone: Wine's own answers stand
    }
    if (fromSize < static_cast<int>(sizeof from) || from.sin_family != AF_INET ||
        from.sin_addr.s_addr != htonl(INADDR_LOOPBACK))
      continue;
    const auto report = keychannel::parseDatagram(data, static_cast<std::size_t>(size), bridge->channel.token);
    if (!report) continue;
    std::lock_guard<std::mutex> hold(bridge->lock);
    // A listener told to stop must not leave a press behind for the next one.
    if (!listener->stop) bridge->keys.receive(*report, GetTickCount());
  }
  closesocket(listener->socket);
  listener->ended = true;
}

// A datagram that no check lets through, to get the listening thread out of recvfrom.
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
    // Whatever was heard before belongs to a time when nobody asked.
    std::lock_guard<std::mutex> hold(bridge.lock);
    bridge.keys = keychannel::Receiver{};
  }
  bridge.listener = std::make_shared<Listener>();
  bridge.listener->socket = listening;
  bridge.thread = std::thread(receive, &bridge, bridge.listener);
}

// The port is closed, so the bridge's datagrams wake nobody: the kernel drops them.
void stopListening(Bridge& bridge) {
  if (!bridge.listener) return;
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

}  // namespace

void setKeysWatched(bool watched) {
  Bridge* keys = bridge();
  if (keys == nullptr || keys->watched == watched) return;
  keys->watched = watched;
  if (watched)
    startListening(*keys);
  else
    stopListening(*keys);
}

std::int16_t getAsyncKeyState(int virtualKey) {
  const auto own = static_cast<std::int16_t>(GetAsyncKeyState(virtualKey));
  const int key = keychannel::keyOfVirtualKey(virtualKey);
  Bridge* keys = key >= 0 ? bridge() : nullptr;
  if (keys == nullptr || !keys->listener) return own;
  std::lock_guard<std::mutex> hold(keys->lock);
  return keys->keys.answer(key, own, GetTickCount());
}

}  // namespace platform
