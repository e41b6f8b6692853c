// The channel between the key bridge (tandrel-keys, a native X11 program) and Tandrel.exe under
// Wine. An X11 desktop gives a Wine program no keys while a native window has the focus, so the
// bridge reads the few keys the shortcuts need from the X server and sends them over UDP on
// 127.0.0.1. Both ends share this file: which keys may cross, the datagram, the channel file, the
// sender's record of held keys and the receiver's merge with the keys Wine's own hook sees. Pure
// code, no system calls, so the native tests cover it.
//
// The channel file (written by scripts/run.sh, mode 600, its Linux path in TANDREL_KEYS_FILE):
//   "<port> <token>\n"   port 1..65535, token 32 hex digits (16 random bytes)
//
// A datagram, 22 bytes:
//   offset 0   4 bytes   "TDK2"
//   offset 4   16 bytes  the token
//   offset 20  1 byte    held: bit k set while key k is down
//   offset 21  1 byte    pressed: bit k set when key k went down since the previous datagram
// Keys: 0 Ctrl (either), 1 the left Alt, 2 T, 3 R, 4 V, 5 H, 6 the right Alt (AltGr); bit 7 is
// always 0. The modifiers are sent as they go down and up. A letter crosses only when it can make a
// shortcut: V pressed with Ctrl held, T and R with Ctrl and either Alt, H with Ctrl and the left
// Alt; then its release is sent too, and no other letter is ever sent. The bridge sends one
// datagram at its start, one for every change (a key already down that the X server repeats is no
// new press) and, while any key is down, the held set again every 250 ms; on a clean end it sends
// all keys up. The receiver lets go of a held set it has not heard again for 1 s, so a bridge that
// dies with a key down does not leave it down.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/keyboard.h"

