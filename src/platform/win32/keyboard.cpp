// The keyboard over USER32, and under Wine the key bridge. Wine's GetAsyncKeyState knows only the
// keys typed into Wine's own windows; on an X11 desktop the bridge (tandrel-keys, started by
// scripts/run.sh) reports the shortcut keys whatever window has the focus, over UDP on 127.0.0.1,
// and its reports are merged in here (src/platform/key_channel.h). On Windows this is
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

#include <mutex>
#include <optional>
#include <thread>

namespace platform {
using namespace win32;

namespace {

struct Bridge {
  SOCKET socket = INVALID_SOCKET;
  keychannel::Token token{};
  std::mutex lock;
  keychannel::Receiver keys;
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

// Takes the bridge's datagrams as they come, on a thread of its own that waits in recvfrom: the
// main loop is never woken by them, and a report is timed when it arrives, not when someone asks.
// Anything but a whole datagram with the token from 127.0.0.1 is dropped without a word.
void receive(Bridge* bridge) {
  char data[64];
  for (;;) {
    sockaddr_in from{};
    int fromSize = sizeof from;
    const int size = recvfrom(bridge->socket, data, sizeof data, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (size == SOCKET_ERROR) {
      const int error = WSAGetLastError();
      if (error == WSAEMSGSIZE || error == WSAECONNRESET || error == WSAEINTR) continue;
      return;  // the socket is gone: Wine's own answers stand
    }
    if (fromSize < static_cast<int>(sizeof from) || from.sin_family != AF_INET ||
        from.sin_addr.s_addr != htonl(INADDR_LOOPBACK))
      continue;
    const auto report = keychannel::parseDatagram(data, static_cast<std::size_t>(size), bridge->token);
    if (!report) continue;
    std::lock_guard<std::mutex> hold(bridge->lock);
    bridge->keys.receive(*report, GetTickCount());
  }
}

// The bridge's receiver, listening from the first query on; nullptr when there is no channel or
// its port cannot be had.
Bridge* startBridge() {
  const auto channel = readChannel();
  if (!channel) return nullptr;
  WSADATA winsock;
  if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0) return nullptr;
  const SOCKET listener = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_port = htons(channel->port);
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (listener == INVALID_SOCKET || bind(listener, reinterpret_cast<const sockaddr*>(&at), sizeof at) != 0) {
    OutputDebugStringA("Tandrel: the key bridge's port is taken; the shortcuts see Wine's own keys only\n");
    if (listener != INVALID_SOCKET) closesocket(listener);
    WSACleanup();
    return nullptr;
  }
  auto* bridge = new Bridge;  // lives as long as the process, as its thread does
  bridge->socket = listener;
  bridge->token = channel->token;
  std::thread(receive, bridge).detach();
  return bridge;
}

Bridge* bridge() {
  static Bridge* const started = underWine() ? startBridge() : nullptr;
  return started;
}

}  // namespace

std::int16_t getAsyncKeyState(int virtualKey) {
  const auto own = static_cast<std::int16_t>(GetAsyncKeyState(virtualKey));
  const int key = keychannel::keyOfVirtualKey(virtualKey);
  Bridge* keys = key >= 0 ? bridge() : nullptr;
  if (keys == nullptr) return own;
  std::lock_guard<std::mutex> hold(keys->lock);
  return keys->keys.answer(key, own, GetTickCount());
}

}  // namespace platform