namespace keychannel {

constexpr int keyCount = 7;
enum Key { Ctrl = 0, Alt = 1, T = 2, R = 3, V = 4, H = 5, AltGr = 6 };
// The Windows virtual-key code of each key.
constexpr int virtualKeys[keyCount] = {0x11, 0xA4, 0x54, 0x52, 0x56, 0x48, 0xA5};

constexpr std::uint32_t keepAliveMs = 250;
constexpr std::uint32_t holdLifetimeMs = 1000;
// A press seen by Wine and by the bridge within this time is one press.
constexpr std::uint32_t samePressMs = 500;

constexpr std::size_t tokenSize = 16;
using Token = std::array<std::uint8_t, tokenSize>;
constexpr std::size_t datagramSize = 22;
constexpr char magic[4] = {'T', 'D', 'K', '2'};

inline bool isLetter(int key) { return key >= T && key <= H; }

// The filter: the key of an X keysym, -1 for every key that must not cross.
inline int keyOfKeysym(std::uint32_t keysym) {
  switch (keysym) {
    case 0xffe3:  // Control_L
    case 0xffe4:  // Control_R
      return Ctrl;
    case 0xffe9:  // Alt_L
      return Alt;
    case 0xffea:  // Alt_R
    case 0xfe03:  // ISO_Level3_Shift: the right Alt of the layouts that type with it
      return AltGr;
    case 't':
    case 'T':
      return T;
    case 'r':
    case 'R':
      return R;
    case 'v':
    case 'V':
      return V;
    case 'h':
    case 'H':
      return H;
    default:
      return -1;
  }
}

struct Report {
  std::uint8_t held = 0;
  std::uint8_t pressed = 0;
  bool operator==(const Report& o) const { return held == o.held && pressed == o.pressed; }
};

constexpr std::uint8_t allKeys = (1u << keyCount) - 1;

inline std::string formatDatagram(const Token& token, const Report& report) {
  std::string out(magic, sizeof magic);
  out.append(reinterpret_cast<const char*>(token.data()), token.size());
  out += static_cast<char>(report.held & allKeys);
  out += static_cast<char>(report.pressed & allKeys);
  return out;
}

// The report of a datagram; nullopt for a wrong size, magic or token, or bits of no key. The token
// is compared in full whatever differs, so the time taken tells nothing about it.
inline std::optional<Report> parseDatagram(const char* data, std::size_t size, const Token& token) {
  if (data == nullptr || size != datagramSize) return std::nullopt;
  unsigned differ = 0;
  for (std::size_t i = 0; i < sizeof magic; ++i) differ |= static_cast<unsigned char>(data[i] ^ magic[i]);
  for (std::size_t i = 0; i < tokenSize; ++i) differ |= static_cast<unsigned char>(data[4 + i]) ^ token[i];
  const auto held = static_cast<std::uint8_t>(data[20]);
  const auto pressed = static_cast<std::uint8_t>(data[21]);
  if (differ != 0 || (held & ~allKeys) != 0 || (pressed & ~allKeys) != 0) return std::nullopt;
  return Report{held, pressed};
}

struct Channel {
  std::uint16_t port = 0;
  Token token{};
};

inline int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The channel file's "<port> <token>" line (a final line break allowed); nullopt when malformed.
inline std::optional<Channel> parseChannel(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  const std::size_t space = text.find(' ');
  if (space == std::string_view::npos || space == 0 || space > 5) return std::nullopt;
  unsigned port = 0;
  for (char c : text.substr(0, space)) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + static_cast<unsigned>(c - '0');
  }
  const std::string_view hex = text.substr(space + 1);
  if (port == 0 || port > 65535 || hex.size() != 2 * tokenSize) return std::nullopt;
  Channel channel;
  channel.port = static_cast<std::uint16_t>(port);
  for (std::size_t i = 0; i < tokenSize; ++i) {
    const int high = hexDigit(hex[2 * i]), low = hexDigit(hex[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    channel.token[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return channel;
}

// The bridge's record of the keys that are down, by X key code, so that releasing one of two Ctrl
// keys leaves Ctrl down and a repeated press of a key already down is no new press; and of the
// letters whose press it sent, the only ones it reports.
class HeldKeys {
 public:
  // A press or release of key `key` on X key code `code`; the report to send, nullopt when there
  // is nothing to send.
  std::optional<Report> onKey(int key, unsigned code, bool down) {
    if (key < 0 || key >= keyCount) return std::nullopt;
    const bool wasDown = down_.count({key, code}) != 0;
    if (down == wasDown) return std::nullopt;
    if (down)
      down_.insert({key, code});
    else
      down_.erase({key, code});
    if (isLetter(key)) {
      if (down && !mayCross(key)) return std::nullopt;
      if (down)
        sent_.insert({key, code});
      else if (sent_.erase({key, code}) == 0)
        return std::nullopt;
    }
    return Report{held(), down ? static_cast<std::uint8_t>(1u << key) : std::uint8_t{0}};
  }
  std::uint8_t held() const {
    std::uint8_t bits = 0;
    for (const auto& [key, code] : down_)
      if (!isLetter(key)) bits |= static_cast<std::uint8_t>(1u << key);
    for (const auto& [key, code] : sent_) bits |= static_cast<std::uint8_t>(1u << key);
    return bits;
  }

 private:
  bool mayCross(int key) const {
    const std::uint8_t mods = held();
    const bool ctrl = (mods & (1u << Ctrl)) != 0, left = (mods & (1u << Alt)) != 0, right = (mods & (1u << AltGr)) != 0;
    if (key == V) return ctrl;
    if (key == H) return ctrl && left;
    return ctrl && (left || right);
  }
  std::set<std::pair<int, unsigned>> down_;
  std::set<std::pair<int, unsigned>> sent_;
};

// The receiver: the bridge's reports made into key events and merged with the events of Wine's
// own hook. Times are milliseconds of any clock that wraps at 2^32 (GetTickCount).
class Receiver {
 public:
  using Events = std::vector<platform::KeyEvent>;

  // A report of the bridge; `context` gives the foreground window and fromBridge of its events.
  Events receive(const Report& report, std::uint32_t now, const platform::KeyEvent& context) {
    Events out;
    platform::KeyEvent event = context;
    event.ctrl = (report.held & (1u << Ctrl)) != 0;
    event.leftAlt = (report.held & (1u << Alt)) != 0;
    event.rightAlt = (report.held & (1u << AltGr)) != 0;
    for (int key = T; key <= H; ++key) {
      const std::uint8_t bit = static_cast<std::uint8_t>(1u << key);
      event.virtualKey = virtualKeys[key];
      const bool wasHeld = (held_ & bit) != 0, holds = (report.held & bit) != 0;
      if ((report.pressed & bit) != 0) {
        if (wasHeld) change(key, false, true, event, now, out);
        change(key, true, true, event, now, out);
        if (!holds) change(key, false, true, event, now, out);
      } else if (wasHeld && !holds) {
        change(key, false, true, event, now, out);
      }
    }
    held_ = report.held;
    heldAt_ = now;
    return out;
  }

  // An event of Wine's own hook.
  Events own(const platform::KeyEvent& event, std::uint32_t now) {
    Events out;
    for (int key = T; key <= H; ++key)
      if (virtualKeys[key] == event.virtualKey) change(key, event.down, false, event, now, out);
    return out;
  }

  // A hold the bridge has not renewed for holdLifetimeMs is let go.
  Events expire(std::uint32_t now) {
    if (held_ == 0 || now - heldAt_ <= holdLifetimeMs) return {};
    platform::KeyEvent event;
    return receive(Report{}, now, event);
  }
  // Whether some key is held by the bridge: expire must then be called within holdLifetimeMs.
  bool holding() const { return held_ != 0; }

 private:
  // One letter as each side has it. A press of one side that the other reported within
  // samePressMs is that same press: Wine sees a key only while one of its windows has the focus,
  // and then the bridge sees it too, each at its own moment.
  struct Letter {
    bool down[2] = {false, false};  // own, bridge
    bool shown = false;             // down as handed on
    std::deque<std::uint32_t> unpaired[2];
  };

  void change(int key, bool down, bool bridge, platform::KeyEvent event, std::uint32_t now, Events& out) {
    Letter& l = letters_[key];
    event.down = down;
    if (!down) {
      l.down[bridge] = false;
      if (l.down[!bridge] || !l.shown) return;
      l.shown = false;
      out.push_back(event);
      return;
    }
    l.down[bridge] = true;
    std::deque<std::uint32_t>& other = l.unpaired[!bridge];
    while (!other.empty() && now - other.front() > samePressMs) other.pop_front();
    if (!other.empty()) {
      other.pop_front();
      return;
    }
    std::deque<std::uint32_t>& mine = l.unpaired[bridge];
    while (!mine.empty() && now - mine.front() > samePressMs) mine.pop_front();
    mine.push_back(now);
    if (l.shown) {
      event.down = false;
      out.push_back(event);
      event.down = true;
    }
    l.shown = true;
    out.push_back(event);
  }

  std::uint8_t held_ = 0;
  std::uint32_t heldAt_ = 0;
  Letter letters_[keyCount];
};

}  // namespace keychannel
